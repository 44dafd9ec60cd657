// The pre-run check for open browser and folder windows, over made-up
// windows that close when asked (at once, late, never), in made-up
// processes, some of them the shell's.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "engine/clean_run.h"

namespace sh {
namespace {

constexpr int kNever = -1;

struct FakeWindow {
  BrowserWindowKind kind;
  int pid;
  int closesAfterMs;  // after the close request; kNever: ignores it
};

class FakeBrowserWindows : public IBrowserWindows {
 public:
  explicit FakeBrowserWindows(const std::vector<FakeWindow>& windows) {
    uintptr_t handle = 0x100;
    for (const FakeWindow& w : windows) windows_[handle++] = State{w, true, kNever};
  }
  std::vector<BrowserWindow> FindBrowserWindows() override {
    std::vector<BrowserWindow> found;
    for (BrowserWindowKind kind : {BrowserWindowKind::kBrowser, BrowserWindowKind::kFolder})
      for (const auto& [handle, state] : windows_)
        if (state.open && state.window.kind == kind) found.push_back(BrowserWindow{handle, kind});
    return found;
  }
  bool AskToClose() override {
    ++questions;
    return answerYes;
  }
  void RequestClose(uintptr_t window) override {
    ++closeRequests;
    windows_.at(window).requestedAt = now;
  }
  bool IsOpen(uintptr_t window) override {
    State& state = windows_.at(window);
    const int after = state.window.closesAfterMs;
    if (state.requestedAt != kNever && after != kNever && now - state.requestedAt >= after) state.open = false;
    return state.open;
  }
  bool OwnerIsShell(uintptr_t window) override { return shellPids.count(windows_.at(window).window.pid) != 0; }
  bool EndOwnerProcess(uintptr_t window) override {
    const int pid = windows_.at(window).window.pid;
    endAttempts.push_back(pid);
    if (lockedPids.count(pid)) return false;
    for (auto& entry : windows_)
      if (entry.second.window.pid == pid) entry.second.open = false;
    return true;
  }
  void Pause(int milliseconds) override { now += milliseconds; }

  bool answerYes = true;
  std::set<int> shellPids;
  std::set<int> lockedPids;  // cannot be opened or ended
  int questions = 0;
  int closeRequests = 0;
  std::vector<int> endAttempts;
  int now = 0;

 private:
  struct State {
    FakeWindow window;
    bool open;
    int requestedAt;
  };
  std::map<uintptr_t, State> windows_;
};

constexpr BrowserWindowKind kIE = BrowserWindowKind::kBrowser;
constexpr BrowserWindowKind kFolder = BrowserWindowKind::kFolder;
constexpr int kShell = 10;  // the process of the taskbar and the desktop

TEST(CloseBrowserWindows, AsksEveryWindowAndEndsOnlyStubbornBrowsersOutsideTheShell) {
  struct Case {
    const char* what;
    std::vector<FakeWindow> windows;
    bool unattended, answerYes;
    std::set<int> locked;
    // Expected:
    int questions, closeRequests;
    std::vector<int> endAttempts;
    int waitedMs;
  };
  const int late = kBrowserCloseWaitMs - kBrowserClosePollMs;
  const int tooLate = kBrowserCloseWaitMs + kBrowserClosePollMs;
  const Case cases[] = {
      {"no window", {}, false, true, {}, 0, 0, {}, 0},
      {"unattended", {{kIE, 1, kNever}, {kFolder, kShell, kNever}}, true, true, {}, 0, 0, {}, 0},
      {"answered No", {{kIE, 1, kNever}, {kFolder, kShell, kNever}}, false, false, {}, 1, 0, {}, 0},
      {"browser closes at once", {{kIE, 1, 0}}, false, true, {}, 1, 1, {}, 0},
      {"browser closes late in the wait", {{kIE, 1, late}}, false, true, {}, 1, 1, {}, late},
      {"browser closes after the wait", {{kIE, 1, tooLate}}, false, true, {}, 1, 1, {1}, kBrowserCloseWaitMs},
      {"browser ignores the request", {{kIE, 1, kNever}}, false, true, {}, 1, 1, {1}, kBrowserCloseWaitMs},
      {"folder window ignores it", {{kFolder, 2, kNever}}, false, true, {}, 1, 1, {}, kBrowserCloseWaitMs},
      {"folder window of the shell", {{kFolder, kShell, kNever}}, false, true, {}, 1, 1, {}, kBrowserCloseWaitMs},
      {"browser inside the shell", {{kIE, kShell, kNever}}, false, true, {}, 1, 1, {}, kBrowserCloseWaitMs},
      {"two windows of one process", {{kIE, 3, kNever}, {kIE, 3, kNever}}, false, true, {}, 1, 2, {3},
       kBrowserCloseWaitMs},
      {"a process that cannot be ended", {{kIE, 4, kNever}, {kIE, 5, kNever}}, false, true, {4}, 1, 2, {4, 5},
       kBrowserCloseWaitMs},
      {"all kinds at once",
       {{kFolder, kShell, kNever}, {kIE, kShell, kNever}, {kFolder, 2, 0}, {kIE, 3, kNever}, {kIE, 6, 500},
        {kFolder, 7, kNever}},
       false, true, {}, 1, 6, {3}, kBrowserCloseWaitMs},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBrowserWindows windows(c.windows);
    windows.answerYes = c.answerYes;
    windows.shellPids = {kShell};
    windows.lockedPids = c.locked;
    CloseBrowserWindows(windows, c.unattended);
    EXPECT_EQ(windows.questions, c.questions);
    EXPECT_EQ(windows.closeRequests, c.closeRequests);
    EXPECT_EQ(windows.endAttempts, c.endAttempts);
    EXPECT_EQ(windows.now, c.waitedMs);
  }
}

}  // namespace
}  // namespace sh
