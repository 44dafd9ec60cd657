#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "paths/known_locations_win.h"
#include "paths/reg_path_win.h"
#include "paths/registry_guard.h"
#include "settings/registry_settings_win.h"
#include "support/win_fs.h"

namespace sh {
namespace {

using test::RegistryGuard;
using test::ScratchDir;

const char kShell[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kTestKey[] = "Software\\SweepHarbor Tests\\Paths";

const char* const kStoredNames[] = {"IE_Cache",      "IE_Cookies",     "IE_History",
                                    "Recent",        "Sys_Temp",       "Win_Temp",
                                    "OutlookFolder", "OutlookFolder2", "MSN_Received_Files_Folder",
                                    "APP_DATA",      "LOCAL_APPDATA",  "COMMON_APPDATA",
                                    "AOL_DATA_PATH", "path"};

// Keeps every stored location (and the product key itself) as it was.
void GuardProductKey(RegistryGuard& guard) {
  guard.Create(HKEY_CURRENT_USER, kProductKey);
  for (const char* name : kStoredNames) guard.Delete(HKEY_CURRENT_USER, kProductKey, name);
}

std::string WindowsDir() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

TEST(RefreshKnownLocationsWin, StoresWhatTheRegistryAndTheSystemSay) {
  RegistryGuard guard;
  GuardProductKey(guard);
  ScratchDir dir("known");
  guard.SetString(HKEY_CURRENT_USER, kShell, "Cache", dir / "Cache");
  guard.SetString(HKEY_CURRENT_USER, kShell, "Cookies", dir / "Cookies");
  guard.SetString(HKEY_CURRENT_USER, kShell, "History", dir / "History");
  guard.SetString(HKEY_CURRENT_USER, kShell, "Recent", dir / "Recent");
  guard.SetString(HKEY_CURRENT_USER, kShell, "Local AppData", dir / "Local\\");
  guard.SetString(HKEY_CURRENT_USER, kShell, "AppData", dir / "Roaming");
  guard.SetString(HKEY_CURRENT_USER, kShell, "Personal", dir / "Docs");
  guard.SetString(HKEY_LOCAL_MACHINE, kShell, "Common AppData", dir / "Common");
  guard.SetString(HKEY_CURRENT_USER, "Identities", "Default User ID", "{0815}");
  guard.Delete(HKEY_CURRENT_USER, "Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Misc",
               "DataPath");
  WriteSetting("AOL_DATA_PATH", "C:\\stale");
  WriteSetting("path", dir / "gone");

  RefreshKnownLocations();

  EXPECT_EQ(ReadSetting("IE_Cache"), dir / "Cache");
  EXPECT_EQ(ReadSetting("IE_Cookies"), dir / "Cookies");
  EXPECT_EQ(ReadSetting("IE_History"), dir / "History");
  EXPECT_EQ(ReadSetting("Recent"), dir / "Recent");
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  EXPECT_EQ(ReadSetting("Sys_Temp"), temp);
  EXPECT_EQ(ReadSetting("Win_Temp"), WindowsDir() + "\\temp");
  EXPECT_EQ(ReadSetting("OutlookFolder"), dir / "Local\\Identities\\{0815}\\Microsoft\\Outlook Express");
  EXPECT_EQ(ReadSetting("OutlookFolder2"), dir / "Roaming\\Identities\\{0815}\\Microsoft\\Outlook Express");
  EXPECT_EQ(ReadSetting("MSN_Received_Files_Folder"), dir / "Docs\\My Received Files");
  EXPECT_EQ(ReadSetting("APP_DATA"), dir / "Roaming");
  EXPECT_EQ(ReadSetting("LOCAL_APPDATA"), dir / "Local\\");
  EXPECT_EQ(ReadSetting("COMMON_APPDATA"), dir / "Common");
  EXPECT_EQ(ReadSetting("AOL_DATA_PATH"), "");  // written empty over the stale value
  // The data folder no longer exists: the executable's folder instead.
  EXPECT_EQ(ReadSetting("path"), "C:\\SweepHarbor");
  EXPECT_EQ(GetModuleDir(), "C:\\SweepHarbor");
}

TEST(RefreshKnownLocationsWin, KeepsAnExistingDataFolder) {
  RegistryGuard guard;
  GuardProductKey(guard);
  ScratchDir dir("datafolder");
  WriteSetting("path", dir.path());
  RefreshKnownLocations();
  EXPECT_EQ(ReadSetting("path"), dir.path());
}

TEST(ExpandPathMacrosWin, StoredValuesAndLiveFolders) {
  RegistryGuard guard;
  GuardProductKey(guard);
  WriteSetting("IE_Cache", "C:\\Cache Test\\");
  WriteSetting("APP_DATA", "");
  std::string path = ":IE_Cache:\\Content.IE5\\*.*";
  EXPECT_TRUE(ExpandPathMacros(path));
  EXPECT_EQ(path, "C:\\Cache Test\\Content.IE5\\*.*");
  path = ":APPDATA:\\x|:WINDIR:\\\\Temp|:SYS:|:PF:";
  EXPECT_FALSE(ExpandPathMacros(path)) << "APP_DATA stands for nothing";
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(path, "\\x|" + WindowsDir() + "\\Temp|" + system + "|" + GetProgramFilesDir());
}

TEST(GetProgramFilesDirWin, EnvironmentFirstThenTheShell) {
  char saved[MAX_PATH] = {};
  DWORD had = GetEnvironmentVariableA("ProgramFiles", saved, MAX_PATH);
  SetEnvironmentVariableA("ProgramFiles", "D:\\Programs Test");
  EXPECT_EQ(GetProgramFilesDir(), "D:\\Programs Test");
  SetEnvironmentVariableA("ProgramFiles", nullptr);
  std::string fallback = GetProgramFilesDir();
  SetEnvironmentVariableA("ProgramFiles", had ? saved : nullptr);
  // The shell's folder, or the Windows drive's "Program Files".
  EXPECT_EQ(fallback.find('%'), std::string::npos) << fallback;
  ASSERT_GE(fallback.size(), 13u);
  EXPECT_EQ(fallback.substr(fallback.size() - 13), "Program Files") << fallback;
  EXPECT_EQ(fallback[1], ':');
}

TEST(MessengerIdsWin, YahooAndAim) {
  RegistryGuard guard;
  guard.SetString(HKEY_CURRENT_USER, "Software\\Yahoo\\pager", "Yahoo! User ID", "jdoe_test");
  guard.SetString(HKEY_CURRENT_USER,
                  "Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Login", "Screen Name",
                  "aimtest");
  EXPECT_EQ(GetYahooUserId(), "jdoe_test");
  EXPECT_EQ(GetAimScreenName(), "aimtest");
  std::string key = "HKEY_CURRENT_USER\\Software\\Yahoo\\pager\\profiles\\:YAHOO_USER:";
  ExpandYahooUser(key);
  EXPECT_EQ(key, "HKEY_CURRENT_USER\\Software\\Yahoo\\pager\\profiles\\jdoe_test");
  guard.Delete(HKEY_CURRENT_USER, "Software\\Yahoo\\pager", "Yahoo! User ID");
  EXPECT_EQ(GetYahooUserId(), "");
  key = "HKEY_CURRENT_USER\\Software\\Yahoo\\pager\\profiles\\:YAHOO_USER:";
  EXPECT_FALSE(ExpandYahooUser(key)) << key;
}

TEST(RegistryKeyExistsWin, OpensWithFullAccess) {
  RegistryGuard guard;
  guard.Create(HKEY_CURRENT_USER, kTestKey);
  EXPECT_TRUE(RegistryKeyExists(std::string("HKEY_CURRENT_USER\\") + kTestKey));
  EXPECT_TRUE(RegistryKeyExists("HKEY_CURRENT_USER\\SOFTWARE\\SWEEPHARBOR TESTS\\PATHS"));  // any case
  EXPECT_FALSE(RegistryKeyExists("HKEY_CURRENT_USER\\Software\\SweepHarbor Tests\\Missing"));
  EXPECT_FALSE(RegistryKeyExists("hkey_current_user\\Software"));
  EXPECT_FALSE(RegistryKeyExists("HKCU\\Software"));
  EXPECT_FALSE(RegistryKeyExists(""));
}

// A key everyone may read but no one may change.
bool MakeReadOnly(HKEY key) {
  EXPLICIT_ACCESSA access = {};
  access.grfAccessPermissions = KEY_READ;
  access.grfAccessMode = SET_ACCESS;
  access.grfInheritance = NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = const_cast<char*>("EVERYONE");
  PACL acl = nullptr;
  if (SetEntriesInAclA(1, &access, nullptr, &acl) != ERROR_SUCCESS) return false;
  DWORD rc = SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                             nullptr, nullptr, acl, nullptr);
  LocalFree(acl);
  return rc == ERROR_SUCCESS;
}

// Gives the key an open access list again so that it can be deleted.
struct OpenAccessAtEnd {
  std::string subKey;
  ~OpenAccessAtEnd() {
    ScopedHKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, WRITE_DAC, key.Receive()) == ERROR_SUCCESS)
      SetSecurityInfo(key.get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
  }
};

TEST(RegistryKeyExistsWin, ReadOnlyKeyCountsAsAbsent) {
  RegistryGuard guard;
  const std::string sub = std::string(kTestKey) + "\\ReadOnly";
  guard.Create(HKEY_CURRENT_USER, kTestKey);
  OpenAccessAtEnd reopen{sub};
  {
    ScopedHKey key = guard.Create(HKEY_CURRENT_USER, sub);
    RegSetValueExA(key.get(), "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    ASSERT_TRUE(MakeReadOnly(key.get()));
  }
  ScopedHKey readable;
  ScopedHKey writable;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, KEY_READ, readable.Receive()), ERROR_SUCCESS);
  if (RegOpenKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, KEY_ALL_ACCESS, writable.Receive()) == ERROR_SUCCESS)
    GTEST_SKIP() << "this platform grants full access to a read-only key";
  EXPECT_FALSE(RegistryKeyExists("HKEY_CURRENT_USER\\" + sub));
  EXPECT_EQ(ReadRegistryPathValue("HKEY_CURRENT_USER\\" + sub, "v"), "");
}

TEST(ReadRegistryPathValueWin, BufferOf260Bytes) {
  RegistryGuard guard;
  const std::string key = std::string("HKEY_CURRENT_USER\\") + kTestKey;
  const std::string fits(259, 'f');   // with its terminator: 260 bytes
  const std::string over(260, 'o');   // 261 bytes: cannot be read
  guard.SetString(HKEY_CURRENT_USER, kTestKey, "fits", fits);
  guard.SetString(HKEY_CURRENT_USER, kTestKey, "over", over);
  guard.SetString(HKEY_CURRENT_USER, kTestKey, "bare", "no terminator", false);
  guard.SetRaw(HKEY_CURRENT_USER, kTestKey, "expand", REG_EXPAND_SZ, std::string("%TEMP%\\x", 9));
  guard.SetString(HKEY_CURRENT_USER, kTestKey, "", "default");
  EXPECT_EQ(ReadRegistryPathValue(key, "fits"), fits);
  EXPECT_EQ(ReadRegistryPathValue(key, "over"), "");
  EXPECT_EQ(ReadRegistryPathValue(key, "bare"), "no terminator");
  EXPECT_EQ(ReadRegistryPathValue(key, "expand"), "%TEMP%\\x");  // as stored, not expanded
  EXPECT_EQ(ReadRegistryPathValue(key, ""), "default");
  EXPECT_EQ(ReadRegistryPathValue(key, "missing"), "");
  EXPECT_EQ(ReadRegistryPathValue(key + "\\Missing", "fits"), "");
  EXPECT_EQ(ReadRegistryPathValue("HKEY_NOWHERE\\" + std::string(kTestKey), "fits"), "");
}

}  // namespace
}  // namespace sh
