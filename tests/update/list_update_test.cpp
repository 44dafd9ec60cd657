#include "update/list_update.h"

#include <gtest/gtest.h>

#include "model/memory_files.h"
#include "support/fake_web.h"

namespace sh {
namespace {

using test::DataFileHarness;
using test::FakeWeb;
using test::FixedClock;

TEST(UpdatePage, BodyTextAndStamp) {
  const struct {
    const char* page;
    const char* body;
  } kPages[] = {{"<HTML><BODY> 7 </BODY></HTML>", "7"},
                {"<html><body>12abc</body>", "12abc"},
                {"  5\r\n", "5"},  // no body tag: the whole page
                {"<p>x</p><body></body>", ""}};
  for (const auto& c : kPages) EXPECT_EQ(PageBodyText(c.page), c.body) << c.page;

  EXPECT_EQ(FormatUpdateStamp({2026, 12, 5, 8, 1, 9}), "Saturday, December 05, 2026 Time: 08:01:09");
  EXPECT_EQ(FormatUpdateStamp({2000, 2, 29, 23, 59, 0}), "Tuesday, February 29, 2000 Time: 23:59:00");
}

const char kBase[] = "http://127.0.0.1/sweepharbor_updates/";

std::string Scrambled(std::string text) {
  ScrambleBytes(text);
  return text;
}

const char kOldSpots[] = R"(<CleaningSpots Version="3"><Group name="W">
  <Spot name="Temp" ToBeCleaned="0" /><Spot name="Gone" ToBeCleaned="0" /></Group></CleaningSpots>)";
const char kNewSpots[] = R"(<CleaningSpots Version="4"><Group name="W">
  <Spot name="TEMP" ToBeCleaned="1" /><Spot name="New" ToBeCleaned="1" /></Group></CleaningSpots>)";
const char kOldPlugins[] = R"(<SweepHarborPlugins Version="2"><Plugin Name="Zip" ToBeCleaned="1" /></SweepHarborPlugins>)";
const char kNewPlugins[] = R"(<SweepHarborPlugins Version="5"><Plugin Name="zip" ToBeCleaned="0" />
  <Plugin Name="Player" ToBeCleaned="1" /></SweepHarborPlugins>)";

struct UpdateRig {
  UpdateRig() {
    h.files.PutData(DataFileHarness::kSpotList, kOldSpots);
    h.files.PutData(DataFileHarness::kPluginList, kOldPlugins);
    h.settings.values["LastUpdate"] = "before";
  }
  void Serve(const char* spotPage, const std::string& spots, const char* pluginPage, const std::string& plugins) {
    const std::string base = kBase;
    if (spotPage) web.pages[base + kSpotListPage] = spotPage;
    if (pluginPage) web.pages[base + kPluginListPage] = pluginPage;
    if (!spots.empty()) web.pages[base + kSpotListFile] = spots;
    if (!plugins.empty()) web.pages[base + kPluginListFile] = plugins;
  }
  DataFileHarness h;
  FakeWeb web;
  FixedClock clock{LocalTime{2026, 12, 5, 8, 1, 9}};
  CListUpdater updater{web, h.env, clock, kBase, 3, 2};
};

TEST(ListUpdate, NewListsComeWithTheUsersChoicesAndTheStamp) {
  UpdateRig rig;
  rig.Serve("4", Scrambled(kNewSpots), "<body>5</body>", Scrambled(kNewPlugins));
  ASSERT_TRUE(rig.updater.DownloadUpdates());
  const std::string spots = rig.h.files.DataText(DataFileHarness::kSpotList);
  // The user's "Temp" untick follows its name; a new spot keeps its default.
  EXPECT_NE(spots.find(R"(<Spot name="TEMP" ToBeCleaned="0")"), std::string::npos) << spots;
  EXPECT_NE(spots.find(R"(<Spot name="New" ToBeCleaned="1")"), std::string::npos) << spots;
  EXPECT_EQ(spots.find("Gone"), std::string::npos);
  const std::string plugins = rig.h.files.DataText(DataFileHarness::kPluginList);
  EXPECT_NE(plugins.find(R"(<Plugin Name="zip" ToBeCleaned="1")"), std::string::npos) << plugins;
  EXPECT_EQ(rig.h.settings.values["LastUpdate"], "Saturday, December 05, 2026 Time: 08:01:09");
}

TEST(ListUpdate, AWrongOrMissingDownloadLeavesTheWorkingListAndTheStamp) {
  const struct {
    const char* what;
    std::string spots;  // empty: not served (404)
    const char* failure;
  } kCases[] = {
      {"missing", "", "status 404"},
      {"not scrambled", kNewSpots, "not a list"},
      {"a plugin list", Scrambled(kNewPlugins), "not a spot list"},
      {"cut short", Scrambled(std::string(kNewSpots).substr(0, 60)), "not a list"},
      {"an error page", Scrambled("<html><body>404 Not Found</body></html>"), "not a spot list"},
  };
  for (const auto& c : kCases) {
    UpdateRig rig;
    rig.Serve("9", c.spots, "1", "");
    EXPECT_FALSE(rig.updater.DownloadUpdates()) << c.what;
    EXPECT_EQ(rig.h.files.DataText(DataFileHarness::kSpotList), kOldSpots) << c.what;
    EXPECT_EQ(rig.h.settings.values["LastUpdate"], "before") << c.what;
    EXPECT_NE(rig.updater.failure().find(c.failure), std::string::npos) << c.what << ": " << rig.updater.failure();
    EXPECT_EQ(rig.updater.failedAddress(), std::string(kBase) + kSpotListFile) << c.what;
  }
  // A plugin list that is a spot list is refused too.
  UpdateRig rig;
  rig.Serve("1", "", "9", Scrambled(kNewSpots));
  EXPECT_FALSE(rig.updater.DownloadUpdates());
  EXPECT_EQ(rig.h.files.DataText(DataFileHarness::kPluginList), kOldPlugins);
}

// The setup program's lists go in as downloaded ones do: an upgrade keeps
// the user's choices; a list missing from the setup's folder, or one that
// is not a list, leaves the working one as it was.
TEST(ListUpdate, ASetupsListsKeepTheChoicesAndTheWorkingListsWhenBroken) {
  UpdateRig rig;
  rig.h.files.PutData("C:\\Setup\\Splst.swh", kNewSpots);
  rig.h.files.PutData("C:\\Setup\\Plglst.swh", kNewPlugins);
  std::vector<std::string> report;
  ASSERT_TRUE(InstallListsFrom(rig.h.env, "C:\\Setup\\", report));
  ASSERT_EQ(report.size(), 2u);
  EXPECT_EQ(report[0], "installed C:\\Setup\\Splst.swh as C:\\Data\\Splst.swh");
  EXPECT_NE(rig.h.files.DataText(DataFileHarness::kSpotList).find(R"(<Spot name="TEMP" ToBeCleaned="0")"),
            std::string::npos);
  EXPECT_NE(rig.h.files.DataText(DataFileHarness::kPluginList).find(R"(<Plugin Name="zip" ToBeCleaned="1")"),
            std::string::npos);

  UpdateRig broken;
  broken.h.files.files["C:\\Setup\\Splst.swh"] = kNewSpots;  // never scrambled
  report.clear();
  EXPECT_FALSE(InstallListsFrom(broken.h.env, "C:\\Setup", report));
  EXPECT_EQ(report, (std::vector<std::string>{"not installed C:\\Setup\\Splst.swh: the file that came is not a list",
                                              "not installed C:\\Setup\\Plglst.swh: it cannot be read"}));
  EXPECT_EQ(broken.h.files.DataText(DataFileHarness::kSpotList), kOldSpots);
  EXPECT_EQ(broken.h.files.DataText(DataFileHarness::kPluginList), kOldPlugins);
}

TEST(ListUpdate, TheConversationAsksPluginsFirstAndTellsEachEnding) {
  const struct {
    const char *spotPage, *pluginPage;
    PromptAnswer answer;
    UpdateOutcome outcome;
    const char* last;  // what the user is told last
  } kCases[] = {
      {"3", "2", PromptAnswer::kYes, UpdateOutcome::kUpToDate, kUpToDateText},  // the loaded versions
      {"<body></body>", "-1", PromptAnswer::kYes, UpdateOutcome::kUpToDate, kUpToDateText},
      {nullptr, nullptr, PromptAnswer::kYes, UpdateOutcome::kUpToDate, kUpToDateText},
      {"3", "5", PromptAnswer::kNo, UpdateOutcome::kDeclined, kUpdatesAvailableText},
      {"3", "5", PromptAnswer::kYes, UpdateOutcome::kDownloaded, kUpdatesDownloadedText},
      {"4", "2", PromptAnswer::kYes, UpdateOutcome::kFailed, kUpdateErrorText},  // its file is missing
  };
  for (const auto& c : kCases) {
    UpdateRig rig;
    rig.Serve(c.spotPage, "", c.pluginPage, Scrambled(kNewPlugins));
    rig.h.prompt.answers = {c.answer};
    EXPECT_EQ(RunUpdateConversation(rig.updater, rig.h.prompt, nullptr), c.outcome) << c.last;
    EXPECT_EQ(rig.h.prompt.asked.back().text, c.last);
    EXPECT_EQ(rig.web.asked[0], std::string(kBase) + kPluginListPage) << "the plugin list's page first";
  }
}

}  // namespace
}  // namespace sh
