// Runs this test program again as a second process, limited to some of its
// disabled tests (the "child" halves of two-process tests). The child's
// output is collected; this thread's messages are dispatched while it runs,
// because the child may send messages to our windows.
#pragma once

#include <windows.h>

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

inline ChildResult RunTestsInChild(const std::string& filter,
                                   const std::vector<std::pair<std::string, std::string>>& environment,
                                   DWORD timeoutMs = 60000) {
  ChildResult result;
  char exe[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string outPath = std::string(temp) + "shchild-" + std::to_string(GetCurrentProcessId()) + ".txt";

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
  std::string command =
      std::string("\"") + exe + "\" --gtest_color=no --gtest_also_run_disabled_tests --gtest_filter=" + filter;
  std::vector<char> commandLine(command.begin(), command.end());
  commandLine.push_back('\0');

  for (const auto& [name, value] : environment) SetEnvironmentVariableA(name.c_str(), value.c_str());
  PROCESS_INFORMATION process = {};
  BOOL started =
      CreateProcessA(exe, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  for (const auto& entry : environment) SetEnvironmentVariableA(entry.first.c_str(), nullptr);
  if (!started) return result;
  ScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
  out.reset();

  DWORD start = GetTickCount();
  bool ended = false;
  while (!ended) {
    DWORD spent = GetTickCount() - start;
    if (spent >= timeoutMs) break;
    DWORD wait = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, timeoutMs - spent, QS_ALLINPUT);
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

}  // namespace sh::test
