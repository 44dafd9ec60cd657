// Registry keys for the Wine suite: made by the test, removed at its end
// (access lists opened up first, so that a test that restricted a key still
// cleans up after itself).
#pragma once

#include <windows.h>
#include <sddl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/win_handles_win.h"

namespace sh::test {

inline bool KeyExists(HKEY root, const std::string& path) {
  ScopedHKey key;
  return RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL, key.Receive()) == ERROR_SUCCESS;
}

inline void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
  ScopedHKey key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr) ==
      ERROR_SUCCESS)
    RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

inline void MakeKey(HKEY root, const std::string& path) {
  ScopedHKey key;
  RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
}

// "<missing>" when the key or value cannot be read.
inline std::string ReadString(HKEY root, const std::string& path, const std::string& name) {
  ScopedHKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return "<missing>";
  char buffer[1024] = {};
  DWORD size = sizeof buffer - 1;
  return RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) ==
                 ERROR_SUCCESS
             ? std::string(buffer)
             : "<missing>";
}

inline std::vector<std::string> SubKeys(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  ScopedHKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, key.Receive()) != ERROR_SUCCESS) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Value names, the default value as "".
inline std::vector<std::string> ValueNames(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  ScopedHKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return names;
  char name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumValueA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline std::vector<BYTE> CurrentUserSid() {
  std::vector<BYTE> sid;
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return sid;
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<uint64_t> buffer(size / 8 + 1);
  if (GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
    PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    sid.assign(static_cast<BYTE*>(user), static_cast<BYTE*>(user) + GetLengthSid(user));
  }
  return sid;
}

// The SID text as the system writes it.
inline std::string SidString(PSID sid) {
  char* text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return std::string();
  std::string out = text;
  LocalFree(text);
  return out;
}

// The key's access list: one entry for the current user with `userMask`,
// an empty list (nobody) for 0, no list at all (everyone) for nullopt.
inline bool SetKeyDacl(HKEY root, const std::string& path, std::optional<DWORD> userMask) {
  std::vector<BYTE> user = CurrentUserSid();
  std::vector<DWORD> aclBuffer(128);
  PACL acl = reinterpret_cast<PACL>(aclBuffer.data());
  InitializeAcl(acl, static_cast<DWORD>(aclBuffer.size() * sizeof(DWORD)), ACL_REVISION);
  if (userMask.value_or(0) != 0) AddAccessAllowedAce(acl, ACL_REVISION, *userMask, user.data());
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, userMask ? acl : nullptr, FALSE);
  ScopedHKey key;
  return RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, key.Receive()) == ERROR_SUCCESS &&
         RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
}

// Opens up every key of the tree (the owner may always change a list) and
// deletes it with the shell's own delete.
inline void RemoveKeyTree(HKEY root, const std::string& path) {
  if (!SetKeyDacl(root, path, std::nullopt)) return;
  for (const std::string& child : SubKeys(root, path)) RemoveKeyTree(root, path + "\\" + child);
  SHDeleteKeyA(root, path.c_str());
}

// Software\shtest-<tag>-<pid>-<n> below HKEY_CURRENT_USER, removed at the end.
class ScratchKey {
 public:
  explicit ScratchKey(const std::string& tag) {
    static int counter = 0;
    path_ = "Software\\shtest-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    RemoveKeyTree(HKEY_CURRENT_USER, path_);
    MakeKey(HKEY_CURRENT_USER, path_);
  }
  ~ScratchKey() { RemoveKeyTree(HKEY_CURRENT_USER, path_); }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "\\" + rel; }

 private:
  std::string path_;
};

}  // namespace sh::test
