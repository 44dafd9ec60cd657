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

// A corrupt spot list: Yes downloads it again (the download may fail), No
// ends the program. A spot marked for XP loads only on XP; a missing plugin
// list is no question.
TEST(DataLoader, CorruptSpotListIsDownloadedAgainOrEndsTheProgram) {
  const char kGood[] =
      "<CleaningSpots Version=\"5\"><Group name=\"G\"><Spot name=\"Both\" ToBeCleaned=\"1\" />"
      "<Spot name=\"XP\" OS=\"XP\" ToBeCleaned=\"1\" /></Group></CleaningSpots>";
  const struct {
    PromptAnswer answer;
    bool downloaded, xp, corrupt;
    std::vector<std::string> asked;
    size_t rows;  // 0: the program ends
  } cases[] = {
      {PromptAnswer::kYes, true, false, true, {kCorruptListQuestion}, 1},
      {PromptAnswer::kYes, false, false, true, {kCorruptListQuestion}, 0},
      {PromptAnswer::kNo, false, false, true, {kCorruptListQuestion, kCannotWorkWithoutList}, 0},
      {PromptAnswer::kYes, false, true, false, {}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.asked) + (c.downloaded ? " downloaded" : ""));
    test::DataFileHarness h;
    h.files.PutData(h.kSpotList, c.corrupt ? "<cleaningspots />" : kGood);
    h.prompt.answers = {c.answer, PromptAnswer::kOk};
    int downloads = 0;
    CSpotCatalog catalog;
    DataFileVersions versions;
    const bool loaded = LoadDataFiles(h.env, catalog, c.xp, [&] {
      ++downloads;
      if (c.downloaded) h.files.PutData(h.kSpotList, kGood);
      return c.downloaded;
    }, versions);
    EXPECT_EQ(loaded, c.rows > 0);
    EXPECT_EQ(downloads, c.answer == PromptAnswer::kYes && c.corrupt ? 1 : 0);
    std::vector<std::string> asked;
    for (const PromptRequest& request : h.prompt.asked) asked.push_back(request.text);
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(catalog.ItemsToClean().size(), c.rows);
    EXPECT_EQ(versions.spotList, c.rows ? 5 : 0);
  }
}

}  // namespace
}  // namespace sh
