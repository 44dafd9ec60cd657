#include <gtest/gtest.h>

#include <map>
#include <string>

#include "model/memory_files.h"
#include "paths/known_locations.h"
#include "paths/path_macros.h"
#include "support/recorders.h"

namespace sh {
namespace {

class FakeProbe : public ILocationProbe {
 public:
  std::string ReadRegistryPathValue(const std::string& key, const std::string& name) override {
    return registry[key + "|" + name];
  }
  std::string TempFolder() override { return "C:\\DOCUME~1\\jo\\LOCALS~1\\Temp\\"; }
  std::string WindowsFolder() override { return "C:\\WINDOWS"; }
  std::string LocalLowFolder() override { return localLow; }
  bool PathExists(const std::string& path) override { return path == "D:\\Lists" || path == installedList; }
  std::string ModuleDir() override { return "C:\\Program Files\\SweepHarbor"; }
  std::map<std::string, std::string> registry;
  std::string localLow = "C:\\Users\\jo\\AppData\\LocalLow";
  std::string installedList;  // a spot list the setup program put in place
};

// Every location is written, an empty finding over an older value too; the
// data folder is kept only while it exists, and is otherwise the programs'
// folder or the setup's data folder beside it.
TEST(RefreshKnownLocations, StoresEveryLocationComposedOrEmpty) {
  FakeProbe probe;
  const std::string shell = std::string(kShellFoldersKey) + "|";
  probe.registry = {{shell + "Cache", "C:\\jo\\Cache"}, {shell + "Local AppData", "C:\\jo\\Local\\"},
                    {shell + "AppData", "C:\\jo\\Roaming"}, {shell + "Personal", "C:\\jo\\My Documents\\\\"},
                    {std::string(kMachineShellFoldersKey) + "|Common AppData", "C:\\All"},
                    {std::string(kIdentitiesKey) + "|Default User ID", "{1234}\\"},
                    {std::string(kAimMiscKey) + "|DataPath", "C:\\AIM"}};
  test::MapSettings settings;
  settings.values = {{"IE_Cookies", "C:\\old"}, {"path", "D:\\Gone"}};
  RefreshKnownLocations(settings, probe);
  const std::string oe = "\\Identities\\{1234}\\Microsoft\\Outlook Express";
  EXPECT_EQ(settings.values, (std::map<std::string, std::string>{
                                 {"IE_Cache", "C:\\jo\\Cache"}, {"IE_Cookies", ""}, {"IE_History", ""}, {"Recent", ""},
                                 {"Sys_Temp", "C:\\DOCUME~1\\jo\\LOCALS~1\\Temp\\"}, {"Win_Temp", "C:\\WINDOWS\\temp"},
                                 {"OutlookFolder", "C:\\jo\\Local" + oe}, {"OutlookFolder2", "C:\\jo\\Roaming" + oe},
                                 {"MSN_Received_Files_Folder", "C:\\jo\\My Documents\\My Received Files"},
                                 {"APP_DATA", "C:\\jo\\Roaming"}, {"LOCAL_APPDATA", "C:\\jo\\Local\\"},
                                 {"COMMON_APPDATA", "C:\\All"}, {"AOL_DATA_PATH", "C:\\AIM"},
                                 {"LOCAL_LOW", "C:\\Users\\jo\\AppData\\LocalLow"},
                                 {"path", "C:\\Program Files\\SweepHarbor"}}));
  settings.values["path"] = "D:\\Lists";
  RefreshKnownLocations(settings, probe);
  EXPECT_EQ(settings.values["path"], "D:\\Lists");
  // Another user of an installed copy: the setup's data folder beside it.
  probe.installedList = "C:\\Program Files\\SweepHarbor\\Data\\Splst.swh";
  settings.values.erase("path");
  RefreshKnownLocations(settings, probe);
  EXPECT_EQ(settings.values["path"], "C:\\Program Files\\SweepHarbor\\Data");
  // A folder below a missing one is missing too, never a path from the root.
  probe.registry.erase(shell + "Personal");
  probe.registry.erase(std::string(kIdentitiesKey) + "|Default User ID");
  probe.localLow.clear();  // XP has no such folder
  RefreshKnownLocations(settings, probe);
  for (const char* name : {"MSN_Received_Files_Folder", "OutlookFolder", "OutlookFolder2", "LOCAL_LOW"})
    EXPECT_EQ(settings.values[name], "") << name;
}

// An unexpanded %ProgramFiles% asks the shell; without its answer, the
// Windows folder's drive.
TEST(PickProgramFilesDir, FallsBackInOrder) {
  EXPECT_EQ(PickProgramFilesDir(true, "%PROGRAMFILES%", [] { return std::string("C:\\PF"); }, "D:\\WIN"), "C:\\PF");
  EXPECT_EQ(PickProgramFilesDir(false, "", [] { return std::string(); }, "E:\\WINNT"), "E:\\Program Files");
}

// `whole` is false where a token stood for nothing: the path then names
// something wider than meant (a parent, a root) and must not be cleaned.
TEST(ExpandPathMacros, TokensAndTheRulesAroundThem) {
  test::FakeMachine v;
  v.values.insert({{"IE_Cache", ":WINDIR:\\Cache"},  // a later row expands it
                   {"APP_DATA", ":Recent:\\AppData"},  // an earlier row does not
                   {"IE_Cookies", "\\\\server\\cookies"}, {"Recent", "C:\\Recent"}, {"Sys_Temp", "C:\\Temp\\"},
                   {"Win_Temp", " "}, {"OutlookFolder", "C:\\L\\OE"}, {"OutlookFolder2", ""},
                   {"MSN_Received_Files_Folder", "\\"}, {"LOCAL_APPDATA", "C:\\L"}, {"COMMON_APPDATA", "C:\\All"},
                   {"AOL_DATA_PATH", "C:\\AOL"}, {"LOCAL_LOW", "C:\\L\\Low"}, {"AIM", "screen1"}});
  const struct {
    const char* text;
    const char* expanded;
    bool whole;
  } cases[] = {
      {":IE_Cache:|:APPDATA:", "C:\\WINDOWS\\Cache|:Recent:\\AppData", true},
      {":Recent:;:Recent:", "C:\\Recent;C:\\Recent", true},
      {":APPDATA:|:LOCAL_APPDATA:|:COMMON_APPDATA:", ":Recent:\\AppData|C:\\L|C:\\All", true},
      {":LOCAL_APPDATA:\\Low|:LOCAL_LOW:\\Sun\\Java", "C:\\L\\Low|C:\\L\\Low\\Sun\\Java", true},
      {":AOL_DATA_PATH:\\:AOL_USER:|:PF:|:SYS:", "C:\\AOL\\screen1|C:\\Program Files|C:\\WINDOWS\\system32", true},
      {":Sys_Temp:\\*.tmp", "C:\\Temp\\*.tmp", true},
      {":WINDIR:\\\\Temp", "C:\\WINDOWS\\Temp", true},
      {"a\\\\\\\\b|a\\\\\\b", "a\\\\b|a\\\\b", true},  // one left-to-right pass
      {"\\\\server\\share\\\\x", "\\\\server\\share\\x", true},  // a network path keeps its leading pair
      {":IE_Cookies:\\x", "\\\\server\\cookies\\x", true},
      {"x\\\\\\\\server", "x\\\\server", true},
      // Unknown tokens, other cases and tokens of other texts stay as written.
      {":windir:\\x|:WINDIR\\x|:YAHOO_USER:|:IE_History:", ":windir:\\x|:WINDIR\\x|:YAHOO_USER:|:IE_History:", true},
      {":local_low:|:LOCAL_LOW|:LocalLow:", ":local_low:|:LOCAL_LOW|:LocalLow:", true},
      {":OutlookFolder:|:OutlookFolder2:\\Inbox", "C:\\L\\OE|\\Inbox", false},
      {"x\\:Win_Temp:\\y", "x\\ \\y", false},
      {":MSN_Received_Files_Folder:\\x", "\\\\x", false},
      {":WINDIR:\\:OutlookFolder2:", "C:\\WINDOWS\\", false},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(ExpandPathMacros(text, v), c.whole) << c.text;
    EXPECT_EQ(text, c.expanded) << c.text;
  }
}

// Where there is no LocalLow folder (XP, or not found), the token stands for
// nothing: the entry would clean "\Sun\Java" on the current drive, so it is
// reported as not whole and skipped.
TEST(ExpandPathMacros, LocalLowMissingIsNeverARootPath) {
  const char* const storedValues[] = {"", "\\", " ", nullptr};
  for (const char* stored : storedValues) {
    test::FakeMachine v;
    if (stored != nullptr) v.values["LOCAL_LOW"] = stored;  // else absent: reads empty
    std::string text = ":LOCAL_LOW:\\Sun\\Java\\Deployment\\cache";
    EXPECT_FALSE(ExpandPathMacros(text, v)) << (stored ? stored : "absent");
  }
}

}  // namespace
}  // namespace sh
