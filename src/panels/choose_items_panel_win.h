// The Choose Items page: four picture tabs (Windows, Browsers, Messaging,
// Plugins); the first three show group tiles with one check box per spot,
// Plugins a list of plugins with check boxes. Every tick is stored in its
// data file at once. The decisions are in panels/choose_items.h.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "model/catalog.h"
#include "model/data_file.h"
#include "model/data_file_win.h"
#include "panels/choose_items.h"
#include "toolkit/controls_win.h"
#include "toolkit/skin_button_win.h"
#include "toolkit/white_panel_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

// App Paths, files and keys of this computer.
class CWinInstalledProbe : public IInstalledProbe {
 public:
  std::string ReadDefaultValue(const std::string& keyText) override;
  // A file, not a folder.
  bool FileExists(const std::string& path) override;
  bool RegistryKeyExists(const std::string& keyText) override;
  std::string ProgramFilesDir() override;
};

class CBoxFocusWatch;

// One group of the spot list on the page: a framed tile with a header strip
// (picture and title) and a check box per spot, made once at the first
// size change and then only shown and hidden. The boxes live in a window of
// the tile's own inside its frame, which clips them to the tile and, when
// their columns are wider than the tile, scrolls them sideways under a bar
// (the bar, the wheel, and a box taking the focus bring them into view).
// That window hands the boxes' commands and colour requests on to the
// panel; it is destroyed with the tile.
class CGroupTile {
 public:
  CGroupTile(HWND parent, CSpotGroup& group, bool installed, int picture, std::string title);
  ~CGroupTile();
  CGroupTile(const CGroupTile&) = delete;
  CGroupTile& operator=(const CGroupTile&) = delete;

  // The tile's place; the first time also makes its check boxes, taking
  // their ids from `ids` (a spot whose id is refused gets no box).
  void Place(const PanelRect& rect, CSpotBoxIds& ids);
  void Show(bool on);
  // The frame, header strip, picture and title.
  void Paint(HDC dc, HFONT titleFont) const;
  // Sideways, to a position or as the bar or wheel asks; kept in range.
  void ScrollTo(int pos);
  void Scroll(ScrollMove move, int amount = 0);
  // Brings box `box` (one of boxes()) fully into view.
  void ScrollIntoView(HWND box);
  // A wheel turned with the pointer at `screen`: true when that is over the
  // tile's boxes (they scroll when there is a bar).
  bool Wheel(POINT screen, int delta);

  CSpotGroup& group() const { return group_; }
  bool installed() const { return installed_; }
  bool shown() const { return shown_; }
  const std::string& title() const { return title_; }
  const PanelRect& rect() const { return rect_; }
  // One per spot in group order (null where no id was left).
  const std::vector<HWND>& boxes() const { return boxes_; }
  int created() const { return created_; }
  // The window that holds the boxes; null before the first Place.
  HWND area() const { return area_.get(); }
  const TileLayout& layout() const { return layout_; }
  int scroll() const { return scroll_; }

 private:
  static LRESULT CALLBACK AreaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool CreateArea();
  void CreateCheckBoxes(CSpotBoxIds& ids);
  // Lays the boxes out in rect_ and puts the area, its bar and the boxes there.
  void Arrange();
  void MoveBoxes();

  HWND parent_;
  bool installed_;
  CSpotGroup& group_;
  ScopedBitmap picture_;
  std::string title_;
  std::vector<HWND> boxes_;
  int created_ = 0;
  PanelRect rect_;
  ScopedFont font_;  // "MS Sans Serif", 10 pixels, light
  bool shown_ = false;
  std::vector<TextSize> names_;  // measured once, with the boxes
  TileLayout layout_;
  int scroll_ = 0;
  ScopedWindow area_;
  std::vector<std::unique_ptr<CBoxFocusWatch>> watches_;  // one per box
};

class CChooseItemsPanel : public CWhitePanel, public ISkinButtonTarget {
 public:
  // Stores through this computer's data files under `lock` (the
  // application's); `facts` title the Windows and Browsers tiles.
  CChooseItemsPanel(CSpotCatalog& catalog, ISettingsStore& settings, IPrompt& prompt, CDataFileLock& lock,
                    TileTitleFacts facts);
  ~CChooseItemsPanel() override;

  // ISkinButtonTarget: the tabs.
  bool OnSkinButtonClicked(CSkinButton& button) override;

  void ShowPage(ItemsPage page);
  ItemsPage page() const { return page_; }
  CSkinButton* Tab(ItemsPage page) const { return tabs_[static_cast<size_t>(page)].get(); }
  // Every tile in group order.
  const std::vector<std::unique_ptr<CGroupTile>>& tiles() const { return tiles_; }
  // The plugin list, filled again each time the panel is shown.
  void FillPluginList();
  const CListView& plugin_list() const { return list_; }
  CPluginSpots* PluginOfRow(int row) const;

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(int id, NMHDR* header, LRESULT* result) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void Layout(int cx, int cy);
  void PlaceTabs(int cx);
  // Shows the tiles of `page` and makes them the shown ones.
  void ShowTilesOf(ItemsPage page);
  void Paint(HDC dc) override;
  void OnListItemChanged(const NMLISTVIEW& change);
  void InsertPluginRow(const PluginRow& row);

  CSpotCatalog& catalog_;
  CWinFileStore files_;
  CWinPluginEnvironment machine_;
  DataFileEnv env_;
  CWinInstalledProbe probe_;
  TileTitleFacts facts_;
  CSkinButtonGroups tabGroups_;
  std::array<std::unique_ptr<CSkinButton>, 4> tabs_;
  std::vector<std::unique_ptr<CGroupTile>> tiles_;
  std::vector<CGroupTile*> shownTiles_;
  CSpotBoxIds boxIds_;
  CListView list_;
  ScopedBitmap header_;
  ScopedFont titleFont_;
  ItemsPage page_ = ItemsPage::kWindows;
  bool filling_ = false;
  bool laidOut_ = false;
};

}  // namespace sh
