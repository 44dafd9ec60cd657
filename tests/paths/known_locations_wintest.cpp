// Known locations and macros, and the settings store that holds them, on
// the real registry and folders of the prefix.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "paths/known_locations_win.h"
#include "paths/reg_path_win.h"
#include "settings/registry_settings_win.h"
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

// The settings store, which holds the known locations.
// Settings are written as REG_SZ; read back is text up to 259 bytes, with
// expandable text expanded. Anything else stored under a setting's name (by
// hand, by another tool) reads as no value.
TEST(RegistrySettings, TextValuesOnly) {
  test::RegistryGuard guard;
  ScopedHKey key = guard.Create(HKEY_CURRENT_USER, kProductKey);
  guard.Delete(HKEY_CURRENT_USER, kProductKey, "Shred");
  CRegistrySettingsStore store;
  ASSERT_TRUE(store.Write("Shred", "abc"));
  DWORD type = 0;
  EXPECT_EQ(RegQueryValueExA(key.get(), "Shred", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(store.Read("Shred"), "abc");
  SetEnvironmentVariableA("SH_TEST_FOLDER", "C:\\Test Folder");
  const struct { DWORD type; std::string data, read; } cases[] = {
      {REG_SZ, std::string(259, 'x'), std::string(259, 'x')}, {REG_SZ, std::string(260, 'x'), ""}, {REG_SZ, "", ""},
      {REG_DWORD, std::string("1\0\0\0", 4), ""}, {REG_QWORD, std::string("1\0\0\0\0\0\0\0", 8), ""},
      {REG_BINARY, "1", ""}, {REG_MULTI_SZ, std::string("1\0\0", 3), ""}, {REG_NONE, "1", ""},
      {REG_EXPAND_SZ, std::string("%SH_TEST_FOLDER%\\Data", 22), "C:\\Test Folder\\Data"}};
  for (const auto& c : cases) {
    guard.SetRaw(HKEY_CURRENT_USER, kProductKey, "Shred", c.type, c.data);
    EXPECT_EQ(store.Read("Shred"), c.read) << c.type << " " << c.data.size();
  }
  SetEnvironmentVariableA("SH_TEST_FOLDER", std::string(300, 'x').c_str());
  EXPECT_EQ(store.Read("Shred"), "") << "an expansion too long for the buffer";
  SetEnvironmentVariableA("SH_TEST_FOLDER", nullptr);
}

// A write never creates the product key (its absence marks the first run);
// a handle whose key was deleted is dropped, so nothing is written into it.
TEST(RegistrySettings, DeletedProductKeyIsNeverWrittenInto) {
  test::RegistryGuard guard;  // puts every value back once the key is there again
  CRegistrySettingsStore store;
  ASSERT_TRUE(guard.Create(HKEY_CURRENT_USER, kProductKey).valid() && store.Write("Shred", store.Read("Shred")));
  {
    ScopedHKey key = guard.Create(HKEY_CURRENT_USER, kProductKey);
    char name[256];
    for (DWORD size = sizeof name; RegEnumValueA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr) == 0;
         size = sizeof name)
      guard.Delete(HKEY_CURRENT_USER, kProductKey, name);
  }
  ASSERT_EQ(SHDeleteKeyA(HKEY_CURRENT_USER, kProductKey), ERROR_SUCCESS);
  EXPECT_FALSE(store.Write("Shred", "1"));
  EXPECT_EQ(ProductKeyExistsNot(), 1);
  ASSERT_EQ(CreateProductKey(), 1);
  EXPECT_TRUE(store.Write("Shred", "1"));
  EXPECT_EQ(CRegistrySettingsStore().Read("Shred"), "1");
}

}  // namespace
}  // namespace sh
