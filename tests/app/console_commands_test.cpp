// swhclean's options, NAME masks and the shared data-file loader, without
// Windows. What the program prints and changes is in console_wintest.cpp.
#include <gtest/gtest.h>

#include "app/console_commands.h"
#include "app/data_loader.h"
#include "model/memory_files.h"

namespace sh {
namespace {

using test::DataFileHarness;

struct ParseCase {
  std::vector<std::string> args;
  ConsoleCommand command;
  const char* error;  // empty: accepted
};

TEST(ConsoleArgs, CommandsAndTheirCombinations) {
  const ParseCase cases[] = {
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
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    ConsoleOptions options;
    std::string error;
    EXPECT_EQ(ParseConsoleArgs(c.args, options, error), std::string(c.error).empty());
    EXPECT_EQ(error, c.error);
    if (error.empty()) {
      EXPECT_EQ(options.command, c.command);
    }
  }
}

// Two groups, a plugin that is installed and one that is not, a custom
// plugin; only "Temp" and "Custom" are chosen.
struct SmallCatalog {
  SmallCatalog() {
    CSpotGroup* windows = catalog.AddGroup(std::make_unique<CSpotGroup>("Windows", 0));
    windows->AddSpot(CreateSpot("Temp", 1));
    windows->AddSpot(CreateSpot("Recent Documents", 0));
    CSpotGroup* browser = catalog.AddGroup(std::make_unique<CSpotGroup>("Browser", 1));
    browser->AddSpot(CreateSpot("Temporary Internet Files", 0));
    auto plugin = [](const char* name, int installed, int custom, int chosen) {
      auto p = std::make_unique<CPluginSpots>(name, "");
      p->Installed = installed;
      p->IsCustom = custom;
      p->ToBeCleaned = chosen;
      return p;
    };
    catalog.AddPlugin(plugin("WinZip", 1, 0, 0));
    catalog.AddPlugin(plugin("WinRAR", 0, 0, 1));
    catalog.AddCustomPlugin(plugin("Custom", 0, 1, 1));
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> names;
    for (const CleanItem& item : catalog.ItemsToClean()) names.push_back(item.Name());
    return names;
  }
  CSpotCatalog catalog;
};

struct MaskCase {
  std::vector<std::string> masks;
  std::vector<std::string> rows;  // the run's rows afterwards, in catalog order
  const char* error;
};

TEST(ConsoleNames, MasksPickCleanableRowsOrSayWhatIsWrong) {
  const MaskCase cases[] = {
      {{"TEMP*"}, {"Temp", "Temporary Internet Files"}, ""},
      {{"temp"}, {"Temp"}, ""},
      {{"*Files", "win*"}, {"Temporary Internet Files", "WinZip"}, ""},
      {{"Recent?Documents", "custom"}, {"Recent Documents", "Custom"}, ""},
      {{"WinRAR"}, {"Temp", "Custom"}, "WinRAR names only plugins that are not installed here"},
      {{"Temp", "Tem"}, {"Temp", "Custom"}, "no spot or plugin is named Tem"},
  };
  for (const MaskCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.masks));
    SmallCatalog small;
    std::string error;
    EXPECT_EQ(ChooseByNames(small.catalog, c.masks, error), std::string(c.error).empty());
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(small.Rows(), c.rows);
  }
  SmallCatalog everything;
  ChooseEverything(everything.catalog);
  EXPECT_EQ(everything.Rows(),
            (std::vector<std::string>{"Temp", "Recent Documents", "Temporary Internet Files", "WinZip", "Custom"}));
}

TEST(DataLoader, CorruptSpotListIsDownloadedAgainOrEndsTheProgram) {
  const char kGood[] =
      "<CleaningSpots Version=\"5\"><Group name=\"G\"><Spot name=\"Both\" ToBeCleaned=\"1\" />"
      "<Spot name=\"XP\" OS=\"XP\" ToBeCleaned=\"1\" /></Group></CleaningSpots>";
  for (bool downloaded : {true, false}) {
    SCOPED_TRACE(downloaded);
    DataFileHarness h;
    h.files.PutData(h.kSpotList, "<cleaningspots />");
    h.files.PutData(h.kPluginList, "<SweepHarborPlugins Version=\"9\"><Plugin Name=\"P\" /></SweepHarborPlugins>");
    h.prompt.answers = {PromptAnswer::kYes, PromptAnswer::kOk};
    int downloads = 0;
    CSpotCatalog catalog;
    DataFileVersions versions;
    const bool loaded = LoadDataFiles(h.env, catalog, false, [&] {
      ++downloads;
      if (downloaded) h.files.PutData(h.kSpotList, kGood);
      return downloaded;
    }, versions);
    EXPECT_EQ(loaded, downloaded);
    EXPECT_EQ(downloads, 1);
    ASSERT_EQ(h.prompt.asked.size(), 1u);
    EXPECT_EQ(h.prompt.asked[0].text, kCorruptListQuestion);
    EXPECT_EQ(h.prompt.asked[0].kind, PromptKind::kYesNo);
    EXPECT_EQ(versions.spotList, downloaded ? 5 : 0);
    EXPECT_EQ(versions.pluginList, downloaded ? 9 : 0);
    EXPECT_EQ(catalog.Plugins().size(), downloaded ? 1u : 0u);
    EXPECT_EQ(catalog.ItemsToClean().size(), downloaded ? 1u : 0u) << "the XP spot stays out";
  }

  DataFileHarness xp;
  xp.files.PutData(xp.kSpotList, kGood);
  CSpotCatalog onXp;
  DataFileVersions xpVersions;
  EXPECT_TRUE(LoadDataFiles(xp.env, onXp, true, nullptr, xpVersions));
  EXPECT_EQ(onXp.ItemsToClean().size(), 2u);
  EXPECT_TRUE(xp.prompt.asked.empty()) << "a missing plugin list is no question";

  DataFileHarness no;
  no.files.PutData(no.kSpotList, "<cleaningspots />");
  CSpotCatalog catalog;
  DataFileVersions versions;
  EXPECT_FALSE(LoadDataFiles(no.env, catalog, true, nullptr, versions));
  ASSERT_EQ(no.prompt.asked.size(), 2u) << "No: the program cannot work without it";
  EXPECT_EQ(no.prompt.asked[1].text, kCannotWorkWithoutList);
}

}  // namespace
}  // namespace sh
