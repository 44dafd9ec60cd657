// The programs as the suite installs them (C:\SweepHarbor), started as
// processes of their own, with the settings they read pointed at a scratch
// data folder for the test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/registry_settings_win.h"
#include "support/win_fs.h"

namespace sh::test {

constexpr char kInstalledProgram[] = "C:\\SweepHarbor\\SweepHarbor.exe";
constexpr char kInstalledConsole[] = "C:\\SweepHarbor\\swhclean.exe";
constexpr char kMainWindowTitle[] = "SweepHarbor v1.04";

inline bool WaitUntil(const std::function<bool()>& condition, DWORD ms = 15000) {
  for (DWORD waited = 0; waited < ms; waited += 50) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

// SweepHarbor.exe; ended at the end of the scope if still running.
class InstalledProgram {
 public:
  // suspended: made but not running until Resume.
  explicit InstalledProgram(const std::string& args, bool suspended = false) {
    std::string line = std::string("\"") + kInstalledProgram + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    started_ = CreateProcessA(kInstalledProgram, &line[0], nullptr, nullptr, FALSE, suspended ? CREATE_SUSPENDED : 0,
                              nullptr, nullptr, &si, &pi_) != 0;
  }
  InstalledProgram(const InstalledProgram&) = delete;
  InstalledProgram& operator=(const InstalledProgram&) = delete;
  ~InstalledProgram() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      if (HWND w = Window()) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
      if (WaitForSingleObject(pi_.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  bool started() const { return started_; }
  void Resume() const { ResumeThread(pi_.hThread); }
  DWORD Id() const { return pi_.dwProcessId; }
  bool Exited(DWORD ms) const { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }
  // Its top-level main window (found by title), or null.
  HWND Window() const {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, nullptr, kMainWindowTitle)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == pi_.dwProcessId) return w;
    }
    return nullptr;
  }

 private:
  PROCESS_INFORMATION pi_ = {};
  bool started_ = false;
};

// The product key exists and `path` names a scratch data folder for the
// test (put back afterwards); skipped when the programs are not installed.
class InstalledProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(kInstalledProgram) || !Exists(kInstalledConsole)) GTEST_SKIP() << "the programs are not installed";
    if (ProductKeyExistsNot()) CreateProductKey();
    savedPath_ = ReadSetting("path");
    restore_ = true;
    WriteSetting("path", data.path());
  }
  void TearDown() override {
    if (restore_) WriteSetting("path", savedPath_);
  }
  ScratchDir data{"installed-data"};

 private:
  std::string savedPath_;
  bool restore_ = false;
};

}  // namespace sh::test
