#include "paths/reg_path_win.h"

#include "paths/reg_path.h"
#include "toolkit/win_handles_win.h"

namespace sh {

HKEY RootKeyHandle(RegRoot root) {
  switch (root) {
    case RegRoot::kCurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::kUsers: return HKEY_USERS;
    case RegRoot::kNone: break;
  }
  return nullptr;
}

namespace {

// Full access on purpose: the callers want keys they could also change.
bool OpenFullAccess(const std::string& keyText, ScopedHKey& key) {
  HKEY root = RootKeyHandle(RootKeyFromPath(keyText));
  if (root == nullptr) return false;
  return RegOpenKeyExA(root, SubKeyFromPath(keyText).c_str(), 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS;
}

}  // namespace

bool RegistryKeyExists(const std::string& keyText) {
  ScopedHKey key;
  return OpenFullAccess(keyText, key);
}

std::string ReadRegistryPathValue(const std::string& keyText, const std::string& valueName) {
  ScopedHKey key;
  if (!OpenFullAccess(keyText, key)) return std::string();
  char buffer[260] = {};
  DWORD size = sizeof buffer;
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS)
    return std::string();
  std::string text(buffer, size > sizeof buffer ? sizeof buffer : size);
  // A stored terminator (or anything after one) is not part of the text.
  size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  return text;
}

}  // namespace sh
