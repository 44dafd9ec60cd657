// The update dialog's place in start-up. Until the dialog exists, this
// behaves as an update the user cancelled.
#pragma once

#include <windows.h>

namespace sh {

// IDOK when new lists were fetched, IDCANCEL when the user cancelled.
inline INT_PTR RunUpdateDialog(HWND /*parent*/) { return IDCANCEL; }

}  // namespace sh
