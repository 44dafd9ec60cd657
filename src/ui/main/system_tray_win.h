// The notification-area icon of the main window, the hidden tray window that
// answers the shell and the other instance, and the hiding of the main
// window into the tray. The shell is reached through ITrayShell so the icon's
// state machine can run against a recording fake as well as for real.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "toolkit/win_handles_win.h"

namespace sh {

constexpr char kTrayWindowTitle[] = "SweepHarbor";
constexpr char kTrayWindowClass[] = "SweepHarborTrayWnd";
constexpr char kTrayParentClass[] = "SweepHarborTrayParent";

// The notification record's size field: the version-2 record (488 bytes in
// a 32-bit build).
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAA_V2_SIZE;

// A descendant of the taskbar window, in enumeration order.
struct TrayWindowInfo {
  std::string className;
  RECT rect;
};

class ITrayShell {
 public:
  virtual ~ITrayShell() = default;
  // GetVersion(): low byte the major version, high bit set outside NT.
  virtual DWORD PlatformVersion() = 0;
  // Shell_NotifyIcon.
  virtual bool NotifyIcon(DWORD operation, NOTIFYICONDATAA* data) = 0;
  // The top-level "Shell_TrayWnd" window's rectangle and its descendants;
  // false when there is no such window.
  virtual bool FindTaskbar(RECT* taskbar, std::vector<TrayWindowInfo>* descendants) = 0;
  // ABM_GETTASKBARPOS: the taskbar's rectangle and its edge (ABE_*).
  virtual bool TaskbarPosition(RECT* rect, UINT* edge) = 0;
  virtual RECT WorkArea() = 0;
  // The iMinAnimate member of the system's animation settings.
  virtual bool MinimizeAnimation() = 0;
  // DrawAnimatedRects with IDANI_CAPTION.
  virtual void AnimateCaption(HWND window, const RECT& from, const RECT& to) = 0;
  // The menu resource of this program; null when missing.
  virtual ScopedMenu LoadMenuResource(UINT id) = 0;
  // TrackPopupMenu with no flags; returns when the menu closes.
  virtual void TrackPopup(HMENU popup, POINT at, HWND owner) = 0;
};

class CWinTrayShell : public ITrayShell {
 public:
  DWORD PlatformVersion() override;
  bool NotifyIcon(DWORD operation, NOTIFYICONDATAA* data) override;
  bool FindTaskbar(RECT* taskbar, std::vector<TrayWindowInfo>* descendants) override;
  bool TaskbarPosition(RECT* rect, UINT* edge) override;
  RECT WorkArea() override;
  bool MinimizeAnimation() override;
  void AnimateCaption(HWND window, const RECT& from, const RECT& to) override;
  ScopedMenu LoadMenuResource(UINT id) override;
  void TrackPopup(HMENU popup, POINT at, HWND owner) override;
};

// A window's rectangle and its descendants' classes and rectangles.
bool DescribeTaskbar(HWND taskbar, RECT* rect, std::vector<TrayWindowInfo>* descendants);

class CSystemTray {
 public:
  CSystemTray();  // the real shell
  explicit CSystemTray(ITrayShell& shell);
  ~CSystemTray();
  CSystemTray(const CSystemTray&) = delete;
  CSystemTray& operator=(const CSystemTray&) = delete;

  // Creates the hidden tray window and adds the icon (owner: parent, or the
  // tray window without one). The main window calls it with (itself,
  // WM_TRAY_NOTIFY, "SweepHarbor", icon 128, 202, false). False when the
  // platform is older than version 4 or the shell refused the icon (it is
  // then added on "TaskbarCreated" or a work-area change unless hidden).
  bool Create(HWND parent, UINT callbackMessage, const std::string& tip, HICON icon, UINT id, bool hidden = false);

  // Where menu commands go; null: the parent given to Create.
  void SetTargetWindow(HWND window) { target_ = window; }
  HWND TargetWindow() const { return target_ ? target_ : parent_; }

  bool InstallTrayIcon();
  bool DeleteTrayIcon();
  bool HideTrayIcon();
  bool ShowTrayIcon();

  // The icon is in the notification area and not hidden.
  bool IsIconShown() const { return enabled_ && !hidden_ && !removed_; }
  bool IsEnabled() const { return enabled_; }
  bool IsIconHidden() const { return hidden_; }
  bool IsIconRemoved() const { return removed_; }
  bool IsShowPending() const { return showPending_; }

  // The icon's callback (wParam = icon id, lParam = mouse message): right
  // button up shows the first popup of the menu named by the icon id; a
  // double click posts the command of its first item to the target.
  // 0 for another icon, no target or a menu that cannot be loaded.
  LRESULT OnTrayIconMessage(UINT id, UINT mouseMessage);

  // Hides the window and takes it off the taskbar (its parent becomes the
  // process's hidden popup); animated only when the system animates
  // minimizing, or when forced.
  void HideWindowToTray(HWND window, bool forceAnimation = false);
  // Brings it back as a top-level window, shown and in front.
  void ShowWindowFromTray(HWND window, bool forceAnimation = false);

  // Screen rectangle of the notification area (with fall-backs).
  RECT FindTrayArea();

  HWND TrayWindow() const { return trayWindow_.get(); }
  // The hidden parent of a window in the tray; null until first used.
  HWND TrayParentWindow() const { return parentPopup_.get(); }
  const NOTIFYICONDATAA& IconData() const { return nid_; }

 private:
  static LRESULT CALLBACK TrayWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT OnTrayWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void ReAddIcon();
  HWND EnsureParentPopup();

  CWinTrayShell ownShell_;
  ITrayShell& shell_;
  NOTIFYICONDATAA nid_ = {};
  bool enabled_ = false;
  bool hidden_ = true;
  bool removed_ = true;
  bool showPending_ = false;
  bool stateSupport_ = false;
  HWND parent_ = nullptr;
  HWND target_ = nullptr;
  UINT creationFlags_ = 0;
  UINT defaultItem_ = 0;
  bool defaultByPosition_ = true;
  UINT taskbarCreatedMessage_ = 0;
  UINT maximizeFromTrayMessage_ = 0;
  UINT closeForSetupMessage_ = 0;
  ScopedWindow trayWindow_;
  ScopedWindow parentPopup_;
};

}  // namespace sh
