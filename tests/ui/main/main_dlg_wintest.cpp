// The main window, driven in this process through its real messages: the
// window, its panels and buttons are the program's own; only the message
// boxes and the end of the session are answered by recorders. The program
// as a process of its own is in tests/app/program_life_wintest.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/child_process.h"
#include "app/cleaner_app_win.h"
#include "engine/browser_windows_win.h"
#include "engine/win_cleaners_win.h"
#include "res/resource.h"
#include "support/fake_shell.h"
#include "support/fake_web.h"
#include "support/recorders.h"
#include "ui/main/main_dlg_win.h"
#include "ui/main/messages.h"
#include "ui/main/recording_session.h"

namespace sh {
namespace {

using namespace sh::test;

// Delivers what is queued for this thread's windows.
void Pump() { PumpUntil([] { return true; }); }

// Three files for each chosen spot ("Temp files" and "Logs"), one that no
// chosen spot takes.
class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.values["path"] = data.path();
    LayFiles();
    const std::string spots = SpotXml("Temp files", tree / "temp", "*.tmp") + SpotXml("Logs", tree / "logs", "*.log") +
                              SpotXml("Not chosen", tree / "temp", "keep.txt", 0);
    WriteSpotList(SpotList(spots, 3));
  }
  void LayFiles() {
    MakeDirs(tree / "temp");
    MakeDirs(tree / "logs");
    for (int i = 0; i < 3; ++i) WriteBytes(tree / ("temp\\t" + std::to_string(i) + ".tmp"), 1000);
    for (int i = 0; i < 3; ++i) WriteBytes(tree / ("logs\\l" + std::to_string(i) + ".log"), 2000);
    WriteBytes(tree / "temp\\keep.txt", 1);
  }
  void WriteSpotList(const std::string& xml) { ASSERT_EQ(WriteDataFile(data / "Splst.swh", xml), 1); }

  bool Start(const std::string& commandLine = "SweepHarbor.exe") {
    // A fresh application object each time, as each start of the program.
    dlg.reset();
    app = std::make_unique<CCleanerApp>("SweepHarborGuiTest" + std::to_string(GetCurrentProcessId()));
    dlg = std::make_unique<CMainDlg>(*app, services, commandLine);
    bool created = dlg->Create(nullptr);
    // What the modal loop does once the dialog is made: show it. A window
    // already in the tray stays unseen, its parent being the hidden popup.
    // The panels and the tray are made after the first paint; asking for
    // them makes them at once.
    if (created && dlg->hwnd()) ShowWindow(dlg->hwnd(), SW_SHOW);
    if (created && dlg->hwnd()) dlg->tray_ready();
    Pump();
    return created && IsWindow(dlg->hwnd());
  }
  HWND Window() const { return dlg->hwnd(); }
  HWND Page() const { return dlg->clean_list().hwnd(); }
  // Start Cleaning, or Abort while a run goes on (the same button).
  void ClickStart() { SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_CLEAN_BUTTON, BN_CLICKED), 0); }
  // A row of the Clean list: name|files|size|status.
  std::string Row(int row) const {
    std::string cells = dlg->clean_list().CellText(row, 0);
    for (int column = 1; column < 4; ++column) cells += "|" + dlg->clean_list().CellText(row, column);
    return cells;
  }
  bool LinksVisible() const { return IsWindowVisible(GetDlgItem(Window(), IDC_LINK_HOME)) != 0; }
  std::vector<std::string> Temp() const { return List(tree / "temp"); }

  ScratchDir data{"gui-data"};
  ScratchDir tree{"gui-tree"};
  MapSettings settings;
  ScriptedPrompt prompt;
  RecordingSession session;
  FakeShell shell;
  FixedClock clock{LocalTime{2026, 12, 6, 12, 0, 0}};
  CWinBrowserWindows browsers{prompt};  // there are none to close
  CWinSpotCleaners cleaners{settings, prompt};
  FakeWeb web;  // no update folder: every address is missing
  AppServices services{prompt, settings, session, shell, clock, browsers, cleaners.cleaner(), web};
  std::unique_ptr<CCleanerApp> app;
  std::unique_ptr<CMainDlg> dlg;
};

const std::vector<std::string> kOnlyKeep = {"keep.txt"};

TEST_F(MainWindow, StartsOnTheHomeScreenOrNotAtAllWithoutItsSpotList) {
  ASSERT_TRUE(Start());
  EXPECT_TRUE(dlg->home_screen() && LinksVisible());
  EXPECT_TRUE(prompt.asked.empty());
  // The shape follows the skin: the corners are cut away.
  ScopedRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(Window(), region.get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.get(), 0, 0)) << "a corner outside the rounded skin";
  EXPECT_TRUE(PtInRegion(region.get(), 372, 272)) << "the middle of the window";
  EXPECT_TRUE(dlg->tray_ready());
  EXPECT_FALSE(dlg->tray().IsIconShown()) << "the icon is hidden while the window is shown";

  WriteSpotList("<cleaningspots Version=\"3\"></cleaningspots>");  // wrong root: corrupt
  prompt.answers = {PromptAnswer::kNo};
  EXPECT_FALSE(Start()) << "asked whether to download it, answered No";
  ASSERT_EQ(prompt.asked.size(), 2u);
  EXPECT_EQ(prompt.asked[1].text, kCannotWorkWithoutList);
}

// Each run starts with every row waiting and shows its own counts: a whole
// run, one aborted after its first file (navigation is refused meanwhile),
// then a run after the aborted one.
TEST_F(MainWindow, RunsShowTheirOwnCountsAndAbortStopsAfterTheFile) {
  ASSERT_TRUE(Start());
  dlg->Navigate(IDC_NAV_CLEAN);
  ClickStart();
  EXPECT_EQ(Row(0), "Temp files|3|2.93 KB|Cleaned");
  EXPECT_EQ(Row(1), "Logs|3|5.86 KB|Cleaned");
  EXPECT_EQ(dlg->clean_list().RowState(1), 1) << "the done mark";
  EXPECT_TRUE(List(tree / "logs").empty());

  // Queued before the run; its message pump delivers them after its first
  // file: a press on another page's button, then Abort.
  LayFiles();
  PostMessageA(GetDlgItem(Window(), IDC_NAV_CONTROL), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_CLEAN_BUTTON, BN_CLICKED), 0);  // Abort
  ClickStart();
  EXPECT_EQ(dlg->CurrentPanel(), Page()) << "navigation is held off during a run";
  EXPECT_FALSE(dlg->NavButton(IDC_NAV_CONTROL)->selected());
  EXPECT_EQ(Row(0), "Temp files|1|1000 bytes|Cleaned");
  EXPECT_EQ(Row(1), "Logs|||Pending") << "nothing of the first run where the aborted one never came";
  EXPECT_EQ(dlg->clean_list().RowState(1), 0);
  EXPECT_EQ(Temp().size(), 3u);
  EXPECT_EQ(List(tree / "logs").size(), 3u);

  ClickStart();
  EXPECT_EQ(Row(0), "Temp files|2|1.95 KB|Cleaned");
  EXPECT_EQ(CWindow(dlg->clean_list().Item(IDC_CLEAN_BUTTON)).Text(), "Start Cleaning");
  EXPECT_EQ(Temp(), kOnlyKeep);
}

// Closing asks while a shield setting is on (Escape never asks); No leaves
// everything as it was, a run too. During a run a way out stops the run
// after its file first (the process test times every way for real).
TEST_F(MainWindow, CloseAsksWhileAShieldSettingIsOn) {
  const PromptAnswer kYes = PromptAnswer::kYes, kNo = PromptAnswer::kNo;
  const struct {
    const char* way;
    UINT message;
    WPARAM command;
    const char* shield;  // a shield setting that is on, or none
    PromptAnswer answer;
    bool duringRun;
    size_t asked;
    bool ends;
  } cases[] = {
      {"exit button", WM_COMMAND, IDC_TITLE_EXIT, nullptr, kNo, false, 0, true},
      {"exit button, Yes", WM_COMMAND, IDC_TITLE_EXIT, "ShieldFavorites", kYes, false, 1, true},
      {"Alt+F4, No", WM_SYSCOMMAND, SC_CLOSE, "ShieldFavorites", kNo, false, 1, false},
      {"Enter, Yes", WM_COMMAND, IDOK, "ShieldHijack", kYes, false, 1, true},
      {"Escape never asks", WM_COMMAND, IDCANCEL, "ShieldHomePage", kNo, false, 0, true},
      {"exit button during a run, Yes", WM_COMMAND, IDC_TITLE_EXIT, "ShieldHijack", kYes, true, 1, true},
      {"tray menu Exit during a run, No", WM_COMMAND, ID_APP_EXIT, "ShieldHomePage", kNo, true, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.way);
    LayFiles();
    for (const char* shield : {"ShieldHijack", "ShieldFavorites", "ShieldHomePage"})
      settings.values[shield] = c.shield != nullptr && std::string(c.shield) == shield ? "1" : "0";
    prompt.asked.clear();
    prompt.answers = {c.answer};
    ASSERT_TRUE(Start());
    HWND window = Window();
    if (c.duringRun) {
      dlg->Navigate(IDC_NAV_CLEAN);
      PostMessageA(window, c.message, c.command, 0);  // comes after the run's first file
      ClickStart();
      EXPECT_EQ(Temp().size(), c.ends ? 3u : 1u) << "stopped after its first file, or went on to its end";
    } else {
      SendMessageA(window, c.message, c.command, 0);
    }
    EXPECT_EQ(prompt.asked.size(), c.asked);
    EXPECT_EQ(IsWindow(window) == FALSE, c.ends);
  }
}

TEST_F(MainWindow, TrayRoundTripsByButtonDoubleClickAndMenu) {
  ASSERT_TRUE(Start());
  SendMessageA(Window(), WM_COMMAND, IDC_TITLE_MINIMIZE, 0);
  EXPECT_FALSE(IsWindowVisible(Window()));
  EXPECT_TRUE(dlg->tray().IsIconShown());
  SendMessageA(Window(), WM_TRAY_NOTIFY, IDR_TRAYMENU, WM_LBUTTONDBLCLK);
  Pump();  // the double click posts the tray menu's first item, Open
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_FALSE(dlg->tray().IsIconShown());

  // A tray menu place: back from the tray and on that page, no run.
  SendMessageA(Window(), WM_COMMAND, IDC_TITLE_MINIMIZE, 0);
  SendMessageA(Window(), WM_COMMAND, ID_TRAY_CLEAN, 0);
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_TRUE(dlg->CurrentPanel() == Page() && dlg->NavButton(IDC_NAV_CLEAN)->selected());
  EXPECT_FALSE(LinksVisible());
  EXPECT_EQ(Row(0), "Temp files|||Pending") << "chosen spots only, all waiting";
}

// :MIN: (which wins over :CLN:) is started for real in the process tests.
TEST_F(MainWindow, CleanSwitchCleansOnlyWithCleanStart) {
  ASSERT_TRUE(Start("SweepHarbor.exe :CLN:"));
  EXPECT_TRUE(IsWindowVisible(Window()) && dlg->home_screen());
  EXPECT_EQ(Temp().size(), 4u);

  settings.values["CleanStart"] = "1";
  ASSERT_TRUE(Start("SweepHarbor.exe :CLN:"));
  EXPECT_EQ(Temp(), kOnlyKeep);
  EXPECT_EQ(Row(1), "Logs|3|5.86 KB|Cleaned");
  EXPECT_TRUE(dlg->NavButton(IDC_NAV_CLEAN)->selected());
  EXPECT_FALSE(IsWindowVisible(Window())) << "then it goes to the tray";
  EXPECT_TRUE(dlg->tray().IsIconShown());
  EXPECT_EQ(session.done, "") << "a start-up run is not a shutdown run";
}

// The end of the session while the window waits in the tray: the question
// reaches it through the tray window (it is no top-level window then), and
// is refused once for the shutdown cleaning, whose action comes after it.
// Closing during a later shutdown run stops the run and the program, not
// the computer: no after-cleaning action follows. The real end of the
// session is in tools/tests/shutdown-*.sh.
TEST_F(MainWindow, EndOfSessionCleansFirstAndClosingDuringThatRunEndsWithoutTheAction) {
  settings.values["CleanShutdown"] = "1";
  settings.values["ShutDownOptions"] = "3";
  ASSERT_TRUE(Start());
  SendMessageA(Window(), WM_COMMAND, IDC_TITLE_MINIMIZE, 0);
  EXPECT_EQ(SendMessageA(dlg->tray().TrayWindow(), WM_QUERYENDSESSION, 0, 0), FALSE);
  EXPECT_TRUE(IsWindowVisible(Window()) && !dlg->tray().IsIconShown()) << "back from the tray";
  Pump();  // the posted cleaning runs
  EXPECT_EQ(Temp(), kOnlyKeep);
  EXPECT_EQ(session.done, "dialog");
  EXPECT_EQ(SendMessageA(Window(), WM_QUERYENDSESSION, 0, 0), TRUE) << "only the first request cleans";

  LayFiles();
  ASSERT_TRUE(Start());
  HWND window = Window();
  ASSERT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), FALSE);
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);  // comes after the run's first file
  Pump();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Temp().size(), 3u) << "the run stopped after its first file";
  EXPECT_EQ(session.done, "dialog") << "no second action";
}

// Enter on a page's push button comes to the window with the button's id
// (the dialog manager's way): it presses that button.
TEST_F(MainWindow, EnterOnAPagesButtonPressesIt) {
  ASSERT_TRUE(Start());
  dlg->Navigate(IDC_NAV_CLEAN);
  HWND button = GetDlgItem(Page(), IDC_CLEAN_BUTTON);
  SetFocus(button);
  MSG enter = {button, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  IsDialogMessageA(Window(), &enter);
  Pump();
  EXPECT_EQ(Temp(), kOnlyKeep) << "the run cleaned";
}

// Enter typed in the Choose Items and Manage Cookies pages (the dialog
// manager turns it into the window's IDOK) stays in the page: with a shield
// on, a close request would ask. The cookie page reads the URL cache, whose
// index WinINet then holds open until its process ends: in a child process.
TEST(MainWindowPages, EnterStaysInThePageInAProcessOfItsOwn) {
  const ChildResult child = RunChild(TestsInChild("DISABLED_MainWindowPages.*"));
  EXPECT_TRUE(child.PassedOne()) << child.output;
}

struct DISABLED_MainWindowPages : MainWindow {};

TEST_F(DISABLED_MainWindowPages, EnterInTheChooseItemsAndCookiesPagesDoesNotClose) {
  settings.values["ShieldHijack"] = "1";
  ASSERT_TRUE(Start());
  const struct {
    int button;
    HWND page, focus;
  } kPages[] = {
      {IDC_NAV_ITEMS, dlg->choose_items().hwnd(), dlg->choose_items().tiles().at(0)->boxes().at(0)},
      {IDC_NAV_COOKIES, dlg->cookies().hwnd(), dlg->cookies().list().hwnd()},
  };
  for (const auto& p : kPages) {
    dlg->Navigate(p.button);
    ASSERT_EQ(dlg->CurrentPanel(), p.page);
    ASSERT_TRUE(p.focus != nullptr && IsWindowVisible(p.focus));
    SetFocus(p.focus);
    MSG enter = {p.focus, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    IsDialogMessageA(Window(), &enter);
    Pump();
    EXPECT_TRUE(IsWindow(Window()));
    EXPECT_TRUE(prompt.asked.empty()) << p.button;
  }
}

// Before Windows 10 the wheel goes to the focus: turned with the focus on a
// navigation button and the pointer over a tile whose spots run past it,
// the tile scrolls; elsewhere the turn ends without going round.
TEST_F(MainWindow, AWheelTurnOverATileScrollsItWhateverHasTheFocus) {
  std::string spots;
  for (int i = 0; i < 60; ++i) spots += SpotXml("A spot with a long name " + std::to_string(i), tree / "temp", "*.x");
  WriteSpotList(SpotList(spots));
  ASSERT_TRUE(Start());
  dlg->Navigate(IDC_NAV_ITEMS);
  const CGroupTile& tile = *dlg->choose_items().tiles().at(0);
  ASSERT_EQ(tile.scroll(), 0);
  HWND nav = GetDlgItem(Window(), IDC_NAV_ITEMS);
  SetFocus(nav);
  RECT r;
  GetWindowRect(tile.area(), &r);
  const WPARAM towardsTheUser = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
  SendMessageA(nav, WM_MOUSEWHEEL, towardsTheUser, MAKELPARAM(r.left - 50, r.top - 50));
  EXPECT_EQ(tile.scroll(), 0) << "not over the tile";
  SendMessageA(nav, WM_MOUSEWHEEL, towardsTheUser, MAKELPARAM(r.left + 5, r.top + 5));
  EXPECT_GT(tile.scroll(), 0);
}

// Enter typed in the plugin name box is the wizard's "Next >>", never the
// window's close request; the plugin it finishes reaches the application's
// catalog.
TEST_F(MainWindow, EnterInThePluginNameGoesToTheWizardsNextStep) {
  settings.values["ShieldHijack"] = "1";
  ASSERT_TRUE(Start());
  dlg->Navigate(IDC_NAV_PLUGINS);
  ASSERT_EQ(dlg->CurrentPanel(), dlg->plugins().hwnd());
  HWND name = GetDlgItem(dlg->plugins().hwnd(), IDC_WIZ_NAME);
  SetWindowTextA(name, "Typed");
  SetFocus(name);
  MSG enter = {name, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  IsDialogMessageA(Window(), &enter);
  Pump();
  ASSERT_TRUE(IsWindow(Window()));
  EXPECT_TRUE(prompt.asked.empty());
  ASSERT_EQ(dlg->plugins().wizard().step(), 1);
  SendMessageA(dlg->plugins().hwnd(), WM_COMMAND, MAKEWPARAM(IDC_WIZ_NEXT, BN_CLICKED), 0);
  ASSERT_EQ(app->catalog().CustomPlugins().size(), 1u);
  EXPECT_EQ(app->catalog().CustomPlugins().at(0)->Name, "Typed");
}

}  // namespace
}  // namespace sh
