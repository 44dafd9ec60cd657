// Start-up time: from CreateProcess to the main window's first paint, for
// SweepHarbor.exe beside minimal_dialog.exe (tools/win) in the same run.
// Both are looked for next to this program (C:\SweepHarbor in the bench
// prefix, with the data files) and need a display.
//
// The first paint is seen from outside: the process's first visible,
// unowned top-level window, then a WM_NULL round trip to it until it has no
// update region left. A visible window gets its update region when it is
// shown, and only a handled WM_PAINT (BeginPaint) empties it; the round trip
// makes sure the window's thread is pumping rather than still creating.
//
// One unreported start of each first (disk cache, the Wine desktop process),
// then 5 rounds, each starting both programs, the order swapped every round;
// medians, as the machine is shared.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"

namespace {

constexpr int kRounds = 5;
constexpr double kGoal = 1.5;
constexpr DWORD kTimeoutMs = 30000;

using bench::Median;
using bench::Now;

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  const size_t slash = folder.find_last_of('\\');
  return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

struct FindWindowArgs {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM lParam) {
  auto* args = reinterpret_cast<FindWindowArgs*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != args->pid || !IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) return TRUE;
  args->found = hwnd;
  return FALSE;
}

// Owns a started process: ends it (politely, then not) whatever happens.
class Child {
 public:
  explicit Child(const PROCESS_INFORMATION& pi) : pi_(pi) {}
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (!pi_.hProcess) return;
    // Either window ends on WM_CLOSE (SweepHarbor's dialog turns it into
    // Escape, which asks nothing); a stuck one is ended all the same.
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi_.hProcess, window_ ? 5000 : 0) != WAIT_OBJECT_0) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  void SetWindow(HWND w) { window_ = w; }
  DWORD pid() const { return pi_.dwProcessId; }
  HANDLE process() const { return pi_.hProcess; }

 private:
  PROCESS_INFORMATION pi_;
  HWND window_ = nullptr;
};

// Milliseconds from CreateProcess to the first paint, or a negative value.
double StartupMs(const std::string& folder, const std::string& exe, std::string* title) {
  std::string command = "\"" + folder + "\\" + exe + "\"";
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  // Detached: the yardstick is a console program and must not pay for a
  // console the real (GUI) program never gets.
  const double t0 = Now();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, folder.c_str(), &si,
                      &pi)) {
    std::fprintf(stderr, "startup_bench: cannot start %s (error %lu)\n", exe.c_str(), GetLastError());
    return -1;
  }
  Child child(pi);
  const DWORD deadline = GetTickCount() + kTimeoutMs;
  HWND window = nullptr;
  while (!window) {
    FindWindowArgs args{child.pid(), nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&args));
    window = args.found;
    if (window) break;
    if (WaitForSingleObject(child.process(), 1) == WAIT_OBJECT_0) {
      std::fprintf(stderr, "startup_bench: %s ended without a window\n", exe.c_str());
      return -1;
    }
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
      std::fprintf(stderr, "startup_bench: no window from %s in %lu ms\n", exe.c_str(), kTimeoutMs);
      return -1;
    }
  }
  child.SetWindow(window);
  for (;;) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &ignored);
    if (!GetUpdateRect(window, nullptr, FALSE)) break;
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
      std::fprintf(stderr, "startup_bench: %s never painted in %lu ms\n", exe.c_str(), kTimeoutMs);
      return -1;
    }
    Sleep(1);
  }
  const double ms = (Now() - t0) * 1000.0;
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  *title = text;
  return ms;
}

}  // namespace

int main() {
  const std::string folder = OwnFolder();
  const std::string kApp = "SweepHarbor.exe";
  const std::string kYardstick = "minimal_dialog.exe";
  for (const std::string& exe : {kApp, kYardstick}) {
    if (GetFileAttributesA((folder + "\\" + exe).c_str()) == INVALID_FILE_ATTRIBUTES) {
      std::fprintf(stderr, "startup_bench: %s is not in %s\n", exe.c_str(), folder.c_str());
      return 1;
    }
  }

  std::string appTitle, yardstickTitle;
  if (StartupMs(folder, kApp, &appTitle) < 0 || StartupMs(folder, kYardstick, &yardstickTitle) < 0) return 1;

  std::vector<double> app, yardstick;
  for (int round = 0; round < kRounds; ++round) {
    const bool appFirst = round % 2 == 0;
    for (int i = 0; i < 2; ++i) {
      const bool isApp = (i == 0) == appFirst;
      const double ms = StartupMs(folder, isApp ? kApp : kYardstick, isApp ? &appTitle : &yardstickTitle);
      if (ms < 0) return 1;
      (isApp ? app : yardstick).push_back(ms);
    }
  }

  const double a = Median(app);
  const double y = Median(yardstick);
  const double ratio = y > 0 ? a / y : 0;
  std::printf("startup to first paint (median of %d rounds; windows \"%s\", \"%s\"):\n", kRounds, appTitle.c_str(),
              yardstickTitle.c_str());
  std::printf("  rounds, ms: SweepHarbor");
  for (double v : app) std::printf(" %.1f", v);
  std::printf("; minimal dialog");
  for (double v : yardstick) std::printf(" %.1f", v);
  std::printf("\n");
  std::printf("startup: SweepHarbor %.1f ms, minimal dialog %.1f ms, ratio %.2f (goal <= %.1f) %s\n", a, y, ratio,
              kGoal, ratio <= kGoal ? "PASS" : "ABOVE");
  return 0;
}
