// Registry cleaning: key entries, then value entries, one pump at the end.
#include "engine/registry_cleaner_win.h"

#include "engine/registry_cleaner.h"
#include "engine/win_cleaners_win.h"
#include "paths/reg_path.h"
#include "paths/reg_path_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

LONG RecurseDeleteKey(HKEY root, const std::string& subKey) {
  if (root == nullptr || !IsUsableSubKey(subKey)) return ERROR_INVALID_PARAMETER;
  {
    ScopedHKey key;
    LONG result = RegOpenKeyExA(root, subKey.c_str(), 0, KEY_ALL_ACCESS, key.Receive());
    if (result != ERROR_SUCCESS) return result;
    for (;;) {
      char name[256];
      DWORD length = sizeof name;
      if (RegEnumKeyExA(key.get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      result = RecurseDeleteKey(key.get(), std::string(name, length));
      if (result != ERROR_SUCCESS) return result;
    }
  }
  return RegDeleteKeyA(root, subKey.c_str());
}

bool CleanRegistryKeyAt(HKEY root, const std::string& subKey) {
  if (RecurseDeleteKey(root, subKey) != ERROR_SUCCESS) return false;
  ScopedHKey created;
  RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                  created.Receive(), nullptr);
  return true;
}

bool CleanRegistryKey(RegRoot root, const std::string& subKey, IPrompt& prompt) {
  HKEY handle = RootKeyHandle(root);
  if (handle == nullptr) {
    prompt.Ask(InvalidKeyPrompt(subKey));
    return false;
  }
  return CleanRegistryKeyAt(handle, subKey);
}

bool CleanRegistryValue(RegRoot root, const std::string& key, const std::string& value, IPrompt& prompt) {
  HKEY handle = RootKeyHandle(root);
  if (handle == nullptr) {
    prompt.Ask(InvalidValuePrompt(key, value));
    return false;
  }
  ScopedHKey opened;
  if (RegOpenKeyExA(handle, key.c_str(), 0, KEY_ALL_ACCESS, opened.Receive()) != ERROR_SUCCESS) return false;
  return RegDeleteValueA(opened.get(), value.c_str()) == ERROR_SUCCESS;
}

bool SetStringValueInExistingKey(HKEY root, const std::string& key, const std::string& name,
                                 const std::string& value) {
  ScopedHKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, opened.Receive()) != ERROR_SUCCESS) return false;
  return RegSetValueExA(opened.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

void CWinSpotCleaners::CleanRegistry(CCleaningSpot& spot, CCleanRunContext& context) {
  int cleaned = 0;
  for (const CRegKeyEntry& entry : spot.RegKeys) {
    context.Log(logline::RegKey(entry.Root, entry.SubKey));
    if (CleanRegistryKey(entry.Root, entry.SubKey, prompt_)) ++cleaned;
  }
  for (const CRegValueEntry& entry : spot.RegValues) {
    context.Log(logline::RegValue(entry.Root, entry.SubKey, entry.ValueName));
    if (CleanRegistryValue(entry.Root, entry.SubKey, entry.ValueName, prompt_)) ++cleaned;
  }
  // The Files column belongs to the files when the spot has folder entries;
  // a registry-only spot shows how many of its entries were cleaned.
  if (spot.Folders.empty())
    context.progress->SetCellText(context.row, context.filesColumn, CleanedKeysText(cleaned));
  context.control->PumpMessages();
}

}  // namespace sh
