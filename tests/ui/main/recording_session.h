// The session seam for tests: what would have ended the session, and
// whether the shutdown privilege was enabled by then. The real calls end
// the whole Wine session.
#pragma once

#include <string>

#include "ui/main/shutdown_helper_win.h"

namespace sh::test {

class RecordingSession : public ISessionEnder {
 public:
  int EnablePrivilege(const char* name) override {
    privileged_ = privilegeResult == kPrivilegeEnabled && std::string(name) == kShutdownPrivilege;
    return privilegeResult;
  }
  BOOL EndSession(UINT flags, DWORD reserved) override {
    Record(std::string(flags == EWX_SHUTDOWN ? "shutdown" : flags == EWX_REBOOT ? "restart" : "other") +
           (privileged_ ? "" : " unprivileged") + (reserved ? " reserved" : ""));
    return TRUE;
  }
  bool ShowShutdownDialog() override {
    Record("dialog");
    return true;
  }
  int privilegeResult = kPrivilegeEnabled;
  std::string done;  // each action, comma-separated

 private:
  void Record(const std::string& action) { done += (done.empty() ? "" : ", ") + action; }
  bool privileged_ = false;
};

}  // namespace sh::test
