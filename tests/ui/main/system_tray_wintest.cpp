// The tray icon's state machine against a recording shell, the tray window's
// answers to real messages, hiding real windows into the tray, the tray
// area's fall-backs, and the real shell under Wine. Under Xvfb Wine accepts
// every icon operation but never shows an icon, and it never animates
// minimizing: what is on screen cannot be checked here.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "ui/main/messages.h"
#include "ui/main/system_tray_win.h"

namespace sh {
namespace {

constexpr DWORD kXp = 0x0A280105;      // 5.1.2600, NT
constexpr DWORD kNt4 = 0x05650004;     // 4.0.1381, NT: no hiding in place
constexpr DWORD kWin98 = 0xC0000A04;   // 4.10, high bit set
constexpr DWORD kWin31 = 0x00000003;

struct IconCall {
  DWORD op;
  UINT flags;
  DWORD state, stateMask;
};

bool operator==(const IconCall& a, const IconCall& b) {
  return a.op == b.op && a.flags == b.flags && a.state == b.state && a.stateMask == b.stateMask;
}

std::ostream& operator<<(std::ostream& os, const IconCall& c) {
  const char* names[] = {"ADD", "MODIFY", "DELETE"};
  return os << (c.op < 3 ? names[c.op] : "?") << " flags=" << c.flags << " state=" << c.state << "/" << c.stateMask;
}

constexpr UINT kIcon = NIF_MESSAGE | NIF_ICON | NIF_TIP;
const IconCall kAdd{NIM_ADD, kIcon, 0, 0};
const IconCall kHide{NIM_MODIFY, NIF_STATE, NIS_HIDDEN, NIS_HIDDEN};
const IconCall kShow{NIM_MODIFY, NIF_STATE, 0, NIS_HIDDEN};
const IconCall kDelete{NIM_DELETE, 0, 0, 0};
using IconCalls = std::vector<IconCall>;

// The tray menu as the resource holds it (menu 202, first popup).
ScopedMenu MakeTrayMenu() {
  ScopedMenu bar(CreateMenu());
  HMENU popup = CreatePopupMenu();
  const struct {
    UINT id;
    const char* text;
  } items[] = {{ID_TRAY_OPEN, "Open SweepHarbor"}, {0, nullptr}, {ID_TRAY_CLEAN, "Start Cleaning"},
               {ID_TRAY_CONTROL, "Control Panel"}, {ID_TRAY_ITEMS, "Choose Items to Clean"},
               {ID_TRAY_COOKIES, "Manage Cookies"}, {ID_TRAY_PLUGINS, "Manage Plugins"}, {0, nullptr},
               {ID_TRAY_SHIELDS, "Configure Shields"}, {0, nullptr}, {ID_APP_EXIT, "E&xit"}};
  for (const auto& item : items) AppendMenuA(popup, item.text ? MF_STRING : MF_SEPARATOR, item.id, item.text);
  AppendMenuA(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "Tray");
  return bar;
}

class FakeTrayShell : public CWinTrayShell {
 public:
  DWORD PlatformVersion() override { return version; }
  bool NotifyIcon(DWORD op, NOTIFYICONDATAA* data) override {
    // The state counts only when its flag is given.
    bool state = (data->uFlags & NIF_STATE) != 0;
    calls.push_back({op, data->uFlags, state ? data->dwState : 0, state ? data->dwStateMask : 0});
    last = *data;
    if (results.empty()) return true;
    bool r = results.front();
    results.erase(results.begin());
    return r;
  }
  bool FindTaskbar(RECT* rect, std::vector<TrayWindowInfo>* descendants) override {
    if (!hasTaskbar) return false;
    *rect = taskbar;
    *descendants = children;
    return true;
  }
  bool TaskbarPosition(RECT* rect, UINT* edge) override {
    if (!hasPosition) return false;
    *rect = position;
    *edge = positionEdge;
    return true;
  }
  RECT WorkArea() override { return workArea; }
  bool MinimizeAnimation() override { return animate; }
  void AnimateCaption(HWND, const RECT& from, const RECT& to) override { animations.push_back({from, to}); }
  ScopedMenu LoadMenuResource(UINT id) override {
    menuIds.push_back(id);
    return menuAvailable ? MakeTrayMenu() : ScopedMenu();
  }
  void TrackPopup(HMENU popup, POINT at, HWND owner) override {
    trackedFirstId = GetMenuItemID(popup, 0);
    trackedCount = GetMenuItemCount(popup);
    trackedAt = at;
    trackedOwner = owner;
  }

  DWORD version = kXp;
  IconCalls calls;
  std::vector<bool> results;  // answers of the next NotifyIcon calls; then true
  NOTIFYICONDATAA last = {};
  bool hasTaskbar = false, hasPosition = false;
  RECT taskbar = {}, position = {};
  UINT positionEdge = ABE_BOTTOM;
  std::vector<TrayWindowInfo> children;
  RECT workArea = {0, 0, 1024, 740};
  bool animate = false;
  std::vector<std::pair<RECT, RECT>> animations;
  bool menuAvailable = true;
  std::vector<UINT> menuIds;
  UINT trackedFirstId = 0;
  int trackedCount = 0;
  POINT trackedAt = {-1, -1};
  HWND trackedOwner = nullptr;
};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
#define EXPECT_RECT(actual, l, t, r, b) EXPECT_TRUE(SameRect(actual, RECT{l, t, r, b}))

// A stand-in main window that answers the end-of-session question as told.
struct MainWindow {
  MainWindow() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ShTestTrayMain";
    RegisterClassExA(&wc);
    window.reset(CreateWindowExA(0, "ShTestTrayMain", "main", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), this));
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE)
      SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_QUERYENDSESSION) {
      self->questions.push_back(lParam);
      return self->answer;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  // Removes and returns what is posted to the window.
  std::vector<MSG> Posted() {
    std::vector<MSG> out;
    MSG msg;
    // Posted messages only: a pending WM_PAINT would be peeked for ever.
    while (PeekMessageA(&msg, window.get(), 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) out.push_back(msg);
    return out;
  }
  HWND get() const { return window.get(); }
  ScopedWindow window;
  LRESULT answer = TRUE;
  std::vector<LPARAM> questions;
};

bool IsTopLevel(HWND window) { return GetAncestor(window, GA_PARENT) == GetDesktopWindow(); }

class Tray : public ::testing::Test {
 protected:
  // Creates the tray for the main window as the main window does.
  bool Create(bool hidden = false) {
    bool ok = tray.Create(main.get(), WM_TRAY_NOTIFY, "SweepHarbor", LoadIconA(nullptr, IDI_APPLICATION), IDR_TRAYMENU,
                          hidden);
    tray.SetTargetWindow(main.get());
    return ok;
  }
  LRESULT SendToTray(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(tray.TrayWindow(), msg, w, l); }
  UINT Registered(const char* name) { return RegisterWindowMessageA(name); }

  FakeTrayShell shell;  // outlives the tray
  MainWindow main;
  CSystemTray tray{shell};
};

TEST_F(Tray, CreateAddsTheIconAndTheHiddenTrayWindow) {
  ASSERT_TRUE(Create());
  EXPECT_EQ(shell.calls, (IconCalls{kAdd}));
  EXPECT_EQ(shell.last.cbSize, sizeof(void*) == 4 ? 488u : 504u);
  EXPECT_EQ(shell.last.hWnd, main.get());
  EXPECT_EQ(shell.last.uID, 202u);
  EXPECT_EQ(shell.last.uCallbackMessage, 0x87D4u);
  EXPECT_STREQ(shell.last.szTip, "SweepHarbor");
  EXPECT_TRUE(tray.IsIconShown());

  HWND window = tray.TrayWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(FindWindowA(nullptr, "SweepHarbor"), window) << "the second instance finds it by its title";
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_POPUP);
  EXPECT_TRUE(IsTopLevel(window));

  // Without a parent the tray window owns the icon; long tips are cut.
  FakeTrayShell other;
  CSystemTray lone(other);
  ASSERT_TRUE(lone.Create(nullptr, WM_TRAY_NOTIFY, std::string(300, 't'), nullptr, 7));
  EXPECT_EQ(other.last.hWnd, lone.TrayWindow());
  EXPECT_EQ(std::string(other.last.szTip), std::string(127, 't'));
  EXPECT_EQ(lone.TargetWindow(), nullptr);
}

TEST_F(Tray, RefusedOrOldPlatforms) {
  shell.results = {false};
  EXPECT_FALSE(Create());
  EXPECT_TRUE(tray.IsIconHidden() && tray.IsIconRemoved() && tray.IsShowPending());
  EXPECT_NE(tray.TrayWindow(), nullptr) << "the window still answers the shell";
  SendToTray(Registered("TaskbarCreated"));
  EXPECT_EQ(shell.calls, (IconCalls{kAdd})) << "not added again while marked hidden";
  EXPECT_TRUE(tray.HideTrayIcon());
  EXPECT_TRUE(tray.ShowTrayIcon()) << "installed when the window goes to the tray";
  EXPECT_EQ(shell.calls, (IconCalls{kAdd, kAdd}));

  for (DWORD version : {kWin31, DWORD{0x80000003}}) {
    FakeTrayShell old;
    old.version = version;
    CSystemTray none(old);
    EXPECT_FALSE(none.Create(main.get(), WM_TRAY_NOTIFY, "SweepHarbor", nullptr, 202));
    EXPECT_EQ(none.TrayWindow(), nullptr);
    EXPECT_TRUE(none.HideTrayIcon());
    EXPECT_TRUE(none.DeleteTrayIcon());
    EXPECT_FALSE(none.ShowTrayIcon());
    EXPECT_FALSE(none.InstallTrayIcon());
    EXPECT_EQ(none.OnTrayIconMessage(202, WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(old.calls.empty());
  }
}

TEST_F(Tray, HidingAndShowingInPlace) {
  ASSERT_TRUE(Create());
  EXPECT_TRUE(tray.HideTrayIcon());
  EXPECT_TRUE(tray.HideTrayIcon()) << "already hidden: nothing asked";
  EXPECT_FALSE(tray.IsIconShown());
  EXPECT_TRUE(tray.ShowTrayIcon());
  EXPECT_TRUE(tray.ShowTrayIcon());
  EXPECT_EQ(shell.calls, (IconCalls{kAdd, kHide, kShow}));

  shell.calls.clear();
  shell.results = {false};
  EXPECT_FALSE(tray.HideTrayIcon()) << "the shell refused: still shown";
  EXPECT_TRUE(tray.IsIconShown());
  EXPECT_TRUE(tray.HideTrayIcon());
  shell.results = {false};
  EXPECT_TRUE(tray.ShowTrayIcon()) << "showing counts as done whatever the shell says";
  EXPECT_EQ(shell.calls, (IconCalls{kHide, kHide, kShow}));
}

TEST_F(Tray, WithoutHidingInPlaceTheIconIsDeletedAndAddedAgain) {
  for (DWORD version : {kNt4, kWin98}) {
    FakeTrayShell old;
    old.version = version;
    CSystemTray oldTray(old);
    ASSERT_TRUE(oldTray.Create(main.get(), WM_TRAY_NOTIFY, "SweepHarbor", nullptr, 202));
    EXPECT_TRUE(oldTray.HideTrayIcon());
    EXPECT_TRUE(oldTray.IsIconRemoved());
    EXPECT_TRUE(oldTray.ShowTrayIcon());
    EXPECT_EQ(old.calls, (IconCalls{kAdd, kDelete, kAdd})) << std::hex << version;

    // A hidden creation there adds nothing until the icon is shown.
    FakeTrayShell quiet;
    quiet.version = version;
    CSystemTray quietTray(quiet);
    EXPECT_TRUE(quietTray.Create(main.get(), WM_TRAY_NOTIFY, "SweepHarbor", nullptr, 202, true));
    EXPECT_TRUE(quiet.calls.empty());
    EXPECT_TRUE(quietTray.ShowTrayIcon());
    EXPECT_EQ(quiet.calls, (IconCalls{kAdd}));
  }
}

TEST_F(Tray, InstallAndDelete) {
  ASSERT_TRUE(Create(true));
  EXPECT_EQ(shell.calls, (IconCalls{{NIM_ADD, kIcon | NIF_STATE, NIS_HIDDEN, NIS_HIDDEN}})) << "added hidden";
  EXPECT_TRUE(tray.IsIconHidden());
  shell.calls.clear();
  EXPECT_TRUE(tray.InstallTrayIcon()) << "deletes what is there first";
  EXPECT_TRUE(tray.DeleteTrayIcon());
  EXPECT_TRUE(tray.DeleteTrayIcon()) << "already removed: nothing asked";
  shell.results = {false};
  EXPECT_FALSE(tray.InstallTrayIcon());
  EXPECT_TRUE(tray.IsShowPending());
  EXPECT_TRUE(tray.DeleteTrayIcon());
  EXPECT_FALSE(tray.IsShowPending());
  EXPECT_EQ(shell.calls, (IconCalls{kDelete, kAdd, kDelete, kAdd}));
}

TEST_F(Tray, TheShellsAnnouncementsAddTheIconAgain) {
  ASSERT_TRUE(Create());
  shell.calls.clear();
  SendToTray(Registered("TaskbarCreated"));
  EXPECT_EQ(shell.calls, (IconCalls{kAdd}));
  EXPECT_TRUE(tray.IsIconShown());

  // A work-area change keeps the icon; the shell refuses to add it twice,
  // so it is brought up to date instead.
  shell.calls.clear();
  shell.results = {false};
  SendToTray(WM_SETTINGCHANGE, SPI_SETWORKAREA);
  SendToTray(WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER);
  EXPECT_EQ(shell.calls, (IconCalls{kAdd, {NIM_MODIFY, kIcon, 0, 0}}));
  EXPECT_TRUE(tray.IsIconShown());

  // A hidden icon is not added; after a new taskbar it is gone, so showing
  // it adds it rather than changing its state.
  ASSERT_TRUE(tray.HideTrayIcon());
  shell.calls.clear();
  SendToTray(WM_SETTINGCHANGE, SPI_SETWORKAREA);
  SendToTray(Registered("TaskbarCreated"));
  EXPECT_TRUE(shell.calls.empty());
  EXPECT_TRUE(tray.ShowTrayIcon());
  EXPECT_EQ(shell.calls, (IconCalls{kAdd}));
}

TEST_F(Tray, DestroyingTheTrayDeletesTheIconAndItsWindow) {
  HWND window = nullptr;
  {
    CSystemTray scoped(shell);
    ASSERT_TRUE(scoped.Create(main.get(), WM_TRAY_NOTIFY, "SweepHarbor", nullptr, 202));
    window = scoped.TrayWindow();
    scoped.HideWindowToTray(main.get());
  }
  EXPECT_EQ(shell.calls, (IconCalls{kAdd, kDelete}));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(IsWindow(main.get())) << "a window left in the tray is not destroyed with its hidden parent";
  EXPECT_TRUE(IsTopLevel(main.get()));
}

TEST_F(Tray, SecondInstanceBringsTheWindowBackFromTheTray) {
  ASSERT_TRUE(Create());
  ASSERT_TRUE(tray.HideTrayIcon());
  // Nothing happens while the icon is not shown.
  tray.HideWindowToTray(main.get());
  EXPECT_EQ(SendToTray(Registered("MAXIMIZE_FROM_SYSTEM_TRAY")), 0);
  EXPECT_FALSE(IsWindowVisible(main.get()));

  ASSERT_TRUE(tray.ShowTrayIcon());
  EXPECT_TRUE(SendMaximizeFromTray());
  EXPECT_TRUE(IsWindowVisible(main.get()));
  EXPECT_TRUE(IsTopLevel(main.get()));
  EXPECT_FALSE(tray.IsIconShown());
  EXPECT_EQ(shell.calls.back(), kHide);
}

TEST_F(Tray, EndOfSessionQuestionWhileInTheTray) {
  ASSERT_TRUE(Create());
  // The window is shown: the tray window agrees for itself.
  ASSERT_TRUE(tray.HideTrayIcon());
  EXPECT_EQ(SendToTray(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_TRUE(main.questions.empty());

  for (LRESULT answer : {FALSE, TRUE}) {
    tray.HideWindowToTray(main.get());
    ASSERT_TRUE(tray.ShowTrayIcon());
    main.answer = answer;
    main.questions.clear();
    EXPECT_EQ(SendToTray(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), answer);
    EXPECT_EQ(main.questions, (std::vector<LPARAM>{ENDSESSION_LOGOFF})) << "forwarded once, as asked";
    EXPECT_TRUE(IsWindowVisible(main.get()));
    EXPECT_TRUE(IsTopLevel(main.get()));
    EXPECT_FALSE(tray.IsIconShown());
  }
}

TEST_F(Tray, RightClickTracksTheFirstPopupThenPostsNull) {
  ASSERT_TRUE(Create());
  main.Posted();
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(tray.OnTrayIconMessage(202, WM_RBUTTONUP), 1);
  EXPECT_EQ(shell.menuIds, (std::vector<UINT>{202}));
  EXPECT_EQ(shell.trackedFirstId, static_cast<UINT>(ID_TRAY_OPEN));
  EXPECT_EQ(shell.trackedCount, 11);
  EXPECT_EQ(shell.trackedOwner, main.get());
  EXPECT_EQ(shell.trackedAt.x, cursor.x);
  EXPECT_EQ(shell.trackedAt.y, cursor.y);
  std::vector<MSG> posted = main.Posted();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_NULL));
}

TEST_F(Tray, DoubleClickPostsTheFirstItemsCommandToTheTarget) {
  ASSERT_TRUE(Create());
  main.Posted();
  EXPECT_EQ(tray.OnTrayIconMessage(202, WM_LBUTTONDBLCLK), 1);
  std::vector<MSG> posted = main.Posted();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(posted[0].wParam, static_cast<WPARAM>(ID_TRAY_OPEN));

  MainWindow other;
  tray.SetTargetWindow(other.get());
  EXPECT_EQ(tray.OnTrayIconMessage(202, WM_LBUTTONDBLCLK), 1);
  EXPECT_EQ(other.Posted().size(), 1u);
  EXPECT_TRUE(main.Posted().empty());
}

TEST_F(Tray, OtherIconsMessagesAndMissingMenusDoNothing) {
  ASSERT_TRUE(Create());
  main.Posted();
  EXPECT_EQ(tray.OnTrayIconMessage(203, WM_LBUTTONDBLCLK), 0);
  EXPECT_EQ(tray.OnTrayIconMessage(202, WM_MOUSEMOVE), 1);
  EXPECT_EQ(tray.OnTrayIconMessage(202, WM_LBUTTONDOWN), 1);
  shell.menuAvailable = false;
  EXPECT_EQ(tray.OnTrayIconMessage(202, WM_RBUTTONUP), 0);
  EXPECT_EQ(tray.OnTrayIconMessage(202, WM_LBUTTONDBLCLK), 0);
  EXPECT_TRUE(main.Posted().empty());
  EXPECT_EQ(shell.trackedOwner, nullptr);

  // With neither a parent nor a target there is no one to tell.
  FakeTrayShell lonely;
  CSystemTray lone(lonely);
  ASSERT_TRUE(lone.Create(nullptr, WM_TRAY_NOTIFY, "SweepHarbor", nullptr, 202));
  EXPECT_EQ(lone.OnTrayIconMessage(202, WM_LBUTTONDBLCLK), 0);
  EXPECT_TRUE(lonely.menuIds.empty());
}

TEST_F(Tray, HidingTakesTheWindowOffTheTopLevelAndBack) {
  ASSERT_TRUE(Create());
  RECT before;
  GetWindowRect(main.get(), &before);
  tray.HideWindowToTray(main.get());
  EXPECT_FALSE(IsWindowVisible(main.get()));
  HWND parent = tray.TrayParentWindow();
  ASSERT_NE(parent, nullptr);
  EXPECT_EQ(GetAncestor(main.get(), GA_PARENT), parent);
  EXPECT_FALSE(IsWindowVisible(parent));
  EXPECT_EQ(GetWindowTextLengthA(parent), 0);
  EXPECT_TRUE(shell.animations.empty()) << "the system does not animate minimizing";

  MainWindow second;
  tray.HideWindowToTray(second.get());
  EXPECT_EQ(GetAncestor(second.get(), GA_PARENT), parent) << "one hidden parent for the process";

  tray.ShowWindowFromTray(main.get());
  EXPECT_TRUE(IsWindowVisible(main.get()));
  EXPECT_TRUE(IsTopLevel(main.get()));
  RECT after;
  GetWindowRect(main.get(), &after);
  EXPECT_TRUE(SameRect(before, after)) << "the window comes back where it was";
  EXPECT_TRUE(shell.animations.empty());
}

TEST_F(Tray, CaptionAnimationOnlyWhenTheSystemAnimates) {
  ASSERT_TRUE(Create());
  RECT window;
  GetWindowRect(main.get(), &window);
  shell.animate = true;  // and the tray area is the work area's corner
  tray.HideWindowToTray(main.get());
  tray.ShowWindowFromTray(main.get());
  ASSERT_EQ(shell.animations.size(), 2u);
  EXPECT_TRUE(SameRect(shell.animations[0].first, window));
  EXPECT_RECT(shell.animations[0].second, 874, 710, 1024, 740);
  EXPECT_RECT(shell.animations[1].first, 874, 710, 1024, 740);
  EXPECT_TRUE(SameRect(shell.animations[1].second, window));

  shell.animate = false;
  tray.HideWindowToTray(main.get(), true);
  tray.ShowWindowFromTray(main.get(), true);
  EXPECT_EQ(shell.animations.size(), 4u) << "forced";
}

TEST_F(Tray, TrayAreaFromTheTaskbarWindows) {
  shell.hasTaskbar = true;
  shell.hasPosition = true;  // not asked while the taskbar window exists
  // Horizontal: the notification area left of the clock.
  shell.taskbar = {0, 738, 1024, 768};
  shell.children = {{"Button", {0, 740, 60, 766}},
                    {"TrayNotifyWnd", {900, 740, 1022, 766}},
                    {"TrayClockWClass", {980, 742, 1020, 762}},
                    {"TrayNotifyWnd", {1, 2, 3, 4}}};
  EXPECT_RECT(tray.FindTrayArea(), 900, 740, 980, 766);
  // Vertical: below the clock.
  shell.taskbar = {0, 0, 60, 768};
  shell.children = {{"TrayNotifyWnd", {2, 600, 58, 766}}, {"TrayClockWClass", {4, 602, 56, 620}}};
  EXPECT_RECT(tray.FindTrayArea(), 2, 620, 58, 766);
  // No notification window: the taskbar; a clock alone trims the taskbar.
  shell.children = {{"ReBarWindow32", {5, 5, 50, 50}}};
  EXPECT_RECT(tray.FindTrayArea(), 0, 0, 60, 768);
  shell.taskbar = {0, 738, 1024, 768};
  shell.children = {{"TrayClockWClass", {980, 742, 1020, 766}}};
  EXPECT_RECT(tray.FindTrayArea(), 0, 738, 980, 768);
}

TEST_F(Tray, TrayAreaFallBacks) {
  shell.hasPosition = true;
  shell.position = {0, 738, 1024, 768};
  for (UINT edge : {ABE_BOTTOM, ABE_TOP}) {
    shell.positionEdge = edge;
    EXPECT_RECT(tray.FindTrayArea(), 924, 738, 1008, 768);
  }
  shell.position = {964, 0, 1024, 768};
  for (UINT edge : {ABE_LEFT, ABE_RIGHT}) {
    shell.positionEdge = edge;
    EXPECT_RECT(tray.FindTrayArea(), 964, 668, 1024, 752);
  }
  shell.hasPosition = false;
  shell.workArea = {0, 30, 800, 600};
  EXPECT_RECT(tray.FindTrayArea(), 650, 570, 800, 600);
}

// The window walk of the first branch, on a window tree of our own (Wine's
// explorer owns "Shell_TrayWnd" and gives it no notification area).
TEST(TrayShellOnWine, DescribesATaskbarsDescendantsInOrder) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const char* name : {"ShTestTaskbar", "TrayNotifyWnd", "TrayClockWClass"}) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
  }
  ScopedWindow bar(
      CreateWindowExA(0, "ShTestTaskbar", "", WS_POPUP, 0, 700, 800, 30, nullptr, nullptr, instance, nullptr));
  HWND notify =
      CreateWindowExA(0, "TrayNotifyWnd", "", WS_CHILD, 600, 2, 190, 26, bar.get(), nullptr, instance, nullptr);
  CreateWindowExA(0, "TrayClockWClass", "", WS_CHILD, 140, 1, 45, 24, notify, nullptr, instance, nullptr);

  RECT rect;
  std::vector<TrayWindowInfo> descendants;
  ASSERT_TRUE(DescribeTaskbar(bar.get(), &rect, &descendants));
  EXPECT_RECT(rect, 0, 700, 800, 730);
  ASSERT_EQ(descendants.size(), 2u);
  EXPECT_EQ(descendants[0].className, "TrayNotifyWnd");
  EXPECT_RECT(descendants[0].rect, 600, 702, 790, 728);
  EXPECT_EQ(descendants[1].className, "TrayClockWClass");
  EXPECT_RECT(descendants[1].rect, 740, 703, 785, 727) << "screen coordinates, also for a grandchild";
  EXPECT_FALSE(DescribeTaskbar(nullptr, &rect, &descendants));
}

TEST(TrayShellOnWine, TaskbarPositionAndTrayArea) {
  CWinTrayShell shell;
  RECT bar;
  UINT edge = 99;
  // Wine answers with a strip along the bottom of the screen.
  ASSERT_TRUE(shell.TaskbarPosition(&bar, &edge));
  EXPECT_EQ(edge, static_cast<UINT>(ABE_BOTTOM));
  EXPECT_EQ(bar.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_LT(bar.top, bar.bottom);
  // Under Xvfb "Shell_TrayWnd" exists, with no notification window in it:
  // the tray area is its rectangle.
  RECT taskbar;
  std::vector<TrayWindowInfo> descendants;
  if (shell.FindTaskbar(&taskbar, &descendants)) {
    CSystemTray tray;
    EXPECT_TRUE(SameRect(tray.FindTrayArea(), taskbar));
  }
}

TEST(TrayShellOnWine, RealIconOperationsSucceedUnderXvfb) {
  MainWindow main;
  CSystemTray tray;
  ASSERT_TRUE(tray.Create(main.get(), WM_TRAY_NOTIFY, "SweepHarbor", LoadIconA(nullptr, IDI_APPLICATION), 202));
  EXPECT_TRUE(tray.IsIconShown());
  // The shell refuses a second add of the same icon...
  NOTIFYICONDATAA copy = tray.IconData();
  copy.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &copy));
  // ...so a work-area change keeps it by bringing it up to date.
  SendMessageA(tray.TrayWindow(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_TRUE(tray.IsIconShown());
  EXPECT_TRUE(tray.HideTrayIcon());
  EXPECT_FALSE(tray.IsIconShown());
  EXPECT_TRUE(tray.ShowTrayIcon());
  EXPECT_TRUE(tray.DeleteTrayIcon());
  EXPECT_TRUE(tray.InstallTrayIcon());
}

// The real menu loop, closed by a timer of its own thread once it runs.
class RealMenuShell : public CWinTrayShell {
 public:
  ScopedMenu LoadMenuResource(UINT) override { return MakeTrayMenu(); }
};

TEST(TrayShellOnWine, RightClickMenuRunsAndCloses) {
  MainWindow main;
  RealMenuShell shell;
  CSystemTray tray(shell);
  ASSERT_TRUE(tray.Create(main.get(), WM_TRAY_NOTIFY, "SweepHarbor", nullptr, 202));
  main.Posted();
  // The menu's modal loop runs on this thread and dispatches its timers:
  // a timer here closes the menu whatever the machine's load.
  UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
  EXPECT_EQ(tray.OnTrayIconMessage(202, WM_RBUTTONUP), 1);
  KillTimer(nullptr, timer);
  bool sawNull = false, sawCommand = false;
  for (const MSG& msg : main.Posted()) {
    sawNull |= msg.message == WM_NULL;
    sawCommand |= msg.message == WM_COMMAND;
  }
  EXPECT_TRUE(sawNull);
  EXPECT_FALSE(sawCommand) << "a closed menu sends no command";
}

}  // namespace
}  // namespace sh
