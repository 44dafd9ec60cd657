// The after-cleaning actions through the recording session seam, and the
// real privilege call. The real ExitWindowsEx ends the whole Wine session
// and shell32's export 60 asks on screen whether to end it, so neither is
// called here; only that the export can be found.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/main/recording_session.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

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

// Whether the shutdown privilege is enabled in this process's token; with
// `disable` it is switched off first.
bool PrivilegeEnabled(bool disable = false) {
  ScopedHandle token;
  TOKEN_PRIVILEGES off = {1, {{{0, 0}, 0}}};
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES, token.Receive()) ||
      !LookupPrivilegeValueA(nullptr, kShutdownPrivilege, &off.Privileges[0].Luid))
    return false;
  if (disable) AdjustTokenPrivileges(token.get(), FALSE, &off, 0, nullptr, nullptr);
  PRIVILEGE_SET set = {1, PRIVILEGE_SET_ALL_NECESSARY, {{off.Privileges[0].Luid, 0}}};
  BOOL enabled = FALSE;
  return PrivilegeCheck(token.get(), &set, &enabled) && enabled;
}

// Wine always opens the token, so kTokenNotOpened cannot be produced here.
TEST(WinSessionEnder, EnablesThePrivilegeAndFindsTheShutdownDialog) {
  ASSERT_FALSE(PrivilegeEnabled(true));
  CWinSessionEnder ender;
  EXPECT_EQ(ender.EnablePrivilege(kShutdownPrivilege), kPrivilegeEnabled);
  EXPECT_TRUE(PrivilegeEnabled());
  EXPECT_EQ(ender.EnablePrivilege("SeNoSuchPrivilege"), kPrivilegeNotFound);
  ScopedLibrary shell(LoadLibraryA("shell32"));
  EXPECT_NE(FindShutdownDialog(shell.get()), nullptr);
  EXPECT_EQ(FindShutdownDialog(GetModuleHandleA(nullptr)), nullptr) << "this program exports nothing";
}

}  // namespace
}  // namespace sh
