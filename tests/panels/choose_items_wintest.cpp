// The Choose Items page on real data files and the real registry: its tabs
// show the group tiles of their page, each tick is stored in its data file
// at once (read back here through the files), installed applications are
// found through their App Paths entries, and the plugin list holds the
// custom and the installed plugins.
#include "panels/choose_items_panel_win.h"

#include <gtest/gtest.h>

#include "app/child_process.h"
#include "model/plugin_file.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

std::string Group(const std::string& name, int type, int spots, int chosenEvery = 0) {
  std::string xml = "<Group name=\"" + name + "\" GroupType=\"" + std::to_string(type) + "\">";
  for (int i = 0; i < spots; ++i)
    xml += "<Spot name=\"" + name + " " + std::to_string(i) + "\" ToBeCleaned=\"" +
           (chosenEvery && i % chosenEvery == 0 ? "1" : "0") + "\" Type=\"0\" />";
  return xml + "</Group>";
}

std::string Plugin(const std::string& name, const std::string& description, int ticked, const std::string& file) {
  return "<Plugin Name=\"" + name + "\" Description=\"" + description + "\" ToBeCleaned=\"" + std::to_string(ticked) +
         "\"><FIND_DATA><FILE Name=\"" + file + "\" /></FIND_DATA></Plugin>";
}

class ChooseItems : public GuiTest {
 protected:
  // The browser is installed (its App Paths entry ends in ";"), the
  // messenger is not: its entry names a file that is gone. The three data
  // files are loaded as the program loads them; then the page, sized to the
  // window's panel area.
  void Open(const std::string& groups) {
    const std::string appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    settings.values["path"] = data.path();
    WriteBytes(data / "iexplore.exe", 10);
    WriteBytes(data / "app.exe", 1);
    registry.SetString(HKEY_LOCAL_MACHINE, appPaths + "IEXPLORE.EXE", "", data / "iexplore.exe;");
    registry.SetString(HKEY_LOCAL_MACHINE, appPaths + "MSNMSGR.EXE", "", data / "gone.exe");
    ASSERT_EQ(WriteDataFile(data / "Splst.swh", "<CleaningSpots Version=\"7\">" + groups + "</CleaningSpots>"), 1);
    ASSERT_EQ(WriteDataFile(data / "Plglst.swh", "<SweepHarborPlugins Version=\"2\">" +
                                                     Plugin("WinZip", "zip", 1, data / "app.exe") +
                                                     Plugin("Absent", "gone", 1, data / "none.exe") +
                                                     Plugin("7-Zip", "seven", 0, data / "app.exe") +
                                                     "</SweepHarborPlugins>"),
              1);
    ASSERT_EQ(WriteDataFile(data / "CutmPlg.swh", "<CustomPlugins><Plugin Name=\"Mine\" ToBeCleaned=\"0\" />"
                                                  "</CustomPlugins>"),
              1);
    ASSERT_EQ(LoadSpotList(env, catalog, data / "Splst.swh", 0, nullptr), 1);
    ASSERT_EQ(LoadPluginList(env, catalog, data / "Plglst.swh", nullptr), 1);
    ASSERT_EQ(LoadCustomPlugins(env, catalog, data / "CutmPlg.swh"), 1);
    ASSERT_TRUE(panel.Create(host.hwnd()));
    panel.Move(0, 0, 553, 408);
    panel.Show();
  }
  // The ToBeCleaned flags of spots or plugins, in order, as stored in a data file.
  std::string Stored(const std::string& file, const std::string& attribute, std::vector<std::string> names) {
    const std::string text = ReadDataFile(files, data / file);
    std::string flags;
    for (const std::string& name : names) {
      const size_t at = text.find(attribute + "=\"" + name + "\"");
      flags += at == std::string::npos ? '?' : text[text.find("ToBeCleaned=\"", at) + 13];
    }
    return flags;
  }
  void Press(ItemsPage page) { SendMessageA(panel.Tab(page)->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }
  // The titles of the tiles shown or with boxes shown; "(part)" when only
  // some of their boxes are.
  std::vector<std::string> ShownTitles() const {
    std::vector<std::string> titles;
    for (const auto& tile : panel.tiles()) {
      size_t shown = 0;
      for (HWND box : tile->boxes()) shown += box && IsWindowVisible(box) ? 1 : 0;
      if (tile->shown() || shown) titles.push_back(tile->title() + (shown == tile->boxes().size() ? "" : " (part)"));
    }
    return titles;
  }
  bool Ticked(HWND box) const { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  // The plugin list, top to bottom, as "name|description" with "|x" when ticked.
  std::vector<std::string> ListRows() const {
    std::vector<std::string> rows;
    const CListView& list = panel.plugin_list();
    for (int row = 0; row < static_cast<int>(list.Send(LVM_GETITEMCOUNT)); ++row) {
      rows.push_back(list.ItemText(row, 0) + "|" + list.ItemText(row, 1) +
                     (ListView_GetCheckState(list.hwnd(), row) ? "|x" : ""));
    }
    return rows;
  }

  RegistryGuard registry;
  ScratchDir data{"choose-items"};
  MapSettings settings;
  ScriptedPrompt prompt;
  CDataFileLock lock;
  CWinFileStore files;
  CWinPluginEnvironment machine{settings};
  DataFileEnv env{files, machine, settings, prompt, lock};
  CSpotCatalog catalog;
  CChooseItemsPanel panel{catalog, settings, prompt, lock, {"Windows XP Professional Edition", 6, 0}};
};

TEST_F(ChooseItems, TabsShowTheirTilesAndEveryTickIsStoredAtOnce) {
  Open(Group("Windows", 0, 3, 2) + Group("Internet Explorer", 1, 2) + Group("Microsoft Office", 2, 2) +
       Group("Outlook Express", 3, 1) + Group("MSN Messenger", 4, 2, 1) + Group("Later", 9, 1));
  const auto& tiles = panel.tiles();
  ASSERT_EQ(tiles.size(), 6u);
  EXPECT_EQ(ShownTitles(), (std::vector<std::string>{"Windows XP Professional Edition", "Microsoft Office"}));

  // A tick and an untick, each in its file at once, the others as they were.
  HWND win1 = tiles[0]->boxes()[1], win0 = tiles[0]->boxes()[0];
  ASSERT_TRUE(win1 && win0 && !Ticked(win1) && Ticked(win0));
  SendMessageA(win1, BM_CLICK, 0, 0);
  SendMessageA(win0, BM_CLICK, 0, 0);
  EXPECT_EQ(Stored("Splst.swh", "name", {"Windows 0", "Windows 1", "Windows 2"}), "011");

  Press(ItemsPage::kBrowsers);
  EXPECT_EQ(ShownTitles(), std::vector<std::string>{"Internet Explorer Version : 6.0"});
  EXPECT_TRUE(tiles[1]->installed() && IsWindowEnabled(tiles[1]->boxes()[0])) << "its App Paths entry ends in \";\"";

  Press(ItemsPage::kMessaging);
  EXPECT_EQ(ShownTitles(), (std::vector<std::string>{"Outlook Express", "MSN Messenger"}));
  // Not installed: greyed, with the ticks as stored.
  EXPECT_TRUE(!tiles[4]->installed() && !IsWindowEnabled(tiles[4]->boxes()[0]) && Ticked(tiles[4]->boxes()[0]) &&
              Ticked(tiles[4]->boxes()[1]));
}

// A window's rectangle in the panel.
RECT InPanel(HWND panel, HWND hwnd) {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
  return r;
}
// Where a tile's boxes can be seen: its area's client part, in the panel.
RECT SeenPart(HWND panel, const CGroupTile& tile) {
  RECT r = {0, 0, 0, 0};
  GetClientRect(tile.area(), &r);
  MapWindowPoints(tile.area(), panel, reinterpret_cast<POINT*>(&r), 2);
  return r;
}
bool Within(const RECT& in, const RECT& out) {
  return in.left >= out.left && in.top >= out.top && in.right <= out.right && in.bottom <= out.bottom;
}

TEST_F(ChooseItems, BoxesOutOfSightScrollIntoViewInsideTheirTile) {
  // Office installed: its boxes take the focus.
  registry.SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EXCEL.EXE", "",
                     data / "app.exe");
  Open(Group("Windows", 0, 3) + Group("Internet Explorer", 1, 40) + Group("Microsoft Office", 2, 30));
  const HWND p = panel.hwnd();
  const CGroupTile& windows = *panel.tiles()[0];
  CGroupTile& office = *panel.tiles()[2];

  // A few boxes fit: no bar, the first box where it always stood.
  const RECT area = InPanel(p, windows.area()), seen = SeenPart(p, windows);
  EXPECT_EQ(area.bottom - area.top, seen.bottom - seen.top) << "a bar";
  const RECT first = InPanel(p, windows.boxes()[0]);
  EXPECT_TRUE(first.left == windows.rect().left + 10 && first.top == windows.rect().top + 30);

  // The browser's tile and the 80-pixel Office tile: their columns run far
  // past them, so a bar inside the frame under the header strip, and the
  // last box starts out of sight. Tab from the control before the tile
  // through its boxes: each one reached lies whole in sight, above the bar.
  const struct {
    ItemsPage page;
    size_t index;
    HWND before;
  } kScrolled[] = {{ItemsPage::kBrowsers, 1, panel.Tab(ItemsPage::kPlugins)->hwnd()},
                   {ItemsPage::kWindows, 2, windows.boxes().back()}};
  for (const auto& [page, index, before] : kScrolled) {
    Press(page);
    const CGroupTile& tile = *panel.tiles()[index];
    const PanelRect& t = tile.rect();
    const RECT frame = {t.left + 2, t.top + 20, t.right - 2, t.bottom - 2};
    const RECT shown = SeenPart(p, tile);
    ASSERT_TRUE(tile.installed() && (GetWindowLongPtrA(tile.area(), GWL_STYLE) & WS_HSCROLL)) << tile.title();
    EXPECT_TRUE(Within(InPanel(p, tile.area()), frame) && shown.bottom < frame.bottom) << tile.title();
    EXPECT_GT(InPanel(p, tile.boxes().back()).left, shown.right) << tile.title();
    SetFocus(before);
    for (size_t i = 0; i < tile.boxes().size(); ++i) {
      MSG tab = {GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
      IsDialogMessageA(p, &tab);
      ASSERT_EQ(GetFocus(), tile.boxes()[i]) << tile.title() << " " << i;
      EXPECT_TRUE(Within(InPanel(p, tile.boxes()[i]), shown)) << tile.title() << " " << i;
    }
  }

  // Through the bar to the end and back to the start; a click on the last
  // box, out of sight again, brings it into view and its tick is stored.
  const PanelRect& t = office.rect();
  const RECT shown = SeenPart(p, office);
  SetFocus(office.boxes()[0]);
  SendMessageA(office.area(), WM_HSCROLL, SB_RIGHT, 0);
  EXPECT_TRUE(Within(InPanel(p, office.boxes().back()), shown));
  SendMessageA(office.area(), WM_HSCROLL, SB_LEFT, 0);
  ASSERT_EQ(office.scroll(), 0);
  SendMessageA(office.boxes().back(), BM_CLICK, 0, 0);
  EXPECT_TRUE(Within(InPanel(p, office.boxes().back()), shown));
  EXPECT_EQ(Stored("Splst.swh", "name", {"Microsoft Office 29", "Microsoft Office 28"}), "10");

  // A wheel notch towards the user, over the tile, from the panel (where
  // the focus window hands it on): 60 pixels on, the bar with it.
  SendMessageA(office.area(), WM_HSCROLL, SB_LEFT, 0);
  RECT onScreen;
  GetWindowRect(office.area(), &onScreen);
  SendMessageA(p, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
               MAKELPARAM(onScreen.left + 5, onScreen.top + 5));
  SCROLLINFO bar = {sizeof bar, SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(office.area(), SB_HORZ, &bar);
  EXPECT_TRUE(office.scroll() == 60 && bar.nPos == 60) << office.scroll();
  EXPECT_EQ(InPanel(p, office.boxes()[0]).left, t.left + 10 - 60);
}

TEST_F(ChooseItems, ThePluginListHoldsCustomAndInstalledPluginsAndStoresTheirTicks) {
  Open(Group("Windows", 0, 1030));
  // More spots than the 1001 ids from 2000 to 3000: the last box's id lies
  // beyond, and its tick is stored all the same.
  SendMessageA(panel.tiles()[0]->boxes().at(1029), BM_CLICK, 0, 0);
  EXPECT_EQ(Stored("Splst.swh", "name", {"Windows 1029", "Windows 1000"}), "10");

  Press(ItemsPage::kPlugins);
  EXPECT_TRUE(IsWindowVisible(panel.plugin_list().hwnd()) && ShownTitles().empty());
  // Sorted by the first column; the absent plugin is not listed.
  const std::string mine = "Custom Plugin : Mine|" + catalog.CustomPlugins().at(0)->Description;
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"7-Zip|seven", mine, "WinZip|zip|x"}));

  // Clicks on the rows' boxes, as the list makes them: their state images flip.
  ListView_SetCheckState(panel.plugin_list().hwnd(), 0, TRUE);
  ListView_SetCheckState(panel.plugin_list().hwnd(), 1, TRUE);
  ListView_SetCheckState(panel.plugin_list().hwnd(), 2, FALSE);
  EXPECT_EQ(Stored("Plglst.swh", "Name", {"7-Zip", "WinZip", "Absent"}) + Stored("CutmPlg.swh", "Name", {"Mine"}),
            "1011");
  // Shown again: filled afresh from the catalog, each plugin once; filling
  // ticks WinZip as the catalog now has it, and stores nothing.
  catalog.Plugins().at(0)->ToBeCleaned = 1;
  const std::string plugins = ReadBytes(data / "Plglst.swh");
  panel.Show(SW_HIDE);
  panel.Show(SW_SHOW);
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"7-Zip|seven|x", mine + "|x", "WinZip|zip|x"}));
  EXPECT_EQ(ReadBytes(data / "Plglst.swh"), plugins);
}

}  // namespace
}  // namespace sh::test
