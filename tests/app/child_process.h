// Processes for the Wine suite: this test program run again for the "child"
// halves of two-process tests (its disabled tests), another program, and
// the programs as the suite installs them (C:\SweepHarbor) with a data
// folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "model/data_file_win.h"
#include "settings/registry_settings_win.h"
#include "support/registry_guard.h"
#include "support/win_fs.h"
#include "toolkit/win_handles_win.h"

namespace sh::test {

constexpr char kInstalledProgram[] = "C:\\SweepHarbor\\SweepHarbor.exe";
constexpr char kInstalledConsole[] = "C:\\SweepHarbor\\swhclean.exe";
constexpr char kProgramTitle[] = "SweepHarbor v1.04";

struct ChildResult {
  int exitCode = -1;  // -1: not started or timed out
  std::string output;
  // The child ran exactly one test and it passed (not skipped).
  bool PassedOne() const { return exitCode == 0 && output.find("[  PASSED  ] 1 test.") != std::string::npos; }
};

// A variable the parent gave this process (empty when unset).
inline std::string ChildEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

using Variables = std::vector<std::pair<std::string, std::string>>;

struct ChildLaunch {
  ChildLaunch(std::string program = "", std::string args = "", std::string output = "", Variables variables = {})
      : exe(program), arguments(args), outputFolder(output), environment(variables) {}
  std::string exe;  // empty: this test program
  std::string arguments;
  std::string outputFolder;  // where its output's file goes; the temporary folder when empty
  Variables environment;     // besides this process's own
  // Called while the child is created but suspended, before it runs.
  std::function<void(DWORD processId)> beforeStart;
};

// A process whose output goes to a file of its own; ended at the end of the
// scope if still running.
class Process {
 public:
  explicit Process(const ChildLaunch& launch, bool suspended = false) {
    char self[MAX_PATH + 1] = {}, temp[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    static int count = 0;
    outPath_ = StripTrailing(launch.outputFolder.empty() ? temp : launch.outputFolder, '\\') + "\\shchild-" +
               std::to_string(GetCurrentProcessId()) + "-" + std::to_string(count++) + ".txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    ScopedHandle out(CreateFileA(outPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = out.get();
    // The launch's variables, then those of this process it does not name
    // (XDG_DATA_HOME keeps Wine's trash away from the host's).
    std::string variables, named(1, '\0');
    for (const auto& [name, value] : launch.environment) named += name + "=" + value + '\0';
    variables = named.substr(1);
    char* inherited = GetEnvironmentStringsA();
    for (const char* v = inherited; *v; v += std::strlen(v) + 1)
      if (named.find('\0' + std::string(v, std::strchr(v + 1, '=') - v + 1)) == std::string::npos)
        variables.append(v, std::strlen(v) + 1);
    FreeEnvironmentStringsA(inherited);
    const std::string exe = launch.exe.empty() ? std::string(self) : launch.exe;
    std::string command = "\"" + exe + "\" " + launch.arguments;
    PROCESS_INFORMATION info = {};
    const DWORD flags = suspended || launch.beforeStart ? CREATE_SUSPENDED : 0;
    if (out.valid() && CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, TRUE, flags, &variables[0],
                                      nullptr, &startup, &info)) {
      process_.reset(info.hProcess);
      thread_.reset(info.hThread);
      id_ = info.dwProcessId;
    }
    if (started() && launch.beforeStart) launch.beforeStart(id_);
    if (started() && launch.beforeStart && !suspended) Resume();
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() {
    if (Running()) TerminateProcess(process_.get(), 99);
    Exited(5000);
    process_.reset();
    DeleteFileA(outPath_.c_str());
  }

  bool started() const { return process_.valid(); }
  void Resume() const { ResumeThread(thread_.get()); }
  DWORD Id() const { return id_; }
  bool Running() const { return started() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  bool Exited(DWORD ms) const { return started() && WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0; }
  int ExitCode() const {
    DWORD code = 0;
    return Exited(0) && GetExitCodeProcess(process_.get(), &code) ? static_cast<int>(code) : -1;
  }
  std::string Output() const { return ReadBytes(outPath_); }
  // Its top-level window of this title, or a child of that title of one of
  // its top-level windows (a window in the tray is the hidden popup's child).
  HWND Window(const char* title) const {
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, nullptr)) != nullptr;) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      char text[64] = {};
      if (pid == id_ && GetWindowTextA(w, text, sizeof text) && std::strcmp(text, title) == 0) return w;
      if (HWND child = pid == id_ ? FindWindowExA(w, nullptr, nullptr, title) : nullptr) return child;
    }
    return nullptr;
  }

 private:
  ScopedHandle process_, thread_;
  DWORD id_ = 0;
  std::string outPath_;
};

// Runs the child to its end (3 minutes at most) while dispatching this
// thread's messages (the child may send messages to our windows).
inline ChildResult RunChild(const ChildLaunch& launch) {
  Process child(launch);
  ChildResult result;
  if (PumpUntil([&] { return child.Exited(0); }, 180000)) result.exitCode = child.ExitCode();
  result.output = child.Output();
  return result;
}

// This test program running the (disabled) tests of `filter`.
inline ChildLaunch TestsInChild(const std::string& filter, Variables environment = {}) {
  return ChildLaunch("", "--gtest_color=no --gtest_also_run_disabled_tests --gtest_filter=" + filter, "", environment);
}

// A data file at `path`, scrambled as the program reads it.
inline int WriteDataFile(const std::string& path, const std::string& text) {
  CWinFileStore files;
  return sh::WriteDataFile(files, path, text);
}

// The installed SweepHarbor.exe; asked to end (Escape) at the end of the
// scope, then ended.
class InstalledProgram : public Process {
 public:
  explicit InstalledProgram(const std::string& arguments = "", bool suspended = false)
      : Process(ChildLaunch(kInstalledProgram, arguments), suspended) {}
  ~InstalledProgram() {
    if (HWND w = Window()) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    Exited(5000);
  }
  HWND Window() const { return Process::Window(kProgramTitle); }
  bool Shown() const { return Window() && IsWindowVisible(Window()); }
};

// A spot list of one group; SpotXml gives each spot, one folder with a mask.
inline std::string SpotList(const std::string& spots, int version = 1) {
  return "<CleaningSpots Version=\"" + std::to_string(version) + "\"><Group name=\"G\" GroupType=\"0\">" + spots +
         "</Group></CleaningSpots>";
}
inline std::string SpotXml(const std::string& name, const std::string& folder, const std::string& mask,
                           int chosen = 1) {
  return "<Spot name=\"" + name + "\" ToBeCleaned=\"" + std::to_string(chosen) +
         "\" Type=\"0\"><Items><Item Type=\"0\" name=\"" + folder + "\" flags=\"" + mask + "\" /></Items></Spot>";
}

// The programs read `data` as their data folder and ask nothing on closing
// (settings put back afterwards); skipped when they are not installed.
class InstalledProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(kInstalledProgram) || !Exists(kInstalledConsole)) GTEST_SKIP() << "the programs are not installed";
    if (ProductKeyExistsNot()) CreateProductKey();
    Set("path", data.path());
    for (const char* shield : {"ShieldHijack", "ShieldFavorites", "ShieldHomePage"}) Set(shield, "0");
  }
  void Set(const char* name, const std::string& value) {
    settings_.SetString(HKEY_CURRENT_USER, "SOFTWARE\\SweepHarbor", name, value);
  }
  ScratchDir data{"installed-data"};

 private:
  RegistryGuard settings_;
};

}  // namespace sh::test
