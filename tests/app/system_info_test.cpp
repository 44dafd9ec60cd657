// The operating system naming rules, the memory fall-back and the status
// lines, over made-up version records and figures.
#include <gtest/gtest.h>

#include "app/system_info.h"

namespace sh {
namespace {

constexpr uint8_t W = kProductWorkstation, S = kProductServer, DC = kProductDomainController;

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
  std::string ReadUserName() override { return "Bob %s"; }
  OsVersionRecord version;
  bool exWorks = true;
};

// The versions Wine can be told to report are named for real in
// system_info_wintest.cpp; these are some of the others. A record: NT,
// version, service pack text, whether the extended part (product and
// suites) was read. Only XP (5.1) is XP. The extended memory status is used
// on NT 5 and later (`ex`), when it can be read; whole megabytes rounded down.
TEST(GatherSystemInfo, OnlyXpIsXpAndTheMemoryLineFallsBack) {
  const struct {
    OsVersionRecord record;
    const char* name;
    bool ex;
  } cases[] = {
      {{true, 5, 1, 2600, "", true, W, kSuitePersonal | 0x0100}, "Windows XP Home Edition", true},
      // Windows Server 2003 and XP x64 Edition (5.2) have no base name.
      {{true, 5, 2, 3790, "", true, S, kSuiteEnterprise}, " Advanced Server", true},
      // NT 4.0 has its edition from service pack 6 on.
      {{true, 4, 0, 1381, "Service Pack 6a", true, DC, 0}, "Windows NT 4.0 Server Domain Controller Service Pack 6a",
       false},
      {{true, 10, 0, 26100, "", true, S, 0}, "Windows Server 2025", true},
      // Newer than the names known here: its numbers, never an older name.
      {{true, 11, 1, 30000, "", true, S, 0}, "Windows NT 11.1 Server", true},
      {{false, 4, 90, 3000, "", true, W, 0}, "Windows ME", false},
  };
  for (const auto& c : cases) {
    for (bool exWorks : {true, false}) {
      FakeSource source;
      source.version = c.record;
      source.exWorks = exWorks;
      CSystemInfo info;
      info.GatherSystemInfo(source);
      SCOPED_TRACE(std::string(c.name) + (exWorks ? "" : ", no extended memory status"));
      EXPECT_EQ(info.OsName(), c.name);
      EXPECT_EQ(IsWindowsXP(info), std::string(c.name).rfind("Windows XP", 0) == 0) << "only XP (5.1) is XP";
      EXPECT_EQ(MemoryStatusLine(info), c.ex && exWorks ? "Available Memory : 5120 MB of 6144 MB"
                                                        : "Available Memory : 127 MB of 256 MB");
      EXPECT_EQ(ProfileStatusLine(info), "Profile : Bob %s");
      EXPECT_EQ(PlatformStatusLine(info), "Platform : " + info.OsName());
    }
  }
}

}  // namespace
}  // namespace sh
