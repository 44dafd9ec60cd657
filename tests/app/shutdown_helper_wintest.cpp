// Shutdown and restart through a recording session seam, and the real
// privilege call. The real ExitWindowsEx ends the whole Wine session and
// shell32's export 60 asks on screen whether to end it, so neither is called
// here; only that the export can be found.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/shutdown_helper_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

class RecordingEnder : public ISessionEnder {
 public:
  int EnablePrivilege(const char* name) override {
    calls.push_back(std::string("privilege ") + name);
    return privilegeResult;
  }
  BOOL EndSession(UINT flags, DWORD reserved) override {
    calls.push_back("exit " + std::to_string(flags) + " " + std::to_string(reserved));
    return exitResult;
  }
  bool ShowShutdownDialog() override {
    calls.push_back("dialog");
    return true;
  }
  int privilegeResult = kPrivilegeEnabled;
  BOOL exitResult = TRUE;
  std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

TEST(ShutdownHelper, NtEnablesThePrivilegeFirst) {
  RecordingEnder ender;
  CShutdownHelper helper(ender, true);
  EXPECT_EQ(helper.Shutdown(), 1);
  EXPECT_EQ(ender.calls, (Calls{"privilege SeShutdownPrivilege", "exit 1 0"}));
  ender.calls.clear();
  ender.exitResult = FALSE;
  EXPECT_EQ(helper.Restart(), 0) << "the result of ExitWindowsEx";
  EXPECT_EQ(ender.calls, (Calls{"privilege SeShutdownPrivilege", "exit 2 0"}));
}

TEST(ShutdownHelper, NoExitWithoutTokenOrPrivilege) {
  for (int failure : {kTokenNotOpened, kPrivilegeNotFound}) {
    RecordingEnder ender;
    ender.privilegeResult = failure;
    CShutdownHelper helper(ender, true);
    EXPECT_EQ(helper.Shutdown(), failure);
    EXPECT_EQ(helper.Restart(), failure);
    EXPECT_EQ(ender.calls, (Calls{"privilege SeShutdownPrivilege", "privilege SeShutdownPrivilege"})) << failure;
  }
}

TEST(ShutdownHelper, Windows9xExitsDirectly) {
  RecordingEnder ender;
  ender.privilegeResult = kTokenNotOpened;  // would stop an NT exit
  CShutdownHelper helper(ender, false);
  EXPECT_EQ(helper.Shutdown(), 1);
  EXPECT_EQ(helper.Restart(), 1);
  EXPECT_EQ(ender.calls, (Calls{"exit 1 0", "exit 2 0"}));
}

TEST(ShutdownHelper, OptionsAfterCleaning) {
  RecordingEnder ender;
  // The platform family is taken from the running system (Wine: NT).
  CShutdownHelper helper(ender);
  const Calls expected[] = {{}, {"privilege SeShutdownPrivilege", "exit 1 0"},
                            {"privilege SeShutdownPrivilege", "exit 2 0"}, {"dialog"}, {}};
  for (int option = 0; option <= 4; ++option) {
    ender.calls.clear();
    helper.ActOnShutdownOption(option);
    EXPECT_EQ(ender.calls, expected[option]) << option;
  }
  ender.calls.clear();
  helper.ActOnShutdownOption(-1);
  EXPECT_TRUE(ender.calls.empty());
}

bool ShutdownPrivilegeEnabled() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
  LUID luid;
  if (!LookupPrivilegeValueA(nullptr, kShutdownPrivilege, &luid)) return false;
  PRIVILEGE_SET set = {};
  set.PrivilegeCount = 1;
  set.Control = PRIVILEGE_SET_ALL_NECESSARY;
  set.Privilege[0].Luid = luid;
  BOOL enabled = FALSE;
  return PrivilegeCheck(token.get(), &set, &enabled) && enabled;
}

void DisableShutdownPrivilege() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, token.Receive())) return;
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  LookupPrivilegeValueA(nullptr, kShutdownPrivilege, &privileges.Privileges[0].Luid);
  privileges.Privileges[0].Attributes = 0;
  AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

// Wine always opens the token, so result 256 cannot be produced here.
TEST(WinSessionEnder, EnablesThePrivilegeInTheProcessToken) {
  CWinSessionEnder ender;
  DisableShutdownPrivilege();
  ASSERT_FALSE(ShutdownPrivilegeEnabled());
  EXPECT_EQ(ender.EnablePrivilege(kShutdownPrivilege), kPrivilegeEnabled);
  EXPECT_TRUE(ShutdownPrivilegeEnabled());
  EXPECT_EQ(ender.EnablePrivilege("SeNoSuchPrivilege"), kPrivilegeNotFound);
}

TEST(WinSessionEnder, Shell32HasTheShutdownDialogExport) {
  ScopedLibrary shell(LoadLibraryA("shell32"));
  ASSERT_TRUE(shell);
  EXPECT_NE(FindShutdownDialog(shell.get()), nullptr);
  EXPECT_EQ(FindShutdownDialog(GetModuleHandleA(nullptr)), nullptr) << "this program exports nothing";
  EXPECT_EQ(FindShutdownDialog(nullptr), nullptr);
}

}  // namespace
}  // namespace sh
