// The operating system naming rules, the gathering order and fall-backs, and
// the status lines, over made-up version records and figures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/system_info.h"

namespace sh {
namespace {

OsVersionRecord Nt(uint32_t major, uint32_t minor, const std::string& sp, uint8_t product = 0, uint16_t suite = 0) {
  OsVersionRecord v;
  v.ntFamily = true;
  v.major = major;
  v.minor = minor;
  v.build = 2600;
  v.servicePackText = sp;
  v.extendedAvailable = product != 0;
  v.productType = product;
  v.suiteMask = suite;
  return v;
}

OsVersionRecord Win9x(uint32_t minor, const std::string& sp) {
  OsVersionRecord v;
  v.ntFamily = false;
  v.major = 4;
  v.minor = minor;
  v.servicePackText = sp;
  // A 9x record never carries an edition, even if one were readable.
  v.extendedAvailable = true;
  v.productType = kProductWorkstation;
  return v;
}

std::string NameOf(const OsVersionRecord& v) { return DescribeOperatingSystem(v).name; }

TEST(OperatingSystemName, WindowsXpEditions) {
  EXPECT_EQ(NameOf(Nt(5, 1, "Service Pack 2", kProductWorkstation)), "Windows XP Professional Edition Service Pack 2");
  EXPECT_EQ(NameOf(Nt(5, 1, "", kProductWorkstation, kSuitePersonal | 0x0100)), "Windows XP Home Edition");
  EXPECT_EQ(NameOf(Nt(5, 1, "Service Pack 1a", kProductWorkstation, kSuitePersonal)),
            "Windows XP Home Edition Service Pack 1a");
  // The extended record could not be read: no edition.
  EXPECT_EQ(NameOf(Nt(5, 1, "Service Pack 3")), "Windows XP Service Pack 3");
}

TEST(OperatingSystemName, Windows2000AndServerSuites) {
  EXPECT_EQ(NameOf(Nt(5, 0, "", kProductWorkstation)), "Windows 2000 Professional");
  EXPECT_EQ(NameOf(Nt(5, 0, "", kProductDomainController)), "Windows 2000 Server Domain Controller");
  EXPECT_EQ(NameOf(Nt(5, 0, "Service Pack 4", kProductServer, kSuiteEnterprise)),
            "Windows 2000 Advanced Server Service Pack 4");
  // Every suite bit adds its word, in the fixed order, before " Server".
  const uint16_t allSuites = kSuiteBackOffice | kSuiteTerminal | kSuiteDataCenter | kSuiteEnterprise;
  EXPECT_EQ(NameOf(Nt(5, 0, "", kProductServer, allSuites)),
            "Windows 2000 Advanced DataCenter Terminal BackOffice Server");
  EXPECT_EQ(NameOf(Nt(5, 0, "", kProductDomainController, kSuiteDataCenter)),
            "Windows 2000 DataCenter Server Domain Controller");
  // Windows Server 2003 (5.2) has no base name of its own.
  EXPECT_EQ(NameOf(Nt(5, 2, "", kProductServer)), " Server");
}

TEST(OperatingSystemName, Nt4NeedsServicePack6ForItsEdition) {
  EXPECT_EQ(NameOf(Nt(4, 0, "Service Pack 6", kProductWorkstation)), "Windows NT 4.0 Workstation Service Pack 6");
  EXPECT_EQ(NameOf(Nt(4, 0, "Service Pack 6a", kProductServer)), "Windows NT 4.0 Server Service Pack 6a");
  EXPECT_EQ(NameOf(Nt(4, 0, "Service Pack 6", kProductDomainController)),
            "Windows NT 4.0 Server Domain Controller Service Pack 6");
  // Below service pack 6 the extended record is not asked for.
  EXPECT_EQ(NameOf(Nt(4, 0, "Service Pack 5", kProductWorkstation)), "Windows NT 4.0 Service Pack 5");
  EXPECT_EQ(NameOf(Nt(4, 0, "", kProductWorkstation)), "Windows NT 4.0");
}

// Each version has a name of its own; only XP (5.1) is XP.
TEST(OperatingSystemName, EveryVersionItsOwnNameAndOnlyXpCountsAsXp) {
  struct Case {
    uint32_t major, minor, build;
    uint8_t product;  // 0: the extended record could not be read
    uint16_t suite;
    const char* servicePack;
    const char* name;
    bool xp;
  };
  const Case cases[] = {
      {3, 51, 1057, 0, 0, "Service Pack 5", " Service Pack 5", false},
      {4, 0, 1381, kProductWorkstation, 0, "Service Pack 6", "Windows NT 4.0 Workstation Service Pack 6", false},
      {5, 0, 2195, kProductWorkstation, 0, "", "Windows 2000 Professional", false},
      {5, 1, 2600, kProductWorkstation, kSuitePersonal, "", "Windows XP Home Edition", true},
      {5, 1, 2600, 0, 0, "Service Pack 3", "Windows XP Service Pack 3", true},
      // Windows Server 2003 and XP x64 Edition keep their unnamed 5.2.
      {5, 2, 3790, kProductWorkstation, 0, "Service Pack 2", " Service Pack 2", false},
      {5, 2, 3790, kProductServer, kSuiteEnterprise, "", " Advanced Server", false},
      {6, 0, 6002, kProductWorkstation, 0, "Service Pack 2", "Windows Vista Service Pack 2", false},
      {6, 0, 6002, kProductServer, kSuiteEnterprise, "", "Windows Server 2008", false},
      {6, 1, 7601, kProductWorkstation, kSuitePersonal, "Service Pack 1", "Windows 7 Service Pack 1", false},
      {6, 1, 7601, 0, 0, "Service Pack 1", "Windows 7 Service Pack 1", false},
      {6, 1, 7601, kProductDomainController, 0, "", "Windows Server 2008 R2 Domain Controller", false},
      {6, 2, 9200, kProductWorkstation, 0, "", "Windows 8", false},
      {6, 2, 9200, kProductServer, 0, "", "Windows Server 2012", false},
      {6, 3, 9600, kProductWorkstation, 0, "", "Windows 8.1", false},
      {6, 3, 9600, kProductServer, 0, "", "Windows Server 2012 R2", false},
      {10, 0, 19045, kProductWorkstation, 0, "", "Windows 10", false},
      {10, 0, 22631, kProductWorkstation, 0, "", "Windows 11", false},
      {10, 0, 14393, kProductServer, 0, "", "Windows Server 2016", false},
      {10, 0, 17763, kProductDomainController, 0, "", "Windows Server 2019 Domain Controller", false},
      {10, 0, 20348, kProductServer, 0, "", "Windows Server 2022", false},
      {10, 0, 26100, kProductServer, 0, "", "Windows Server 2025", false},
      // Newer than the names known here: its numbers, never an older name.
      {6, 4, 9841, kProductWorkstation, 0, "", "Windows NT 6.4", false},
      {11, 1, 30000, kProductServer, 0, "", "Windows NT 11.1 Server", false},
  };
  for (const Case& c : cases) {
    OsVersionRecord v = Nt(c.major, c.minor, c.servicePack, c.product, c.suite);
    v.build = c.build;
    CSystemInfo info;
    info.DetectOperatingSystem(v);
    EXPECT_EQ(info.OsName(), c.name) << c.major << "." << c.minor << "." << c.build;
    EXPECT_EQ(IsWindowsXP(info), c.xp) << c.name;
  }
}

TEST(OperatingSystemName, Windows9xAppendsItsTextWithoutBlank) {
  EXPECT_EQ(NameOf(Win9x(0, "")), "Windows 95");
  EXPECT_EQ(NameOf(Win9x(0, " B")), "Windows 95 B");
  EXPECT_EQ(NameOf(Win9x(10, "A")), "Windows 98A");
  EXPECT_EQ(NameOf(Win9x(90, "")), "Windows ME");
  EXPECT_EQ(NameOf(Win9x(3, "x")), "x");
  EXPECT_EQ(DescribeOperatingSystem(Win9x(10, "Service Pack 2")).servicePack, 0u) << "9x has no service pack number";
}

TEST(OperatingSystemName, ServicePackIsTheFirstDigitFromOneToNine) {
  EXPECT_EQ(DescribeOperatingSystem(Nt(5, 1, "Service Pack 1a")).servicePack, 1u);
  EXPECT_EQ(DescribeOperatingSystem(Nt(5, 1, "Service Pack 3")).servicePack, 3u);
  // Digits are tried 1, 2, ... 9, wherever they stand in the text.
  EXPECT_EQ(DescribeOperatingSystem(Nt(5, 1, "Service Pack 21")).servicePack, 1u);
  EXPECT_EQ(DescribeOperatingSystem(Nt(5, 1, "Service Pack 10")).servicePack, 1u);
  EXPECT_EQ(DescribeOperatingSystem(Nt(5, 1, "Build 0")).servicePack, 0u);
  EXPECT_EQ(DescribeOperatingSystem(Nt(5, 1, "Beta")).servicePack, 0u);
  // A text without a digit is not appended.
  EXPECT_EQ(NameOf(Nt(5, 1, "Beta", kProductWorkstation)), "Windows XP Professional Edition");
}

TEST(BrowserVersion, FourDottedNumbersMissingPartsZero) {
  EXPECT_EQ(ParseBrowserVersion("6.0.2900.2180"), (std::array<int, 4>{6, 0, 2900, 2180}));
  EXPECT_EQ(ParseBrowserVersion("5.50"), (std::array<int, 4>{5, 50, 0, 0}));
  EXPECT_EQ(ParseBrowserVersion("8.0.7601.17514.extra"), (std::array<int, 4>{8, 0, 7601, 17514}));
  EXPECT_EQ(ParseBrowserVersion("7.x.3"), (std::array<int, 4>{7, 0, 0, 0}));
  EXPECT_EQ(ParseBrowserVersion("none"), (std::array<int, 4>{0, 0, 0, 0}));
  EXPECT_EQ(ParseBrowserVersion(""), (std::array<int, 4>{0, 0, 0, 0}));
}

class FakeSource : public ISystemSource {
 public:
  OsVersionRecord ReadVersion() override {
    calls.push_back("version");
    return version;
  }
  bool ReadMemoryEx(uint64_t* total, uint64_t* available) override {
    calls.push_back("memoryEx");
    if (!exWorks) return false;
    *total = exTotal;
    *available = exAvailable;
    return true;
  }
  void ReadMemoryBasic(uint64_t* total, uint64_t* available) override {
    calls.push_back("memoryBasic");
    *total = basicTotal;
    *available = basicAvailable;
  }
  std::string ReadBrowserVersionText() override {
    calls.push_back("browser");
    return browser;
  }
  std::string ReadUserName() override {
    calls.push_back("user");
    return user;
  }
  OsVersionRecord version = Nt(5, 1, "Service Pack 2", kProductWorkstation, kSuitePersonal);
  bool exWorks = true;
  uint64_t exTotal = 6ull << 30, exAvailable = (5ull << 30) + 123;
  uint64_t basicTotal = 512ull << 20, basicAvailable = (256ull << 20) - 1;
  std::string browser = "6.0.2900.2180";
  std::string user = "alice";
  std::vector<std::string> calls;
};

TEST(GatherSystemInfo, ReadsInOrderAndUsesTheExtendedMemoryOnNt5) {
  FakeSource source;
  CSystemInfo info;
  info.GatherSystemInfo(source);
  EXPECT_EQ(source.calls, (std::vector<std::string>{"version", "memoryEx", "browser", "user"}));
  EXPECT_EQ(info.OsName(), "Windows XP Home Edition Service Pack 2");
  EXPECT_TRUE(info.IsNtFamily());
  EXPECT_EQ(info.MajorVersion(), 5u);
  EXPECT_EQ(info.MinorVersion(), 1u);
  EXPECT_EQ(info.BuildNumber(), 2600u);
  EXPECT_EQ(info.ServicePack(), 2u);
  EXPECT_EQ(info.TotalPhysicalMemory(), 6ull << 30) << "64-bit figures are kept whole";
  EXPECT_EQ(info.AvailablePhysicalMemory(), (5ull << 30) + 123);
  EXPECT_EQ(info.BrowserVersion(), (std::array<int, 4>{6, 0, 2900, 2180}));
  EXPECT_EQ(info.BrowserMajor(), 6);
  EXPECT_EQ(info.BrowserMinor(), 0);
  EXPECT_EQ(info.UserName(), "alice");
}

TEST(GatherSystemInfo, BasicMemoryOutsideNt5OrWhenTheExtendedCallFails) {
  {
    FakeSource source;
    source.exWorks = false;
    CSystemInfo info;
    info.GatherSystemInfo(source);
    EXPECT_EQ(source.calls, (std::vector<std::string>{"version", "memoryEx", "memoryBasic", "browser", "user"}));
    EXPECT_EQ(info.TotalPhysicalMemory(), 512ull << 20);
  }
  for (OsVersionRecord version : {Nt(4, 0, "Service Pack 6", kProductWorkstation), Win9x(10, "")}) {
    FakeSource source;
    source.version = version;
    CSystemInfo info(true);
    info.GatherSystemInfo(source);
    EXPECT_EQ(source.calls, (std::vector<std::string>{"version", "memoryBasic", "browser", "user"})) << NameOf(version);
    EXPECT_EQ(info.AvailablePhysicalMemory(), (256ull << 20) - 1);
    EXPECT_EQ(info.IsNtFamily(), version.ntFamily);
  }
}

TEST(GatherSystemInfo, MissingFactsKeepTheirInitialValues) {
  FakeSource source;
  source.browser = "";
  source.user = "";
  source.version = Win9x(90, "");
  CSystemInfo info;
  info.GatherSystemInfo(source);
  EXPECT_EQ(info.BrowserVersion(), (std::array<int, 4>{0, 0, 0, 0}));
  EXPECT_EQ(info.UserName(), "");
  EXPECT_EQ(info.OsName(), "Windows ME");
  EXPECT_FALSE(info.IsNtFamily());
  EXPECT_EQ(ProfileStatusLine(info), "Profile : ");
}

TEST(StatusLines, TextsAndWholeUnitsRoundedDown) {
  FakeSource source;
  source.exTotal = (1024ull << 20) + (1u << 20) - 1;
  source.exAvailable = 512ull << 20;
  source.user = "Bob %s";
  CSystemInfo info;
  info.GatherSystemInfo(source);
  EXPECT_EQ(ProfileStatusLine(info), "Profile : Bob %s");
  EXPECT_EQ(PlatformStatusLine(info), "Platform : Windows XP Home Edition Service Pack 2");
  EXPECT_EQ(MemoryStatusLine(info), "Available Memory : 512 MB of 1024 MB");
  EXPECT_STREQ(kReadyStatusLine, "Status : Ready to Protect");

  DiskTotals big;
  big.freeGb = 5000000000LL;  // beyond 32 bits
  big.totalGb = 8589934592LL;
  EXPECT_EQ(DiskStatusLine(big), "Free Disk Space : 5000000000 GB of 8589934592 GB");
  EXPECT_EQ(DiskStatusLine(DiskTotals{}), "Free Disk Space : 0 GB of 0 GB");
}

DriveFigures Drive(const char* root, bool fixed, bool read, uint64_t total, uint64_t free) {
  DriveFigures d;
  d.root = root;
  d.fixed = fixed;
  d.spaceRead = read;
  d.totalBytes = total;
  d.freeBytes = free;
  return d;
}

TEST(FreeDiskSpace, EachFixedDriveIsRoundedDownBeforeItIsAdded) {
  const uint64_t gb = 1ull << 30;
  DiskTotals t = SumFixedDrives({Drive("C:\\", true, true, gb + gb / 2, gb / 2 + gb),
                                 Drive("D:\\", true, true, 2 * gb + gb / 2, 2 * gb + gb / 2)});
  EXPECT_EQ(t.totalGb, 3) << "1.5 GB + 2.5 GB count as 1 + 2";
  EXPECT_EQ(t.freeGb, 3);

  // Removable, network and CD drives and unreadable fixed drives never count.
  t = SumFixedDrives({Drive("A:\\", false, true, 10 * gb, 10 * gb), Drive("C:\\", true, true, 40 * gb, gb - 1),
                      Drive("E:\\", true, false, 99 * gb, 99 * gb), Drive("X:\\", false, false, 0, 0)});
  EXPECT_EQ(t.totalGb, 40);
  EXPECT_EQ(t.freeGb, 0);
  EXPECT_EQ(DiskStatusLine(t), "Free Disk Space : 0 GB of 40 GB");

  t = SumFixedDrives(
      {Drive("C:\\", true, true, 3000 * gb, 2500 * gb), Drive("D:\\", true, true, 3000 * gb, 2500 * gb)});
  EXPECT_EQ(DiskStatusLine(t), "Free Disk Space : 5000 GB of 6000 GB");
  t = SumFixedDrives({});
  EXPECT_EQ(DiskStatusLine(t), "Free Disk Space : 0 GB of 0 GB");
}

}  // namespace
}  // namespace sh
