// The recycle bin (walk of every drive's Recycled folder, then the shell's
// empty) and the browser's stored form entries in Protected Storage.
#include "engine/special_stores_win.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>

#include "engine/special_stores.h"
#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {

void CWinRecycleBinShell::EmptyRecycleBin() {
  SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

namespace {

constexpr DWORD kInheritToSubkeys = CONTAINER_INHERIT_ACE | OBJECT_INHERIT_ACE;

// The token user's SID, copied into storage of our own.
class CTokenUser {
 public:
  bool Read() {
    ScopedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size < sizeof(TOKEN_USER)) return false;
    buffer_.assign((size + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0);
    if (!GetTokenInformation(token.get(), TokenUser, buffer_.data(), size, &size)) return false;
    return IsValidSid(sid()) != FALSE;
  }
  PSID sid() const { return reinterpret_cast<const TOKEN_USER*>(buffer_.data())->User.Sid; }

 private:
  std::vector<uint64_t> buffer_;
};

std::string TextOfSid(PSID sid) {
  uint8_t authority[6];
  std::memcpy(authority, GetSidIdentifierAuthority(sid)->Value, sizeof authority);
  std::vector<uint32_t> subs;
  const UCHAR n = *GetSidSubAuthorityCount(sid);
  for (UCHAR i = 0; i < n; ++i) subs.push_back(*GetSidSubAuthority(sid, i));
  return SidText(authority, subs);
}

// Full key access for the user and the local system account, inherited by
// every key below.
class CWidenedDescriptor {
 public:
  CWidenedDescriptor() = default;
  CWidenedDescriptor(const CWidenedDescriptor&) = delete;
  CWidenedDescriptor& operator=(const CWidenedDescriptor&) = delete;

  bool Build(PSID user) {
    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    if (!AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0,
                                  system_.Receive()))
      return false;
    const DWORD aceBase = sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD);
    const DWORD aclSize = sizeof(ACL) + 2 * aceBase + GetLengthSid(user) + GetLengthSid(system_.get());
    acl_.assign((aclSize + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    PACL acl = reinterpret_cast<PACL>(acl_.data());
    return InitializeAcl(acl, aclSize, ACL_REVISION) &&
           AddAccessAllowedAceEx(acl, ACL_REVISION, kInheritToSubkeys, KEY_ALL_ACCESS, user) &&
           AddAccessAllowedAceEx(acl, ACL_REVISION, kInheritToSubkeys, KEY_ALL_ACCESS, system_.get()) &&
           InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE);
  }
  PSECURITY_DESCRIPTOR get() { return &descriptor_; }

 private:
  ScopedAllocatedSid system_;
  std::vector<DWORD> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
};

bool ApplyKeyDacl(HKEY root, const std::string& key, PSECURITY_DESCRIPTOR descriptor) {
  ScopedHKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, WRITE_DAC, opened.Receive()) != ERROR_SUCCESS) return false;
  return RegSetKeySecurity(opened.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
}

// The key and every key below it, depth first. The names are read once the
// key's own list is widened, so that its subkeys can be listed.
void ApplyKeyDaclToTree(HKEY root, const std::string& key, PSECURITY_DESCRIPTOR descriptor) {
  ApplyKeyDacl(root, key, descriptor);
  std::vector<std::string> children;
  {
    ScopedHKey opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, opened.Receive()) != ERROR_SUCCESS) return;
    for (DWORD i = 0;; ++i) {
      char name[256];
      DWORD length = sizeof name;
      if (RegEnumKeyExA(opened.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      children.emplace_back(name, length);
    }
  }
  for (const std::string& child : children) ApplyKeyDaclToTree(root, key + "\\" + child, descriptor);
}

}  // namespace

std::string CurrentUserSidText() {
  CTokenUser user;
  return user.Read() ? TextOfSid(user.sid()) : std::string();
}

bool ReadKeyDacl(HKEY root, const std::string& key, std::vector<BYTE>& descriptor) {
  descriptor.clear();
  ScopedHKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, READ_CONTROL, opened.Receive()) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  if (RegGetKeySecurity(opened.get(), DACL_SECURITY_INFORMATION, nullptr, &size) != ERROR_INSUFFICIENT_BUFFER ||
      size == 0)
    return false;
  descriptor.assign(size, 0);
  if (RegGetKeySecurity(opened.get(), DACL_SECURITY_INFORMATION, descriptor.data(), &size) != ERROR_SUCCESS) {
    descriptor.clear();
    return false;
  }
  return true;
}

bool WidenFormStore(const std::string& sid, std::vector<BYTE>& oldDescriptor) {
  oldDescriptor.clear();
  CTokenUser user;
  if (sid.empty() || !user.Read() || TextOfSid(user.sid()) != sid) return false;
  const std::string base = FormStoreBase(sid);
  ReadKeyDacl(HKEY_CURRENT_USER, base, oldDescriptor);
  CWidenedDescriptor widened;
  if (!widened.Build(user.sid())) return false;
  ApplyKeyDacl(HKEY_CURRENT_USER, base, widened.get());
  ApplyKeyDacl(HKEY_CURRENT_USER, FormStoreDataKey(sid), widened.get());
  ApplyKeyDaclToTree(HKEY_CURRENT_USER, FormStoreKey(sid), widened.get());
  return true;
}

void RestoreFormStore(const std::string& sid, std::vector<BYTE>& oldDescriptor) {
  // Only base gets its former list back; Data and below keep the wide one.
  if (!oldDescriptor.empty()) ApplyKeyDacl(HKEY_CURRENT_USER, FormStoreBase(sid), oldDescriptor.data());
  oldDescriptor.clear();
}

}  // namespace sh
