#include "engine/registry_cleaner_win.h"

#include "toolkit/win_handles_win.h"

namespace sh {

bool SetStringValueInExistingKey(HKEY root, const std::string& key, const std::string& name,
                                 const std::string& value) {
  ScopedHKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, opened.Receive()) != ERROR_SUCCESS) return false;
  return RegSetValueExA(opened.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace sh
