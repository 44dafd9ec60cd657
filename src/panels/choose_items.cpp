#include "panels/choose_items.h"

#include <algorithm>
#include <cctype>

#include "paths/known_locations.h"
#include "res/resource.h"
#include "toolkit/text.h"

namespace sh {

const char kAppPathsKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

namespace {

struct TypeSpec {
  ItemsPage page;
  int picture;
};
// By GroupType 0 to 6.
const TypeSpec kTypes[] = {
    {ItemsPage::kWindows, IDB_CI_GROUP_WINDOWS},     {ItemsPage::kBrowsers, IDB_CI_GROUP_BROWSER},
    {ItemsPage::kWindows, IDB_CI_GROUP_OFFICE},      {ItemsPage::kMessaging, IDB_CI_GROUP_MAIL},
    {ItemsPage::kMessaging, IDB_CI_GROUP_MESSENGER}, {ItemsPage::kMessaging, IDB_CI_GROUP_YAHOO},
    {ItemsPage::kMessaging, IDB_CI_GROUP_AIM},
};

bool KnownType(int groupType) { return groupType >= 0 && groupType < static_cast<int>(std::size(kTypes)); }

std::string AppPath(IInstalledProbe& machine, const char* program) {
  return machine.ReadDefaultValue(std::string(kAppPathsKey) + "\\" + program);
}

bool NamesFile(IInstalledProbe& machine, const std::string& path) { return !path.empty() && machine.FileExists(path); }

std::string LowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

bool PageOfGroupType(int groupType, ItemsPage* page) {
  if (!KnownType(groupType)) return false;
  *page = kTypes[groupType].page;
  return true;
}

std::vector<size_t> TilesOfPage(ItemsPage page, const std::vector<int>& groupTypes) {
  std::vector<int> order;
  switch (page) {
    case ItemsPage::kWindows: order = {0, 2}; break;
    case ItemsPage::kBrowsers: order = {1}; break;
    case ItemsPage::kMessaging: order = {3, 4, 5, 6}; break;
    case ItemsPage::kPlugins: break;
  }
  std::vector<size_t> tiles;
  for (int type : order)
    for (size_t i = 0; i < groupTypes.size(); ++i)
      if (groupTypes[i] == type) tiles.push_back(i);
  return tiles;
}

bool TileRectFor(int groupType, int cx, int cy, PanelRect* rect) {
  switch (groupType) {
    case 0: *rect = {10, 85, cx - 15, cy - 100}; return true;
    case 1: *rect = {10, 85, cx - 15, cy - 150}; return true;
    case 2: *rect = {10, cy - 90, cx - 15, cy - 10}; return true;
    case 3: *rect = {10, 85, cx - 300, cy - 180}; return true;
    case 4: *rect = {cx - 290, 85, cx - 15, cy - 180}; return true;
    case 5: *rect = {10, cy - 140, cx - 300, cy - 10}; return true;
    case 6: *rect = {cx - 290, cy - 140, cx - 15, cy - 10}; return true;
    default: return false;
  }
}

PanelRect PluginListRect(int cx, int cy) { return {10, 85, cx - 15, cy - 15}; }

int TilePictureFor(int groupType) { return KnownType(groupType) ? kTypes[groupType].picture : 0; }

std::string TileTitleFor(int groupType, const std::string& groupName, const TileTitleFacts& facts) {
  if (groupType == 0) return facts.osName;
  if (groupType == 1) return Format("Internet Explorer Version : %d.%d", facts.browserMajor, facts.browserMinor);
  return groupName;
}

bool IsGroupInstalled(int groupType, IInstalledProbe& machine) {
  switch (groupType) {
    case 0:
      return true;
    case 1:
      return NamesFile(machine, StripTrailing(AppPath(machine, "IEXPLORE.EXE"), ';'));
    case 2: {
      // Every one is asked, as the rule has it, even after a hit.
      bool any = false;
      for (const char* program : {"EXCEL.EXE", "MSACCESS.EXE", "Winword.exe", "POWERPNT.EXE"})
        any = NamesFile(machine, AppPath(machine, program)) || any;
      return any;
    }
    case 3: {
      // Stored unexpanded ("%ProgramFiles%\Outlook Express\msimn.exe").
      std::string path = LowerAscii(AppPath(machine, "msimn.exe"));
      ReplaceAll(path, "%programfiles%", machine.ProgramFilesDir());
      return NamesFile(machine, path);
    }
    case 4:
      return NamesFile(machine, AppPath(machine, "MSNMSGR.EXE"));
    case 5:
      return machine.RegistryKeyExists(kYahooPagerKey);
    case 6:
      return NamesFile(machine, AppPath(machine, "aim.exe"));
    default:
      return false;
  }
}

std::vector<BoxPlace> LayOutCheckBoxes(const PanelRect& tile, const std::vector<TextSize>& names) {
  std::vector<BoxPlace> places;
  int x = tile.left + 10, y = tile.top + 30, widest = 0;
  for (const TextSize& name : names) {
    const int width = name.cx + 20, lineHeight = name.cy + 2;
    widest = std::max(widest, width);
    places.push_back({x, y, width, lineHeight});
    y += lineHeight + 5;
    if (y + lineHeight > tile.bottom) {
      x += widest + 5;
      y = tile.top + 30;
    }
  }
  return places;
}

namespace {

// The tile's frame and header strip, which the box area stays clear of.
constexpr int kTileFrame = 2, kTileHeader = 20;
// Room kept right of the last column and around a box scrolled into view,
// as the first column keeps from the area's left edge.
constexpr int kColumnsMargin = 8;
constexpr int kScrollLine = 20;
constexpr int kWheelNotch = 120, kWheelPixels = 3 * kScrollLine;

int RightmostEdge(const std::vector<BoxPlace>& places) {
  int right = 0;
  for (const BoxPlace& p : places) right = std::max(right, p.x + p.width);
  return right;
}

}  // namespace

TileLayout LayOutTile(const PanelRect& tile, const std::vector<TextSize>& names, int barHeight) {
  TileLayout out;
  out.area = {tile.left + kTileFrame, tile.top + kTileHeader, tile.right - kTileFrame, tile.bottom - kTileFrame};
  // Without a bar the boxes end a pixel clear of the frame: their white
  // background would cut through it otherwise.
  PanelRect rows = tile;
  rows.bottom = out.area.bottom - 1;
  std::vector<BoxPlace> places = LayOutCheckBoxes(rows, names);
  const int width = std::max(out.area.right - out.area.left, 0);
  out.extent = width;
  if (!places.empty() && RightmostEdge(places) > out.area.right) {
    out.bar = true;
    rows.bottom = out.area.bottom - barHeight;
    places = LayOutCheckBoxes(rows, names);
    out.extent = std::max(RightmostEdge(places) - out.area.left + kColumnsMargin, width);
  }
  for (BoxPlace& p : places) {
    p.x -= out.area.left;
    p.y -= out.area.top;
  }
  out.places = std::move(places);
  return out;
}

int ClampScroll(int pos, int extent, int page) { return std::max(0, std::min(pos, extent - page)); }

int ScrollToShow(int pos, int extent, int page, int left, int right) {
  const int from = left - kColumnsMargin, to = right + kColumnsMargin;
  if (from < pos || to - from > page) pos = from;
  else if (to > pos + page) pos = to - page;
  return ClampScroll(pos, extent, page);
}

int ScrollAfter(int pos, ScrollMove move, int amount, int extent, int page) {
  switch (move) {
    case ScrollMove::kLineBack: pos -= kScrollLine; break;
    case ScrollMove::kLineOn: pos += kScrollLine; break;
    case ScrollMove::kPageBack: pos -= page; break;
    case ScrollMove::kPageOn: pos += page; break;
    case ScrollMove::kStart: pos = 0; break;
    case ScrollMove::kEnd: pos = extent; break;
    case ScrollMove::kTo: pos = amount; break;
    case ScrollMove::kWheel: pos -= amount * kWheelPixels / kWheelNotch; break;
  }
  return ClampScroll(pos, extent, page);
}

bool ListCheckChanged(unsigned oldState, unsigned newState, int* checkState) {
  if (oldState == 0 && newState == 0) return false;
  auto check = [](unsigned state) { return std::max(static_cast<int>((state & kStateImageMask) >> 12) - 1, 0); };
  if (check(oldState) == check(newState)) return false;
  *checkState = check(newState);
  return true;
}

std::vector<PluginRow> PluginRows(const CSpotCatalog& catalog) {
  std::vector<PluginRow> rows;
  for (const auto& plugin : catalog.CustomPlugins())
    rows.push_back({"Custom Plugin : " + plugin->Name, plugin->Description, plugin.get()});
  for (const auto& plugin : catalog.Plugins())
    if (plugin->Installed) rows.push_back({plugin->Name, plugin->Description, plugin.get()});
  return rows;
}

int CSpotBoxIds::Add(CCleaningSpot* spot) {
  if (next_ > kLastId) return 0;
  spots_[next_] = spot;
  return next_++;
}

CCleaningSpot* CSpotBoxIds::Find(int id) const {
  auto it = spots_.find(id);
  return it == spots_.end() ? nullptr : it->second;
}

}  // namespace sh
