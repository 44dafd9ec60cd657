// Known locations and macros, and the settings store that holds them, on
// the real registry and folders of the prefix.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

#include "paths/known_locations_win.h"
#include "paths/reg_path_win.h"
#include "settings/registry_settings_win.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "support/win_fs.h"
#include "toolkit/text.h"

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

// A stand-in for SHGetKnownFolderPath: hands `answer` over in memory of the
// COM allocator, as the shell does (also with a failure), and keeps what it
// was asked.
struct KnownFolderFake {
  static HRESULT result;
  static const wchar_t* answer;
  static GUID askedId;
  static DWORD askedFlags;
  static HRESULT WINAPI Call(const GUID& id, DWORD flags, HANDLE, wchar_t** path) {
    askedId = id;
    askedFlags = flags;
    *path = nullptr;
    if (answer != nullptr) {
      const size_t bytes = (std::wcslen(answer) + 1) * sizeof(wchar_t);
      *path = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
      std::memcpy(*path, answer, bytes);
    }
    return result;
  }
};
HRESULT KnownFolderFake::result = S_OK;
const wchar_t* KnownFolderFake::answer = nullptr;
GUID KnownFolderFake::askedId = {};
DWORD KnownFolderFake::askedFlags = 0;

// Only a path spelled exactly in the code page is taken: a best-fit letter
// or a stand-in would name another user's or no folder.
TEST(KnownLocationsWin, KnownFolderPathOnlyWhenExact) {
  EXPECT_EQ(KnownFolderPath(nullptr, kFolderLocalAppDataLow), "") << "XP: shell32 has no such export";
  const std::wstring fits = L"C:\\" + std::wstring(256, L'x'), over = fits + L"x";
  const struct {
    HRESULT result;
    const wchar_t* answer;
    UINT codePage;
    std::string expected;
  } cases[] = {
      {S_OK, L"C:\\Users\\jo\\AppData\\LocalLow", 1252, "C:\\Users\\jo\\AppData\\LocalLow"},
      {S_OK, L"C:\\Users\\Jos\u00e9\\AppData\\LocalLow\\", 1252, "C:\\Users\\Jos\xe9\\AppData\\LocalLow"},
      {S_OK, L"C:\\Users\\\u4e00\\AppData\\LocalLow", 932, "C:\\Users\\\x88\xea\\AppData\\LocalLow"},
      {S_OK, L"C:\\Users\\\u0100na\\AppData\\LocalLow", 1252, ""},  // best fit: "Ana"
      {S_OK, L"C:\\Users\\\u4e00\\AppData\\LocalLow", 1252, ""},
      {S_OK, fits.c_str(), 1252, std::string(fits.begin(), fits.end())},  // 259 bytes, a stored value's most
      {S_OK, over.c_str(), 1252, ""},
      {E_FAIL, L"C:\\Users\\jo\\AppData\\LocalLow", 1252, ""},  // a failed call may hand a text over too
      {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), nullptr, 1252, ""},
      {S_OK, nullptr, 1252, ""},
      {S_OK, L"", 1252, ""},
  };
  for (const auto& c : cases) {
    KnownFolderFake::result = c.result;
    KnownFolderFake::answer = c.answer;
    KnownFolderFake::askedFlags = ~0u;
    EXPECT_EQ(KnownFolderPath(KnownFolderFake::Call, kFolderLocalAppDataLow, c.codePage), c.expected)
        << c.expected << " " << c.codePage;
    EXPECT_TRUE(IsEqualGUID(KnownFolderFake::askedId, kFolderLocalAppDataLow));
    EXPECT_EQ(KnownFolderFake::askedFlags, 0u) << "nothing is created for a cleaner";
  }
}

// Vista and later have the folder; Wine reports such a version by default.
// It is the profile's AppData\LocalLow, stored and reached by its token.
TEST(KnownLocationsWin, LocalLowIsTheProfilesAppDataLocalLow) {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExA(&version));
  if (version.dwMajorVersion < 6) GTEST_SKIP() << "no LocalLow before Vista: " << version.dwMajorVersion;
  const std::string low = GetLocalLowFolder();
  const std::string profile = GetSpecialFolder(CSIDL_PROFILE);
  ASSERT_FALSE(profile.empty());
  EXPECT_TRUE(EqualsNoCase(low, profile + "\\AppData\\LocalLow")) << low << " | " << profile;
  const DWORD attributes = GetFileAttributesA(low.c_str());
  EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) << low;
  test::MapSettings store;
  store.values["path"] = "C:\\SweepHarbor";
  RefreshKnownLocations(store);
  EXPECT_EQ(store.values["LOCAL_LOW"], low);
  CWinMacroValues values(store);
  std::string path = ":LOCAL_LOW:\\Sun\\Java\\Deployment\\cache";
  EXPECT_TRUE(ExpandPathMacros(path, values));
  EXPECT_EQ(path, low + "\\Sun\\Java\\Deployment\\cache");
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
