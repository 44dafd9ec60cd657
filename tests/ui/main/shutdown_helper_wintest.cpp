// The after-cleaning actions through the recording session seam. The real
// ExitWindowsEx ends the whole Wine session (with or without the shutdown
// privilege) and shell32's export 60 asks on screen whether to end it, so
// neither is called here.
#include <gtest/gtest.h>

#include <windows.h>

#include "ui/main/recording_session.h"

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

}  // namespace
}  // namespace sh
