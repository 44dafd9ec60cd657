// The operating system naming rules, the memory fall-back and the status
// lines, over made-up version records and figures.
#include <gtest/gtest.h>

#include "app/system_info.h"

namespace sh {
namespace {

constexpr uint8_t W = kProductWorkstation, S = kProductServer, DC = kProductDomainController;

// product 0: the extended record could not be read. A 9x record never
// carries an edition, even if one were readable.
OsVersionRecord Record(bool nt, uint32_t major, uint32_t minor, uint32_t build, uint8_t product, uint16_t suite,
                       const std::string& servicePack) {
  OsVersionRecord v;
  v.ntFamily = nt;
  v.major = major;
  v.minor = minor;
  v.build = build;
  v.servicePackText = servicePack;
  v.extendedAvailable = product != 0;
  v.productType = product;
  v.suiteMask = suite;
  return v;
}

// The versions Wine can be told to report are named for real in
// system_info_wintest.cpp; these are the others and the rules' corners.
TEST(OperatingSystemName, EveryVersionEditionAndServicePack) {
  const uint16_t allSuites = kSuiteBackOffice | kSuiteTerminal | kSuiteDataCenter | kSuiteEnterprise;
  const struct {
    bool nt;
    uint32_t major, minor, build;
    uint8_t product;
    uint16_t suite;
    const char* servicePack;
    const char* name;
    uint32_t servicePackNumber;  // the first of the digits 1 to 9 in the text
  } cases[] = {
      {true, 5, 1, 2600, W, kSuitePersonal | 0x0100, "", "Windows XP Home Edition", 0},
      {true, 5, 1, 2600, 0, 0, "Service Pack 21", "Windows XP Service Pack 21", 1},
      {true, 5, 1, 2600, W, 0, "Beta 0", "Windows XP Professional Edition", 0},  // no digit: not appended
      // Every suite bit adds its word, in the fixed order, before " Server".
      {true, 5, 0, 2195, S, allSuites, "SP4", "Windows 2000 Advanced DataCenter Terminal BackOffice Server SP4", 4},
      // Windows Server 2003 and XP x64 Edition (5.2) have no base name.
      {true, 5, 2, 3790, S, kSuiteEnterprise, "", " Advanced Server", 0},
      {true, 3, 51, 1057, 0, 0, "Service Pack 5", " Service Pack 5", 5},
      // NT 4.0 has its edition from service pack 6 on.
      {true, 4, 0, 1381, DC, 0, "Service Pack 6a", "Windows NT 4.0 Server Domain Controller Service Pack 6a", 6},
      {true, 4, 0, 1381, W, 0, "Service Pack 5", "Windows NT 4.0 Service Pack 5", 5},
      {true, 6, 0, 6002, S, kSuiteEnterprise, "", "Windows Server 2008", 0},
      {true, 6, 1, 7601, DC, 0, "", "Windows Server 2008 R2 Domain Controller", 0},
      {true, 10, 0, 22631, W, 0, "", "Windows 11", 0},
      {true, 10, 0, 17763, DC, 0, "", "Windows Server 2019 Domain Controller", 0},
      {true, 10, 0, 26100, S, 0, "", "Windows Server 2025", 0},
      // Newer than the names known here: its numbers, never an older name.
      {true, 6, 4, 9841, W, 0, "", "Windows NT 6.4", 0},
      {true, 11, 1, 30000, S, 0, "", "Windows NT 11.1 Server", 0},
      // 9x appends its text as it is, and has no service pack number.
      {false, 4, 0, 950, W, 0, " B", "Windows 95 B", 0},
      {false, 4, 10, 1998, W, 0, "Service Pack 2", "Windows 98Service Pack 2", 0},
      {false, 4, 90, 3000, W, 0, "", "Windows ME", 0},
      {false, 4, 3, 0, W, 0, "x", "x", 0},
  };
  for (const auto& c : cases) {
    CSystemInfo info;
    info.DetectOperatingSystem(Record(c.nt, c.major, c.minor, c.build, c.product, c.suite, c.servicePack));
    SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor) + "." + std::to_string(c.build));
    EXPECT_EQ(info.OsName(), c.name);
    EXPECT_EQ(info.ServicePack(), c.servicePackNumber);
    EXPECT_EQ(IsWindowsXP(info), std::string(c.name).rfind("Windows XP", 0) == 0) << "only XP (5.1) is XP";
  }
}

struct FakeSource : ISystemSource {
  OsVersionRecord ReadVersion() override { return version; }
  bool ReadMemoryEx(uint64_t* total, uint64_t* available) override {
    *total = (6ull << 30) + (1u << 20) - 1;  // beyond 32 bits
    *available = 5ull << 30;
    return exWorks;
  }
  void ReadMemoryBasic(uint64_t* total, uint64_t* available) override {
    *total = 256ull << 20;
    *available = (128ull << 20) - 1;
  }
  std::string ReadBrowserVersionText() override { return "6.0.2900.2180"; }
  std::string ReadUserName() override { return "Bob %s"; }
  OsVersionRecord version;
  bool exWorks = true;
};

// The extended memory status only on NT 5 and later, when it can be read;
// whole megabytes rounded down.
TEST(GatherSystemInfo, TheFactsAndTheirStatusLines) {
  const struct {
    OsVersionRecord version;
    bool exWorks;
    const char* memory;
  } cases[] = {
      {Record(true, 5, 1, 2600, W, kSuitePersonal, ""), true, "5120 MB of 6144 MB"},
      {Record(true, 4, 0, 1381, W, 0, "Service Pack 6"), true, "127 MB of 256 MB"},
      {Record(false, 4, 10, 1998, W, 0, ""), true, "127 MB of 256 MB"},
  };
  for (const auto& c : cases) {
    FakeSource source;
    source.version = c.version;
    source.exWorks = c.exWorks;
    CSystemInfo info(c.version.ntFamily);
    info.GatherSystemInfo(source);
    SCOPED_TRACE(info.OsName());
    EXPECT_EQ(MemoryStatusLine(info), std::string("Available Memory : ") + c.memory);
    EXPECT_EQ(ProfileStatusLine(info), "Profile : Bob %s");
    EXPECT_EQ(PlatformStatusLine(info), "Platform : " + info.OsName());
  }
}

// Each fixed drive whose space was read is rounded down before it is added;
// removable, network and unreadable drives never count.
TEST(StatusLines, FreeDiskSpace) {
  const uint64_t gb = 1ull << 30;
  auto drive = [](bool fixed, bool read, uint64_t total, uint64_t free) {
    DriveFigures d;
    d.fixed = fixed;
    d.spaceRead = read;
    d.totalBytes = total;
    d.freeBytes = free;
    return d;
  };
  EXPECT_EQ(DiskStatusLine(SumFixedDrives({drive(true, true, gb + gb / 2, gb - 1),
                                           drive(true, true, 2 * gb + gb / 2, 2 * gb + gb / 2),
                                           drive(false, true, 10 * gb, 10 * gb), drive(true, false, 9 * gb, 9 * gb)})),
            "Free Disk Space : 2 GB of 3 GB");
  EXPECT_EQ(DiskStatusLine(SumFixedDrives({drive(true, true, 6000000000 * gb, 5000000000 * gb)})),
            "Free Disk Space : 5000000000 GB of 6000000000 GB");
}

}  // namespace
}  // namespace sh
