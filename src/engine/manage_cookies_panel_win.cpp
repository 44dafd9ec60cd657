#include "engine/manage_cookies_panel_win.h"

#include <commctrl.h>

#include <vector>

#include "engine/cookie_ignore.h"
#include "engine/manage_cookies.h"
#include "model/data_paths.h"
#include "res/resource.h"
#include "toolkit/common_controls_win.h"

namespace sh {

const char kCookiesIgnoredText[] = "Selected Cookies Ignored";

CManageCookiesPanel::CManageCookiesPanel(std::unique_ptr<IUrlCache> cache, ISettingsStore& settings, IPrompt& prompt)
    : CSkinPanel(IDD_COOKIES), cache_(std::move(cache)), settings_(settings), prompt_(prompt) {}

BOOL CManageCookiesPanel::OnInit() {
  list_ = CListView(Item(IDC_COOKIE_LIST));
  // Owned by the list once set (it has no shared-image-list style).
  HIMAGELIST images = CcImageListCreate(16, 16, ILC_COLOR32 | ILC_MASK, 1, 0);
  if (images) {
    HICON cookie = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_COOKIE), IMAGE_ICON, 16, 16, 0));
    CcImageListAddIcon(images, cookie);
    if (cookie) DestroyIcon(cookie);
    list_.SetImageList(images, LVSIL_SMALL);
  }
  list_.InsertColumn(0, "Cookie Name", 400);
  list_.InsertColumn(1, "Last Access Time", 400);
  list_.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  return TRUE;
}

void CManageCookiesPanel::FillCookieList() {
  if (!list_) return;
  list_.DeleteAllItems();
  int row = 0;
  for (const CookieRow& cookie : ReadCookieRows(*cache_, GetIgnoredCookiesPath(settings_))) {
    const int index = list_.InsertItem(row, cookie.name, 0);
    if (index < 0) continue;
    list_.SetItemText(index, 1, cookie.lastAccess);
    SetRowChecked(index, cookie.ignored);
    ++row;
  }
}

bool CManageCookiesPanel::RowChecked(int row) const {
  const auto state = static_cast<UINT>(list_.Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
  return (state >> 12) == 2;
}

void CManageCookiesPanel::SetRowChecked(int row, bool on) const {
  LVITEMA state = {};
  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
  list_.Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

void CManageCookiesPanel::IgnoreSelected() {
  std::vector<std::string> names;
  for (int row = 0; row < RowCount(); ++row)
    if (RowChecked(row)) names.push_back(list_.ItemText(row, 0));
  if (!WriteIgnoredCookies(GetIgnoredCookiesPath(settings_), names)) return;
  PromptRequest done;
  done.text = kCookiesIgnoredText;  // no caption: the application's name
  prompt_.Ask(done);
}

bool CManageCookiesPanel::OnCommand(int id, int code, HWND) {
  // Enter in the list belongs to the page (the window hands it over instead
  // of closing); it does not store anything, "Ignore Selected" does.
  if (id == IDOK || id == IDCANCEL) return true;
  if (id == IDC_COOKIE_IGNORE && code == BN_CLICKED) {
    IgnoreSelected();
    return true;
  }
  return false;
}

void CManageCookiesPanel::Layout(int cx, int cy) {
  HWND label = Item(IDC_COOKIE_LABEL);
  if (label) MoveWindow(label, 10, 10, cx - 20, 16, TRUE);
  HWND button = Item(IDC_COOKIE_IGNORE);
  int buttonHeight = 24;
  if (button) {
    RECT r;
    GetWindowRect(button, &r);
    const int w = r.right - r.left;
    buttonHeight = r.bottom - r.top;
    MoveWindow(button, cx - 10 - w, cy - 10 - buttonHeight, w, buttonHeight, TRUE);
  }
  if (list_) list_.Move(10, 32, cx - 20, cy - 32 - buttonHeight - 20);
}

bool CManageCookiesPanel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_SHOWWINDOW:
      if (wParam) FillCookieList();
      return false;
    case WM_SIZE:
      Layout(LOWORD(lParam), HIWORD(lParam));
      *result = 0;
      return true;
    case WM_CTLCOLORSTATIC:
      // The label's text on the skin beneath it.
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      *result = reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
      return true;
    default:
      return CSkinPanel::OnMessage(msg, wParam, lParam, result);
  }
}

}  // namespace sh
