#include "ui/main/system_tray_win.h"

#include "ui/main/messages.h"

namespace sh {

namespace {

constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

bool RegisterClassOnce(const char* name, WNDPROC proc) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, name, &existing)) return true;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

RECT TrayAreaFromTaskbar(RECT area, const std::vector<TrayWindowInfo>& descendants) {
  for (const TrayWindowInfo& child : descendants) {
    if (lstrcmpiA(child.className.c_str(), "TrayNotifyWnd") == 0) {
      area = child.rect;
    } else if (lstrcmpiA(child.className.c_str(), "TrayClockWClass") == 0) {
      if (child.rect.bottom >= area.bottom - 5)
        area.right = child.rect.left;  // horizontal taskbar: left of the clock
      else
        area.top = child.rect.bottom;  // vertical taskbar: below the clock
      break;
    }
  }
  return area;
}

BOOL CALLBACK CollectDescendant(HWND child, LPARAM data) {
  auto* out = reinterpret_cast<std::vector<TrayWindowInfo>*>(data);
  char name[256] = {};
  GetClassNameA(child, name, sizeof name);
  TrayWindowInfo info{name, {0, 0, 0, 0}};
  GetWindowRect(child, &info.rect);
  out->push_back(info);
  return TRUE;
}

}  // namespace

// --- the real shell ---------------------------------------------------------

DWORD CWinTrayShell::PlatformVersion() { return GetVersion(); }

bool CWinTrayShell::NotifyIcon(DWORD operation, NOTIFYICONDATAA* data) {
  return Shell_NotifyIconA(operation, data) != 0;
}

bool DescribeTaskbar(HWND taskbar, RECT* rect, std::vector<TrayWindowInfo>* descendants) {
  if (taskbar == nullptr || !GetWindowRect(taskbar, rect)) return false;
  descendants->clear();
  EnumChildWindows(taskbar, CollectDescendant, reinterpret_cast<LPARAM>(descendants));
  return true;
}

bool CWinTrayShell::FindTaskbar(RECT* taskbar, std::vector<TrayWindowInfo>* descendants) {
  return DescribeTaskbar(FindWindowA("Shell_TrayWnd", nullptr), taskbar, descendants);
}

bool CWinTrayShell::TaskbarPosition(RECT* rect, UINT* edge) {
  APPBARDATA data = {};
  data.cbSize = sizeof data;
  if (!SHAppBarMessage(ABM_GETTASKBARPOS, &data)) return false;
  *rect = data.rc;
  *edge = data.uEdge;
  return true;
}

RECT CWinTrayShell::WorkArea() {
  RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

bool CWinTrayShell::MinimizeAnimation() {
  ANIMATIONINFO info = {};
  info.cbSize = sizeof info;
  return SystemParametersInfoA(SPI_GETANIMATION, sizeof info, &info, 0) && info.iMinAnimate != 0;
}

void CWinTrayShell::AnimateCaption(HWND window, const RECT& from, const RECT& to) {
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

ScopedMenu CWinTrayShell::LoadMenuResource(UINT id) {
  return ScopedMenu(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
}

void CWinTrayShell::TrackPopup(HMENU popup, POINT at, HWND owner) {
  TrackPopupMenu(popup, 0, at.x, at.y, 0, owner, nullptr);
}

// --- the tray object ----------------------------------------------------------

CSystemTray::CSystemTray() : shell_(ownShell_) {}

CSystemTray::CSystemTray(ITrayShell& shell) : shell_(shell) {}

CSystemTray::~CSystemTray() {
  DeleteTrayIcon();
  if (trayWindow_) SetWindowLongPtrA(trayWindow_.get(), GWLP_USERDATA, 0);
  trayWindow_.reset();
  // A window still in the tray is not ours to destroy with its parent.
  if (parentPopup_) {
    while (HWND child = GetWindow(parentPopup_.get(), GW_CHILD)) {
      if (!SetParent(child, nullptr)) break;
    }
  }
  parentPopup_.reset();
}

bool CSystemTray::Create(HWND parent, UINT callbackMessage, const std::string& tip, HICON icon, UINT id,
                         bool hidden) {
  if (trayWindow_) {
    DeleteTrayIcon();
    SetWindowLongPtrA(trayWindow_.get(), GWLP_USERDATA, 0);
    trayWindow_.reset();
  }
  DWORD version = shell_.PlatformVersion();
  BYTE major = LOBYTE(LOWORD(version));
  enabled_ = major >= 4;
  if (!enabled_) return false;
  stateSupport_ = (version & 0x80000000u) == 0 && major >= 5;

  taskbarCreatedMessage_ = RegisterWindowMessageA(kTaskbarCreatedMessage);
  maximizeFromTrayMessage_ = RegisterWindowMessageA(kMaximizeFromTrayMessage);
  closeForSetupMessage_ = RegisterWindowMessageA(kCloseForSetupMessage);
  if (!RegisterClassOnce(kTrayWindowClass, TrayWndProc)) return false;
  trayWindow_.reset(CreateWindowExA(0, kTrayWindowClass, kTrayWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), this));
  if (!trayWindow_) return false;

  parent_ = parent;
  nid_ = NOTIFYICONDATAA{};
  nid_.cbSize = kNotifyIconDataSize;
  nid_.hWnd = parent ? parent : trayWindow_.get();
  nid_.uID = id;
  nid_.uFlags = kIconFlags;
  nid_.uCallbackMessage = callbackMessage;
  nid_.hIcon = icon;
  lstrcpynA(nid_.szTip, tip.c_str(), 128);  // at most 127 characters and the zero
  if (hidden && stateSupport_) {
    nid_.uFlags |= NIF_STATE;
    nid_.dwState = NIS_HIDDEN;
    nid_.dwStateMask = NIS_HIDDEN;
  }
  creationFlags_ = nid_.uFlags;

  if (hidden && !stateSupport_) {
    // Without state support a hidden icon is simply not added yet.
    hidden_ = removed_ = true;
    showPending_ = false;
    return true;
  }
  bool added = shell_.NotifyIcon(NIM_ADD, &nid_);
  removed_ = showPending_ = !added;
  hidden_ = added ? hidden : true;
  return added;
}

bool CSystemTray::InstallTrayIcon() {
  if (!removed_) DeleteTrayIcon();
  if (!enabled_) return false;
  nid_.uFlags = kIconFlags;
  if (shell_.NotifyIcon(NIM_ADD, &nid_)) removed_ = hidden_ = false;
  else showPending_ = true;
  return !removed_;
}

bool CSystemTray::DeleteTrayIcon() {
  showPending_ = false;
  if (!enabled_ || removed_) return true;
  nid_.uFlags = 0;
  if (shell_.NotifyIcon(NIM_DELETE, &nid_)) removed_ = hidden_ = true;
  return removed_;
}

bool CSystemTray::HideTrayIcon() {
  if (!enabled_ || removed_ || hidden_) return true;
  if (stateSupport_) {
    nid_.uFlags = NIF_STATE;
    nid_.dwState = NIS_HIDDEN;
    nid_.dwStateMask = NIS_HIDDEN;
    hidden_ = shell_.NotifyIcon(NIM_MODIFY, &nid_);
  } else {
    DeleteTrayIcon();
  }
  return hidden_;
}

bool CSystemTray::ShowTrayIcon() {
  if (removed_) return InstallTrayIcon();
  if (!hidden_) return true;
  if (stateSupport_) {
    nid_.uFlags = NIF_STATE;
    nid_.dwState = 0;
    nid_.dwStateMask = NIS_HIDDEN;
    shell_.NotifyIcon(NIM_MODIFY, &nid_);
    hidden_ = false;
  } else {
    InstallTrayIcon();
  }
  return !hidden_;
}

void CSystemTray::ReAddIcon() {
  if (!showPending_ || hidden_) return;
  nid_.uFlags = creationFlags_;
  bool added = shell_.NotifyIcon(NIM_ADD, &nid_);
  // A work-area change leaves the icon in place, and the shell refuses to
  // add it twice: then it is only brought up to date.
  if (!added && !removed_) added = shell_.NotifyIcon(NIM_MODIFY, &nid_);
  hidden_ = showPending_ = !added;
  if (added) removed_ = false;
}

LRESULT CSystemTray::OnTrayIconMessage(UINT id, UINT mouseMessage) {
  if (!enabled_ || id != nid_.uID) return 0;
  HWND target = TargetWindow();
  if (target == nullptr) return 0;
  if (mouseMessage == WM_RBUTTONUP) {
    ScopedMenu menu = shell_.LoadMenuResource(nid_.uID);
    HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (popup == nullptr) return 0;
    POINT at = {0, 0};
    GetCursorPos(&at);
    SetForegroundWindow(target);
    shell_.TrackPopup(popup, at, target);
    // Lets the menu close when the user clicks elsewhere.
    PostMessageA(target, WM_NULL, 0, 0);
  } else if (mouseMessage == WM_LBUTTONDBLCLK) {
    SetForegroundWindow(target);
    UINT command = defaultItem_;
    if (defaultByPosition_) {
      ScopedMenu menu = shell_.LoadMenuResource(nid_.uID);
      HMENU popup = menu ? GetSubMenu(menu.get(), 0) : nullptr;
      if (popup == nullptr) return 0;
      command = GetMenuItemID(popup, static_cast<int>(defaultItem_));
    }
    PostMessageA(target, WM_COMMAND, command, 0);
  }
  return 1;
}

HWND CSystemTray::EnsureParentPopup() {
  if (!parentPopup_ && RegisterClassOnce(kTrayParentClass, DefWindowProcA)) {
    parentPopup_.reset(CreateWindowExA(0, kTrayParentClass, "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  }
  return parentPopup_.get();
}

void CSystemTray::HideWindowToTray(HWND window, bool forceAnimation) {
  ShowWindow(window, SW_HIDE);
  if (forceAnimation || shell_.MinimizeAnimation()) {
    RECT from = {0, 0, 0, 0};
    GetWindowRect(window, &from);
    shell_.AnimateCaption(window, from, FindTrayArea());
  }
  if (HWND popup = EnsureParentPopup()) SetParent(window, popup);
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE));
}

void CSystemTray::ShowWindowFromTray(HWND window, bool forceAnimation) {
  if (forceAnimation || shell_.MinimizeAnimation()) {
    RECT to = {0, 0, 0, 0};
    GetWindowRect(window, &to);
    RECT from = FindTrayArea();
    SetParent(window, nullptr);
    shell_.AnimateCaption(window, from, to);
  } else {
    SetParent(window, nullptr);
  }
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_VISIBLE);
  // The frame refresh lets the window system act on the new style (Wine maps
  // the window only when its position is touched).
  SetWindowPos(window, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
  // Activating the popup first rebuilds the taskbar button.
  if (parentPopup_) SetActiveWindow(parentPopup_.get());
  SetActiveWindow(window);
  SetForegroundWindow(window);
}

RECT CSystemTray::FindTrayArea() {
  RECT taskbar = {0, 0, 0, 0};
  std::vector<TrayWindowInfo> descendants;
  if (shell_.FindTaskbar(&taskbar, &descendants)) return TrayAreaFromTaskbar(taskbar, descendants);

  RECT bar = {0, 0, 0, 0};
  UINT edge = ABE_BOTTOM;
  if (shell_.TaskbarPosition(&bar, &edge)) {
    if (edge == ABE_LEFT || edge == ABE_RIGHT) return RECT{bar.left, bar.bottom - 100, bar.right, bar.bottom - 16};
    return RECT{bar.right - 100, bar.top, bar.right - 16, bar.bottom};
  }
  RECT work = shell_.WorkArea();
  return RECT{work.right - 150, work.bottom - 30, work.right, work.bottom};
}

LRESULT CALLBACK CSystemTray::TrayWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<CSystemTray*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr || msg == WM_NCCREATE || msg == WM_CREATE) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return self->OnTrayWindowMessage(hwnd, msg, wParam, lParam);
}

LRESULT CSystemTray::OnTrayWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == taskbarCreatedMessage_ && msg != 0) {
    // The new shell holds none of the old icons: a hidden one is gone too.
    if (hidden_) removed_ = true;
    showPending_ = true;
    ReAddIcon();
    return 0;
  }
  if (msg == maximizeFromTrayMessage_ && msg != 0) {
    if (IsIconShown()) {
      if (HWND main = TargetWindow()) ShowWindowFromTray(main, false);
      HideTrayIcon();
    }
    return 0;
  }
  if (msg == closeForSetupMessage_ && msg != 0) {
    // Posted: the setup program waits for the process to end, not for this.
    if (HWND main = TargetWindow()) PostMessageA(main, WM_CLOSE_FOR_SETUP, 0, 0);
    return 0;
  }
  switch (msg) {
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA) {
        showPending_ = !hidden_;
        ReAddIcon();
      }
      return 0;
    case WM_QUERYENDSESSION: {
      if (!IsIconShown()) return TRUE;
      HWND main = TargetWindow();
      if (main == nullptr) return TRUE;
      ShowWindowFromTray(main, false);
      HideTrayIcon();
      return SendMessageA(main, WM_QUERYENDSESSION, wParam, lParam);
    }
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

}  // namespace sh
