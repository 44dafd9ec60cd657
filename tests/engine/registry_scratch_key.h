// Registry keys for the Wine suite: made by the test, removed at its end
// (access lists opened up first, so that a test that restricted a key still
// cleans up after itself).
#pragma once

#include <windows.h>
#include <sddl.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace sh::test {

inline bool KeyExists(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline void MakeKey(HKEY root, const std::string& path) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS)
    RegCloseKey(key);
}

inline void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(key);
}

// "<missing>" when the key or value cannot be read.
inline std::string ReadString(HKEY root, const std::string& path, const std::string& name) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "<missing>";
  char buffer[1024] = {};
  DWORD size = sizeof buffer - 1, type = 0;
  LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? std::string(buffer) : "<missing>";
}

inline std::vector<std::string> SubKeys(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS) return names;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  std::sort(names.begin(), names.end());
  return names;
}

// Value names, the default value as "".
inline std::vector<std::string> ValueNames(HKEY root, const std::string& path) {
  std::vector<std::string> names;
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return names;
  char name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof name;
    if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  RegCloseKey(key);
  std::sort(names.begin(), names.end());
  return names;
}

inline std::vector<BYTE> CurrentUserSid() {
  std::vector<BYTE> sid;
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return sid;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<uint64_t> buffer(size / 8 + 1);
  if (GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
    PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    sid.assign(static_cast<BYTE*>(user), static_cast<BYTE*>(user) + GetLengthSid(user));
  }
  CloseHandle(token);
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

// Gives the key one access-allowed entry for the current user with `mask`
// (no inheritance), or a NULL DACL (everyone, everything) when mask is 0.
inline bool SetUserOnlyDacl(HKEY root, const std::string& path, DWORD mask) {
  std::vector<BYTE> user = CurrentUserSid();
  std::vector<DWORD> aclBuffer(128);
  PACL acl = reinterpret_cast<PACL>(aclBuffer.data());
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  if (mask != 0) {
    InitializeAcl(acl, static_cast<DWORD>(aclBuffer.size() * sizeof(DWORD)), ACL_REVISION);
    AddAccessAllowedAce(acl, ACL_REVISION, mask, user.data());
    SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
  } else {
    SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);
  }
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
  bool ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

// Opens up every key of the tree (the owner may always change a DACL) and
// deletes it with the shell's own delete.
inline void RemoveKeyTree(HKEY root, const std::string& path) {
  if (!KeyExists(root, path)) return;
  SetUserOnlyDacl(root, path, 0);
  for (const std::string& child : SubKeys(root, path)) RemoveKeyTree(root, path + "\\" + child);
  SHDeleteKeyA(root, path.c_str());
}

// Software\shtest-<tag>-<pid>-<n> below `root`, removed at the end.
class ScratchKey {
 public:
  explicit ScratchKey(const std::string& tag, HKEY root = HKEY_CURRENT_USER) : root_(root) {
    static int counter = 0;
    path_ = "Software\\shtest-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    RemoveKeyTree(root_, path_);
    MakeKey(root_, path_);
  }
  ~ScratchKey() { RemoveKeyTree(root_, path_); }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "\\" + rel; }

 private:
  HKEY root_;
  std::string path_;
};

}  // namespace sh::test
