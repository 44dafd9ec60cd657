// Registry path texts on the real registry.
#pragma once

#include <windows.h>

#include <string>

#include "paths/reg_root.h"

namespace sh {

// The predefined handle of a root; null for kNone.
HKEY RootKeyHandle(RegRoot root);

// Root from the text, subkey after the first backslash. True when the key
// opens with full access: a key the user may only read counts as absent.
bool RegistryKeyExists(const std::string& keyText);

// Opens the key as above and reads the value into 260 bytes; the text ends
// at the length the system returns. Empty when the key cannot be opened with
// full access or the value cannot be read (also when it is too long).
std::string ReadRegistryPathValue(const std::string& keyText, const std::string& valueName);

}  // namespace sh
