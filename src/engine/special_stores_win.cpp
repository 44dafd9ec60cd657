// The recycle bin (walk of every drive's Recycled folder, then the shell's
// empty) and the browser's stored form entries in Protected Storage.
#include "engine/special_stores_win.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstring>

#include "engine/registry_cleaner_win.h"
#include "engine/special_stores.h"
#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {

void CWinRecycleBinShell::EmptyRecycleBin() {
  SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

void CWinSpotCleaners::CleanRecycleBin(CCleaningSpot&, CCleanRunContext& context) {
  int count = 0;
  double size = 0;
  for (const std::string& root : recycleShell_->DriveRoots()) {
    const std::string folder = RecycledFolder(root);
    std::string indexFile = RecycledIndexInfo(folder);
    if (!PathFileExistsA(indexFile.c_str())) {
      indexFile = RecycledIndexInfo2(folder);
      // A drive without a bin index ends the drive loop.
      if (!PathFileExistsA(indexFile.c_str())) break;
    }
    CleanRecycledFolder(context, folder, count, size, indexFile);
  }
  recycleShell_->EmptyRecycleBin();
}

void CWinSpotCleaners::CleanRecycledFolder(CCleanRunContext& context, const std::string& folder, int& count,
                                           double& size, const std::string& indexFile) {
  const std::string dir = RecycledSearchFolder(folder);
  if (dir.empty()) return;
  const std::string desktopIni = dir + "\\desktop.ini";
  WIN32_FIND_DATAA found;
  ScopedFindHandle search(FindFirstFileA(RecycledSearchPattern(folder).c_str(), &found));
  if (!search.valid()) return;
  do {
    if (!context.Running()) break;
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string full = dir + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction in the bin would lead the walk to its live target.
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        CleanRecycledFolder(context, full, count, size, indexFile);
      continue;
    }
    if (EqualsNoCase(full, indexFile) || EqualsNoCase(full, desktopIni)) continue;
    size += static_cast<double>(found.nFileSizeLow);
    ++count;
    ShowFilesAndSize(context, count, size);
    context.Log(logline::Deleting(full));
    deleter_.DeleteTrackFile(full);
    // The bin's index still lists the file: an empty one of the same name
    // stays for the shell's empty to remove with its index entry. Shared, so
    // that a file that could not be deleted while in use is still cut to
    // length 0.
    ScopedHandle placeholder(CreateFileA(full.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    placeholder.reset();
    context.control->PauseAfterFile();
  } while (FindNextFileA(search.get(), &found));
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

void SetDisplayString(HKEY root, const std::string& key) {
  SetStringValueInExistingKey(root, key, kDisplayStringName, kDisplayStringValue);
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

void CWinSpotCleaners::CleanAutoComplete(CCleaningSpot&, CCleanRunContext& context) {
  // Step A: the store named by the user's SID, whose access list may not let
  // the user delete it. Every failure here is silent.
  CTokenUser user;
  if (ntFamily_ && user.Read()) {
    const std::string identity = TextOfSid(user.sid());
    const std::string base = FormStoreBase(identity);
    const std::string store = FormStoreKey(identity);
    std::vector<BYTE> oldDescriptor;
    const bool haveOld = ReadKeyDacl(HKEY_CURRENT_USER, base, oldDescriptor);
    {
      CWidenedDescriptor widened;
      if (widened.Build(user.sid())) {
        ApplyKeyDacl(HKEY_CURRENT_USER, base, widened.get());
        ApplyKeyDacl(HKEY_CURRENT_USER, FormStoreDataKey(identity), widened.get());
        ApplyKeyDaclToTree(HKEY_CURRENT_USER, store, widened.get());
        CleanRegistryKey(RegRoot::kCurrentUser, store, prompt_);
        SetDisplayString(HKEY_CURRENT_USER, store);
      }
    }
    // Only base gets its former list back; Data and below keep the wide one.
    if (haveOld) ApplyKeyDacl(HKEY_CURRENT_USER, base, oldDescriptor.data());
  }

  // Step B: the store named by the logon name, in the user's hive or else
  // the machine's.
  char name[260] = {};
  DWORD length = sizeof name;
  if (!GetUserNameA(name, &length) || name[0] == '\0') return;
  const std::string path = FormStoreKey(name);
  if (CleanRegistryKey(RegRoot::kCurrentUser, path, prompt_)) {
    context.Log(logline::CleanedFormStore(RegRoot::kCurrentUser, path));
    SetDisplayString(HKEY_CURRENT_USER, path);
  } else if (CleanRegistryKey(RegRoot::kLocalMachine, path, prompt_)) {
    context.Log(logline::CleanedFormStore(RegRoot::kLocalMachine, path));
    SetDisplayString(HKEY_LOCAL_MACHINE, path);
  }
}

bool IsNtFamilyFromVersion() {
  OSVERSIONINFOA info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace sh
