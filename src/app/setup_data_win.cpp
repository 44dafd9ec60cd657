#include "app/setup_data_win.h"

#include <windows.h>
#include <aclapi.h>

#include <memory>

#include "toolkit/text.h"

namespace sh {
namespace {

struct SidFree {
  void operator()(void* sid) const { FreeSid(sid); }
};
struct LocalMemFree {
  void operator()(void* memory) const { LocalFree(memory); }
};

}  // namespace

bool LetUsersChangeFolder(const std::string& folder, std::string& why) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID rawUsers = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0,
                                &rawUsers)) {
    why = Format("the Users group's identifier could not be made (error %lu)", GetLastError());
    return false;
  }
  std::unique_ptr<void, SidFree> users(rawUsers);

  PACL current = nullptr;  // points into `descriptor`
  PSECURITY_DESCRIPTOR rawDescriptor = nullptr;
  DWORD error = GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                      &current, nullptr, &rawDescriptor);
  std::unique_ptr<void, LocalMemFree> descriptor(rawDescriptor);
  if (error != ERROR_SUCCESS) {
    why = Format("the rights of %s could not be read (error %lu)", folder.c_str(), error);
    return false;
  }

  // Modify, not full control: the group cannot change the rights themselves.
  EXPLICIT_ACCESS_A entry = {};
  entry.grfAccessPermissions = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;
  entry.grfAccessMode = GRANT_ACCESS;
  entry.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  entry.Trustee.ptstrName = static_cast<LPSTR>(users.get());
  PACL rawMerged = nullptr;
  error = SetEntriesInAclA(1, &entry, current, &rawMerged);
  std::unique_ptr<void, LocalMemFree> merged(rawMerged);
  if (error != ERROR_SUCCESS) {
    why = Format("the new rights could not be made (error %lu)", error);
    return false;
  }
  // Passes the inheritable entry on to what the folder holds already.
  std::string name = folder;
  error = SetNamedSecurityInfoA(&name[0], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, rawMerged,
                                nullptr);
  if (error != ERROR_SUCCESS) {
    why = Format("the rights of %s could not be changed (error %lu)", folder.c_str(), error);
    return false;
  }
  return true;
}

}  // namespace sh
