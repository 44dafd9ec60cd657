// Registry path texts: a root name, a backslash and the subkey path.
#pragma once

#include <string>

#include "paths/reg_root.h"

namespace sh {

// Root from the text before the first backslash (the whole text when there
// is none), compared exactly and case-sensitively with the four root names.
RegRoot RootKeyFromPath(const std::string& text);
// Name of one of the four roots; empty for kNone.
std::string RootKeyToName(RegRoot root);
// Everything after the first backslash; empty when there is none.
std::string SubKeyFromPath(const std::string& text);
// A subkey that names something below the root: not empty and not only
// backslashes. Cleaners refuse anything else, so that no root is ever emptied.
bool IsUsableSubKey(const std::string& subKey);

}  // namespace sh
