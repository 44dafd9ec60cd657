// Exact spellings for the file calls. The ANSI calls trim a trailing space
// or dot (reaching another file) and stop at 260 characters; the wide calls
// with the "\\?\" prefix take a name as it is and reach 32,767 characters.
// The walk's names stay in the ANSI code page; only the calls are wide.
#pragma once

#include <windows.h>

#include <string>

namespace sh {

// "\\?\C:\..." or "\\?\UNC\server\share\..." for an absolute path (brought
// to its normal form first); empty when the path is not absolute or does
// not convert.
std::wstring ExactWidePath(const std::string& path);

// A wide name in the ANSI code page; `exact` false when some character has
// no ANSI spelling (the result then holds a stand-in and reaches nothing).
std::string NarrowName(const wchar_t* name, bool& exact);

}  // namespace sh
