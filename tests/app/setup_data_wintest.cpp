// The data folder the setup program opens to the Users group: an entry of
// its own access list, inherited by what the folder holds and will hold.
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>

#include "app/setup_data_win.h"
#include "support/win_fs.h"

namespace sh {
namespace {

using namespace sh::test;

// The mask the Users group is allowed on `path` by an entry of its list
// (0 when none), and that entry's inheritance flags.
DWORD UsersMask(const std::string& path, BYTE* flags) {
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl,
                            nullptr, &descriptor) != ERROR_SUCCESS)
    return 0;
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID users = nullptr;
  AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0, &users);
  DWORD mask = 0;
  for (DWORD i = 0; acl != nullptr && i < acl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(acl, i, reinterpret_cast<void**>(&ace)) || ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    if (!EqualSid(&ace->SidStart, users)) continue;
    mask |= ace->Mask;
    *flags = ace->Header.AceFlags;
  }
  FreeSid(users);
  LocalFree(descriptor);
  return mask;
}

TEST(SetupData, TheUsersGroupMayChangeTheDataFolderAndWhatItHolds) {
  ScratchDir data("setup-data");
  WriteBytes(data / "Splst.swh", 10);  // there before: gets the entry too
  std::string why;
  ASSERT_TRUE(LetUsersChangeFolder(data.path(), why)) << why;
  EXPECT_FALSE(LetUsersChangeFolder(data / "missing", why));
  EXPECT_NE(why.find("could not be read"), std::string::npos) << why;
  // Wine keeps no access list on a file of this file system: it reads back
  // one of its own making, without the entry. Windows keeps it.
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr) return;
  BYTE flags = 0;
  const DWORD modify = FILE_GENERIC_READ | FILE_GENERIC_WRITE | DELETE;
  EXPECT_EQ(UsersMask(data.path(), &flags) & modify, modify);
  EXPECT_EQ(flags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE), OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
  EXPECT_EQ(UsersMask(data / "Splst.swh", &flags) & modify, modify);
  EXPECT_EQ(UsersMask(data.path(), &flags) & WRITE_DAC, 0u) << "the rights themselves stay the owners'";
}

}  // namespace
}  // namespace sh
