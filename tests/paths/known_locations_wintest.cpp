// Known locations and macros on the real registry and folders of the prefix.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "paths/known_locations_win.h"
#include "paths/reg_path_win.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "support/win_fs.h"

namespace sh {
namespace {

// The shell folders and messenger ids the registry holds go into the store
// and come back out of the macros, with the live system folders.
TEST(KnownLocationsWin, FromTheRegistryThroughTheStoreIntoPaths) {
  test::RegistryGuard guard;
  test::ScratchDir dir("known");
  const std::string shell = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  const std::string tests = "Software\\SweepHarbor Tests\\Paths";
  const std::string aim = "Software\\America Online\\AOL Instant Messenger (TM)";
  guard.SetString(HKEY_CURRENT_USER, shell, "Cache", dir / "Cache");
  guard.SetString(HKEY_CURRENT_USER, shell, "Local AppData", dir / "Local\\");
  guard.SetString(HKEY_CURRENT_USER, "Identities", "Default User ID", "{0815}");
  guard.SetString(HKEY_CURRENT_USER, "Software\\Yahoo\\pager", "Yahoo! User ID", "jdoe_test");
  guard.SetString(HKEY_CURRENT_USER, aim + "\\CurrentVersion\\Login", "Screen Name", "aimtest");
  guard.SetString(HKEY_CURRENT_USER, tests, "fits", std::string(259, 'f'));  // 260 bytes with its zero
  guard.SetString(HKEY_CURRENT_USER, tests, "over", std::string(260, 'o'));
  test::MapSettings store;
  store.values["path"] = dir / "gone";
  RefreshKnownLocations(store);
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  EXPECT_EQ(store.values["IE_Cache"], dir / "Cache");
  EXPECT_EQ(store.values["OutlookFolder"], dir / "Local\\Identities\\{0815}\\Microsoft\\Outlook Express");
  EXPECT_EQ(store.values["Sys_Temp"], temp);
  EXPECT_EQ(store.values["path"], "C:\\SweepHarbor") << "the data folder is gone: the program's folder";
  CWinMacroValues values(store);
  std::string path = ":IE_Cache:|:WINDIR:|:SYS:|:AOL_USER:", key = "HKEY_CURRENT_USER\\Software\\:YAHOO_USER:";
  EXPECT_TRUE(ExpandPathMacros(path, values) && ExpandYahooUser(key, values));
  EXPECT_EQ(path, dir / "Cache|" + GetWindowsFolder() + "|" + GetSystemFolder() + "|aimtest");
  EXPECT_EQ(key, "HKEY_CURRENT_USER\\Software\\jdoe_test");
  EXPECT_EQ(ReadRegistryPathValue("HKEY_CURRENT_USER\\" + tests, "fits"), std::string(259, 'f'));
  EXPECT_EQ(ReadRegistryPathValue("HKEY_CURRENT_USER\\" + tests, "over"), "");
  EXPECT_TRUE(RegistryKeyExists("HKEY_CURRENT_USER\\SOFTWARE\\SWEEPHARBOR TESTS\\PATHS"));
  EXPECT_FALSE(RegistryKeyExists("HKEY_CURRENT_USER\\" + tests + "\\Missing"));
  EXPECT_FALSE(RegistryKeyExists("hkey_current_user\\Software"));
}

}  // namespace
}  // namespace sh
