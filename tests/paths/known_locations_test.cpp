#include <gtest/gtest.h>

#include <map>
#include <string>

#include "paths/known_locations.h"
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
  bool PathExists(const std::string& path) override { return path == "D:\\Lists"; }
  std::string ModuleDir() override { return "C:\\Program Files\\SweepHarbor"; }
  std::map<std::string, std::string> registry;
};

// Every location is written, an empty finding over an older value too; the
// data folder is kept only while it exists.
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
                                 {"path", "C:\\Program Files\\SweepHarbor"}}));
  settings.values["path"] = "D:\\Lists";
  RefreshKnownLocations(settings, probe);
  EXPECT_EQ(settings.values["path"], "D:\\Lists");
  // A folder below a missing one is missing too, never a path from the root.
  probe.registry.erase(shell + "Personal");
  probe.registry.erase(std::string(kIdentitiesKey) + "|Default User ID");
  RefreshKnownLocations(settings, probe);
  for (const char* name : {"MSN_Received_Files_Folder", "OutlookFolder", "OutlookFolder2"})
    EXPECT_EQ(settings.values[name], "") << name;
}

// An unexpanded %ProgramFiles% asks the shell; without its answer, the
// Windows folder's drive.
TEST(PickProgramFilesDir, FallsBackInOrder) {
  EXPECT_EQ(PickProgramFilesDir(true, "%PROGRAMFILES%", [] { return std::string("C:\\PF"); }, "D:\\WIN"), "C:\\PF");
  EXPECT_EQ(PickProgramFilesDir(false, "", [] { return std::string(); }, "E:\\WINNT"), "E:\\Program Files");
}

}  // namespace
}  // namespace sh
