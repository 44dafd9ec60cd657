// The Choose Items page on real data files and the real registry: its tabs
// show the group tiles of their page, each tick is stored in its data file
// at once (read back here through the files), installed applications are
// found through their App Paths entries, and the plugin list holds the
// custom and the installed plugins.
#include "panels/choose_items_panel_win.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include "app/child_process.h"
#include "model/data_file_win.h"
#include "model/plugin_file.h"
#include "res/resource.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

constexpr char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

std::string Spots(const std::string& prefix, int count, int chosenEvery = 0) {
  std::string xml;
  for (int i = 0; i < count; ++i)
    xml += "<Spot name=\"" + prefix + " " + std::to_string(i) + "\" ToBeCleaned=\"" +
           (chosenEvery && i % chosenEvery == 0 ? "1" : "0") + "\" Type=\"0\" />";
  return xml;
}

std::string Group(const std::string& name, int type, const std::string& spots) {
  return "<Group name=\"" + name + "\" GroupType=\"" + std::to_string(type) + "\">" + spots + "</Group>";
}

class ChooseItems : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    settings.values["path"] = data.path();
    // The browser is installed (its App Paths entry ends in ";"), the
    // messenger is not: its entry names a file that is gone.
    WriteBytes(data / "iexplore.exe", 10);
    registry.SetString(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "IEXPLORE.EXE", "", data / "iexplore.exe;");
    registry.SetString(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "MSNMSGR.EXE", "", data / "gone.exe");
    WriteBytes(data / "app.exe", 1);
  }
  // The three data files, loaded as the program loads them; then the page,
  // sized to the window's panel area.
  void Open(const std::string& groups) {
    ASSERT_EQ(WriteDataFile(data / "Splst.swh", "<CleaningSpots Version=\"7\">" + groups + "</CleaningSpots>"), 1);
    const std::string present = "<FIND_DATA><FILE Name=\"" + data / "app.exe" + "\" /></FIND_DATA>";
    const std::string absent = "<FIND_DATA><FILE Name=\"" + data / "none.exe" + "\" /></FIND_DATA>";
    ASSERT_EQ(WriteDataFile(data / "Plglst.swh",
                            "<SweepHarborPlugins Version=\"2\">"
                            "<Plugin Name=\"WinZip\" Description=\"zip\" ToBeCleaned=\"1\">" + present + "</Plugin>"
                            "<Plugin Name=\"Absent\" Description=\"gone\" ToBeCleaned=\"1\">" + absent + "</Plugin>"
                            "<Plugin Name=\"7-Zip\" Description=\"seven\" ToBeCleaned=\"0\">" + present + "</Plugin>"
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

  // The ToBeCleaned attribute of the element named `name` (a spot's "name"
  // or a plugin's "Name") in a data file as stored; "?" when absent.
  std::string Stored(const std::string& file, const std::string& name) {
    TiXmlDocument document;
    if (!ParseDataText(ReadDataFile(files, data / file), document)) return "?";
    for (TiXmlElement* e = document.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement()) {
      if (e->Attribute("Name") && name == e->Attribute("Name")) return e->Attribute("ToBeCleaned");
      for (TiXmlElement* s = e->FirstChildElement(); s; s = s->NextSiblingElement())
        if (s->Attribute("name") && name == s->Attribute("name")) return s->Attribute("ToBeCleaned");
    }
    return "?";
  }
  void Press(ItemsPage page) {
    SendMessageA(panel.Tab(page)->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  }
  // How many of a tile's boxes are shown.
  size_t ShownBoxes(const CGroupTile& tile) const {
    size_t n = 0;
    for (HWND box : tile.boxes()) n += box && IsWindowVisible(box) ? 1 : 0;
    return n;
  }
  std::vector<std::string> ShownTitles() const {
    std::vector<std::string> titles;
    for (const auto& tile : panel.tiles())
      if (tile->shown() && ShownBoxes(*tile) == tile->boxes().size()) titles.push_back(tile->title());
    return titles;
  }
  bool Ticked(HWND box) const { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  // The plugin list, top to bottom, as "name|description" with "|x" when ticked.
  std::vector<std::string> ListRows() const {
    std::vector<std::string> rows;
    const CListView& list = panel.plugin_list();
    for (int row = 0; row < static_cast<int>(list.Send(LVM_GETITEMCOUNT)); ++row) {
      const bool ticked = (list.Send(LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) == 2;
      rows.push_back(list.ItemText(row, 0) + "|" + list.ItemText(row, 1) + (ticked ? "|x" : ""));
    }
    return rows;
  }
  int ListRow(const std::string& name) const {
    for (int row = 0; row < static_cast<int>(panel.plugin_list().Send(LVM_GETITEMCOUNT)); ++row)
      if (panel.plugin_list().ItemText(row, 0) == name) return row;
    return -1;
  }
  // A click on the row's box, as the list makes it: its state image flips.
  void TickRow(int row, bool on) {
    LVITEMA state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
    panel.plugin_list().Send(LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
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
  Open(Group("Windows", 0, Spots("Win", 3, 2)) + Group("Internet Explorer", 1, Spots("IE", 2)) +
       Group("Microsoft Office", 2, Spots("Office", 2)) + Group("Outlook Express", 3, Spots("OE", 1)) +
       Group("MSN Messenger", 4, Spots("MSN", 2, 1)) + Group("Later", 9, Spots("Later", 1)));
  const auto& tiles = panel.tiles();
  ASSERT_EQ(tiles.size(), 6u);
  EXPECT_EQ(ShownTitles(), (std::vector<std::string>{"Windows XP Professional Edition", "Microsoft Office"}));
  EXPECT_TRUE(panel.Tab(ItemsPage::kWindows)->selected());
  EXPECT_EQ(tiles[5]->created(), 0) << "a group without a page gets no boxes";

  // A tick and an untick, each in its file at once and in the catalog.
  HWND win1 = tiles[0]->boxes()[1], win0 = tiles[0]->boxes()[0];
  ASSERT_TRUE(win1 && win0 && !Ticked(win1) && Ticked(win0));
  SendMessageA(win1, BM_CLICK, 0, 0);
  EXPECT_EQ(Stored("Splst.swh", "Win 1"), "1");
  EXPECT_EQ(catalog.Groups().at(0)->Spots().at(1)->ToBeCleaned, 1);
  SendMessageA(win0, BM_CLICK, 0, 0);
  EXPECT_EQ(Stored("Splst.swh", "Win 0"), "0");
  EXPECT_EQ(Stored("Splst.swh", "Win 2"), "1") << "the others as they were";
  EXPECT_TRUE(prompt.asked.empty());

  Press(ItemsPage::kBrowsers);
  EXPECT_EQ(ShownTitles(), std::vector<std::string>{"Internet Explorer Version : 6.0"});
  EXPECT_EQ(ShownBoxes(*tiles[0]) + ShownBoxes(*tiles[2]), 0u);
  EXPECT_TRUE(IsWindowEnabled(tiles[1]->boxes()[0])) << "installed: its App Paths entry ends in \";\"";

  Press(ItemsPage::kMessaging);
  EXPECT_EQ(ShownTitles(), (std::vector<std::string>{"Outlook Express", "MSN Messenger"}));
  // Not installed: greyed, with the ticks as stored.
  const CGroupTile& msn = *tiles[4];
  EXPECT_FALSE(msn.installed());
  EXPECT_TRUE(!IsWindowEnabled(msn.boxes()[0]) && Ticked(msn.boxes()[0]) && Ticked(msn.boxes()[1]));

  Press(ItemsPage::kWindows);
  EXPECT_EQ(ShownTitles(), (std::vector<std::string>{"Windows XP Professional Edition", "Microsoft Office"}));
  EXPECT_TRUE(panel.Tab(ItemsPage::kWindows)->selected() && !panel.Tab(ItemsPage::kMessaging)->selected());

  // Enter in a box stays in the page: nothing stored, nothing handed on.
  const std::string before = ReadBytes(data / "Splst.swh");
  SetFocus(win1);
  SendMessageA(panel.hwnd(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(ReadBytes(data / "Splst.swh"), before);
  EXPECT_TRUE(host.commands.empty());
}

TEST_F(ChooseItems, ThePluginListHoldsCustomAndInstalledPluginsAndStoresTheirTicks) {
  Open(Group("Windows", 0, Spots("Win", 1)));
  const std::string plugins = ReadBytes(data / "Plglst.swh"), custom = ReadBytes(data / "CutmPlg.swh");
  Press(ItemsPage::kPlugins);
  EXPECT_TRUE(IsWindowVisible(panel.plugin_list().hwnd()));
  EXPECT_EQ(ShownBoxes(*panel.tiles()[0]), 0u);
  // Sorted by the first column; the absent plugin is not listed; filling
  // ticks without storing anything.
  const std::vector<std::string> expected = {"7-Zip|seven", "Custom Plugin : Mine|" + catalog.CustomPlugins().at(0)->Description,
                                             "WinZip|zip|x"};
  EXPECT_EQ(ListRows(), expected);
  EXPECT_EQ(ReadBytes(data / "Plglst.swh"), plugins);
  EXPECT_EQ(ReadBytes(data / "CutmPlg.swh"), custom);

  TickRow(ListRow("7-Zip"), true);
  EXPECT_EQ(Stored("Plglst.swh", "7-Zip"), "1");
  EXPECT_EQ(catalog.Plugins().at(2)->ToBeCleaned, 1);
  TickRow(ListRow("WinZip"), false);
  EXPECT_EQ(Stored("Plglst.swh", "WinZip"), "0");
  TickRow(ListRow("Custom Plugin : Mine"), true);
  EXPECT_EQ(Stored("CutmPlg.swh", "Mine"), "1");
  EXPECT_EQ(Stored("Plglst.swh", "Absent"), "1") << "never listed, never touched";
  // Selecting a row is no tick.
  const std::string now = ReadBytes(data / "Plglst.swh");
  LVITEMA select = {};
  select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
  panel.plugin_list().Send(LVM_SETITEMSTATE, ListRow("7-Zip"), reinterpret_cast<LPARAM>(&select));
  EXPECT_EQ(ReadBytes(data / "Plglst.swh"), now);

  // Shown again: filled afresh from the catalog, each plugin once.
  panel.Show(SW_HIDE);
  panel.Show(SW_SHOW);
  EXPECT_EQ(ListRows(), (std::vector<std::string>{"7-Zip|seven|x", "Custom Plugin : Mine|" +
                                                                       catalog.CustomPlugins().at(0)->Description + "|x",
                                                  "WinZip|zip"}));
  EXPECT_TRUE(prompt.asked.empty());
}

// More spots than the 1001 ids from 2000 to 3000: the boxes after them get
// ids of the page's own range beyond, which its command handler knows.
TEST_F(ChooseItems, BoxesBeyondTheFirstThousandStillStoreTheirTicks) {
  Open(Group("Windows", 0, Spots("Win", 1030)));
  const CGroupTile& tile = *panel.tiles()[0];
  ASSERT_EQ(tile.created(), 1030);
  HWND last = tile.boxes().back();
  EXPECT_EQ(GetDlgCtrlID(last), 2000 + 1029);
  SendMessageA(last, BM_CLICK, 0, 0);
  EXPECT_EQ(Stored("Splst.swh", "Win 1029"), "1");
  EXPECT_EQ(Stored("Splst.swh", "Win 1000"), "0");
}

}  // namespace
}  // namespace sh::test
