// swhclean's options, the data-file loader both front ends share and the
// system facts they show, without Windows. What the program prints and changes, and which rows its
// NAMEs pick, is in console_wintest.cpp.
#include <gtest/gtest.h>

#include "app/console_commands.h"
#include "app/data_loader.h"
#include "app/system_info.h"
#include "model/memory_files.h"

namespace sh {
namespace {

TEST(ConsoleArgs, CommandsAndTheirCombinations) {
  const struct {
    std::vector<std::string> args;
    ConsoleCommand command;
    const char* error;  // empty: accepted
  } cases[] = {
      {{}, ConsoleCommand::kClean, ""},
      {{"Cookies", "--pause"}, ConsoleCommand::kClean, ""},
      {{"--preview", "--all", "--verbose"}, ConsoleCommand::kPreview, ""},
      {{"--list", "--demo", "D:\\demo"}, ConsoleCommand::kList, ""},
      {{"/?"}, ConsoleCommand::kHelp, ""},
      {{"--clean", "--clean"}, ConsoleCommand::kClean, ""},
      {{"--seed", "--all"}, ConsoleCommand::kSeed, "--all goes with --clean or --preview only"},
      {{"--choose", "--all"}, ConsoleCommand::kChoose, "--choose needs at least one NAME"},
      {{"--choose", "x", "--demo", "D:\\d"}, ConsoleCommand::kChoose, "--demo cannot be used with --choose"},
      {{"--demo"}, ConsoleCommand::kClean, "--demo needs a folder"},
      {{"--seed", "x"}, ConsoleCommand::kSeed, "--seed takes no NAME"},
      {{"--all", "x"}, ConsoleCommand::kClean, "--all and NAMEs cannot be used together"},
      {{"--quiet", "--verbose"}, ConsoleCommand::kClean, "--quiet and --verbose cannot be used together"},
      {{"--list", "--choose", "x"}, ConsoleCommand::kList, "--list and --choose cannot be used together"},
      {{"--wipe-all"}, ConsoleCommand::kClean, "unknown option --wipe-all"},
      {{"--setup-data", "C:\\s", "-q"}, ConsoleCommand::kSetupData, ""},
      {{"--setup-data"}, ConsoleCommand::kSetupData, "--setup-data needs a folder"},
      {{"--setup-data", "C:\\s", "x"}, ConsoleCommand::kSetupData, "--setup-data takes no NAME"},
      {{"--setup-data", "C:\\s", "--clean"}, ConsoleCommand::kSetupData, "--setup-data and --clean cannot be used together"},
      {{"--list", "--setup-data", "C:\\s"}, ConsoleCommand::kList, "--list and --setup-data cannot be used together"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    ConsoleOptions options;
    std::string error;
    EXPECT_EQ(ParseConsoleArgs(c.args, options, error), *c.error == '\0');
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(!error.empty() || options.command == c.command) << static_cast<int>(options.command);
    if (error.empty() && c.command == ConsoleCommand::kSetupData) {
      EXPECT_EQ(options.setupFrom, "C:\\s");
    }
  }
}

// A corrupt spot list: Yes downloads it again and loads it, or ends the
// program when the download fails. (No ends it at once: the main window's
// tests; spots marked for XP: the loader's and the system facts' tests.)
TEST(DataLoader, CorruptSpotListIsDownloadedAgainOnYes) {
  const char kGood[] = "<CleaningSpots Version=\"5\"><G><S name=\"A\" ToBeCleaned=\"1\" /></G></CleaningSpots>";
  for (bool downloaded : {true, false}) {
    SCOPED_TRACE(downloaded ? "downloaded" : "download failed");
    test::DataFileHarness h;
    h.files.PutData(h.kSpotList, "<cleaningspots />");
    h.prompt.answers = {PromptAnswer::kYes};
    int downloads = 0;
    CSpotCatalog catalog;
    DataFileVersions versions;
    const bool loaded = LoadDataFiles(h.env, catalog, false, [&] {
      if (++downloads && downloaded) h.files.PutData(h.kSpotList, kGood);
      return downloaded;
    }, versions);
    EXPECT_EQ(loaded, downloaded);
    EXPECT_EQ(downloads, 1);
    ASSERT_EQ(h.prompt.asked.size(), 1u);
    EXPECT_EQ(h.prompt.asked[0].text, kCorruptListQuestion);
    EXPECT_EQ(catalog.ItemsToClean().size(), downloaded ? 1u : 0u);
    EXPECT_EQ(versions.spotList, downloaded ? 5 : 0);
  }
}

// The operating system naming rules, the memory fall-back and the status
// lines, over made-up version records and figures.
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
// console_wintest.cpp; these are some of the others. A record: NT,
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
    }
  }
}

}  // namespace
}  // namespace sh
