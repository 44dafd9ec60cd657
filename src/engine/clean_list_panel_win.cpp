#include "engine/clean_list_panel_win.h"

#include "engine/registry_cleaner.h"
#include "res/resource.h"
#include "toolkit/common_controls_win.h"
#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

constexpr int kPendingImage = 4;
constexpr int kDoneImage = 5;
constexpr int kPluginImage = 6;
constexpr int kMarkWidth = 18;

}  // namespace

CCleanListPanel::CCleanListPanel(CSpotCatalog& catalog, CSpotCleaner& cleaner, IBrowserWindows& browsers,
                                 IClock& clock, ICleanListOwner& owner)
    : CSkinPanel(IDD_CLEANLIST),
      catalog_(catalog),
      cleaner_(cleaner),
      owner_(owner),
      run_(*this, *this, cleaner, browsers, clock) {}

BOOL CCleanListPanel::OnInit() {
  list_ = CListView(Item(IDC_CLEAN_LIST));
  HINSTANCE module = GetModuleHandleA(nullptr);
  images_ = CcImageListCreate(16, 16, ILC_COLOR32 | ILC_MASK, 7, 0);
  if (images_) {
    for (int icon : {IDI_KIND_FOLDER, IDI_KIND_REGISTRY, IDI_KIND_RECYCLE, IDI_KIND_INTERNET}) {
      HICON h = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(icon), IMAGE_ICON, 16, 16, 0));
      CcImageListAddIcon(images_, h);
      if (h) DestroyIcon(h);
    }
    for (int bitmap : {IDB_PENDING, IDB_DONE}) {
      ScopedBitmap b(static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(bitmap), IMAGE_BITMAP, 0, 0, 0)));
      CcImageListAddMasked(images_, b.get(), RGB(0, 0, 0));
    }
    HICON plugin = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_PLUGIN), IMAGE_ICON, 16, 16, 0));
    CcImageListAddIcon(images_, plugin);
    if (plugin) DestroyIcon(plugin);
    list_.SetImageList(images_, LVSIL_SMALL);
  }
  list_.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
  struct Column {
    int string;
    int format;
    int width;
  };
  const Column columns[] = {{IDS_COL_ITEMS, LVCFMT_LEFT, 250},
                            {IDS_COL_FILES, LVCFMT_CENTER, 60},
                            {IDS_COL_SIZE, LVCFMT_CENTER, 100},
                            {IDS_COL_STATUS, LVCFMT_CENTER, 80}};
  for (int i = 0; i < 4; ++i)
    list_.InsertColumn(i, LoadResString(columns[i].string), columns[i].width, columns[i].format);
  SetItemText(IDC_CLEAN_BUTTON, LoadResString(IDS_START_CLEANING_IDLE));
  return TRUE;
}

void CCleanListPanel::AppendRow(const std::string& name, int image, const CleanItem& item) {
  int row = static_cast<int>(rows_.size());
  rows_.push_back(item);
  list_.InsertItem(row, name, image);
  SetCellText(row, kStatusColumn, LoadResString(IDS_PENDING));
  SetRowState(row, 0);
}

void CCleanListPanel::RefreshCleanList(bool withFreeSpace) {
  list_.DeleteAllItems();
  rows_.clear();
  rowStates_.clear();
  for (const CleanItem& item : catalog_.ItemsToClean()) {
    const int type = item.spot != nullptr ? item.spot->Type : -1;
    AppendRow(item.Name(), item.plugin != nullptr ? kPluginImage : (type >= 0 && type <= 3 ? type : 0), item);
  }
  // Drawn as a folder row: the wipe's files live in a folder on each drive.
  if (withFreeSpace && cleaner_.FreeSpaceChosen()) AppendRow(kFreeSpaceRowName, 0, CleanItem::FreeSpaceRow());
}

void CCleanListPanel::MatchFreeSpaceSetting(bool wanted) {
  const bool shown = !rows_.empty() && rows_.back().freeSpace;
  const bool want = wanted && cleaner_.FreeSpaceChosen();
  if (shown != want) RefreshCleanList(want);
}

void CCleanListPanel::RunCleaning() {
  if (!run_.running()) MatchFreeSpaceSetting(true);
  run_.RunCleaning(&rows_);
}

bool CCleanListPanel::RunUnattended(bool forShutdown) {
  if (run_.running()) return false;
  // Unattended runs leave the free space alone: filling a drive would hold
  // a shutdown for as long as the drive takes, and at start-up leave the
  // programs starting with Windows without room.
  MatchFreeSpaceSetting(false);
  forShutdown_ = forShutdown ? 1 : 0;
  run_.RunUnattended(&rows_);
  if (forShutdown_) owner_.AfterShutdownRun();
  return true;
}

void CCleanListPanel::StopRun() {
  if (run_.running()) RunCleaning();
}

int CCleanListPanel::RowState(int row) const {
  auto it = rowStates_.find(row);
  return it == rowStates_.end() ? 0 : it->second;
}

void CCleanListPanel::SetRowState(int row, int state) {
  rowStates_[row] = state;
  RECT r;
  if (list_ && list_.ItemRect(row, &r)) {
    OffsetRect(&r, -kMarkWidth, 0);
    r.right += kMarkWidth;  // the mark and the rest of the row
    InvalidateRect(list_.hwnd(), &r, FALSE);
  }
}

void CCleanListPanel::SetCellText(int row, int column, const std::string& text) {
  if (row < 0 || row >= RowCount()) return;
  list_.SetItemText(row, column, text);
}

std::string CCleanListPanel::CellText(int row, int column) const { return list_.ItemText(row, column); }

void CCleanListPanel::RunStarted() {
  // Every row waits again: a row this run never reaches (after an abort)
  // must not show an earlier run's counts, status and mark.
  const std::string pending = LoadResString(IDS_PENDING);
  for (int row = 0; row < RowCount(); ++row) {
    SetCellText(row, kFilesColumn, std::string());
    SetCellText(row, kSizeColumn, std::string());
    SetCellText(row, kStatusColumn, pending);
    SetRowState(row, 0);
  }
  SetItemText(IDC_CLEAN_BUTTON, LoadResString(IDS_ABORT));
  owner_.SetCleaningInProgress(true);
}

void CCleanListPanel::StopRequested() { SetItemText(IDC_CLEAN_BUTTON, LoadResString(IDS_START_CLEANING)); }

void CCleanListPanel::RowStarted(int row) {
  list_.EnsureVisible(row);
  SetCellText(row, kStatusColumn, "Scanning...");
}

void CCleanListPanel::CountsChanged(int row, int files, double size) {
  SetCellText(row, kFilesColumn, Format("%d", files));
  SetCellText(row, kSizeColumn, FormatSize(size));
}

void CCleanListPanel::RowDone(int row, const RowOutcome& outcome) {
  if (outcome.cleaned) {
    // A row that found nothing says so ("0", "0 bytes") rather than staying
    // blank like a row that was never looked at.
    if (outcome.keys >= 0) {
      SetCellText(row, kFilesColumn, CleanedKeysText(outcome.keys));
    } else {
      CountsChanged(row, outcome.files, outcome.size);
    }
    SetCellText(row, kStatusColumn, "Cleaned");
  }
  SetRowState(row, 1);
}

void CCleanListPanel::RunEnded() {
  owner_.SetCleaningInProgress(false);
  SetItemText(IDC_CLEAN_BUTTON, LoadResString(IDS_START_CLEANING_IDLE));
}

void CCleanListPanel::PumpMessages() {
  MSG msg;
  for (int handled = 0; handled < 10 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++handled) {
    if (msg.message == WM_QUIT) {
      // The program is ending: leave the quit for the main loop and stop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      if (run_.running()) run_.RunCleaning(nullptr);
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void CCleanListPanel::PauseAfterFile() {
  PumpMessages();
  Sleep(10);
}

bool CCleanListPanel::OnCommand(int id, int code, HWND) {
  if (id == IDC_CLEAN_BUTTON && code == BN_CLICKED) {
    RunCleaning();
    return true;
  }
  return false;  // a child page ignores Enter and Escape; the main window has them
}

bool CCleanListPanel::OnNotify(int id, NMHDR* header, LRESULT* result) {
  if (id == IDC_CLEAN_LIST && header->code == NM_CUSTOMDRAW) {
    *result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    return true;
  }
  return false;
}

LRESULT CCleanListPanel::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      int row = static_cast<int>(draw->nmcd.dwItemSpec);
      DrawRow(draw->nmcd.hdc, row, list_.IsSelected(row));
      return CDRF_SKIPDEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void CCleanListPanel::DrawRow(HDC dc, int row, bool selected) {
  RECT bounds;
  if (!list_.ItemRect(row, &bounds)) return;
  const COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
  const COLORREF fore = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
  ScopedBrush brush(CreateSolidBrush(back));
  FillRect(dc, &bounds, brush.get());

  // Grid lines under the row and between the columns.
  ScopedGeneric<GdiObjectTraits<HPEN>> pen(CreatePen(PS_SOLID, 1, RGB(220, 220, 220)));
  ScopedSelectObject usePen(dc, pen.get());
  MoveToEx(dc, bounds.left, bounds.bottom - 1, nullptr);
  LineTo(dc, bounds.right, bounds.bottom - 1);

  const int top = bounds.top + ((bounds.bottom - bounds.top) - 16) / 2;
  const int markX = bounds.left + 2;
  const int kindX = markX + kMarkWidth;
  if (images_) {
    CcImageListDraw(images_, RowState(row) == 1 ? kDoneImage : kPendingImage, dc, markX, top, ILD_TRANSPARENT);
    CcImageListDraw(images_, list_.ItemImage(row), dc, kindX, top, ILD_TRANSPARENT);
  }

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, fore);
  const int columns = list_.ColumnCount();
  for (int column = 0; column < columns; ++column) {
    RECT cell;
    if (!list_.SubItemRect(row, column, &cell)) continue;
    if (column == 0) {
      // The first sub-item's bounds are the whole row; it ends where
      // column 1 begins.
      RECT next;
      if (columns > 1 && list_.SubItemRect(row, 1, &next)) cell.right = next.left;
      cell.left = kindX + 16 + 4;
    } else {
      MoveToEx(dc, cell.left, cell.top, nullptr);
      LineTo(dc, cell.left, cell.bottom);
      cell.left += 4;
      cell.right -= 4;
    }
    const std::string text = CellText(row, column);
    UINT align = column == 0 ? DT_LEFT : DT_CENTER;
    DrawTextA(dc, text.c_str(), -1, &cell, align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
}

void CCleanListPanel::Layout(int cx, int cy) {
  if (list_) list_.Move(10, 10, cx - 20, cy - 50);
  HWND button = Item(IDC_CLEAN_BUTTON);
  if (button) {
    RECT r;
    GetWindowRect(button, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    MoveWindow(button, cx - 10 - w, cy - 10 - h, w, h, TRUE);
  }
}

bool CCleanListPanel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_SHOWWINDOW:
      if (wParam) RefreshCleanList();
      return false;
    case WM_SIZE:
      Layout(LOWORD(lParam), HIWORD(lParam));
      *result = 0;
      return true;
    default:
      return CSkinPanel::OnMessage(msg, wParam, lParam, result);
  }
}

}  // namespace sh
