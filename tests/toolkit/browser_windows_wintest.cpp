// The pre-run check for open browser and folder windows on the real system,
// with stand-ins in processes of their own: a shell (taskbar, folder window
// and a browser window inside it), a folder window that stays, a browser
// that ignores the request to close and one that closes.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "app/child_process.h"
#include "engine/clean_run.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/win_seams_win.h"

namespace sh {
namespace {

using namespace sh::test;

constexpr char kStandInVariable[] = "SH_STANDIN_WINDOWS";

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
    parts.push_back(text.substr(start, end - start));
  parts.push_back(text.substr(start));
  return parts;
}

std::vector<HWND> TopLevelWindowsOf(DWORD pid, const char* className) {
  std::vector<HWND> found;
  HWND after = nullptr;
  for (int i = 0; i < 256 && (after = FindWindowExA(nullptr, after, className, nullptr)) != nullptr; ++i) {
    DWORD owner = 0;
    GetWindowThreadProcessId(after, &owner);
    if (owner == pid) found.push_back(after);
  }
  return found;
}

// A run of this program's DISABLED_BrowserWindowStandIn test, which makes
// top-level windows of the classes it is given ("Class:closes" or
// "Class:ignores" the request to close, comma-separated) and passes when
// its windows were all closed. Whatever still runs at the end is ended.
class StandIn {
 public:
  explicit StandIn(const std::string& windows) : windows_(windows) {
    char self[MAX_PATH + 1] = {}, temp[MAX_PATH + 1] = {}, output[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    if (GetTempFileNameA(temp, "shs", 0, output) == 0) return;
    outputPath_ = output;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    ScopedHandle out(CreateFileA(outputPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid()) return;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.get();
    startup.hStdError = out.get();
    std::string command = std::string("\"") + self +
                          "\" --gtest_color=no --gtest_also_run_disabled_tests "
                          "--gtest_filter=DISABLED_BrowserWindowStandIn.*";
    std::vector<char> commandLine(command.begin(), command.end());
    commandLine.push_back('\0');
    SetEnvironmentVariableA(kStandInVariable, windows.c_str());
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
      process_.reset(info.hProcess);
      CloseHandle(info.hThread);
      pid_ = info.dwProcessId;
    }
    SetEnvironmentVariableA(kStandInVariable, nullptr);
  }
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;
  ~StandIn() {
    if (Running()) {
      TerminateProcess(process_.get(), 99);
      WaitForSingleObject(process_.get(), 5000);
    }
    process_.reset();
    DeleteFileA(outputPath_.c_str());
  }

  DWORD pid() const { return pid_; }
  bool Running() const { return process_.valid() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  bool EndsWithin(DWORD milliseconds) const {
    return process_.valid() && WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
  }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
  }
  // The stand-in test ran to its end and passed: it was not ended.
  bool PassedOnItsOwn() const {
    return ReadBytes(outputPath_).find("[  PASSED  ] 1 test.") != std::string::npos;
  }
  size_t WindowsOf(const char* className) const { return TopLevelWindowsOf(pid_, className).size(); }
  // Every window it was given exists.
  bool WaitForItsWindows() const {
    const size_t expected = Split(windows_, ',').size();
    for (int i = 0; i < 200 && Running(); ++i) {
      size_t found = 0;
      for (const std::string& item : Split(windows_, ','))
        found += WindowsOf(item.substr(0, item.find(':')).c_str()) > 0 ? 1 : 0;
      if (found == expected) return true;
      Sleep(50);
    }
    return false;
  }

 private:
  std::string windows_;
  std::string outputPath_;
  ScopedHandle process_;
  DWORD pid_ = 0;
};

class AnswerYes : public IPrompt {
 public:
  PromptAnswer Ask(const PromptRequest& request) override {
    asked.push_back(request);
    return PromptAnswer::kYes;
  }
  std::vector<PromptRequest> asked;
};

TEST(BrowserWindowsOnWine, YesClosesWindowsAndEndsOnlyAStubbornBrowserOutsideTheShell) {
  StandIn shell("Shell_TrayWnd:ignores,CabinetWClass:closes,IEFrame:ignores");
  StandIn folder("CabinetWClass:ignores");
  StandIn stubborn("IEFrame:ignores");
  StandIn polite("IEFrame:closes");
  for (const StandIn* standIn : {&shell, &folder, &stubborn, &polite}) ASSERT_TRUE(standIn->WaitForItsWindows());

  AnswerYes prompt;
  CWinBrowserWindows windows(prompt);
  // Only the stand-ins' windows may be asked to close or have their
  // processes ended: none of the prefix's own programs.
  const std::set<DWORD> ours = {shell.pid(), folder.pid(), stubborn.pid(), polite.pid()};
  const std::vector<BrowserWindow> found = windows.FindBrowserWindows();
  ASSERT_EQ(found.size(), 5u);
  for (const BrowserWindow& window : found) {
    DWORD owner = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(window.handle), &owner);
    ASSERT_TRUE(ours.count(owner)) << "a browser or folder window of another program is open";
  }

  const DWORD start = GetTickCount();
  CloseBrowserWindows(windows, false);
  const DWORD spent = GetTickCount() - start;
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, kCloseBrowserQuestion);
  EXPECT_LT(spent, static_cast<DWORD>(kBrowserCloseWaitMs + 3000)) << "the wait is bounded";

  // The shell keeps running with its taskbar and the browser inside it;
  // its folder window closed when asked.
  EXPECT_TRUE(shell.Running());
  EXPECT_EQ(shell.WindowsOf("Shell_TrayWnd"), 1u);
  EXPECT_EQ(shell.WindowsOf("IEFrame"), 1u);
  EXPECT_EQ(shell.WindowsOf("CabinetWClass"), 0u);
  // A folder window is only asked: its process stays.
  EXPECT_TRUE(folder.Running());
  EXPECT_EQ(folder.WindowsOf("CabinetWClass"), 1u);
  // The browser that ignored the request was ended, with exit code 0.
  ASSERT_TRUE(stubborn.EndsWithin(0));
  EXPECT_EQ(stubborn.ExitCode(), 0u);
  EXPECT_FALSE(stubborn.PassedOnItsOwn());
  // The one that closed its window ended by itself.
  ASSERT_TRUE(polite.EndsWithin(10000));
  EXPECT_TRUE(polite.PassedOnItsOwn());
}

struct StandInWindow {
  bool ignoresClose;
  int* live;
};

LRESULT CALLBACK StandInProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  auto* self = reinterpret_cast<StandInWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr) {
    if (msg == WM_CLOSE && self->ignoresClose) return 0;
    if (msg == WM_NCDESTROY && --*self->live == 0) PostQuitMessage(0);
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

// The child half of the test above: passes when every window it made was
// closed within a minute.
TEST(DISABLED_BrowserWindowStandIn, RunsUntilItsWindowsClose) {
  const std::string request = ChildEnvironment(kStandInVariable);
  if (request.empty()) GTEST_SKIP() << "only run by YesClosesWindowsAndEndsOnlyAStubbornBrowserOutsideTheShell";
  int live = 0;
  std::vector<StandInWindow> behaviours;
  std::vector<std::string> classes;
  for (const std::string& item : Split(request, ',')) {
    const size_t colon = item.find(':');
    ASSERT_NE(colon, std::string::npos) << item;
    classes.push_back(item.substr(0, colon));
    behaviours.push_back(StandInWindow{item.substr(colon + 1) == "ignores", &live});
  }
  std::vector<ScopedWindow> windows;
  for (size_t i = 0; i < classes.size(); ++i) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = classes[i].c_str();
    RegisterClassA(&wc);
    windows.emplace_back(CreateWindowExA(0, classes[i].c_str(), "stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                         nullptr, nullptr, GetModuleHandleA(nullptr), &behaviours[i]));
    ASSERT_TRUE(windows.back().valid()) << classes[i];
    ++live;
  }
  const UINT_PTR timer = SetTimer(nullptr, 0, 60000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer) break;
    DispatchMessageA(&msg);
  }
  KillTimer(nullptr, timer);
  EXPECT_EQ(live, 0) << "windows still open after a minute";
}

}  // namespace
}  // namespace sh
