// The one registry write the cleaners need beyond deleting: a string value
// in a key that must already exist.
#pragma once

#include <windows.h>

#include <string>

namespace sh {

// Sets a REG_SZ value in an existing key (the key is never created).
bool SetStringValueInExistingKey(HKEY root, const std::string& key, const std::string& name,
                                 const std::string& value);

}  // namespace sh
