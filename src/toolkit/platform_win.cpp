#include "toolkit/platform_win.h"

#include <windows.h>

namespace sh {

bool PlatformIsNtFamily() { return (GetVersion() & 0x80000000u) == 0; }

}  // namespace sh
