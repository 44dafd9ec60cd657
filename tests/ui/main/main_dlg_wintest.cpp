// The main window, driven in this process through its real messages: the
// window, its panels and buttons are the program's own; only the outside
// world (message boxes, ending the session, the shell) is answered by
// recorders.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "app/cleaner_app_win.h"
#include "engine/win_cleaners_win.h"
#include "model/data_file_win.h"
#include "res/resource.h"
#include "support/recorders.h"
#include "support/win_fs.h"
#include "ui/main/main_dlg_win.h"
#include "ui/main/messages.h"

namespace sh {
namespace {

using namespace sh::test;

class RecordingSession : public ISessionEnder {
 public:
  int EnablePrivilege(const char*) override { return kPrivilegeEnabled; }
  BOOL EndSession(UINT flags, DWORD) override {
    calls.push_back(flags == EWX_SHUTDOWN ? "shutdown" : flags == EWX_REBOOT ? "restart" : "other");
    if (onCall) onCall();
    return TRUE;
  }
  bool ShowShutdownDialog() override {
    calls.push_back("dialog");
    if (onCall) onCall();
    return true;
  }
  std::vector<std::string> calls;
  std::function<void()> onCall;  // sees the machine as the action finds it
};

// Asks the main window whether the session may end when its posted message
// comes, so that the question can reach the window in the middle of a run
// (the run's message pump delivers it); keeps the answers.
class SessionAsker {
 public:
  explicit SessionAsker(HWND target) : target_(target) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ShTestSessionAsker";
    RegisterClassA(&wc);
    window_.reset(CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                  nullptr));
    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  void AskAtNextPump() { PostMessageA(window_.get(), WM_APP, 0, 0); }
  std::vector<LRESULT> answers;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<SessionAsker*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg != WM_APP || self == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
    self->answers.push_back(SendMessageA(self->target_, WM_QUERYENDSESSION, 0, 0));
    return 0;
  }
  HWND target_;
  ScopedWindow window_;
};

class RecordingShell : public IShellLauncher {
 public:
  int ShellOpen(const std::string& target, int) override {
    opened.push_back(target);
    return 42;
  }
  int RunProgram(const std::string& commandLine, int) override {
    opened.push_back(commandLine);
    return 42;
  }
  std::vector<std::string> opened;
};

class NoBrowsers : public IBrowserWindows {
 public:
  std::vector<BrowserWindow> FindBrowserWindows() override { return {}; }
  bool AskToClose() override { return false; }
  void RequestClose(uintptr_t) override {}
  bool IsOpen(uintptr_t) override { return false; }
  bool OwnerIsShell(uintptr_t) override { return false; }
  bool EndOwnerProcess(uintptr_t) override { return false; }
  void Pause(int) override {}
};

void Pump() {
  MSG msg;
  for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string CellText(HWND list, int row, int column) {
  char text[256] = {};
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.values["path"] = data.path();
    LayFiles();
    WriteSpotList(true);
  }
  // Three files for each chosen spot, one that no spot takes.
  void LayFiles() {
    MakeDirs(tree / "temp");
    MakeDirs(tree / "logs");
    for (int i = 0; i < 3; ++i) WriteBytes(tree / ("temp\\t" + std::to_string(i) + ".tmp"), 1000);
    for (int i = 0; i < 3; ++i) WriteBytes(tree / ("logs\\l" + std::to_string(i) + ".log"), 2000);
    WriteBytes(tree / "temp\\keep.txt", 1);
  }
  void TearDown() override {
    dlg.reset();
    app.reset();
    Pump();
  }

  void WriteSpotList(bool good) {
    std::string xml =
        "<CleaningSpots Version=\"3\"><Group name=\"Windows\" GroupType=\"0\">"
        "<Spot name=\"Temp files\" ToBeCleaned=\"1\" Type=\"0\"><Items><Item Type=\"0\" name=\"" + tree.path() +
        "\\temp\" flags=\"*.tmp\" /></Items></Spot>"
        "<Spot name=\"Logs\" ToBeCleaned=\"1\" Type=\"1\"><Items><Item Type=\"0\" name=\"" + tree.path() +
        "\\logs\" flags=\"*.log\" /></Items></Spot>"
        "<Spot name=\"Not chosen\" ToBeCleaned=\"0\" Type=\"0\"><Items><Item Type=\"0\" name=\"" + tree.path() +
        "\\temp\" flags=\"keep.txt\" /></Items></Spot>"
        "</Group></CleaningSpots>";
    if (!good) xml = "<cleaningspots Version=\"3\"></cleaningspots>";  // wrong root: corrupt
    ASSERT_EQ(WriteDataFile(data / "Splst.swh", xml), 1);
  }

  bool Start(const std::string& commandLine = "SweepHarbor.exe") {
    // A fresh application object each time, as each start of the program.
    dlg.reset();
    app = std::make_unique<CCleanerApp>("SweepHarborGuiTest" + std::to_string(GetCurrentProcessId()));
    dlg = std::make_unique<CMainDlg>(*app, services, commandLine);
    bool created = dlg->Create(nullptr);
    // What the modal loop does once the dialog is made: show it. A window
    // already in the tray stays unseen, its parent being the hidden popup.
    if (created && dlg->hwnd()) ShowWindow(dlg->hwnd(), SW_SHOW);
    Pump();
    return created && dlg->hwnd() != nullptr;
  }
  HWND Window() const { return dlg->hwnd(); }
  HWND ListView() const { return GetDlgItem(dlg->clean_list().hwnd(), IDC_CLEAN_LIST); }
  void Press(int navButton) {
    SendMessageA(GetDlgItem(Window(), navButton), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(GetDlgItem(Window(), navButton), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }
  void ClickStart() {
    SendMessageA(dlg->clean_list().hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CLEAN_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg->clean_list().hwnd(), IDC_CLEAN_BUTTON)));
  }
  bool LinksVisible() const { return IsWindowVisible(GetDlgItem(Window(), IDC_LINK_HOME)) != 0; }

  ScratchDir data{"gui-data"};
  ScratchDir tree{"gui-tree"};
  MapSettings settings;
  ScriptedPrompt prompt;
  RecordingSession session;
  RecordingShell shell;
  FixedClock clock{LocalTime{2026, 12, 6, 12, 0, 0}};
  NoBrowsers browsers;
  CWinSpotCleaners cleaners{settings, prompt};
  AppServices services{prompt, settings, session, shell, clock, browsers, cleaners.cleaner()};
  std::unique_ptr<CCleanerApp> app;
  std::unique_ptr<CMainDlg> dlg;
};

TEST_F(MainWindow, StartsOnTheHomeScreenWithItsListsLoaded) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(CWindow(Window()).Text(), "SweepHarbor v1.04");
  EXPECT_TRUE(dlg->home_screen());
  EXPECT_TRUE(LinksVisible());
  EXPECT_EQ(app->SpotListVersion, 3);
  EXPECT_EQ(dlg->status_lines()[4], "Status : Ready to Protect");
  EXPECT_EQ(dlg->status_lines()[0].rfind("Profile : ", 0), 0u);
  EXPECT_TRUE(prompt.asked.empty());
  // The shape follows the skin: the corners are cut away.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(Window(), region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0)) << "a corner outside the rounded skin";
  EXPECT_TRUE(PtInRegion(region, 372, 272)) << "the middle of the window";
  DeleteObject(region);
  EXPECT_TRUE(dlg->tray_ready());
  EXPECT_FALSE(dlg->tray().IsIconShown()) << "the icon is hidden while the window is shown";
}

TEST_F(MainWindow, CorruptSpotListAsksAndEndsEitherWay) {
  WriteSpotList(false);
  prompt.answers = {PromptAnswer::kYes};  // download: the update is cancelled
  EXPECT_FALSE(Start());
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, "Configuration file corrupt, download new file now ?");
  EXPECT_EQ(prompt.asked[0].caption, "Error");
  EXPECT_EQ(prompt.asked[0].kind, PromptKind::kYesNo);

  prompt.asked.clear();
  prompt.answers = {PromptAnswer::kNo};
  EXPECT_FALSE(Start());
  ASSERT_EQ(prompt.asked.size(), 2u);
  EXPECT_EQ(prompt.asked[1].text, "SweepHarbor cannot work without the Configuration file, Press OK ti exit");
  EXPECT_EQ(prompt.asked[1].kind, PromptKind::kOk);
}

TEST_F(MainWindow, NavigationLeavesTheHomeScreenForGood) {
  ASSERT_TRUE(Start());
  Press(IDC_NAV_CONTROL);
  EXPECT_FALSE(dlg->home_screen());
  EXPECT_FALSE(LinksVisible());
  EXPECT_TRUE(dlg->NavButton(IDC_NAV_CONTROL)->selected());
  HWND control = dlg->CurrentPanel();
  EXPECT_TRUE(IsWindowVisible(control));

  Press(IDC_NAV_CONTROL);  // the shown panel's button again: nothing changes
  EXPECT_EQ(dlg->CurrentPanel(), control);
  EXPECT_TRUE(dlg->NavButton(IDC_NAV_CONTROL)->selected());

  Press(IDC_NAV_CLEAN);
  EXPECT_TRUE(dlg->NavButton(IDC_NAV_CLEAN)->selected());
  EXPECT_FALSE(dlg->NavButton(IDC_NAV_CONTROL)->selected());
  EXPECT_FALSE(IsWindowVisible(control));
  EXPECT_FALSE(dlg->home_screen());
  // Showing the list fills it: chosen spots only, all Pending.
  ASSERT_EQ(ListView_GetItemCount(ListView()), 2);
  EXPECT_EQ(CellText(ListView(), 0, 0), "Temp files");
  EXPECT_EQ(CellText(ListView(), 1, 3), "Pending");
}

TEST_F(MainWindow, RunShowsFilesSizeStatusAndDoneMarks) {
  ASSERT_TRUE(Start());
  Press(IDC_NAV_CLEAN);
  ClickStart();
  EXPECT_FALSE(dlg->clean_list().running());
  EXPECT_EQ(CellText(ListView(), 0, 1), "3");
  EXPECT_EQ(CellText(ListView(), 0, 2), "2.93 KB");
  EXPECT_EQ(CellText(ListView(), 0, 3), "Cleaned");
  EXPECT_EQ(CellText(ListView(), 1, 2), "5.86 KB");
  EXPECT_EQ(dlg->clean_list().RowState(0), 1);
  EXPECT_EQ(dlg->clean_list().RowState(1), 1);
  EXPECT_EQ(CWindow(dlg->clean_list().Item(IDC_CLEAN_BUTTON)).Text(), "Start Cleaning");
  EXPECT_EQ(List(tree / "temp"), (std::vector<std::string>{"keep.txt"}));
  EXPECT_TRUE(List(tree / "logs").empty());
}

TEST_F(MainWindow, AbortStopsTheRunAndNavigationIsRefusedMeanwhile) {
  ASSERT_TRUE(Start());
  Press(IDC_NAV_CLEAN);
  // Queued before the run; the run's message pump delivers them after its
  // first file: a press on another page's button, then Abort.
  HWND control = GetDlgItem(Window(), IDC_NAV_CONTROL);
  PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(dlg->clean_list().hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CLEAN_BUTTON, BN_CLICKED), 0);
  ClickStart();
  EXPECT_EQ(dlg->CurrentPanel(), dlg->clean_list().hwnd()) << "navigation is held off during a run";
  EXPECT_FALSE(dlg->NavButton(IDC_NAV_CONTROL)->selected());
  EXPECT_EQ(CellText(ListView(), 0, 3), "Cleaned");
  EXPECT_EQ(CellText(ListView(), 1, 3), "Pending") << "the row after the abort keeps Pending";
  EXPECT_EQ(dlg->clean_list().RowState(1), 0);
  EXPECT_EQ(List(tree / "temp").size(), 3u) << "the walk stopped after its first file";
  EXPECT_EQ(List(tree / "logs").size(), 3u);
  EXPECT_FALSE(dlg->cleaning_in_progress());
}

TEST_F(MainWindow, EachRunStartsWithEveryRowWaiting) {
  ASSERT_TRUE(Start());
  Press(IDC_NAV_CLEAN);
  ClickStart();
  ASSERT_EQ(CellText(ListView(), 1, 3), "Cleaned");
  LayFiles();
  PostMessageA(dlg->clean_list().hwnd(), WM_COMMAND, MAKEWPARAM(IDC_CLEAN_BUTTON, BN_CLICKED), 0);  // Abort
  ClickStart();
  EXPECT_EQ(CellText(ListView(), 0, 1), "1") << "the second run's own count";
  EXPECT_EQ(CellText(ListView(), 0, 3), "Cleaned");
  // The row the aborted run never reached shows nothing of the first run.
  EXPECT_EQ(CellText(ListView(), 1, 1), "");
  EXPECT_EQ(CellText(ListView(), 1, 2), "");
  EXPECT_EQ(CellText(ListView(), 1, 3), "Pending");
  EXPECT_EQ(dlg->clean_list().RowState(1), 0);
}

// Every way out during a run stops the run before the window ends: the run
// ends after the file it was at. Where the close asks (a shield setting on),
// No lets the run go on to its end.
TEST_F(MainWindow, EveryCloseDuringARunStopsTheRunFirst) {
  struct Case {
    const char* way;
    UINT message;
    WPARAM command;
    const char* shield;  // a shield setting that is on, or none
    PromptAnswer answer;
    size_t asked;
    bool ends;
  };
  const Case cases[] = {
      {"exit button", WM_COMMAND, IDC_TITLE_EXIT, nullptr, PromptAnswer::kNo, 0, true},
      {"tray menu Exit", WM_COMMAND, ID_APP_EXIT, nullptr, PromptAnswer::kNo, 0, true},
      {"Enter", WM_COMMAND, IDOK, nullptr, PromptAnswer::kNo, 0, true},
      {"Alt+F4", WM_SYSCOMMAND, SC_CLOSE, nullptr, PromptAnswer::kNo, 0, true},
      {"Escape, never asks", WM_COMMAND, IDCANCEL, "ShieldHomePage", PromptAnswer::kNo, 0, true},
      {"exit button, Yes", WM_COMMAND, IDC_TITLE_EXIT, "ShieldHijack", PromptAnswer::kYes, 1, true},
      {"Alt+F4, No", WM_SYSCOMMAND, SC_CLOSE, "ShieldFavorites", PromptAnswer::kNo, 1, false},
      {"tray menu Exit, No", WM_COMMAND, ID_APP_EXIT, "ShieldHomePage", PromptAnswer::kNo, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.way);
    LayFiles();
    for (const char* shield : {"ShieldHijack", "ShieldFavorites", "ShieldHomePage"})
      settings.values[shield] = c.shield != nullptr && std::string(c.shield) == shield ? "1" : "0";
    prompt.asked.clear();
    prompt.answers = {c.answer};
    ASSERT_TRUE(Start());
    Press(IDC_NAV_CLEAN);
    HWND window = Window();
    PostMessageA(window, c.message, c.command, 0);  // comes after the run's first file
    ClickStart();
    EXPECT_EQ(prompt.asked.size(), c.asked);
    EXPECT_FALSE(dlg->clean_list().running());
    EXPECT_EQ(IsWindow(window) == FALSE, c.ends);
    if (c.ends) {
      EXPECT_EQ(List(tree / "temp").size(), 3u) << "the run stopped after its first file";
      EXPECT_EQ(List(tree / "logs").size(), 3u);
    } else {
      EXPECT_EQ(List(tree / "temp"), (std::vector<std::string>{"keep.txt"})) << "the run went on to its end";
      EXPECT_TRUE(List(tree / "logs").empty());
    }
  }
}

TEST_F(MainWindow, TrayRoundTripsByButtonMenuAndDoubleClick) {
  ASSERT_TRUE(Start());
  SendMessageA(Window(), WM_COMMAND, IDC_TITLE_MINIMIZE, 0);
  EXPECT_FALSE(IsWindowVisible(Window()));
  EXPECT_TRUE(dlg->tray().IsIconShown());
  SendMessageA(Window(), WM_COMMAND, ID_TRAY_OPEN, 0);
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_FALSE(dlg->tray().IsIconShown());

  SendMessageA(Window(), WM_COMMAND, IDC_TITLE_MINIMIZE, 0);
  SendMessageA(Window(), WM_TRAY_NOTIFY, IDR_TRAYMENU, WM_LBUTTONDBLCLK);
  Pump();  // the double click posts "Open SweepHarbor"
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_FALSE(dlg->tray().IsIconShown());

  // A tray menu place: back from the tray and on that page, no run.
  SendMessageA(Window(), WM_COMMAND, IDC_TITLE_MINIMIZE, 0);
  SendMessageA(Window(), WM_COMMAND, ID_TRAY_CLEAN, 0);
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_EQ(dlg->CurrentPanel(), dlg->clean_list().hwnd());
  EXPECT_TRUE(dlg->NavButton(IDC_NAV_CLEAN)->selected());
  EXPECT_FALSE(LinksVisible());
  EXPECT_EQ(CellText(ListView(), 0, 3), "Pending");
}

TEST_F(MainWindow, MinSwitchStartsInTheTrayAndWinsOverClean) {
  settings.values["CleanStart"] = "1";
  ASSERT_TRUE(Start("\"C:\\SweepHarbor\\SweepHarbor.exe\" :CLN: :MIN:"));
  EXPECT_FALSE(IsWindowVisible(Window()));
  EXPECT_TRUE(dlg->tray().IsIconShown());
  EXPECT_EQ(List(tree / "temp").size(), 4u) << "no cleaning";
}

TEST_F(MainWindow, CleanSwitchCleansOnlyWithCleanStart) {
  ASSERT_TRUE(Start("SweepHarbor.exe :CLN:"));
  EXPECT_TRUE(IsWindowVisible(Window()));
  EXPECT_TRUE(dlg->home_screen());
  EXPECT_EQ(List(tree / "temp").size(), 4u);
  dlg.reset();

  settings.values["CleanStart"] = "1";
  ASSERT_TRUE(Start("SweepHarbor.exe :CLN:"));
  EXPECT_EQ(List(tree / "temp"), (std::vector<std::string>{"keep.txt"}));
  EXPECT_EQ(CellText(ListView(), 1, 3), "Cleaned");
  EXPECT_FALSE(LinksVisible());
  EXPECT_TRUE(dlg->NavButton(IDC_NAV_CLEAN)->selected());
  EXPECT_FALSE(IsWindowVisible(Window())) << "then it goes to the tray";
  EXPECT_TRUE(dlg->tray().IsIconShown());
  EXPECT_TRUE(session.calls.empty()) << "a start-up run is not a shutdown run";
}

TEST_F(MainWindow, CloseAsksOnlyWhileAShieldSettingIsOn) {
  ASSERT_TRUE(Start());
  settings.values["ShieldFavorites"] = "1";
  prompt.answers = {PromptAnswer::kNo};
  SendMessageA(Window(), WM_COMMAND, IDC_TITLE_EXIT, 0);
  ASSERT_TRUE(IsWindow(Window()));
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].caption, "SweepHarbor");
  EXPECT_EQ(prompt.asked[0].text,
            "Active Protection Shields are Currently Active and protecting your system, shutting down SweepHarbor "
            "will disable these shields.\nAre you Sure you want to close SweepHarbor ?");
  // Alt+F4 and the taskbar's Close ask the same.
  prompt.answers = {PromptAnswer::kNo};
  SendMessageA(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(Window()));
  EXPECT_EQ(prompt.asked.size(), 2u);
  prompt.answers = {PromptAnswer::kYes};
  HWND window = Window();
  SendMessageA(window, WM_COMMAND, IDOK, 0);  // Enter asks too
  EXPECT_FALSE(IsWindow(window));

  settings.values["ShieldFavorites"] = "0";
  prompt.asked.clear();
  ASSERT_TRUE(Start());
  window = Window();
  SendMessageA(window, WM_COMMAND, IDC_TITLE_EXIT, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(prompt.asked.empty());

  settings.values["ShieldHomePage"] = "1";
  ASSERT_TRUE(Start());
  window = Window();
  SendMessageA(window, WM_COMMAND, IDCANCEL, 0);  // Escape: no question
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(MainWindow, ShutdownIsRefusedOnceForACleaningThenAllowed) {
  const char* expected[] = {"", "shutdown", "restart", "dialog"};
  for (int option = 0; option <= 3; ++option) {
    SCOPED_TRACE(option);
    for (int i = 0; i < 3; ++i) WriteBytes(tree / ("temp\\t" + std::to_string(i) + ".tmp"), 1000);
    session.calls.clear();
    settings.values["CleanShutdown"] = "1";
    settings.values["ShutDownOptions"] = std::to_string(option);
    ASSERT_TRUE(Start());
    SendMessageA(Window(), WM_COMMAND, IDC_TITLE_MINIMIZE, 0);  // also from the tray
    EXPECT_EQ(SendMessageA(Window(), WM_QUERYENDSESSION, 0, 0), FALSE);
    Pump();  // the posted cleaning runs
    EXPECT_EQ(List(tree / "temp"), (std::vector<std::string>{"keep.txt"}));
    EXPECT_EQ(dlg->CurrentPanel(), dlg->clean_list().hwnd());
    if (option == 0) {
      EXPECT_TRUE(session.calls.empty());
    } else {
      EXPECT_EQ(session.calls, (std::vector<std::string>{expected[option]}));
    }
    EXPECT_EQ(SendMessageA(Window(), WM_QUERYENDSESSION, 0, 0), TRUE) << "only the first request cleans";
    dlg.reset();
  }
  settings.values["CleanShutdown"] = "0";
  ASSERT_TRUE(Start());
  EXPECT_EQ(SendMessageA(Window(), WM_QUERYENDSESSION, 0, 0), TRUE);
}

// A request to end the session during the user's own run: refused, the run
// goes on to its end, the shutdown run follows it, and only then comes the
// after-cleaning action; every request before that action is refused.
TEST_F(MainWindow, ShutdownDuringAUsersRunActsOnlyAfterEveryRowIsClean) {
  settings.values["CleanShutdown"] = "1";
  settings.values["ShutDownOptions"] = "1";
  std::vector<size_t> filesAtAction;
  session.onCall = [&] { filesAtAction.push_back(List(tree / "temp").size() + List(tree / "logs").size()); };
  ASSERT_TRUE(Start());
  Press(IDC_NAV_CLEAN);
  SessionAsker asker(Window());
  asker.AskAtNextPump();
  ClickStart();  // the question comes after the run's first file
  EXPECT_EQ(asker.answers, (std::vector<LRESULT>{FALSE}));
  EXPECT_EQ(List(tree / "temp"), (std::vector<std::string>{"keep.txt"})) << "the user's run went on to its end";
  EXPECT_TRUE(List(tree / "logs").empty());
  EXPECT_TRUE(session.calls.empty()) << "no action before the shutdown run";

  LayFiles();             // new traces for the shutdown run to meet
  asker.AskAtNextPump();  // asked again during that run
  Pump();
  EXPECT_EQ(asker.answers, (std::vector<LRESULT>{FALSE, FALSE}));
  EXPECT_EQ(session.calls, (std::vector<std::string>{"shutdown"}));
  EXPECT_EQ(filesAtAction, (std::vector<size_t>{1})) << "only keep.txt was left when the action came";
  EXPECT_EQ(SendMessageA(Window(), WM_QUERYENDSESSION, 0, 0), TRUE) << "after the action the session may end";
}

// Closing during the shutdown run stops the run and the program, not the
// computer: no after-cleaning action follows.
TEST_F(MainWindow, ClosingDuringTheShutdownRunEndsWithoutTheAction) {
  settings.values["CleanShutdown"] = "1";
  settings.values["ShutDownOptions"] = "1";
  ASSERT_TRUE(Start());
  HWND window = Window();
  ASSERT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), FALSE);
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);  // comes after the run's first file
  Pump();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(List(tree / "temp").size(), 3u) << "the run stopped after its first file";
  EXPECT_TRUE(session.calls.empty());
}

TEST_F(MainWindow, HelpOpensTheMakersPage) {
  ASSERT_TRUE(Start());
  SendMessageA(Window(), WM_COMMAND, IDC_TITLE_HELP, 0);
  EXPECT_EQ(shell.opened, (std::vector<std::string>{"http://www.lumivale.example/help"}));
}

}  // namespace
}  // namespace sh
