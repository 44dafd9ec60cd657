// The window's helpers against stand-ins. The tray icon against a shell
// that keeps its icon as a real one does: under Xvfb Wine accepts every icon
// operation but never shows an icon, so where the icon is can only be seen
// through the stand-in shell. The main
// window's use of the tray, the tray window's part in the single-instance
// handshake and in the end of the session are in main_dlg_wintest.cpp and
// tests/app/program_life_wintest.cpp.
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "ui/main/messages.h"
#include "ui/main/recording_session.h"
#include "ui/main/system_tray_win.h"

namespace sh {
namespace {

constexpr DWORD kXp = 0x0A280105;     // 5.1.2600, NT
constexpr DWORD kNt4 = 0x05650004;    // 4.0.1381, NT: no hiding in place
constexpr DWORD kWin98 = 0xC0000A04;  // 4.10, high bit set: no hiding in place
constexpr DWORD kWin31 = 0x00000003;  // no tray at all

// The notification area holds the one icon as a shell does: adding an icon
// that is there, or changing or deleting one that is not, fails.
class FakeTrayShell : public CWinTrayShell {
 public:
  DWORD PlatformVersion() override { return version; }
  bool NotifyIcon(DWORD op, NOTIFYICONDATAA* data) override {
    if (refusals > 0) {
      --refusals;
      return false;
    }
    if ((op == NIM_ADD) == present) return false;
    present = op != NIM_DELETE;
    if (op == NIM_ADD) hidden = false;
    if ((data->uFlags & NIF_STATE) && (data->dwStateMask & NIS_HIDDEN)) hidden = (data->dwState & NIS_HIDDEN) != 0;
    return true;
  }
  std::string State() const { return !present ? "none" : hidden ? "hidden" : "shown"; }
  DWORD version = kXp;
  int refusals = 0;  // the next calls to refuse
  bool present = false, hidden = false;
};

// Each case is a platform and steps: c/C create the icon shown/hidden,
// h/s hide/show it, i/d install/delete it, t a new taskbar (the shell
// restarted and lost its icons), w a work-area change, r the shell refuses
// the next call. Where the icon ends up; the tray knows whether it shows.
TEST(Tray, IconStates) {
  const struct {
    DWORD version;
    const char* steps;
    const char* state;
  } cases[] = {
      {kXp, "c", "shown"},    {kXp, "C", "hidden"},    {kXp, "ch", "hidden"},   {kXp, "chs", "shown"},
      {kXp, "crh", "shown"},  {kXp, "ct", "shown"},    {kXp, "cht", "none"},    {kXp, "chts", "shown"},
      {kXp, "cw", "shown"},   {kXp, "chw", "hidden"},  {kXp, "rc", "none"},     {kXp, "rct", "none"},
      {kXp, "rcs", "shown"},  {kXp, "cd", "none"},     {kXp, "cdi", "shown"},   {kXp, "Ci", "shown"},
      {kXp, "cdt", "none"},   {kNt4, "ch", "none"},    {kNt4, "chs", "shown"},  {kNt4, "ct", "shown"},
      {kWin98, "C", "none"},  {kWin98, "Cs", "shown"}, {kWin98, "ch", "none"},  {kWin31, "cs", "none"},
  };
  ScopedWindow main(CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
  const UINT taskbarCreated = RegisterWindowMessageA(kTaskbarCreatedMessage);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.steps) + (c.version == kXp ? " on XP" : c.version == kNt4 ? " on NT 4" : " on 9x"));
    FakeTrayShell shell;
    shell.version = c.version;
    CSystemTray tray(shell);
    for (const char* step = c.steps; *step; ++step) {
      if (*step == 'c' || *step == 'C')
        tray.Create(main.get(), WM_TRAY_NOTIFY, "SweepHarbor", nullptr, IDR_TRAYMENU, *step == 'C');
      if (*step == 'h') tray.HideTrayIcon();
      if (*step == 's') tray.ShowTrayIcon();
      if (*step == 'i') tray.InstallTrayIcon();
      if (*step == 'd') tray.DeleteTrayIcon();
      if (*step == 'r') shell.refusals = 1;
      if (*step == 't') shell.present = false;
      if (*step == 't') SendMessageA(tray.TrayWindow(), taskbarCreated, 0, 0);
      if (*step == 'w') SendMessageA(tray.TrayWindow(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    }
    EXPECT_EQ(shell.State(), c.state);
    EXPECT_EQ(tray.IsIconShown(), shell.State() == "shown");
  }
}

// The after-cleaning actions through the recording session seam. The real
// ExitWindowsEx ends the whole Wine session (with or without the shutdown
// privilege) and shell32's export 60 asks on screen whether to end it, so
// neither is called here.
TEST(ShutdownHelper, OptionsAfterCleaning) {
  const struct {
    bool nt;
    int privilege;
    int option;
    const char* done;
  } cases[] = {
      {true, kPrivilegeEnabled, kShutdownNone, ""},
      {true, kPrivilegeEnabled, kShutdownPowerOff, "shutdown"},
      {true, kPrivilegeEnabled, kShutdownRestart, "restart"},
      {true, kPrivilegeEnabled, kShutdownPrompt, "dialog"},
      {true, kPrivilegeEnabled, 4, ""},
      {true, kPrivilegeEnabled, -1, ""},
      // NT ends the session only with the privilege; 9x needs none.
      {true, kTokenNotOpened, kShutdownPowerOff, ""},
      {true, kPrivilegeNotFound, kShutdownRestart, ""},
      {false, kTokenNotOpened, kShutdownPowerOff, "shutdown unprivileged"},
      {false, kTokenNotOpened, kShutdownRestart, "restart unprivileged"},
  };
  for (const auto& c : cases) {
    test::RecordingSession session;
    session.privilegeResult = c.privilege;
    CShutdownHelper(session, c.nt).ActOnShutdownOption(c.option);
    EXPECT_EQ(session.done, c.done) << "NT " << c.nt << ", privilege " << c.privilege << ", option " << c.option;
  }
}

}  // namespace
}  // namespace sh
