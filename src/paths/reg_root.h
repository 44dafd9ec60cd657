// The registry roots a data file can name, kept apart from the catalog so
// that the path texts below it can use them.
// Portable: the Win32 layer maps them to HKEY.
#pragma once

namespace sh {

// kNone stands for "the file named no known root"; cleaners refuse such
// entries.
enum class RegRoot { kNone, kCurrentUser, kLocalMachine, kClassesRoot, kUsers };

}  // namespace sh
