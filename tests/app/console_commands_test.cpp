// swhclean's options and the data-file loader both front ends share,
// without Windows. What the program prints and changes, and which rows its
// NAMEs pick, is in console_wintest.cpp.
#include <gtest/gtest.h>

#include "app/console_commands.h"
#include "app/data_loader.h"
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
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    ConsoleOptions options;
    std::string error;
    EXPECT_EQ(ParseConsoleArgs(c.args, options, error), *c.error == '\0');
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(!error.empty() || options.command == c.command) << static_cast<int>(options.command);
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

}  // namespace
}  // namespace sh
