// The platform family, asked in one place: the shutdown privilege, the
// per-user index.dat files and the system facts all follow the same answer.
#pragma once

namespace sh {

// True when the platform version's high bit is clear (NT, 2000, XP and
// later); false on Windows 95, 98 and Me.
bool PlatformIsNtFamily();

}  // namespace sh
