// SweepHarbor.exe as separate processes: the single-instance handshake and
// the start switches, driven through the windows' own messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "model/data_file_win.h"
#include "res/resource.h"
#include "settings/registry_settings_win.h"
#include "support/win_fs.h"

namespace sh {
namespace {

using namespace sh::test;

const char kProgram[] = "C:\\SweepHarbor\\SweepHarbor.exe";
const char kTitle[] = "SweepHarbor v1.04";

bool WaitFor(const std::function<bool()>& condition, DWORD ms = 15000) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

class Program {
 public:
  explicit Program(const std::string& args) {
    std::string line = std::string("\"") + kProgram + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    started_ = CreateProcessA(kProgram, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != 0;
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      if (HWND w = FindWindowA(nullptr, kTitle)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
      if (WaitForSingleObject(pi_.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  bool started() const { return started_; }
  bool Exited(DWORD ms) const { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }
  // The program's main window (found by its title, owned by this process).
  HWND Window() const {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, nullptr, kTitle)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == pi_.dwProcessId) return w;
    }
    // In the tray the window is a child of the hidden popup.
    HWND popup = nullptr;
    while ((popup = FindWindowExA(nullptr, popup, nullptr, nullptr)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(popup, &pid);
      if (pid != pi_.dwProcessId) continue;
      if (HWND child = FindWindowExA(popup, nullptr, nullptr, kTitle)) return child;
    }
    return nullptr;
  }

 private:
  PROCESS_INFORMATION pi_ = {};
  bool started_ = false;
};

class ProgramProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(kProgram)) GTEST_SKIP() << "SweepHarbor.exe is not installed beside the tests";
    if (ProductKeyExistsNot()) CreateProductKey();
    savedPath_ = ReadSetting("path");
    savedCleanStart_ = ReadSetting("CleanStart");
    MakeDirs(tree / "junk");
    WriteBytes(tree / "junk\\a.tmp", 10);
    WriteBytes(tree / "junk\\b.tmp", 10);
    std::string xml = "<CleaningSpots Version=\"1\"><Group name=\"G\" GroupType=\"0\"><Spot name=\"Junk\" "
                      "ToBeCleaned=\"1\"><Items><Item Type=\"0\" name=\"" + tree.path() +
                      "\\junk\" flags=\"*.tmp\" /></Items></Spot></Group></CleaningSpots>";
    ASSERT_EQ(WriteDataFile(data / "Splst.swh", xml), 1);
    WriteSetting("path", data.path());
  }
  void TearDown() override {
    WriteSetting("path", savedPath_);
    WriteSetting("CleanStart", savedCleanStart_);
  }
  ScratchDir data{"proc-data"};
  ScratchDir tree{"proc-tree"};
  std::string savedPath_, savedCleanStart_;
};

TEST_F(ProgramProcess, SecondStartBringsTheFirstBackFromTheTrayAndExits) {
  Program first("");
  ASSERT_TRUE(first.started());
  ASSERT_TRUE(WaitFor([&] { return first.Window() && IsWindowVisible(first.Window()); }));
  HWND window = first.Window();
  PostMessageA(window, WM_COMMAND, IDC_TITLE_MINIMIZE, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(window); })) << "sent to the tray";

  Program second("");
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(second.Exited(15000)) << "a second copy hands over and ends";
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(window) != 0; })) << "the first copy came back";
  EXPECT_FALSE(first.Exited(0));

  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);  // Escape ends the program
  EXPECT_TRUE(first.Exited(10000));
}

TEST_F(ProgramProcess, MinStartsUnseenAndCleanCleansWithCleanStart) {
  {
    Program hidden(":MIN:");
    ASSERT_TRUE(WaitFor([&] { return hidden.Window() != nullptr; }));
    Sleep(500);
    EXPECT_FALSE(IsWindowVisible(hidden.Window()));
    EXPECT_TRUE(Exists(tree / "junk\\a.tmp"));
  }
  WriteSetting("CleanStart", "0");
  {
    Program plain(":CLN:");
    ASSERT_TRUE(WaitFor([&] { return plain.Window() && IsWindowVisible(plain.Window()); }));
    Sleep(500);
    EXPECT_TRUE(Exists(tree / "junk\\a.tmp")) << ":CLN: does nothing while CleanStart is off";
  }
  WriteSetting("CleanStart", "1");
  {
    Program cleaning(":CLN:");
    EXPECT_TRUE(WaitFor([&] { return !Exists(tree / "junk\\a.tmp") && !Exists(tree / "junk\\b.tmp"); }));
    EXPECT_TRUE(WaitFor([&] { return cleaning.Window() && !IsWindowVisible(cleaning.Window()); }))
        << "after the run the window goes to the tray";
  }
}

}  // namespace
}  // namespace sh
