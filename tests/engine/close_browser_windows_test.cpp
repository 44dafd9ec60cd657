// The pre-run check for open browser and folder windows, over made-up
// windows that close when asked (at once, late, never), in made-up
// processes, some of them the shell's.
#include <gtest/gtest.h>

#include <vector>

#include "engine/clean_run.h"

namespace sh {
namespace {

constexpr int kNever = -1, kShell = 10;  // kShell: the process of the taskbar and the desktop
constexpr BrowserWindowKind kIE = BrowserWindowKind::kBrowser, kFolder = BrowserWindowKind::kFolder;

struct FakeWindow {
  BrowserWindowKind kind;
  int pid, closesAfterMs;  // after the close request; kNever: ignores it
  int askedAt = kNever;
  bool open = true;
};

// Handles are indexes into `windows`; time passes only in Pause.
struct FakeBrowserWindows : IBrowserWindows {
  std::vector<BrowserWindow> FindBrowserWindows() override {
    std::vector<BrowserWindow> found;
    for (BrowserWindowKind kind : {kIE, kFolder})
      for (size_t i = 0; i < windows.size(); ++i)
        if (windows[i].kind == kind) found.push_back(BrowserWindow{i, kind});
    return found;
  }
  bool AskToClose() override { return ++questions, yes; }
  void RequestClose(uintptr_t w) override { windows.at(w).askedAt = now; }
  bool IsOpen(uintptr_t w) override {
    const FakeWindow& x = windows.at(w);
    return x.open && (x.askedAt == kNever || x.closesAfterMs == kNever || now - x.askedAt < x.closesAfterMs);
  }
  bool OwnerIsShell(uintptr_t w) override { return windows.at(w).pid == kShell; }
  bool EndOwnerProcess(uintptr_t w) override {
    ended.push_back(windows.at(w).pid);
    for (FakeWindow& x : windows) x.open = x.open && (x.pid != ended.back() || x.pid == locked);
    return ended.back() != locked;
  }
  void Pause(int ms) override { now += ms; }

  std::vector<FakeWindow> windows;
  bool yes = true;
  int locked = 0;  // a process that cannot be ended
  int questions = 0, now = 0;
  std::vector<int> ended;
};

// Expected: whether the user is asked, which processes are ended, and how
// long the run waits.
TEST(CloseBrowserWindows, AsksEveryWindowAndEndsOnlyStubbornBrowsersOutsideTheShell) {
  const int late = kBrowserCloseWaitMs - kBrowserClosePollMs, all = kBrowserCloseWaitMs;
  // Every kind: the shell's folder and browser windows, another folder
  // window, two windows of one process, one that closes in time.
  const std::vector<FakeWindow> kinds = {{kFolder, kShell, kNever}, {kIE, kShell, kNever}, {kFolder, 2, kNever},
                                         {kIE, 3, kNever},          {kIE, 3, kNever},      {kIE, 6, 500}};
  const struct { const char* what; std::vector<FakeWindow> windows; bool unattended, yes; int locked, questions;
                 std::vector<int> ended; int waitedMs; } cases[] = {
      {"no window", {}, false, true, 0, 0, {}, 0},
      {"unattended", kinds, true, true, 0, 0, {}, 0},
      {"answered No", kinds, false, false, 0, 1, {}, 0},
      {"browser closes late in the wait", {{kIE, 1, late}}, false, true, 0, 1, {}, late},
      {"browser closes after the wait", {{kIE, 1, all + 100}}, false, true, 0, 1, {1}, all},
      {"every kind", kinds, false, true, 0, 1, {3}, all},
      {"a process that cannot be ended", kinds, false, true, 3, 1, {3, 3}, all},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBrowserWindows fake;
    fake.windows = c.windows;
    fake.yes = c.yes;
    fake.locked = c.locked;
    CloseBrowserWindows(fake, c.unattended);
    EXPECT_EQ(fake.questions, c.questions);
    EXPECT_EQ(fake.ended, c.ended);
    EXPECT_EQ(fake.now, c.waitedMs);
  }
}

}  // namespace
}  // namespace sh
