// Gathering the machine facts from Wine, and the naming rules on a Windows
// version that Wine is told to report to a second run of this program.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "app/child_process.h"
#include "app/system_info_win.h"
#include "model/data_file_win.h"
#include "paths/registry_guard.h"
#include "support/win_fs.h"

namespace sh {
namespace {

using namespace sh::test;

constexpr char kIeKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";

TEST(GatherSystemInfoOnWine, VersionMemoryAndUser) {
  CSystemInfo info;
  GatherSystemInfo(info);
  // A fresh prefix reports Windows 7 SP1 (6.1.7601).
  EXPECT_TRUE(info.IsNtFamily());
  EXPECT_EQ(info.MajorVersion(), 6u);
  EXPECT_EQ(info.MinorVersion(), 1u);
  EXPECT_EQ(info.BuildNumber(), 7601u);
  EXPECT_EQ(info.ServicePack(), 1u);
  EXPECT_EQ(info.OsName(), "Windows 7 Service Pack 1");
  EXPECT_FALSE(IsWindowsXP(info));

  EXPECT_GT(info.TotalPhysicalMemory(), 64ull << 20);
  EXPECT_GT(info.AvailablePhysicalMemory(), 0u);
  EXPECT_LE(info.AvailablePhysicalMemory(), info.TotalPhysicalMemory());
  // The run-time lookup finds the extended call; the basic one agrees on the
  // total (both see the same machine).
  CWinSystemSource source;
  uint64_t exTotal = 0, exAvailable = 0, basicTotal = 0, basicAvailable = 0;
  ASSERT_TRUE(source.ReadMemoryEx(&exTotal, &exAvailable));
  source.ReadMemoryBasic(&basicTotal, &basicAvailable);
  EXPECT_EQ(exTotal >> 20, basicTotal >> 20);

  EXPECT_FALSE(info.UserName().empty());
  EXPECT_LE(info.UserName().size(), 99u);
  std::string env = ChildEnvironment("USERNAME");
  if (!env.empty()) {
    EXPECT_EQ(info.UserName(), env);
  }
}

TEST(GatherSystemInfoOnWine, BrowserVersionFromTheRegistry) {
  RegistryGuard guard;
  guard.SetString(HKEY_LOCAL_MACHINE, kIeKey, "Version", "6.0.2900.2180");
  CSystemInfo info;
  GatherSystemInfo(info);
  EXPECT_EQ(info.BrowserVersion(), (std::array<int, 4>{6, 0, 2900, 2180}));

  guard.SetString(HKEY_LOCAL_MACHINE, kIeKey, "Version", "5.5");
  GatherSystemInfo(info);
  EXPECT_EQ(info.BrowserVersion(), (std::array<int, 4>{5, 5, 0, 0}));

  // More than 100 bytes cannot be read: unknown.
  guard.SetString(HKEY_LOCAL_MACHINE, kIeKey, "Version", "7." + std::string(120, '1'));
  GatherSystemInfo(info);
  EXPECT_EQ(info.BrowserVersion(), (std::array<int, 4>{0, 0, 0, 0}));

  guard.Delete(HKEY_LOCAL_MACHINE, kIeKey, "Version");
  GatherSystemInfo(info);
  EXPECT_EQ(info.BrowserMajor(), 0);
  EXPECT_EQ(info.BrowserMinor(), 0);
}

TEST(FreeDiskSpaceOnWine, FixedDrivesOnly) {
  // The test prefix has C: (fixed) and no Z: (removed: it is the Linux root).
  std::vector<DriveFigures> drives = ReadDriveFigures();
  bool sawC = false;
  for (const DriveFigures& d : drives) {
    EXPECT_NE(d.root, "Z:\\");
    if (d.root == "C:\\") {
      sawC = true;
      EXPECT_TRUE(d.fixed);
      EXPECT_TRUE(d.spaceRead);
      EXPECT_GT(d.totalBytes, 1ull << 30);
      EXPECT_LE(d.freeBytes, d.totalBytes);
    }
    if (!d.fixed) {
      EXPECT_FALSE(d.spaceRead) << d.root << ": space is only read for fixed drives";
    }
  }
  EXPECT_TRUE(sawC);

  std::string line = FreeDiskSpaceText();
  long long freeGb = -1, totalGb = -1;
  char tail[8] = {};
  ASSERT_EQ(std::sscanf(line.c_str(), "Free Disk Space : %lld GB of %lld G%7s", &freeGb, &totalGb, tail), 3) << line;
  EXPECT_STREQ(tail, "B");
  EXPECT_GE(totalGb, 1);
  EXPECT_LE(freeGb, totalGb);
}

// What `swhclean --list` shows of a spot list with a spot marked for XP and
// one for every system.
std::string ConsoleListing(const std::string& folder) {
  ChildLaunch launch;
  char exe[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string self = exe;
  launch.exe = self.substr(0, self.find_last_of('\\')) + "\\swhclean.exe";
  launch.arguments = "--list";
  launch.outputFolder = folder;
  if (GetFileAttributesA(launch.exe.c_str()) == INVALID_FILE_ATTRIBUTES) return "swhclean.exe is missing";
  return RunChild(launch).output;
}

// Wine reports another Windows version to a program named in
// HKCU\Software\Wine\AppDefaults\<exe>; the version is read when a process
// starts, so a second run of this program sees it. Wine disguises 8.1 and 10
// as 8 to GetVersionEx; neither this program nor swhclean (which has no
// manifest) is taken in. Both agree on XP, so both load the XP spots alike.
TEST(GatherSystemInfoOnWine, NamesTheVersionWineIsToldToReport) {
  struct Case {
    const char* wineVersion;  // empty: the prefix's own (Windows 7)
    const char* name;
    bool xp;
  };
  const std::string folder = "C:\\shtest-osname-" + std::to_string(GetCurrentProcessId());
  MakeDirs(folder);
  RegistryGuard dataPath;
  dataPath.SetString(HKEY_CURRENT_USER, "SOFTWARE\\SweepHarbor", "path", folder);
  ASSERT_EQ(WriteDataFile(folder + "\\Splst.swh",
                          "<CleaningSpots Version=\"1\"><Group name=\"G\" GroupType=\"0\">"
                          "<Spot name=\"Every system\" ToBeCleaned=\"1\" Type=\"0\" />"
                          "<Spot name=\"XP alone\" ToBeCleaned=\"1\" Type=\"0\" OS=\"XP\" />"
                          "</Group></CleaningSpots>"),
            1);
  const Case cases[] = {
      {"winxp", "Windows XP Professional Edition Service Pack 3", true},
      {"win2k", "Windows 2000 Professional Service Pack 4", false},
      {"vista", "Windows Vista Service Pack 2", false},
      {"", "Windows 7 Service Pack 1", false},
      {"win8", "Windows 8", false},
      {"win81", "Windows 8.1", false},
      {"win10", "Windows 10", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegistryGuard guard;
    if (*c.wineVersion != '\0') {
      for (const char* exe : {"sh_tests.exe", "swhclean.exe"})
        guard.SetString(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + exe, "Version",
                        c.wineVersion);
    }
    ChildResult child = RunTestsInChild("DISABLED_SystemInfoChild.*",
                                        {{"SH_EXPECT_OS_NAME", c.name}, {"SH_EXPECT_XP", c.xp ? "1" : "0"}});
    EXPECT_TRUE(child.PassedOne()) << child.output;
    const std::string listing = ConsoleListing(folder);
    EXPECT_NE(listing.find("] Every system"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("] XP alone") != std::string::npos, c.xp) << listing;
  }
  RemoveTree(folder);
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
