// The settings store on the real registry of the Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include "paths/registry_guard.h"
#include "settings/registry_settings_win.h"

namespace sh {
namespace {

// The stored data as the registry keeps it (UTF-16 on NT). Wine's
// RegSetValueExA terminates REG_SZ data itself, so the length we pass (the
// text without its zero) cannot be observed here; the reader must cope with
// data both with and without a terminator.
std::wstring RawValue(const wchar_t* name, DWORD* type) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\SweepHarbor", 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<no key>";
  wchar_t buf[600] = {};
  DWORD size = sizeof buf;
  LONG r = RegQueryValueExW(key, name, nullptr, type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  return r == ERROR_SUCCESS ? std::wstring(buf, size / sizeof(wchar_t)) : L"<no value>";
}

class RegistrySettings : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ProductKeyExistsNot()) {
      ASSERT_EQ(CreateProductKey(), 1);
    }
  }
};

TEST_F(RegistrySettings, ValuesAreRegSzWithoutTerminator) {
  ASSERT_EQ(WriteSetting("TestValue", "abc"), 1);
  DWORD type = 0;
  std::wstring raw = RawValue(L"TestValue", &type);
  EXPECT_TRUE(raw == L"abc" || raw == std::wstring(L"abc", 4)) << "one text, at most Wine's terminator after it";
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ReadSetting("TestValue"), "abc");
  EXPECT_EQ(ReadSetting("NoSuchValue"), "");

  ASSERT_EQ(WriteSetting("TestValue", std::string(259, 'x')), 1);
  EXPECT_EQ(ReadSetting("TestValue").size(), 259u);
  ASSERT_EQ(WriteSetting("TestValue", std::string(300, 'x')), 1);
  EXPECT_EQ(ReadSetting("TestValue"), "") << "a value too long for the buffer is not read";
  ASSERT_EQ(WriteSetting("TestValue", ""), 1);
  EXPECT_EQ(ReadSetting("TestValue"), "");
}

// A number, bytes or a list stored under a setting's name (by hand, by
// another tool) reads as no value: its bytes are never taken for text.
TEST_F(RegistrySettings, OnlyTextTypesAreRead) {
  test::RegistryGuard guard;
  struct Case {
    const char* what;
    DWORD type;
    std::string data;
  };
  const Case cases[] = {
      {"REG_DWORD", REG_DWORD, std::string("1\0\0\0", 4)},
      {"REG_QWORD", REG_QWORD, std::string("1\0\0\0\0\0\0\0", 8)},
      {"REG_BINARY", REG_BINARY, "1"},
      {"REG_MULTI_SZ", REG_MULTI_SZ, std::string("1\0\0", 3)},
      {"REG_NONE", REG_NONE, "1"},
  };
  CRegistrySettingsStore store;
  CSettings settings(store);
  for (const Case& c : cases) {
    guard.SetRaw(HKEY_CURRENT_USER, kProductKey, "Shred", c.type, c.data);
    EXPECT_EQ(ReadSetting("Shred"), "") << c.what;
    EXPECT_EQ(store.Read("Shred"), "") << c.what;
    EXPECT_EQ(settings.Shred(), 0) << c.what;
  }
  guard.SetRaw(HKEY_CURRENT_USER, kProductKey, "Shred", REG_SZ, "1");
  EXPECT_EQ(settings.Shred(), 1) << "text still reads through the same open key";

  // Expandable text is text, its variables expanded.
  SetEnvironmentVariableA("SH_TEST_FOLDER", "C:\\Test Folder");
  guard.SetRaw(HKEY_CURRENT_USER, kProductKey, "TestValue", REG_EXPAND_SZ,
               std::string("%SH_TEST_FOLDER%\\Data") + '\0');
  EXPECT_EQ(ReadSetting("TestValue"), "C:\\Test Folder\\Data");
  EXPECT_EQ(store.Read("TestValue"), "C:\\Test Folder\\Data");
  SetEnvironmentVariableA("SH_TEST_FOLDER", std::string(300, 'x').c_str());
  EXPECT_EQ(ReadSetting("TestValue"), "") << "an expansion too long for the buffer is not read";
  SetEnvironmentVariableA("SH_TEST_FOLDER", nullptr);
}

TEST_F(RegistrySettings, TypedAccessorsOverTheRegistry) {
  CRegistrySettingsStore store;
  CSettings settings(store);
  for (const char* text : {"true", " 1", "01"}) {
    WriteSetting("ShieldSilent", text);
    EXPECT_EQ(settings.ShieldSilent(), 0) << text;
  }
  settings.SetShieldSilent(1);
  EXPECT_EQ(ReadSetting("ShieldSilent"), "1");
  EXPECT_EQ(settings.ShieldSilent(), 1);
  WriteSetting("ShredMethod", "2abc");
  EXPECT_EQ(settings.ShredMethod(), 2);
  WriteSetting("KeepURL", "");
  EXPECT_EQ(settings.KeepURL(), "about:blank");
  settings.SetShieldSilent(0);
}

TEST_F(RegistrySettings, DeletedProductKeyIsRecreatedWithPathAndDefaults) {
  ASSERT_EQ(SHDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\SweepHarbor"), ERROR_SUCCESS);
  EXPECT_EQ(ProductKeyExistsNot(), 1);
  EXPECT_EQ(WriteSetting("Shred", "1"), 0) << "writing never creates the key";
  EXPECT_EQ(ProductKeyExistsNot(), 1);
  ASSERT_EQ(CreateProductKey(), 1);
  EXPECT_EQ(ProductKeyExistsNot(), 0);
  EXPECT_FALSE(ReadSetting("path").empty()) << "the data folder is filled in";
  CRegistrySettingsStore store;
  CSettings settings(store);
  EXPECT_EQ(settings.Shred(), 0);
  EXPECT_EQ(settings.ShutDownOptions(), 0);
}

}  // namespace
}  // namespace sh
