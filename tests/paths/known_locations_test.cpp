#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "paths/known_locations.h"
#include "paths/reg_path.h"
#include "support/recorders.h"

namespace sh {
namespace {

// Settings that keep the order of writes.
class OrderedSettings : public ISettingsStore {
 public:
  std::string Read(const std::string& name) override {
    auto it = values.find(name);
    return it == values.end() ? std::string() : it->second;
  }
  bool Write(const std::string& name, const std::string& text) override {
    writes.push_back(name);
    values[name] = text;
    return true;
  }
  std::map<std::string, std::string> values;
  std::vector<std::string> writes;
};

class FakeProbe : public ILocationProbe {
 public:
  std::string ReadRegistryPathValue(const std::string& keyText, const std::string& valueName) override {
    reads.push_back(valueName);
    auto it = registry.find(keyText + "|" + valueName);
    return it == registry.end() ? std::string() : it->second;
  }
  std::string TempFolder() override { return temp; }
  std::string WindowsFolder() override { return windows; }
  bool PathExists(const std::string& path) override { return existing == path; }
  std::string ModuleDir() override { return "C:\\Program Files\\SweepHarbor"; }

  void Shell(const std::string& name, const std::string& value) { registry[std::string(kShellFoldersKey) + "|" + name] = value; }

  std::map<std::string, std::string> registry;
  std::vector<std::string> reads;
  std::string temp = "C:\\DOCUME~1\\jo\\LOCALS~1\\Temp\\";
  std::string windows = "C:\\WINDOWS";
  std::string existing;
};

TEST(RefreshKnownLocations, ReadsAndWritesInTheirOrder) {
  OrderedSettings settings;
  FakeProbe probe;
  RefreshKnownLocations(settings, probe);
  EXPECT_EQ(probe.reads, (std::vector<std::string>{"Cache", "Cookies", "History", "Recent", "Local AppData", "AppData",
                                                   "Common AppData", "DataPath", "Personal", "Default User ID",
                                                   "Default User ID"}));
  EXPECT_EQ(settings.writes,
            (std::vector<std::string>{"IE_Cache", "IE_Cookies", "IE_History", "Recent", "Sys_Temp", "Win_Temp",
                                      "OutlookFolder", "OutlookFolder2", "MSN_Received_Files_Folder", "APP_DATA",
                                      "LOCAL_APPDATA", "COMMON_APPDATA", "AOL_DATA_PATH", "path"}));
}

TEST(RefreshKnownLocations, ComposesTheDerivedFolders) {
  OrderedSettings settings;
  FakeProbe probe;
  probe.Shell("Cache", "C:\\Docs\\jo\\Local Settings\\Temporary Internet Files");
  probe.Shell("Local AppData", "C:\\Docs\\jo\\Local Settings\\Application Data\\");
  probe.Shell("AppData", "C:\\Docs\\jo\\Application Data");
  probe.Shell("Personal", "C:\\Docs\\jo\\My Documents\\\\");
  probe.registry[std::string(kMachineShellFoldersKey) + "|Common AppData"] = "C:\\Docs\\All Users\\Application Data";
  probe.registry[std::string(kIdentitiesKey) + "|Default User ID"] = "{1234-ABCD}\\";
  probe.registry[std::string(kAimMiscKey) + "|DataPath"] = "C:\\AIM";
  RefreshKnownLocations(settings, probe);
  auto& v = settings.values;
  EXPECT_EQ(v["IE_Cache"], "C:\\Docs\\jo\\Local Settings\\Temporary Internet Files");
  EXPECT_EQ(v["Sys_Temp"], "C:\\DOCUME~1\\jo\\LOCALS~1\\Temp\\");
  EXPECT_EQ(v["Win_Temp"], "C:\\WINDOWS\\temp");
  EXPECT_EQ(v["OutlookFolder"],
            "C:\\Docs\\jo\\Local Settings\\Application Data\\Identities\\{1234-ABCD}\\Microsoft\\Outlook Express");
  EXPECT_EQ(v["OutlookFolder2"], "C:\\Docs\\jo\\Application Data\\Identities\\{1234-ABCD}\\Microsoft\\Outlook Express");
  EXPECT_EQ(v["MSN_Received_Files_Folder"], "C:\\Docs\\jo\\My Documents\\My Received Files");
  EXPECT_EQ(v["APP_DATA"], "C:\\Docs\\jo\\Application Data");
  EXPECT_EQ(v["LOCAL_APPDATA"], "C:\\Docs\\jo\\Local Settings\\Application Data\\");
  EXPECT_EQ(v["COMMON_APPDATA"], "C:\\Docs\\All Users\\Application Data");
  EXPECT_EQ(v["AOL_DATA_PATH"], "C:\\AIM");
}

TEST(RefreshKnownLocations, EmptyFindingsReplaceOlderValues) {
  OrderedSettings settings;
  settings.values = {{"IE_Cache", "C:\\old"}, {"AOL_DATA_PATH", "C:\\old"}};
  FakeProbe probe;
  RefreshKnownLocations(settings, probe);
  EXPECT_EQ(settings.values["IE_Cache"], "");
  EXPECT_EQ(settings.values["AOL_DATA_PATH"], "");
  // Composed values keep their fixed parts around the missing ones.
  EXPECT_EQ(settings.values["OutlookFolder"], "\\Identities\\\\Microsoft\\Outlook Express");
  EXPECT_EQ(settings.values["MSN_Received_Files_Folder"], "\\My Received Files");
}

TEST(RefreshKnownLocations, DataFolderKeptOnlyWhileItExists) {
  FakeProbe probe;
  OrderedSettings kept;
  kept.values["path"] = "D:\\Lists";
  probe.existing = "D:\\Lists";
  RefreshKnownLocations(kept, probe);
  EXPECT_EQ(kept.values["path"], "D:\\Lists");
  EXPECT_EQ(kept.writes.back(), "AOL_DATA_PATH");  // path not rewritten

  OrderedSettings moved;
  moved.values["path"] = "D:\\Gone";
  RefreshKnownLocations(moved, probe);
  EXPECT_EQ(moved.values["path"], "C:\\Program Files\\SweepHarbor");

  OrderedSettings first;
  RefreshKnownLocations(first, probe);
  EXPECT_EQ(first.values["path"], "C:\\Program Files\\SweepHarbor");
}

TEST(PickProgramFilesDir, FallsBackInOrder) {
  int shellAsked = 0;
  auto shell = [&] {
    ++shellAsked;
    return std::string("C:\\Shell PF");
  };
  EXPECT_EQ(PickProgramFilesDir(true, "D:\\Programs", shell, "C:\\WINDOWS"), "D:\\Programs");
  EXPECT_EQ(shellAsked, 0);
  // Left unexpanded (any case) means the variable is not defined.
  EXPECT_EQ(PickProgramFilesDir(true, "%PROGRAMFILES%", shell, "C:\\WINDOWS"), "C:\\Shell PF");
  EXPECT_EQ(PickProgramFilesDir(false, "", shell, "C:\\WINDOWS"), "C:\\Shell PF");
  auto noShell = [] { return std::string(); };
  EXPECT_EQ(PickProgramFilesDir(false, "", noShell, "E:\\WINNT"), "E:\\Program Files");
  EXPECT_EQ(PickProgramFilesDir(false, "", noShell, ""), "Program Files");
}

TEST(RegistryPathText, RootsAndSubkeys) {
  EXPECT_EQ(RootKeyFromPath("HKEY_LOCAL_MACHINE"), RegRoot::kLocalMachine);
  EXPECT_EQ(RootKeyFromPath("HKEY_USERS\\S-1-5\\x"), RegRoot::kUsers);
  EXPECT_EQ(RootKeyFromPath("hkey_local_machine\\Software"), RegRoot::kNone);
  EXPECT_EQ(RootKeyFromPath("HKCU\\Software"), RegRoot::kNone);
  EXPECT_EQ(RootKeyFromName("HKEY_CLASSES_ROOT"), RegRoot::kClassesRoot);
  EXPECT_EQ(RootKeyFromName("HKEY_USERS"), RegRoot::kNone);
  EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_USER\\Software"), RegRoot::kNone);
  EXPECT_EQ(RootKeyToName(RegRoot::kUsers), "HKEY_USERS");
  EXPECT_EQ(RootKeyToName(RegRoot::kNone), "");
  EXPECT_EQ(SubKeyFromPath("HKEY_CURRENT_USER\\Software\\X"), "Software\\X");
  EXPECT_EQ(SubKeyFromPath("HKEY_CURRENT_USER"), "");
  EXPECT_FALSE(IsUsableSubKey(""));
  EXPECT_FALSE(IsUsableSubKey("\\\\"));
  EXPECT_TRUE(IsUsableSubKey("Software"));
}

}  // namespace
}  // namespace sh
