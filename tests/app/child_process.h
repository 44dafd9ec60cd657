// Runs a child process: this test program again, limited to some of its
// disabled tests (the "child" halves of two-process tests), or another
// program. The child's output is collected; this thread's messages are
// dispatched while it runs, because the child may send messages to our
// windows.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/win_fs.h"
#include "toolkit/win_handles_win.h"

namespace sh::test {

struct ChildResult {
  int exitCode = -1;  // -1: not started or timed out
  std::string output;
  // The child ran exactly one test and it passed (not skipped).
  bool PassedOne() const { return exitCode == 0 && output.find("[  PASSED  ] 1 test.") != std::string::npos; }
};

inline std::string ChildEnvironment(const char* name) {
  char value[512] = {};
  DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

// Unset, or the value (also an empty one).
inline std::optional<std::string> EnvironmentValue(const char* name) {
  std::vector<char> value(32768);
  SetLastError(ERROR_SUCCESS);
  DWORD n = GetEnvironmentVariableA(name, value.data(), static_cast<DWORD>(value.size()));
  if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  return std::string(value.data(), n < value.size() ? n : 0);
}

// Another program (or this one) as a child, its output collected into a
// file of `outputFolder` (the temporary folder when empty).
struct ChildLaunch {
  std::string exe;  // empty: this test program
  std::string arguments;
  std::vector<std::pair<std::string, std::string>> environment;
  DWORD timeoutMs = 60000;
  std::string outputFolder;
  // Called while the child is created but suspended, before it runs.
  std::function<void(DWORD processId)> beforeStart;
};

inline ChildResult RunChild(const ChildLaunch& launch) {
  ChildResult result;
  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string exe = launch.exe.empty() ? std::string(self) : launch.exe;
  std::string folder = launch.outputFolder;
  if (folder.empty()) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    folder = temp;
  }
  const std::string outPath =
      StripTrailing(folder, '\\') + "\\shchild-" + std::to_string(GetCurrentProcessId()) + ".txt";

  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  ScopedHandle out(CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.valid()) return result;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out.get();
  startup.hStdError = out.get();
  std::string command = "\"" + exe + "\" " + launch.arguments;
  std::vector<char> commandLine(command.begin(), command.end());
  commandLine.push_back('\0');

  // The child inherits this process's variables; ours get their values
  // back afterwards (XDG_DATA_HOME keeps Wine's trash away from the host's).
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
  for (const auto& [name, value] : launch.environment) {
    saved.emplace_back(name, EnvironmentValue(name.c_str()));
    SetEnvironmentVariableA(name.c_str(), value.c_str());
  }
  PROCESS_INFORMATION process = {};
  BOOL started = CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                launch.beforeStart ? CREATE_SUSPENDED : 0, nullptr, nullptr, &startup, &process);
  for (auto it = saved.rbegin(); it != saved.rend(); ++it)
    SetEnvironmentVariableA(it->first.c_str(), it->second ? it->second->c_str() : nullptr);
  if (!started) return result;
  ScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
  out.reset();
  if (launch.beforeStart) {
    launch.beforeStart(process.dwProcessId);
    ResumeThread(process.hThread);
  }

  DWORD start = GetTickCount();
  bool ended = false;
  while (!ended) {
    DWORD spent = GetTickCount() - start;
    if (spent >= launch.timeoutMs) break;
    DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, launch.timeoutMs - spent, QS_ALLINPUT);
    if (wait == WAIT_OBJECT_0) {
      ended = true;
    } else {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
  }
  DWORD code = 0;
  if (ended && GetExitCodeProcess(process.hProcess, &code)) {
    result.exitCode = static_cast<int>(code);
  } else {
    TerminateProcess(process.hProcess, 99);
    WaitForSingleObject(process.hProcess, 5000);
  }
  result.output = ReadBytes(outPath);
  DeleteFileA(outPath.c_str());
  return result;
}

inline ChildResult RunTestsInChild(const std::string& filter,
                                   const std::vector<std::pair<std::string, std::string>>& environment,
                                   DWORD timeoutMs = 60000) {
  ChildLaunch launch;
  launch.arguments = "--gtest_color=no --gtest_also_run_disabled_tests --gtest_filter=" + filter;
  launch.environment = environment;
  launch.timeoutMs = timeoutMs;
  return RunChild(launch);
}

}  // namespace sh::test
