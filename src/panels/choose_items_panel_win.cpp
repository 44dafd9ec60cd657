#include "panels/choose_items_panel_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "model/plugin_file.h"
#include "paths/known_locations_win.h"
#include "paths/reg_path_win.h"
#include "res/resource.h"
#include "toolkit/bitmap_win.h"

namespace sh {
namespace {

constexpr COLORREF kTitleColour = RGB(0x0F, 0x27, 0x44);
constexpr POINT kHeaderOrigin = {21, 10};
constexpr int kLineTop = 65, kLineInset = 20;
// The tabs stand side by side at the top right, above the line.
constexpr int kTabSize = 60, kTabStep = 64, kTabTop = 3;
constexpr int kPictureSize = 16;
constexpr int kFrameWidth = 2;
constexpr char kTileAreaClass[] = "SweepHarborTileArea";
// WM_MOUSEHWHEEL, the tilted wheel of Windows Vista and later; the headers
// define it for those only.
constexpr UINT kMouseHWheel = 0x020E;

struct TabSpec {
  int id, normal, selected;
};
// By ItemsPage.
const TabSpec kTabs[] = {{IDC_CI_TAB_WINDOWS, IDB_CI_WINDOWS, IDB_CI_WINDOWS_SELECTED},
                         {IDC_CI_TAB_BROWSERS, IDB_CI_BROWSERS, IDB_CI_BROWSERS_SELECTED},
                         {IDC_CI_TAB_MESSAGING, IDB_CI_MESSAGING, IDB_CI_MESSAGING_SELECTED},
                         {IDC_CI_TAB_PLUGINS, IDB_CI_PLUGINS, IDB_CI_PLUGINS_SELECTED}};

HFONT MakeFont(int weight) {
  return CreateFontA(-10, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
}

}  // namespace

std::string CWinInstalledProbe::ReadDefaultValue(const std::string& keyText) {
  return ReadRegistryPathValue(keyText, "");
}

bool CWinInstalledProbe::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CWinInstalledProbe::RegistryKeyExists(const std::string& keyText) { return sh::RegistryKeyExists(keyText); }

std::string CWinInstalledProbe::ProgramFilesDir() { return GetProgramFilesDir(); }

// Tells the tile when its box takes the focus (Tab, an arrow key, a
// click), so that a box out of sight scrolls into view.
class CBoxFocusWatch : public CSubclassedWindow {
 public:
  explicit CBoxFocusWatch(CGroupTile& tile) : tile_(tile) {}

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_SETFOCUS) tile_.ScrollIntoView(hwnd_);
    return Default(msg, wParam, lParam);
  }

 private:
  CGroupTile& tile_;
};

CGroupTile::CGroupTile(HWND parent, CSpotGroup& group, bool installed, int picture, std::string title)
    : parent_(parent),
      installed_(installed),
      group_(group),
      picture_(picture != 0 ? LoadBitmapResource(picture) : ScopedBitmap()),
      title_(std::move(title)),
      font_(MakeFont(300)) {}

CGroupTile::~CGroupTile() {
  // The area's last messages must not reach a tile half gone.
  if (area_ && IsWindow(area_.get())) SetWindowLongPtrA(area_.get(), GWLP_USERDATA, 0);
}

void CGroupTile::Place(const PanelRect& rect, CSpotBoxIds& ids) {
  if (area_ && rect == rect_) return;
  rect_ = rect;
  if (!area_) {
    if (!CreateArea()) return;
    CreateCheckBoxes(ids);
  }
  Arrange();
}

LRESULT CALLBACK CGroupTile::AreaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  auto* tile = reinterpret_cast<CGroupTile*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
      // The boxes' clicks and colours are the panel's business, as when
      // they were its own children.
      return SendMessageA(GetParent(hwnd), msg, wParam, lParam);
    case WM_HSCROLL: {
      if (tile == nullptr) break;
      static const struct {
        int code;
        ScrollMove move;
      } kMoves[] = {{SB_LINELEFT, ScrollMove::kLineBack}, {SB_LINERIGHT, ScrollMove::kLineOn},
                    {SB_PAGELEFT, ScrollMove::kPageBack}, {SB_PAGERIGHT, ScrollMove::kPageOn},
                    {SB_LEFT, ScrollMove::kStart},        {SB_RIGHT, ScrollMove::kEnd}};
      const int code = LOWORD(wParam);
      for (const auto& m : kMoves)
        if (m.code == code) tile->Scroll(m.move);
      if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;  // 32 bits, where the message has 16
        if (GetScrollInfo(hwnd, SB_HORZ, &info)) tile->Scroll(ScrollMove::kTo, info.nTrackPos);
      }
      return 0;
    }
    case WM_MOUSEWHEEL:
    case kMouseHWheel: {
      // Over another window the wheel goes on to the panel, which hands it
      // to the tile under the pointer.
      const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
      if (tile != nullptr && tile->Wheel(at, msg == WM_MOUSEWHEEL ? delta : -delta)) return 0;
      break;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool CGroupTile::CreateArea() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  // The first tile registers the class; later ones find it there.
  WNDCLASSA wc = {};
  wc.lpfnWndProc = AreaProc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kTileAreaClass;
  if (RegisterClassA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  // Placed by Arrange. The dialog manager tabs into it as into the panel.
  area_.reset(CreateWindowExA(WS_EX_CONTROLPARENT, kTileAreaClass, "",
                              WS_CHILD | WS_CLIPCHILDREN | (shown_ ? WS_VISIBLE : 0), 0, 0, 0, 0, parent_, nullptr,
                              module, this));
  return static_cast<bool>(area_);
}

void CGroupTile::CreateCheckBoxes(CSpotBoxIds& ids) {
  const OwnedList<CCleaningSpot>& spots = group_.Spots();
  {
    ScopedGetDc dc(parent_);
    ScopedSelectObject useFont(dc.get(), font_.get());
    for (const auto& spot : spots) {
      SIZE extent = {0, 0};
      GetTextExtentPoint32A(dc.get(), spot->Name.c_str(), static_cast<int>(spot->Name.size()), &extent);
      names_.push_back({extent.cx, extent.cy});
    }
  }
  HINSTANCE module = GetModuleHandleA(nullptr);
  for (size_t i = 0; i < spots.size(); ++i) {
    CCleaningSpot* spot = spots.at(i);
    const int id = ids.Add(spot);
    HWND box = nullptr;
    // Made at their size; Arrange puts them in place.
    if (id != 0)
      box = CreateWindowExA(0, "BUTTON", spot->Name.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX,
                            0, 0, names_[i].cx + 20, names_[i].cy + 2, area_.get(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module, nullptr);
    boxes_.push_back(box);
    if (box == nullptr) continue;
    ++created_;
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    EnableWindow(box, installed_);
    SendMessageA(box, BM_SETCHECK, spot->ToBeCleaned ? BST_CHECKED : BST_UNCHECKED, 0);
    watches_.push_back(std::make_unique<CBoxFocusWatch>(*this));
    watches_.back()->Subclass(box);
  }
}

void CGroupTile::Arrange() {
  layout_ = LayOutTile(rect_, names_, GetSystemMetrics(SM_CYHSCROLL));
  const PanelRect& a = layout_.area;
  MoveWindow(area_.get(), a.left, a.top, a.right - a.left, a.bottom - a.top, TRUE);
  // The bar shows only for a range wider than the page, so it goes again
  // when the tile grows wide enough.
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = layout_.extent - 1;
  info.nPage = static_cast<UINT>(a.right - a.left);
  info.nPos = scroll_ = ClampScroll(scroll_, layout_.extent, a.right - a.left);
  SetScrollInfo(area_.get(), SB_HORZ, &info, TRUE);
  MoveBoxes();
}

void CGroupTile::MoveBoxes() {
  for (size_t i = 0; i < boxes_.size() && i < layout_.places.size(); ++i) {
    const BoxPlace& p = layout_.places[i];
    if (boxes_[i])
      SetWindowPos(boxes_[i], nullptr, p.x - scroll_, p.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
  // Drawn once, after all have moved.
  RedrawWindow(area_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CGroupTile::ScrollTo(int pos) {
  const PanelRect& a = layout_.area;
  pos = ClampScroll(pos, layout_.extent, a.right - a.left);
  if (!area_ || pos == scroll_) return;
  scroll_ = pos;
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_POS;
  info.nPos = pos;
  SetScrollInfo(area_.get(), SB_HORZ, &info, TRUE);
  MoveBoxes();
}

void CGroupTile::Scroll(ScrollMove move, int amount) {
  const PanelRect& a = layout_.area;
  ScrollTo(ScrollAfter(scroll_, move, amount, layout_.extent, a.right - a.left));
}

void CGroupTile::ScrollIntoView(HWND box) {
  for (size_t i = 0; i < boxes_.size() && i < layout_.places.size(); ++i) {
    if (boxes_[i] != box) continue;
    const BoxPlace& p = layout_.places[i];
    const PanelRect& a = layout_.area;
    ScrollTo(ScrollToShow(scroll_, layout_.extent, a.right - a.left, p.x, p.x + p.width));
    return;
  }
}

bool CGroupTile::Wheel(POINT screen, int delta) {
  RECT r = {0, 0, 0, 0};
  if (!area_ || !shown_ || !GetWindowRect(area_.get(), &r) || !PtInRect(&r, screen)) return false;
  Scroll(ScrollMove::kWheel, delta);
  return true;
}

void CGroupTile::Show(bool on) {
  shown_ = on;
  if (area_) ShowWindow(area_.get(), on ? SW_SHOW : SW_HIDE);
}

void CGroupTile::Paint(HDC dc, HFONT titleFont) const {
  RECT r = {rect_.left, rect_.top, rect_.right, rect_.bottom};
  ScopedBrush frame(CreateSolidBrush(kPanelRuleColour));
  if (!frame) return;
  FrameInside(dc, r, frame.get(), kFrameWidth);
  RECT strip = {r.left + 3, r.top + 3, r.right - 3, r.top + 20};
  FillRect(dc, &strip, frame.get());
  int textLeft = strip.left + 5;
  if (picture_) {
    DrawBitmap(dc, strip.left + 3, strip.top + (strip.bottom - strip.top - kPictureSize) / 2, picture_.get());
    textLeft = strip.left + 3 + kPictureSize + 6;
  }
  ScopedSelectObject useFont(dc, titleFont ? static_cast<HGDIOBJ>(titleFont) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kTitleColour);
  RECT text = {textLeft, strip.top, strip.right - 4, strip.bottom};
  DrawTextA(dc, title_.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

CChooseItemsPanel::CChooseItemsPanel(CSpotCatalog& catalog, ISettingsStore& settings, IPrompt& prompt,
                                     CDataFileLock& lock, TileTitleFacts facts)
    : CWhitePanel(IDD_CHOOSEITEMS, {kFrameWidth, kLineTop, kLineInset, 2}),
      catalog_(catalog),
      machine_(settings),
      env_{files_, machine_, settings, prompt, lock},
      facts_(std::move(facts)) {}

CChooseItemsPanel::~CChooseItemsPanel() {
  for (auto& tab : tabs_) tab.reset();
}

BOOL CChooseItemsPanel::OnInit() {
  header_ = LoadBitmapResource(IDB_CI_HEADER);
  titleFont_.reset(MakeFont(FW_BOLD));
  for (size_t i = 0; i < tabs_.size(); ++i) {
    tabs_[i] = std::make_unique<CSkinButton>(tabGroups_, *this, 2);
    tabs_[i]->Create(Item(kTabs[i].id), kTabs[i].normal, kTabs[i].normal, kTabs[i].selected);
  }
  list_ = CListView(Item(IDC_CI_PLUGIN_LIST));
  list_.InsertColumn(0, "Plugin Name", 130);
  list_.InsertColumn(1, "Description", 375);
  list_.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  for (const auto& group : catalog_.Groups()) {
    const int type = group->GroupType;
    tiles_.push_back(std::make_unique<CGroupTile>(hwnd_, *group, IsGroupInstalled(type, probe_),
                                                  TilePictureFor(type), TileTitleFor(type, group->Name, facts_)));
  }
  // The Windows page, before any box exists: the boxes are made shown.
  ShowTilesOf(ItemsPage::kWindows);
  tabs_[static_cast<size_t>(ItemsPage::kWindows)]->Select();
  // The tiles' boxes wait for the panel's real size (see Layout).
  PlaceTabs(ClientRect().right);
  return TRUE;
}

void CChooseItemsPanel::PlaceTabs(int cx) {
  for (size_t i = 0; i < tabs_.size(); ++i)
    if (tabs_[i])
      MoveWindow(tabs_[i]->hwnd(), cx - kLineInset - kTabSize - (3 - static_cast<int>(i)) * kTabStep, kTabTop,
                 kTabSize, kTabSize, TRUE);
}

// The window sizes the panel to its panel area once it is made; the tiles'
// boxes are made at the first size change after that, never at the size of
// the template.
void CChooseItemsPanel::Layout(int cx, int cy) {
  if (cx <= 0 || cy <= 0) return;
  laidOut_ = true;
  PlaceTabs(cx);
  for (const auto& tile : tiles_) {
    PanelRect r;
    if (TileRectFor(tile->group().GroupType, cx, cy, &r)) tile->Place(r, boxIds_);
  }
  const PanelRect l = PluginListRect(cx, cy);
  if (list_) list_.Move(l.left, l.top, l.right - l.left, l.bottom - l.top);
  Invalidate();
}

bool CChooseItemsPanel::OnSkinButtonClicked(CSkinButton& button) {
  for (size_t i = 0; i < tabs_.size(); ++i)
    if (tabs_[i].get() == &button) ShowPage(static_cast<ItemsPage>(i));
  return true;
}

void CChooseItemsPanel::ShowPage(ItemsPage page) {
  if (page == page_ && page != ItemsPage::kPlugins) return;  // its tiles are up already
  for (CGroupTile* tile : shownTiles_) tile->Show(false);
  shownTiles_.clear();
  page_ = page;
  if (page == ItemsPage::kPlugins) {
    list_.Show(SW_SHOW);
  } else {
    list_.Show(SW_HIDE);
    ShowTilesOf(page);
  }
  Invalidate();
}

void CChooseItemsPanel::ShowTilesOf(ItemsPage page) {
  std::vector<int> types;
  for (const auto& tile : tiles_) types.push_back(tile->group().GroupType);
  for (size_t i : TilesOfPage(page, types)) {
    tiles_[i]->Show(true);
    shownTiles_.push_back(tiles_[i].get());
  }
}

void CChooseItemsPanel::InsertPluginRow(const PluginRow& row) {
  std::string text = row.name;
  LVITEMA item = {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = static_cast<int>(list_.Send(LVM_GETITEMCOUNT));
  item.pszText = &text[0];
  item.lParam = reinterpret_cast<LPARAM>(row.plugin);
  // The list sorts by the first column: the new item's place is returned.
  const int index = static_cast<int>(list_.Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (index >= 0) list_.SetItemText(index, 1, row.description);
}

CPluginSpots* CChooseItemsPanel::PluginOfRow(int row) const {
  if (row < 0) return nullptr;
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  return list_.Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ? reinterpret_cast<CPluginSpots*>(item.lParam)
                                                                       : nullptr;
}

void CChooseItemsPanel::FillPluginList() {
  if (!list_) return;
  // Neither the new items nor their ticks are the user's: nothing is saved.
  filling_ = true;
  list_.DeleteAllItems();
  for (const PluginRow& row : PluginRows(catalog_)) InsertPluginRow(row);
  const int count = static_cast<int>(list_.Send(LVM_GETITEMCOUNT));
  for (int i = 0; i < count; ++i) {
    const CPluginSpots* plugin = PluginOfRow(i);
    if (plugin == nullptr || !plugin->ToBeCleaned) continue;
    LVITEMA state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(2);
    list_.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&state));
  }
  filling_ = false;
}

void CChooseItemsPanel::OnListItemChanged(const NMLISTVIEW& change) {
  int state = 0;
  if (!ListCheckChanged(change.uOldState, change.uNewState, &state)) return;
  CPluginSpots* plugin = PluginOfRow(change.iItem);
  if (plugin == nullptr) return;
  plugin->ToBeCleaned = state;
  if (plugin->IsCustom) SaveCustomPluginChoice(env_, *plugin, state);
  else SavePluginChoice(env_, *plugin, state);
}

bool CChooseItemsPanel::OnCommand(int id, int code, HWND control) {
  // Enter in a box or the list belongs to the panel (the window hands it
  // over instead of closing), and a panel never ends: nothing to do.
  if (id == IDOK || id == IDCANCEL) return true;
  if (code != BN_CLICKED) return false;
  CCleaningSpot* spot = boxIds_.Find(id);
  if (spot == nullptr) return false;
  // The box is a child of its tile's area, not of the panel.
  HWND box = control;
  for (size_t i = 0; box == nullptr && i < tiles_.size(); ++i)
    if (tiles_[i]->area()) box = GetDlgItem(tiles_[i]->area(), id);
  if (box == nullptr) return false;
  const int state = SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  SaveSpotChoice(env_, *spot, state);
  spot->ToBeCleaned = state;
  return true;
}

bool CChooseItemsPanel::OnNotify(int id, NMHDR* header, LRESULT* result) {
  if (id != IDC_CI_PLUGIN_LIST || header->code != LVN_ITEMCHANGED) return false;
  if (!filling_) OnListItemChanged(*reinterpret_cast<NMLISTVIEW*>(header));
  *result = 0;
  return true;
}

void CChooseItemsPanel::Paint(HDC dc) {
  for (const CGroupTile* tile : shownTiles_) tile->Paint(dc, titleFont_.get());
  if (header_) DrawBitmap(dc, kHeaderOrigin.x, kHeaderOrigin.y, header_.get());
}

bool CChooseItemsPanel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_SIZE:
      Layout(LOWORD(lParam), HIWORD(lParam));
      return false;
    case WM_SHOWWINDOW:
      if (wParam) {
        // Never sized since it was made (its template had the area's size
        // already): the boxes are made now.
        if (!laidOut_) {
          const RECT client = ClientRect();
          Layout(client.right, client.bottom);
        }
        FillPluginList();
      }
      return false;
    case WM_MOUSEWHEEL:
    case kMouseHWheel: {
      // From a control of the panel that has the focus, or from a tile's
      // area with the pointer elsewhere: the tile under the pointer scrolls.
      const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
      for (CGroupTile* tile : shownTiles_)
        if (tile->Wheel(at, msg == WM_MOUSEWHEEL ? delta : -delta)) {
          *result = 0;
          return true;
        }
      return false;
    }
    default:
      return CWhitePanel::OnMessage(msg, wParam, lParam, result);
  }
}

}  // namespace sh
