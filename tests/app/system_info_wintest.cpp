// Gathering the machine facts from Wine, and the naming rules on a Windows
// version that Wine is told to report to a second run of this program.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "app/child_process.h"
#include "app/system_info_win.h"
#include "paths/registry_guard.h"

namespace sh {
namespace {

using namespace sh::test;

constexpr char kIeKey[] = "SOFTWARE\\Microsoft\\Internet Explorer";

TEST(GatherSystemInfoOnWine, VersionMemoryAndUser) {
  CSystemInfo info;
  GatherSystemInfo(info);
  // A fresh prefix reports Windows 7 SP1 (6.1.7601); the rules call minor 1
  // of "5 or more" XP and give no edition for major 6.
  EXPECT_TRUE(info.IsNtFamily());
  EXPECT_EQ(info.MajorVersion(), 6u);
  EXPECT_EQ(info.MinorVersion(), 1u);
  EXPECT_EQ(info.BuildNumber(), 7601u);
  EXPECT_EQ(info.ServicePack(), 1u);
  EXPECT_EQ(info.OsName(), "Windows XP Service Pack 1");

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

// Wine reports another Windows version to a program named in
// HKCU\Software\Wine\AppDefaults\<exe>; the version is read when a process
// starts, so a second run of this program sees it.
TEST(GatherSystemInfoOnWine, NamesTheVersionWineIsToldToReport) {
  struct Case {
    const char* wineVersion;
    const char* name;
  };
  for (const Case& c : {Case{"winxp", "Windows XP Professional Edition Service Pack 3"},
                        Case{"win2k", "Windows 2000 Professional Service Pack 4"}}) {
    RegistryGuard guard;
    guard.SetString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\sh_tests.exe", "Version", c.wineVersion);
    ChildResult child = RunTestsInChild("DISABLED_SystemInfoChild.*", {{"SH_EXPECT_OS_NAME", c.name}});
    EXPECT_TRUE(child.PassedOne()) << c.wineVersion << "\n" << child.output;
  }
}

TEST(DISABLED_SystemInfoChild, ReportsTheExpectedName) {
  std::string expected = ChildEnvironment("SH_EXPECT_OS_NAME");
  if (expected.empty()) GTEST_SKIP() << "only run by NamesTheVersionWineIsToldToReport";
  CSystemInfo info;
  GatherSystemInfo(info);
  EXPECT_EQ(info.OsName(), expected);
  EXPECT_EQ(info.MajorVersion(), 5u);
  EXPECT_TRUE(info.IsNtFamily());
}

}  // namespace
}  // namespace sh
