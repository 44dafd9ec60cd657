// The Choose Items page's decisions: which tiles a page shows and where,
// the installed rules against a made-up machine, the check-box columns, the
// list's check-state changes and the spot box ids. Titles and plugin rows
// are seen on the page itself (choose_items_wintest.cpp).
#include "panels/choose_items.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace sh {

// Readable failures: "(x, y) w x h".
void PrintTo(const BoxPlace& b, std::ostream* out) {
  *out << "(" << b.x << ", " << b.y << ") " << b.width << "x" << b.height;
}

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
      {ItemsPage::kPlugins, {}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(TilesOfPage(c.page, types), c.tiles) << static_cast<int>(c.page);
    // Each tile lies inside the panel, under the line at 65 (with the
    // plugin list's margins), and apart from the other tiles of its page:
    // in the window's panel area and in a larger one.
    for (const auto& [cx, cy] : {std::pair{553, 408}, std::pair{700, 520}}) {
      const PanelRect area = PluginListRect(cx, cy);
      std::vector<PanelRect> placed;
      for (size_t i : c.tiles) {
        PanelRect r;
        ASSERT_TRUE(TileRectFor(types[i], cx, cy, &r));
        ItemsPage page;
        ASSERT_TRUE(PageOfGroupType(types[i], &page));
        EXPECT_EQ(page, c.page);
        EXPECT_TRUE(r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= cy - 10 &&
                    r.left < r.right && r.top < r.bottom)
            << "type " << types[i] << " at " << cx << "x" << cy;
        for (const PanelRect& o : placed) {
          if (types[i] == 0) continue;  // the two groups of type 0 share their place
          EXPECT_TRUE(r.right <= o.left || o.right <= r.left || r.bottom <= o.top || o.bottom <= r.top)
              << "type " << types[i] << " overlaps";
        }
        placed.push_back(r);
      }
    }
  }
  for (int type : {-1, 7, 9}) {
    ItemsPage page;
    PanelRect r;
    EXPECT_FALSE(PageOfGroupType(type, &page) || TileRectFor(type, 553, 408, &r)) << type;
    EXPECT_EQ(TilePictureFor(type), 0);
  }
  // Every page's own picture (Yahoo! and AIM too: the program has them).
  std::set<int> pictures;
  for (int type = 0; type <= 6; ++type) pictures.insert(TilePictureFor(type));
  EXPECT_EQ(pictures.size(), 7u);
  EXPECT_EQ(pictures.count(0), 0u);
}

// The registry values, files and keys of a machine; what was asked.
class FakeMachine : public IInstalledProbe {
 public:
  std::string ReadDefaultValue(const std::string& keyText) override {
    read.push_back(keyText);
    auto it = values.find(keyText);
    return it == values.end() ? std::string() : it->second;
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
      {"Windows always", 0, {}, {}, {}, true},
      {"browser, trailing ;", 1, {{"IEXPLORE.EXE", "C:\\IE\\iexplore.exe;;"}}, {"C:\\IE\\iexplore.exe"}, {}, true},
      {"browser file gone", 1, {{"IEXPLORE.EXE", "C:\\IE\\iexplore.exe"}}, {}, {}, false},
      {"browser not listed", 1, {}, {"C:\\IE\\iexplore.exe"}, {}, false},
      {"Office: the last of four", 2, {{"POWERPNT.EXE", "C:\\O\\p.exe"}, {"EXCEL.EXE", "C:\\O\\x.exe"}},
       {"C:\\O\\p.exe"}, {}, true},
      {"Office: none names a file", 2, {{"Winword.exe", "C:\\O\\w.exe"}}, {}, {}, false},
      {"mail, stored unexpanded", 3, {{"msimn.exe", "%ProgramFiles%\\Outlook Express\\MSIMN.EXE"}},
       {"C:\\Programme\\outlook express\\msimn.exe"}, {}, true},
      {"mail elsewhere", 3, {{"msimn.exe", "%ProgramFiles%\\OE\\msimn.exe"}}, {"C:\\Programme\\OE\\msimn.exe"}, {},
       false},
      {"messenger", 4, {{"MSNMSGR.EXE", "C:\\M\\msnmsgr.exe"}}, {"C:\\M\\msnmsgr.exe"}, {}, true},
      {"Yahoo! by its key", 5, {}, {}, {"HKEY_CURRENT_USER\\Software\\Yahoo\\pager"}, true},
      {"Yahoo! without", 5, {}, {}, {"HKEY_CURRENT_USER\\Software\\Yahoo"}, false},
      {"AIM", 6, {{"aim.exe", "C:\\A\\aim.exe"}}, {"C:\\A\\aim.exe"}, {}, true},
      {"AIM's entry names another program", 6, {{"aim.exe", "C:\\A\\aim.exe"}}, {"C:\\M\\msnmsgr.exe"}, {}, false},
      {"no page, never", 7, {{"aim.exe", "C:\\A\\aim.exe"}}, {"C:\\A\\aim.exe"}, {}, false},
  };
  for (const auto& c : kCases) {
    FakeMachine machine;
    for (const auto& [program, value] : c.values) machine.values[AppPaths(program)] = value;
    machine.files = c.files;
    machine.keys = c.keys;
    EXPECT_EQ(IsGroupInstalled(c.type, machine), c.installed) << c.what;
  }
  // Office asks all four entries, even after one names a file.
  FakeMachine office;
  office.values[AppPaths("EXCEL.EXE")] = "C:\\O\\x.exe";
  office.files = {"C:\\O\\x.exe"};
  EXPECT_TRUE(IsGroupInstalled(2, office));
  EXPECT_EQ(office.read, (std::vector<std::string>{AppPaths("EXCEL.EXE"), AppPaths("MSACCESS.EXE"),
                                                   AppPaths("Winword.exe"), AppPaths("POWERPNT.EXE")}));
}

TEST(ChooseItemsLayout, BoxesRunDownThenOnInColumnsAsWideAsTheWidestSoFar) {
  // Names 11 high: boxes 13 high, 18 apart, from (tile + 10, tile + 30).
  const PanelRect tile = {10, 100, 300, 200};  // rows at 130, 148, 166; 184 would end at 197 (fits)
  const auto Boxes = [&](std::vector<int> widths, int bottom) {
    std::vector<TextSize> names;
    for (int w : widths) names.push_back({w, 11});
    PanelRect r = tile;
    r.bottom = bottom;
    return LayOutCheckBoxes(r, names);
  };
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
  for (const auto& c : kCases) EXPECT_EQ(Boxes(c.widths, c.bottom), c.places) << c.what;
  EXPECT_TRUE(LayOutCheckBoxes(tile, {}).empty());
}

TEST(ChooseItemsList, OnlyAChangedCheckStateCounts) {
  const unsigned kUnchecked = 0x1000, kChecked = 0x2000, kSelected = 0x0002, kFocused = 0x0001;
  const struct {
    unsigned oldState, newState;
    bool changed;
    int state;
  } kCases[] = {
      {kUnchecked, kChecked, true, 1},
      {kChecked | kSelected, kUnchecked | kSelected, true, 0},
      {0, kChecked, true, 1},                          // a new item ticked at once
      {0, kUnchecked, false, 0},                       // a new item's empty box
      {kChecked, kChecked | kSelected | kFocused, false, 0},  // selection only
      {kSelected, 0, false, 0},
      {0, 0, false, 0},
      {kUnchecked, 0x3000, true, 2},  // a third state image
  };
  for (const auto& c : kCases) {
    int state = -1;
    EXPECT_EQ(ListCheckChanged(c.oldState, c.newState, &state), c.changed) << std::hex << c.oldState << "->" << c.newState;
    if (c.changed) {
      EXPECT_EQ(state, c.state);
    }
  }
}

TEST(ChooseItemsIds, SpotBoxesNeverTakeAnotherCommandsId) {
  std::vector<std::unique_ptr<CCleaningSpot>> spots;
  for (int i = 0; i < 40000; ++i) spots.push_back(std::make_unique<CCleaningSpot>("s" + std::to_string(i), 0));
  CSpotBoxIds ids;
  std::vector<int> given;
  for (auto& spot : spots) given.push_back(ids.Add(spot.get()));
  // The first 1001 boxes get 2000 to 3000, the next ones go on up to 0x7FFF.
  EXPECT_EQ(given[0], 2000);
  EXPECT_EQ(given[1000], 3000);
  EXPECT_EQ(given[1001], 3001);
  EXPECT_EQ(given[30767], 0x7FFF);
  EXPECT_EQ(given[30768], 0) << "the range is used up: no box";
  EXPECT_EQ(ids.size(), 30768u);
  EXPECT_EQ(ids.Find(3001), spots[1001].get());
  // The panel's controls, the dialog commands (IDOK, IDCANCEL) and the
  // window's menu commands are no spot boxes.
  for (int other : {1, 2, 1001, 1009, 1012, 1999, 0x8000, 32772, 57665, 0}) EXPECT_EQ(ids.Find(other), nullptr) << other;
}

}  // namespace
}  // namespace sh
