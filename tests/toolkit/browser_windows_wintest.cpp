// The pre-run check for open browser and folder windows on the real system,
// with stand-ins in processes of their own: a shell (taskbar, a folder window
// and a browser window) and a browser that ignores the request to close.
#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/child_process.h"
#include "engine/browser_windows_win.h"
#include "support/recorders.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

constexpr char kStandInVariable[] = "SH_STANDIN_WINDOWS";

size_t WindowsOf(DWORD pid, const char* className) {
  size_t n = 0;
  DWORD owner = 0;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, className, nullptr)) != nullptr;)
    n += GetWindowThreadProcessId(w, &owner) && owner == pid;
  return n;
}

// This program's DISABLED_BrowserWindowStandIn test, which makes top-level
// windows of the comma-separated `classes`.
ChildLaunch StandIn(const char* classes) {
  return TestsInChild("DISABLED_BrowserWindowStandIn.*", {{kStandInVariable, classes}});
}

TEST(BrowserWindowsOnWine, YesClosesWindowsAndEndsOnlyAStubbornBrowserOutsideTheShell) {
  Process shell(StandIn("Shell_TrayWnd,CabinetWClass,IEFrame")), browser(StandIn("IEFrame"));
  ASSERT_TRUE(PumpUntil([&] {
    return WindowsOf(shell.Id(), "Shell_TrayWnd") + WindowsOf(shell.Id(), "CabinetWClass") +
               WindowsOf(shell.Id(), "IEFrame") + WindowsOf(browser.Id(), "IEFrame") == 4;
  }));
  ScriptedPrompt prompt;
  prompt.answers = {PromptAnswer::kYes};
  CWinBrowserWindows windows(prompt);
  // Only the stand-ins' windows may be asked to close or have their
  // processes ended: none of the prefix's own programs.
  const std::vector<BrowserWindow> found = windows.FindBrowserWindows();
  ASSERT_EQ(found.size(), 3u) << "a browser or folder window of another program is open";
  CloseBrowserWindows(windows, false);
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, kCloseBrowserQuestion);
  // The shell runs on with its browser window; its folder window closed when
  // asked. The browser outside it was ended, with exit code 0.
  EXPECT_TRUE(shell.Running());
  EXPECT_EQ(WindowsOf(shell.Id(), "IEFrame"), 1u);
  EXPECT_EQ(WindowsOf(shell.Id(), "CabinetWClass"), 0u);
  EXPECT_EQ(browser.ExitCode(), 0);
}

// Only folder windows close when asked.
LRESULT CALLBACK StandInProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (msg == WM_CLOSE && std::string(name) != "CabinetWClass") return 0;
  return DefWindowProcA(window, msg, wParam, lParam);
}

// The child half of the test above: hosts its windows for a minute at most.
TEST(DISABLED_BrowserWindowStandIn, HostsItsWindows) {
  std::istringstream list(ChildEnvironment(kStandInVariable));
  if (list.str().empty()) GTEST_SKIP() << "a child only";
  for (std::string name; std::getline(list, name, ',');) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name.c_str();
    RegisterClassA(&wc);
    ASSERT_TRUE(CreateWindowExA(0, wc.lpszClassName, "stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, wc.hInstance, nullptr))
        << name;
  }
  PumpUntil([] { return false; }, 60000);
}

}  // namespace
}  // namespace sh::test
