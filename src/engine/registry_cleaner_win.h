// Registry keys and values of a spot: a key is emptied (its subtree deleted
// and the key created again) so that its program still finds it.
#pragma once

#include <windows.h>

#include <string>

#include "model/catalog.h"
#include "toolkit/seams.h"

namespace sh {

// Deletes `subKey` below `root` with everything under it. A Windows error
// code, 0 on success; an error from any subkey ends the whole operation
// (what was deleted so far stays deleted). An empty subkey, or one of
// backslashes only, would name the root itself: refused with
// ERROR_INVALID_PARAMETER, nothing deleted.
LONG RecurseDeleteKey(HKEY root, const std::string& subKey);

// Deletes the subtree and creates the key again, empty. False (nothing
// created) when the root is null, the subkey is refused or the delete fails.
bool CleanRegistryKeyAt(HKEY root, const std::string& subKey);

// The same for a root of the model. An entry without a root is shown in an
// OK box "Invalid hKey Found in (CleanRegistryKey)" and skipped.
bool CleanRegistryKey(RegRoot root, const std::string& subKey, IPrompt& prompt);

// Deletes one value; an empty name is the key's default value. An entry
// without a root is shown in an OK box "Invalid hKey Found in
// (CleanRegistryValue)". False when the key cannot be opened or the value
// not deleted.
bool CleanRegistryValue(RegRoot root, const std::string& key, const std::string& value, IPrompt& prompt);

// Sets a REG_SZ value in an existing key (the key is never created).
bool SetStringValueInExistingKey(HKEY root, const std::string& key, const std::string& name,
                                 const std::string& value);

}  // namespace sh
