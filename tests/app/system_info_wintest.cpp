// The naming rules on the Windows versions Wine is told to report to a
// second run of this program.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/child_process.h"
#include "app/system_info_win.h"

namespace sh {
namespace {

using namespace sh::test;

// Wine reports another Windows version to a program named in
// HKCU\Software\Wine\AppDefaults\<exe>; the version is read when a process
// starts, so a second run of this program sees it. Wine disguises 8.1 and 10
// as 8 to GetVersionEx; neither this program nor swhclean (which has no
// manifest) is taken in. Both agree on XP, so both load the XP spots alike.
TEST(GatherSystemInfoOnWine, NamesTheVersionWineIsToldToReport) {
  const struct {
    const char* wineVersion;  // empty: the prefix's own (Windows 7)
    const char* name;
    bool xp;
  } cases[] = {
      {"winxp", "Windows XP Professional Edition Service Pack 3", true},
      {"win2k", "Windows 2000 Professional Service Pack 4", false},
      {"vista", "Windows Vista Service Pack 2", false},
      {"", "Windows 7 Service Pack 1", false},
      {"win8", "Windows 8", false},
      {"win81", "Windows 8.1", false},
      {"win10", "Windows 10", false},
  };
  ScratchDir folder("osname");
  RegistryGuard dataPath;
  dataPath.SetString(HKEY_CURRENT_USER, "SOFTWARE\\SweepHarbor", "path", folder.path());
  ASSERT_EQ(WriteDataFile(folder / "Splst.swh", "<CleaningSpots Version=\"1\"><Group name=\"G\" GroupType=\"0\">"
                                                "<Spot name=\"Every system\" ToBeCleaned=\"1\" Type=\"0\" />"
                                                "<Spot name=\"XP alone\" ToBeCleaned=\"1\" Type=\"0\" OS=\"XP\" />"
                                                "</Group></CleaningSpots>"),
            1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RegistryGuard guard;
    for (const char* exe : {"sh_tests.exe", "swhclean.exe"})
      if (*c.wineVersion) guard.SetString(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + exe,
                                          "Version", c.wineVersion);
    ChildResult child = RunChild(TestsInChild("DISABLED_SystemInfoChild.*",
                                              {{"SH_EXPECT_OS_NAME", c.name}, {"SH_EXPECT_XP", c.xp ? "1" : "0"}}));
    EXPECT_TRUE(child.PassedOne()) << child.output;
    const std::string listing = RunChild(ChildLaunch(kInstalledConsole, "--list")).output;
    EXPECT_NE(listing.find("] Every system"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("] XP alone") != std::string::npos, c.xp) << listing;
  }
}

TEST(DISABLED_SystemInfoChild, ReportsTheExpectedName) {
  std::string expected = ChildEnvironment("SH_EXPECT_OS_NAME");
  if (expected.empty()) GTEST_SKIP() << "only run by NamesTheVersionWineIsToldToReport";
  CSystemInfo info;
  GatherSystemInfo(info);
  EXPECT_EQ(info.OsName(), expected);
  EXPECT_EQ(IsWindowsXP(info), ChildEnvironment("SH_EXPECT_XP") == "1");
  EXPECT_TRUE(info.IsNtFamily());
}

}  // namespace
}  // namespace sh
