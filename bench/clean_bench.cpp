// Folder cleaning throughput: the engine beside a bare FindFirstFile /
// DeleteFile loop over an identical tree, in the same run.
#include <windows.h>

#include <cstdio>
#include <string>

#include "engine/win_cleaners_win.h"
#include "paths/known_locations_win.h"
#include "settings/registry_settings_win.h"
#include "toolkit/text.h"
#include "toolkit/win_seams_win.h"

using namespace sh;

namespace {

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

int MakeTree(const std::string& root, int folders, int filesPerFolder) {
  CreateDirectoryA(root.c_str(), nullptr);
  std::string data(200, 'b');
  int made = 0;
  for (int d = 0; d < folders; ++d) {
    std::string dir = root + Format("\\dir%03d", d);
    CreateDirectoryA(dir.c_str(), nullptr);
    for (int f = 0; f < filesPerFolder; ++f) {
      HANDLE h = CreateFileA((dir + Format("\\file%04d.tmp", f)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h == INVALID_HANDLE_VALUE) continue;
      DWORD w;
      WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &w, nullptr);
      CloseHandle(h);
      ++made;
    }
  }
  return made;
}

// The limit: what deleting the same tree costs with nothing around it.
int BareDelete(const std::string& dir) {
  int n = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    std::string full = dir + "\\" + name;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      n += BareDelete(full);
      RemoveDirectoryA(full.c_str());
    } else if (DeleteFileA(full.c_str())) {
      ++n;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

class NullProgress : public ICleanProgress {
 public:
  void SetCellText(int, int, const std::string&) override {}
  void EnsureVisible(int) override {}
  void SetRowDone(int) override {}
};

class BenchControl : public IRunControl {
 public:
  explicit BenchControl(DWORD pause) : pause_(pause) {}
  bool IsRunning() override { return true; }
  void PumpMessages() override {
    MSG msg;
    for (int i = 0; i < 10 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&msg);
  }
  // With the pause off the engine runs bare, as the bare loop does: no
  // window, nothing to pump.
  void PauseAfterFile() override {
    if (!pause_) return;
    PumpMessages();
    Sleep(pause_);
  }

 private:
  DWORD pause_;
};

// Settings from memory: what the engine costs without the per-file registry
// read of Shred.
class MemorySettings : public ISettingsStore {
 public:
  std::string Read(const std::string&) override { return std::string(); }
  bool Write(const std::string&, const std::string&) override { return true; }
};

double EngineClean(const std::string& root, DWORD pause, bool registry = true) {
  CRegistrySettingsStore registrySettings;  // DeleteTrackFile reads Shred per file, as in a real run
  MemorySettings memorySettings;
  ISettingsStore& settings = registry ? static_cast<ISettingsStore&>(registrySettings) : memorySettings;
  CWinPrompt prompt;
  CWinSpotCleaners cleaners(settings, prompt);
  CCleanLog log;
  NullProgress progress;
  BenchControl control(pause);
  CCleanRunContext context(&log, &progress, &control, 0);
  auto spot = CreateSpot("bench", 1);
  spot->AddFolder(root, "*.*", 1, 1, 1);
  double t0 = Now();
  cleaners.CleanFolders(*spot, context);
  return Now() - t0;
}

}  // namespace

int main() {
  if (ProductKeyExistsNot()) CreateProductKey();
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string base = StripTrailing(temp, '\\') + "\\shbench";
  CreateDirectoryA(base.c_str(), nullptr);

  const int kRounds = 3;
  double bestEngine = 1e9, bestBare = 1e9, bestMemory = 1e9;
  int files = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::string engineRoot = base + "\\engine", bareRoot = base + "\\bare";
    files = MakeTree(engineRoot, 100, 100);
    MakeTree(bareRoot, 100, 100);
    double t0 = Now();
    int bare = BareDelete(bareRoot);
    double tb = Now() - t0;
    double te = EngineClean(engineRoot, 0);
    MakeTree(engineRoot, 100, 100);
    double tm = EngineClean(engineRoot, 0, false);
    if (tm < bestMemory) bestMemory = tm;
    if (bare != files) std::printf("warning: bare loop deleted %d of %d\n", bare, files);
    if (tb < bestBare) bestBare = tb;
    if (te < bestEngine) bestEngine = te;
    RemoveDirectoryA(bareRoot.c_str());
    RemoveDirectoryA(engineRoot.c_str());
  }
  double engineRate = files / bestEngine, bareRate = files / bestBare;
  std::printf("clean, %d files in 100 folders (best of %d):\n", files, kRounds);
  std::printf("  bare FindFirstFile/DeleteFile loop : %9.0f files/s\n", bareRate);
  std::printf("  engine, no pause                   : %9.0f files/s\n", engineRate);
  std::printf("  engine / bare                      : %9.3f (goal >= 0.900)\n", engineRate / bareRate);
  std::printf("  engine, Shred not read from registry: %8.0f files/s, %.3f of bare\n", files / bestMemory,
              (files / bestMemory) / bareRate);

  std::string pausedRoot = base + "\\paused";
  int pausedFiles = MakeTree(pausedRoot, 10, 100);
  double tp = EngineClean(pausedRoot, 10);
  RemoveDirectoryA(pausedRoot.c_str());
  std::printf("  engine, 10 ms pause, %d files      : %9.1f files/s\n", pausedFiles, pausedFiles / tp);
  RemoveDirectoryA(base.c_str());
  return 0;
}
