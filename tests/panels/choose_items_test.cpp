// The Choose Items page's decisions: which tiles a page shows and where,
// the installed rules against a made-up machine, the check-box columns and
// their sideways scrolling, the list's check-state changes and the spot box
// ids. What the real controls show and store is seen in
// choose_items_wintest.cpp.
#include "panels/choose_items.h"

#include <gtest/gtest.h>

#include <set>

namespace sh {
namespace {

TEST(ChooseItemsPages, EachPageShowsItsTypesInOrderAndItsTilesNeverOverlap) {
  // Tiles in group order: type 9 has no page, two groups share type 0.
  const std::vector<int> types = {2, 0, 5, 3, 9, 6, 4, 0, 1};
  const struct {
    ItemsPage page;
    std::vector<size_t> tiles;
  } kCases[] = {
      {ItemsPage::kWindows, {1, 7, 0}},
      {ItemsPage::kBrowsers, {8}},
      {ItemsPage::kMessaging, {3, 6, 2, 5}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(TilesOfPage(c.page, types), c.tiles) << static_cast<int>(c.page);
    // Inside the panel under the line (within the plugin list's margins) and
    // apart from the page's other tiles, at the window's size and a larger one.
    for (const auto& [cx, cy] : {std::pair{553, 408}, std::pair{700, 520}}) {
      const PanelRect area = PluginListRect(cx, cy);
      std::vector<PanelRect> placed;
      for (size_t i : c.tiles) {
        PanelRect r;
        ASSERT_TRUE(TileRectFor(types[i], cx, cy, &r));
        EXPECT_TRUE(r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= cy - 10 &&
                    r.left < r.right && r.top < r.bottom)
            << "type " << types[i] << " at " << cx << "x" << cy;
        for (const PanelRect& o : placed)  // the two groups of type 0 share their place
          EXPECT_TRUE(types[i] == 0 || r.right <= o.left || o.right <= r.left || r.bottom <= o.top ||
                      o.bottom <= r.top)
              << "type " << types[i] << " overlaps";
        placed.push_back(r);
      }
    }
  }
  for (int type : {-1, 7, 9}) {
    ItemsPage page;
    PanelRect r;
    EXPECT_FALSE(PageOfGroupType(type, &page) || TileRectFor(type, 553, 408, &r) || TilePictureFor(type)) << type;
  }
  std::set<int> pictures;  // every page's own picture, Yahoo! and AIM too
  for (int type = 0; type <= 6; ++type) pictures.insert(TilePictureFor(type));
  EXPECT_TRUE(pictures.size() == 7 && pictures.count(0) == 0);
}

// The registry values, files and keys of a machine; what was asked.
struct FakeMachine : IInstalledProbe {
  std::string ReadDefaultValue(const std::string& keyText) override {
    read.push_back(keyText);
    return values.count(keyText) ? values[keyText] : std::string();
  }
  bool FileExists(const std::string& path) override { return files.count(path) > 0; }
  bool RegistryKeyExists(const std::string& keyText) override { return keys.count(keyText) > 0; }
  std::string ProgramFilesDir() override { return "C:\\Programme"; }
  std::map<std::string, std::string> values;
  std::set<std::string> files, keys;
  std::vector<std::string> read;
};

std::string AppPaths(const std::string& program) {
  return "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + program;
}

TEST(ChooseItemsInstalled, AppPathsNameAnExistingFile) {
  const struct {
    const char* what;
    int type;
    std::map<std::string, std::string> values;  // App Paths entry -> default value
    std::set<std::string> files, keys;
    bool installed;
  } kCases[] = {
      {"browser, trailing ;", 1, {{"IEXPLORE.EXE", "C:\\IE\\iexplore.exe;;"}}, {"C:\\IE\\iexplore.exe"}, {}, true},
      {"browser file gone", 1, {{"IEXPLORE.EXE", "C:\\IE\\iexplore.exe"}}, {}, {}, false},
      {"Office: the last of four", 2, {{"POWERPNT.EXE", "C:\\O\\p.exe"}, {"EXCEL.EXE", "C:\\O\\x.exe"}},
       {"C:\\O\\p.exe"}, {}, true},
      {"Office: none names a file", 2, {{"Winword.exe", "C:\\O\\w.exe"}}, {}, {}, false},
      {"mail, stored unexpanded", 3, {{"msimn.exe", "%ProgramFiles%\\Outlook Express\\MSIMN.EXE"}},
       {"C:\\Programme\\outlook express\\msimn.exe"}, {}, true},
      {"messenger", 4, {{"MSNMSGR.EXE", "C:\\M\\msnmsgr.exe"}}, {"C:\\M\\msnmsgr.exe"}, {}, true},
      {"Yahoo! by its key", 5, {}, {}, {"HKEY_CURRENT_USER\\Software\\Yahoo\\pager"}, true},
      {"Yahoo! without", 5, {}, {}, {"HKEY_CURRENT_USER\\Software\\Yahoo"}, false},
      {"AIM", 6, {{"aim.exe", "C:\\A\\aim.exe"}}, {"C:\\A\\aim.exe"}, {}, true},
  };
  for (const auto& c : kCases) {
    FakeMachine machine;
    for (const auto& [program, value] : c.values) machine.values[AppPaths(program)] = value;
    machine.files = c.files;
    machine.keys = c.keys;
    EXPECT_EQ(IsGroupInstalled(c.type, machine), c.installed) << c.what;
    if (c.type == 2) {  // Office asks all four entries, even after one names a file
      EXPECT_EQ(machine.read, (std::vector<std::string>{AppPaths("EXCEL.EXE"), AppPaths("MSACCESS.EXE"),
                                                        AppPaths("Winword.exe"), AppPaths("POWERPNT.EXE")}));
    }
  }
}

TEST(ChooseItemsLayout, BoxesRunDownThenOnInColumnsAsWideAsTheWidestSoFar) {
  // Names 11 high: boxes 13 high, 18 apart, from (tile + 10, tile + 30).
  const struct {
    const char* what;
    std::vector<int> widths;
    int bottom;
    std::vector<BoxPlace> places;
  } kCases[] = {
      {"one column, the last box ending on the bottom", {50, 60, 70, 80}, 197,
       {{20, 130, 70, 13}, {20, 148, 80, 13}, {20, 166, 90, 13}, {20, 184, 100, 13}}},
      {"a pixel less: a second column", {50, 60, 70, 80}, 196,
       {{20, 130, 70, 13}, {20, 148, 80, 13}, {20, 166, 90, 13}, {115, 130, 100, 13}}},
      // The third column moves by the widest box so far (the first
      // column's 120), not the second column's own 50.
      {"widest so far", {50, 100, 30, 20, 20, 20, 10}, 178,
       {{20, 130, 70, 13}, {20, 148, 120, 13}, {145, 130, 50, 13}, {145, 148, 40, 13}, {270, 130, 40, 13},
        {270, 148, 40, 13}, {395, 130, 30, 13}}},
  };
  for (const auto& c : kCases) {
    std::vector<TextSize> names;
    for (int w : c.widths) names.push_back({w, 11});
    EXPECT_TRUE(LayOutCheckBoxes({10, 100, 300, c.bottom}, names) == c.places) << c.what;
  }
}

TEST(ChooseItemsLayout, ColumnsWiderThanTheTileScrollAboveABar) {
  // Tile (10, 100)-(300, bottom): the area is (12, 120)-(298, bottom - 2),
  // 286 wide; boxes 13 high, 18 apart; a bar 16 high. With a bar the rows
  // end on its top (bottom - 18), else a pixel clear of the frame.
  const struct {
    const char* what;
    std::vector<int> widths;
    int bottom;
    bool bar;
    int extent;
    std::vector<BoxPlace> places;  // in the area
  } kCases[] = {
      {"fits: in place as ever", {50, 60}, 200, false, 286, {{8, 10, 70, 13}, {8, 28, 80, 13}}},
      {"the second column ends on the area's right edge", {100, 100, 133}, 178, false, 286,
       {{8, 10, 120, 13}, {8, 28, 120, 13}, {133, 10, 153, 13}}},
      // One pixel wider: the bar takes the second row's room, so each box
      // gets a column; the extent keeps the first column's margin after the last.
      {"a pixel past it: one row above the bar", {100, 100, 134}, 178, true, 420,
       {{8, 10, 120, 13}, {133, 10, 120, 13}, {258, 10, 154, 13}}},
      {"no spots", {}, 178, false, 286, {}},
  };
  for (const auto& c : kCases) {
    std::vector<TextSize> names;
    for (int w : c.widths) names.push_back({w, 11});
    const TileLayout layout = LayOutTile({10, 100, 300, c.bottom}, names, 16);
    EXPECT_TRUE(layout.area == (PanelRect{12, 120, 298, c.bottom - 2})) << c.what;
    EXPECT_EQ(layout.bar, c.bar) << c.what;
    EXPECT_EQ(layout.extent, c.extent) << c.what;
    EXPECT_TRUE(layout.places == c.places) << c.what;
  }
}

TEST(ChooseItemsLayout, ScrollingStaysInRangeAndBringsABoxIntoView) {
  // Columns 1000 wide in an area 300 wide: positions 0 to 700.
  const int kExtent = 1000, kPage = 300;
  const struct {
    int pos, left, right, shown;
  } kShow[] = {
      {100, 150, 250, 100},  // in view: left alone
      {0, 400, 500, 208},    // right of it: its right edge and the margin at the page's end
      {500, 400, 450, 392},  // left of it: its left edge and the margin at the start
      {0, 400, 800, 392},    // wider than the page: its start
      {0, 900, 995, 700},    // the last column: no further than the end
      {600, 8, 100, 0},      // the first column: back to the start
  };
  for (const auto& c : kShow)
    EXPECT_EQ(ScrollToShow(c.pos, kExtent, kPage, c.left, c.right), c.shown) << c.pos << " " << c.left;
  const struct {
    ScrollMove move;
    int amount, after;
  } kMoves[] = {
      {ScrollMove::kLineBack, 0, 80}, {ScrollMove::kLineOn, 0, 120}, {ScrollMove::kPageBack, 0, 0},
      {ScrollMove::kPageOn, 0, 400},  {ScrollMove::kStart, 0, 0},    {ScrollMove::kEnd, 0, 700},
      {ScrollMove::kTo, 900, 700},    {ScrollMove::kTo, -5, 0},      {ScrollMove::kTo, 333, 333},
      {ScrollMove::kWheel, 120, 40},  {ScrollMove::kWheel, -240, 220},
  };
  for (const auto& m : kMoves) {
    EXPECT_EQ(ScrollAfter(100, m.move, m.amount, kExtent, kPage), m.after)
        << static_cast<int>(m.move) << " " << m.amount;
    // Boxes that fit never scroll.
    EXPECT_EQ(ScrollAfter(0, m.move, m.amount, kPage, kPage), 0) << static_cast<int>(m.move);
  }
}

TEST(ChooseItemsList, OnlyAChangedCheckStateCounts) {
  const unsigned kUnchecked = 0x1000, kChecked = 0x2000, kSelected = 0x0002;
  const struct {
    unsigned oldState, newState;
    bool changed;
    int state;  // -1: left alone
  } kCases[] = {
      {kUnchecked, kChecked, true, 1},
      {kChecked | kSelected, kUnchecked | kSelected, true, 0},
      {0, kChecked, true, 1},      // a new item ticked at once
      {0, kUnchecked, false, -1},  // a new item's empty box
      {kChecked, kChecked | kSelected, false, -1},
  };
  for (const auto& c : kCases) {
    int state = -1;
    EXPECT_EQ(ListCheckChanged(c.oldState, c.newState, &state), c.changed) << std::hex << c.oldState << "->" << c.newState;
    EXPECT_EQ(state, c.state) << std::hex << c.oldState << "->" << c.newState;
  }
}

TEST(ChooseItemsIds, SpotBoxesNeverTakeAnotherCommandsId) {
  std::vector<std::unique_ptr<CCleaningSpot>> spots;
  CSpotBoxIds ids;
  std::vector<int> given;
  for (int i = 0; i < 31000; ++i) {
    spots.push_back(std::make_unique<CCleaningSpot>("s" + std::to_string(i), 0));
    given.push_back(ids.Add(spots.back().get()));
  }
  // The first 1001 boxes get 2000 to 3000, the next ones go on up to 0x7FFF.
  EXPECT_EQ((std::vector<int>{given[0], given[1000], given[1001], given[30767], given[30768]}),
            (std::vector<int>{2000, 3000, 3001, 0x7FFF, 0}));
  EXPECT_EQ(ids.Find(3001), spots[1001].get());
  // The panel's controls, IDOK, IDCANCEL and the window's menu commands.
  for (int other : {1, 2, 1001, 1012, 1999, 0x8000, 57665, 0}) EXPECT_EQ(ids.Find(other), nullptr) << other;
}

}  // namespace
}  // namespace sh
