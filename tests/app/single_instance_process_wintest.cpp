// The single-instance handshake between real processes: a second copy of
// SweepHarbor.exe beside a first instance that does not answer (a stand-in,
// this test program run again) and two copies started at the same moment.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/child_process.h"
#include "app/installed_program.h"
#include "app/instance_checker_win.h"
#include "model/data_file_win.h"
#include "support/test_thread.h"
#include "toolkit/win_seams_win.h"
#include "ui/main/messages.h"
#include "ui/main/system_tray_win.h"

namespace sh {
namespace {

using namespace sh::test;

// A spot list, so that a copy that starts fully opens its window.
class SingleInstanceProcess : public InstalledProgramTest {
 protected:
  void SetUp() override {
    InstalledProgramTest::SetUp();
    if (IsSkipped()) return;
    ASSERT_EQ(WriteDataFile(data / "Splst.swh", "<CleaningSpots Version=\"1\"><Group name=\"G\" GroupType=\"0\">"
                                                "<Spot name=\"Nothing\" ToBeCleaned=\"0\" /></Group></CleaningSpots>"),
              1);
  }
};

// Top-level windows of these processes with this class (any when null) and
// title.
int CountWindows(const char* className, const char* title, const std::vector<DWORD>& processes) {
  int n = 0;
  HWND w = nullptr;
  while ((w = FindWindowExA(nullptr, w, className, title)) != nullptr) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    for (DWORD p : processes) n += p == pid;
  }
  return n;
}

TEST_F(SingleInstanceProcess, TwoCopiesStartedTogetherShowOneWindow) {
  InstalledProgram a("", true), b("", true);
  ASSERT_TRUE(a.started() && b.started());
  a.Resume();
  b.Resume();
  EXPECT_TRUE(WaitUntil([&] { return CountWindows(nullptr, kMainWindowTitle, {a.Id(), b.Id()}) > 0; }));
  EXPECT_TRUE(WaitUntil([&] { return a.Exited(0) || b.Exited(0); })) << "one copy hands over and ends";
  const InstalledProgram& first = a.Exited(0) ? b : a;
  const InstalledProgram& second = a.Exited(0) ? a : b;
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_FALSE(first.Exited(0));
  EXPECT_TRUE(WaitUntil([&] { return first.Window() && IsWindowVisible(first.Window()); }));
  EXPECT_EQ(CountWindows(nullptr, kMainWindowTitle, {a.Id(), b.Id()}), 1) << "main windows";
  EXPECT_EQ(CountWindows(kTrayWindowClass, kTrayWindowTitle, {a.Id(), b.Id()}), 1) << "tray windows";
}

// The stand-in's tray window counts the message that brings the main window
// back (in its user data).
LRESULT CALLBACK StandInTrayProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == RegisterWindowMessageA(kMaximizeFromTrayMessage)) {
    if (auto* count = reinterpret_cast<int*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) ++*count;
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// Dispatches this thread's messages until `event` is set or `ms` pass.
void PumpUntil(HANDLE event, DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD spent = 0; spent < ms; spent = GetTickCount() - start) {
    if (MsgWaitForMultipleObjects(1, &event, FALSE, ms - spent, QS_ALLINPUT) == WAIT_OBJECT_0) return;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

// A first instance as the program makes one, run as a child process: the
// guard's mapping under the program's name and a tray window of the
// program's class and title. Modes: "hung" names its (minimized) main window
// and then never pumps, as while it shreds a big file; "starting" names no
// window yet and never gets further; "late" names its window a second later
// and pumps: the second copy must restore it and send the tray message once.
TEST(DISABLED_FirstInstanceStandIn, Run) {
  const std::string mode = ChildEnvironment("SH_STANDIN_MODE");
  if (mode.empty()) GTEST_SKIP() << "only run by SecondCopyBesideAFirstInstanceThatDoesNotAnswer";
  ScopedHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, ChildEnvironment("SH_STANDIN_READY").c_str()));
  ScopedHandle done(OpenEventA(SYNCHRONIZE, FALSE, ChildEnvironment("SH_STANDIN_DONE").c_str()));
  ASSERT_TRUE(ready.valid() && done.valid());
  WNDCLASSA wc = {};
  wc.lpfnWndProc = StandInTrayProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kTrayWindowClass;
  ASSERT_NE(RegisterClassA(&wc), 0);
  ScopedWindow tray(CreateWindowExA(0, kTrayWindowClass, kTrayWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    wc.hInstance, nullptr));
  ScopedWindow main(CreateWindowExA(0, "STATIC", "stand-in", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr, nullptr,
                                    nullptr, nullptr));
  ASSERT_TRUE(tray.valid() && main.valid());
  int maximizeMessages = 0;
  SetWindowLongPtrA(tray.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&maximizeMessages));
  ShowWindow(main.get(), SW_MINIMIZE);

  const std::string name = std::string(kInstanceMappingPrefix) + kAppName;
  // The previous case's stand-in has exited, but the system may close its
  // handles a moment later: the name is free again within a few seconds.
  ScopedHandle mapping;
  DWORD error = ERROR_ALREADY_EXISTS;
  for (int tries = 0; tries < 100 && error == ERROR_ALREADY_EXISTS; ++tries) {
    if (tries > 0) Sleep(50);
    mapping.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, name.c_str()));
    error = GetLastError();
  }
  ASSERT_TRUE(mapping.valid());
  ASSERT_NE(error, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  auto* stored = static_cast<volatile uint32_t*>(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 4));
  ASSERT_NE(stored, nullptr);
  const auto window = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(main.get()));
  *stored = mode == "hung" ? window : 0;
  SetEvent(ready.get());
  if (mode == "late") {
    PumpUntil(done.get(), 1000);
    *stored = window;
    PumpUntil(done.get(), 60000);
    EXPECT_EQ(maximizeMessages, 1);
    EXPECT_FALSE(IsIconic(main.get())) << "restored by the second copy";
  } else {
    WaitForSingleObject(done.get(), 60000);  // no message is ever handled
    EXPECT_EQ(maximizeMessages, 0);
  }
  UnmapViewOfFile(const_cast<uint32_t*>(stored));
}

TEST_F(SingleInstanceProcess, SecondCopyBesideAFirstInstanceThatDoesNotAnswer) {
  const struct {
    const char* mode;
    const char* what;
  } cases[] = {{"hung", "a first instance that stopped pumping"},
               {"starting", "a first instance that never names its window"},
               {"late", "a first instance that names its window late"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string tag = std::to_string(GetCurrentProcessId()) + c.mode;
    const std::string readyName = "sh_standin_ready_" + tag, doneName = "sh_standin_done_" + tag;
    ScopedHandle ready(CreateEventA(nullptr, TRUE, FALSE, readyName.c_str()));
    ScopedHandle done(CreateEventA(nullptr, TRUE, FALSE, doneName.c_str()));
    ChildResult standIn;
    TestThread first([&] {
      standIn = RunTestsInChild("DISABLED_FirstInstanceStandIn.*",
                                {{"SH_STANDIN_MODE", c.mode}, {"SH_STANDIN_READY", readyName}, {"SH_STANDIN_DONE", doneName}},
                                90000);
    });
    if (WaitForSingleObject(ready.get(), 30000) == WAIT_OBJECT_0) {
      InstalledProgram second("");
      EXPECT_TRUE(second.Exited(12000)) << "the second copy ends within its time-outs";
      EXPECT_EQ(second.ExitCode(), 0u);
    } else {
      ADD_FAILURE() << "the stand-in did not start";
    }
    SetEvent(done.get());
    first.Join();
    EXPECT_TRUE(standIn.PassedOne()) << standIn.output;
  }
}

}  // namespace
}  // namespace sh
