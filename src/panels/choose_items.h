// What the Choose Items page decides without Win32: which group tiles each
// page shows and where, whether a group's application is installed, where a
// tile's check boxes go, what a list check-box change means, which plugins
// the list holds, and the control ids of the spot check boxes. The dialog
// (CChooseItemsPanel) maps its windows onto it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "model/catalog.h"

namespace sh {

enum class ItemsPage { kWindows = 0, kBrowsers = 1, kMessaging = 2, kPlugins = 3 };

// A rectangle in the panel's client pixels.
struct PanelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PanelRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// The page a group of `groupType` shows on; false for a type that has none
// (anything but 0 to 6): its tile is never shown.
bool PageOfGroupType(int groupType, ItemsPage* page);

// The tiles `page` shows, as indexes into `groupTypes` (the tiles' types in
// group order): the page's types in the page's order (Windows 0, 2;
// Browsers 1; Messaging 3, 4, 5, 6), tiles of one type in group order.
// None for the Plugins page.
std::vector<size_t> TilesOfPage(ItemsPage page, const std::vector<int>& groupTypes);

// Where a tile of `groupType` lies in a panel client of cx x cy pixels;
// false for a type without a page.
bool TileRectFor(int groupType, int cx, int cy, PanelRect* rect);
// Where the plugin list lies.
PanelRect PluginListRect(int cx, int cy);

// The bitmap resource of the tile's picture; 0 for none.
int TilePictureFor(int groupType);

// What titles the Windows and Browsers tiles: the operating system's name
// and the browser's version as gathered at start-up.
struct TileTitleFacts {
  std::string osName;
  int browserMajor = 0;
  int browserMinor = 0;
};
// The operating system's name (type 0), "Internet Explorer Version : %d.%d"
// (type 1), else the group's name.
std::string TileTitleFor(int groupType, const std::string& groupName, const TileTitleFacts& facts);

// What the installed rules ask of the machine.
class IInstalledProbe {
 public:
  virtual ~IInstalledProbe() = default;
  // The default value of a key given as a registry path text; empty when
  // the key or the value is missing.
  virtual std::string ReadDefaultValue(const std::string& keyText) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool RegistryKeyExists(const std::string& keyText) = 0;
  virtual std::string ProgramFilesDir() = 0;
};

// "HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths"
extern const char kAppPathsKey[];

// Whether the application of a group of `groupType` is installed: the
// Windows group always; the others when their App Paths entry names an
// existing file (Yahoo!: when its key exists); types above 6 never.
bool IsGroupInstalled(int groupType, IInstalledProbe& machine);

// The measured extent of a spot's name in the tile's font.
struct TextSize {
  int cx = 0, cy = 0;
};
// A check box's place: left, top, width and height.
struct BoxPlace {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const BoxPlace& o) const { return x == o.x && y == o.y && width == o.width && height == o.height; }
};

// The tile's check boxes, one per name in order: from (left + 10, top + 30)
// down, each as wide as its name plus 20 and as high as the name plus 2,
// 5 pixels apart; a box that would end below the tile starts a new column,
// to the right by the widest box so far plus 5.
std::vector<BoxPlace> LayOutCheckBoxes(const PanelRect& tile, const std::vector<TextSize>& names);

// A tile's check boxes in the area that shows them: inside the tile's
// 2-pixel frame, below its header strip. When the columns are wider than
// the area, it scrolls sideways under a bar of `barHeight` pixels at its
// bottom and the rows end above that bar.
struct TileLayout {
  PanelRect area;                // in the panel
  std::vector<BoxPlace> places;  // in the area, unscrolled
  int extent = 0;                // the width scrolled over: the area's own when the boxes fit
  bool bar = false;
};
TileLayout LayOutTile(const PanelRect& tile, const std::vector<TextSize>& names, int barHeight);

// Sideways scroll positions run from 0 to extent - page (the area's width).
int ClampScroll(int pos, int extent, int page);
// The position nearest `pos` that shows a box spanning [left, right) with a
// margin either side (its start when it is wider than the page).
int ScrollToShow(int pos, int extent, int page, int left, int right);
// What the bar or the wheel asks for. kTo takes `amount` as the new
// position; kWheel takes a wheel delta (120 a notch), positive towards the
// start.
enum class ScrollMove { kLineBack, kLineOn, kPageBack, kPageOn, kStart, kEnd, kTo, kWheel };
int ScrollAfter(int pos, ScrollMove move, int amount, int extent, int page);

// LVIS_STATEIMAGEMASK: the state image index in bits 12 to 15.
constexpr unsigned kStateImageMask = 0xF000;
// A list item's check state changed from `oldState` to `newState` (item
// states of an item-changed notification): true, with *checkState the new
// one. The check state is the state image index minus 1, not below 0; two
// empty states or an unchanged check state are no change.
bool ListCheckChanged(unsigned oldState, unsigned newState, int* checkState);

// A row of the plugin list: its first column, its description and the
// plugin it stands for.
struct PluginRow {
  std::string name;
  std::string description;
  CPluginSpots* plugin = nullptr;
};
// Every custom plugin as "Custom Plugin : %s", then every installed plugin
// under its name, each in catalog order (the list sorts them itself).
std::vector<PluginRow> PluginRows(const CSpotCatalog& catalog);

// The control ids of one panel's spot check boxes and the spot behind each.
// Ids run up from 2000, so the first 1001 boxes have 2000 to 3000; past that
// they go on up to 0x7FFF, clear of the panel's own controls (1001 to 1012)
// and of the dialog commands below 2000, and below the window's menu
// commands (32772 and up) and the 16 bits a command id is sent in. The
// panel takes a command for a spot box only when its id is recorded here.
class CSpotBoxIds {
 public:
  static constexpr int kFirstId = 2000;
  static constexpr int kLastId = 0x7FFF;

  // The next id, recorded for `spot`; 0 when the range is used up (the box
  // is then not made: no id of another command is ever handed out).
  int Add(CCleaningSpot* spot);
  // The spot of a box id; null for any other id.
  CCleaningSpot* Find(int id) const;
  size_t size() const { return spots_.size(); }

 private:
  int next_ = kFirstId;
  std::map<int, CCleaningSpot*> spots_;
};

}  // namespace sh
