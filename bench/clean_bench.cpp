// Folder cleaning throughput: the engine beside bare FindFirstFile loops
// over identical trees, in the same run.
//  - clean: CSpotCleaner::CleanFolders with the Win32 executor beside a
//    FindFirstFileA / DeleteFileA loop;
//  - preview: the same CleanFolders with CPreviewExecutor beside a
//    FindFirstFileA walk that only counts files and bytes.
// Each figure is the median of 5 rounds; a round times the bare loop and the
// engine on freshly laid trees, in turn (the order swaps every round, so
// that neither always runs on the warmer cache). The machine is shared:
// medians, not bests, so that one lucky round decides nothing.
//
// Not part of `make bench`, for finding where the time goes:
//   clean_bench --variants    single calls, the preview's fixed costs, and
//                             the clean with one change at a time
//   clean_bench --probe KIND FOLDERS FILES [REPEAT]
//                             one operation between the creation of the
//                             events "probe-begin" and "probe-end", to cut a
//                             server trace (wineserver -d1) or a profile to it
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/clean_actions.h"
#include "engine/wide_path_win.h"
#include "engine/win_cleaners_win.h"
#include "settings/registry_settings_win.h"
#include "toolkit/text.h"
#include "toolkit/win_seams_win.h"

using namespace sh;

#include "bench_clock.h"

namespace {

constexpr int kRounds = 5;
constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;
constexpr double kGoal = 0.9;

using bench::Median;
using bench::Now;

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

// The bare loops, with `perFile` called before each file's delete (the
// variants add one cost at a time there).
int BareDelete(const std::string& dir, const std::function<void()>& perFile = nullptr) {
  int n = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (std::strcmp(fd.cFileName, ".") == 0 || std::strcmp(fd.cFileName, "..") == 0) continue;
    std::string full = dir + "\\" + fd.cFileName;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      n += BareDelete(full, perFile);
      RemoveDirectoryA(full.c_str());
    } else {
      if (perFile) perFile();
      if (DeleteFileA(full.c_str())) ++n;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

// The limit of a preview: walking the tree, counting files and bytes.
int BareCount(const std::string& dir, double& bytes) {
  int n = 0;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (std::strcmp(fd.cFileName, ".") == 0 || std::strcmp(fd.cFileName, "..") == 0) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      n += BareCount(dir + "\\" + fd.cFileName, bytes);
    } else {
      ++n;
      bytes += static_cast<double>(fd.nFileSizeLow);
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

void RemoveTree(const std::string& root) {
  BareDelete(root);
  RemoveDirectoryA(root.c_str());
}

// What the console front end does with the pause off: messages are pumped
// only when the engine asks (between the blocks of a long shred, after a
// registry spot), and nothing sleeps. The window instead pumps and sleeps
// 10 ms after every file; that costs the 10 ms themselves and is measured
// on its own ("with the 10 ms pause", 1 000 files).
class BenchControl : public IRunControl {
 public:
  explicit BenchControl(DWORD pauseMs) : pauseMs_(pauseMs) {}
  bool IsRunning() override { return true; }
  void PumpMessages() override {
    MSG msg;
    for (int i = 0; i < 10 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  void PauseAfterFile() override {
    if (pauseMs_ == 0) return;
    PumpMessages();
    Sleep(pauseMs_);
  }

 private:
  DWORD pauseMs_;
};

// Counts what the run reports: the figures are checked, not only timed.
class CountingReport : public ICleanReport {
 public:
  void ItemActed(int, const CleanAction& action, ActionResult result, int, double) override {
    if (action.kind == ActionKind::kDeleteFile && result == ActionResult::kDone) ++files;
  }
  void CountsChanged(int, int, double shownSize) override { lastSize = shownSize; }
  int files = 0;
  double lastSize = 0;
};

// Settings from memory: Shred off without the per-file registry read.
class MemorySettings : public ISettingsStore {
 public:
  std::string Read(const std::string&) override { return std::string(); }
  bool Write(const std::string&, const std::string&) override { return true; }
};

struct EngineFigure {
  double seconds = 0;
  int files = 0;     // files the executor reported done
  double bytes = 0;  // the Size column at the end
};

// The cleaners of a run, made as the program makes them; Run times one
// CleanFolders over `root` (a spot with one folder entry, subfolders
// included and removed, as a temporary-files spot) without the set-up.
// `preview` swaps in the executor that only counts.
class BenchEngine {
 public:
  // A real run reads Shred from the registry at every file.
  explicit BenchEngine(bool registrySettings = true)
      : cleaners_(registrySettings ? static_cast<ISettingsStore&>(registry_) : memory_, prompt_) {}

  EngineFigure Run(const std::string& root, DWORD pauseMs, bool preview) {
    CPreviewExecutor previewExecutor;
    CSpotCleaner& cleaner = cleaners_.cleaner();
    if (preview) cleaner.set_executor(previewExecutor);
    CCleanLog log;
    CountingReport report;
    BenchControl control(pauseMs);
    cleaner.executor().BindRunControl(&control);
    CCleanRunContext context(&log, &report, &control, 0);
    auto spot = CreateSpot("bench", 1);
    spot->AddFolder(root, "*.*", 1, 1, 1);
    const double t0 = Now();
    cleaner.BeginRun();  // as every run of the program does
    cleaner.CleanFolders(*spot, context);
    EngineFigure figure;
    figure.seconds = Now() - t0;
    cleaner.executor().BindRunControl(nullptr);
    cleaner.set_executor(cleaners_.executor());
    figure.files = report.files;
    figure.bytes = report.lastSize;
    return figure;
  }
  CWinSpotCleaners& cleaners() { return cleaners_; }

 private:
  CRegistrySettingsStore registry_;
  MemorySettings memory_;
  CWinPrompt prompt_;
  CWinSpotCleaners cleaners_;
};

EngineFigure EngineRun(const std::string& root, DWORD pauseMs, bool preview, bool registrySettings = true) {
  BenchEngine engine(registrySettings);
  return engine.Run(root, pauseMs, preview);
}

void PrintRatio(const char* what, double ratio) {
  std::printf("  %-36s: %9.3f (goal >= %.3f) %s\n", what, ratio, kGoal, ratio >= kGoal ? "PASS" : "BELOW");
}

// Runs `a` and `b` in turn, `kRounds` times; the per-round ratios
// time(a) / time(b), i.e. rate(b) / rate(a).
struct Paired {
  std::vector<double> a, b, ratio;
};

Paired PairedRounds(const std::function<double()>& a, const std::function<double()>& b) {
  Paired p;
  for (int round = 0; round < kRounds; ++round) {
    double ta, tb;
    if (round % 2 == 0) {
      ta = a();
      tb = b();
    } else {
      tb = b();
      ta = a();
    }
    p.a.push_back(ta);
    p.b.push_back(tb);
    p.ratio.push_back(ta / tb);
  }
  return p;
}

double Seconds(const std::function<void()>& body) {
  const double t0 = Now();
  body();
  return Now() - t0;
}

// Median time of `body`, `rounds` times.
double MedianTime(int rounds, const std::function<void()>& body) {
  std::vector<double> t;
  for (int round = 0; round < rounds; ++round) {
    const double t0 = Now();
    body();
    t.push_back(Now() - t0);
  }
  return Median(t);
}

void Variants(const std::string& base, int files) {
  BenchEngine engine;
  CWinSpotCleaners& cleaners = engine.cleaners();
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string folder = windows;

  std::printf("single calls (us, median of 5 x 1000):\n");
  auto each = [](const char* name, const std::function<void()>& call) {
    std::printf("  %-44s: %9.2f\n", name, MedianTime(5, [&] {
                  for (int i = 0; i < 1000; ++i) call();
                }) * 1000);
  };
  volatile size_t sink = 0;
  CRegistrySettingsStore registry;
  each("registry Read(\"Shred\") (one server call)", [&] { sink = sink + registry.Read("Shred").size(); });
  each("PeekMessage (one server call)", [&] {
    MSG msg;
    sink = sink + PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
  });
  each("ExactWidePath", [&] { sink = sink + ExactWidePath(folder + "\\file0001.tmp").size(); });
  each("NarrowName", [&] {
    bool exact;
    sink = sink + NarrowName(L"file0001.tmp", exact).size();
  });
  each("LongPath (the Windows folder)", [&] { sink = sink + cleaners.files().LongPath(folder).size(); });

  // The preview's costs on one tree: the walk, the port's walk alone, and
  // what CleanFolders asks once per spot (the protected folders and their
  // long spellings) beside the whole preview.
  const std::string root = base + "\\variant";
  MakeTree(root, kFolders, kFilesPerFolder);
  std::vector<std::string> protectedFolders;
  std::vector<double> walk, list, folders, longPaths, previews;
  for (int round = 0; round < 9; ++round) {  // interleaved, so that all meet the same load
    double bytes = 0;
    walk.push_back(Seconds([&] { BareCount(root, bytes); }));
    list.push_back(Seconds([&] {
      std::function<void(const std::string&)> visit = [&](const std::string& dir) {
        cleaners.files().List(dir, [&](const FsEntry& e) {
          if (e.attributes & kAttrDirectory) visit(dir + "\\" + e.name);
          return true;
        });
      };
      visit(root);
    }));
    folders.push_back(Seconds([&] { protectedFolders = cleaners.environment().ProtectedFolders(); }));
    longPaths.push_back(Seconds([&] {
      for (const std::string& f : protectedFolders) cleaners.files().LongPath(f);
    }));
    previews.push_back(EngineRun(root, 0, true).seconds);
  }
  RemoveTree(root);
  std::printf("preview parts (ms, median of 9), %d files:\n", files);
  std::printf("  %-44s: %9.2f\n", "bare FindFirstFileA walk", Median(walk) * 1000);
  std::printf("  %-44s: %9.2f\n", "the port's List over the same tree", Median(list) * 1000);
  std::printf("  %-44s: %9.2f\n", "ProtectedFolders() (once per spot)", Median(folders) * 1000);
  std::printf("  %-44s: %9.2f\n", "their LongPath (once per spot)", Median(longPaths) * 1000);
  std::printf("  %-44s: %9.2f\n", "preview (CleanFolders)", Median(previews) * 1000);

  // The clean with one change at a time: every round lays a fresh tree for
  // each, in a rotating order; each is shown as its rate beside the bare
  // loop's of the same round (median of 3 rounds).
  // Each body returns its own time, without the cleaners' set-up.
  struct Variant {
    const char* name;
    std::function<double(const std::string&)> body;
    std::vector<double> seconds, share;
  };
  std::vector<Variant> variants = {
      {"bare FindFirstFileA/DeleteFileA", [](const std::string& r) { return Seconds([&] { BareDelete(r); }); },
       {}, {}},
      {"bare + one registry read per file",
       [&](const std::string& r) {
         return Seconds([&] { BareDelete(r, [&] { sink = sink + registry.Read("Shred").size(); }); });
       },
       {}, {}},
      {"engine, Shred read from the registry",
       [](const std::string& r) { return EngineRun(r, 0, false, true).seconds; }, {}, {}},
      {"engine, settings from memory", [](const std::string& r) { return EngineRun(r, 0, false, false).seconds; },
       {}, {}},
  };
  for (int round = 0; round < 3; ++round) {
    std::vector<double> t(variants.size());
    for (size_t k = 0; k < variants.size(); ++k) {
      const size_t v = (k + static_cast<size_t>(round)) % variants.size();
      MakeTree(root, kFolders, kFilesPerFolder);
      t[v] = variants[v].body(root);
      RemoveTree(root);
    }
    for (size_t v = 0; v < variants.size(); ++v) {
      variants[v].seconds.push_back(t[v]);
      variants[v].share.push_back(t[0] / t[v]);
    }
  }
  std::printf("clean variants (files/s; rate beside the bare loop's in the same round):\n");
  for (const Variant& v : variants)
    std::printf("  %-44s: %9.0f  %.3f\n", v.name, files / Median(v.seconds), Median(v.share));
}

// KIND: bare, engine, engine-memory (settings from memory), walk and
// preview (REPEAT times; the tree stays), lay (only lays the tree), remove.
int Probe(const std::string& base, const std::string& kind, int folders, int filesPerFolder, int repeat) {
  const std::string root = base + "\\probe";
  if (kind == "remove") {
    RemoveTree(root);
    return 0;
  }
  if (GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES) MakeTree(root, folders, filesPerFolder);
  if (kind == "lay") return 0;
  double bytes = 0;
  BenchEngine engine(kind != "engine-memory");
  const double t0 = Now();
  HANDLE begin = CreateEventA(nullptr, FALSE, FALSE, "probe-begin");
  if (kind == "bare") BareDelete(root);
  else if (kind == "engine" || kind == "engine-memory") engine.Run(root, 0, false);
  for (int i = 0; i < repeat; ++i) {
    if (kind == "walk") BareCount(root, bytes);
    else if (kind == "preview") engine.Run(root, 0, true);
  }
  HANDLE end = CreateEventA(nullptr, FALSE, FALSE, "probe-end");
  std::printf("probe %s: %.1f ms\n", kind.c_str(), (Now() - t0) * 1000);
  CloseHandle(begin);
  CloseHandle(end);
  if (kind != "walk" && kind != "preview") RemoveTree(root);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (ProductKeyExistsNot()) CreateProductKey();
  {
    CRegistrySettingsStore registry;
    if (CSettings(registry).Shred()) std::printf("warning: Shred is on in this prefix: the clean shreds\n");
  }
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string base = StripTrailing(temp, '\\') + "\\shbench";
  CreateDirectoryA(base.c_str(), nullptr);
  if (argc > 4 && std::strcmp(argv[1], "--probe") == 0)
    return Probe(base, argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argc > 5 ? std::atoi(argv[5]) : 1);

  const std::string bareRoot = base + "\\bare", engineRoot = base + "\\engine";
  const int files = kFolders * kFilesPerFolder;
  int status = 0;

  // Clean: every round lays both trees afresh right before its timing.
  Paired clean = PairedRounds(
      [&] {
        if (MakeTree(bareRoot, kFolders, kFilesPerFolder) != files) status = 1;
        const double t0 = Now();
        const int n = BareDelete(bareRoot);
        const double t = Now() - t0;
        RemoveDirectoryA(bareRoot.c_str());
        if (n != files) std::printf("warning: bare loop deleted %d of %d\n", n, files);
        return t;
      },
      [&] {
        if (MakeTree(engineRoot, kFolders, kFilesPerFolder) != files) status = 1;
        const EngineFigure e = EngineRun(engineRoot, 0, false);
        if (e.files != files) {
          std::printf("warning: engine deleted %d of %d\n", e.files, files);
          status = 1;
        }
        RemoveTree(engineRoot);  // whatever it left (nothing, normally)
        return e.seconds;
      });
  std::printf("clean, %d files in %d folders (median of %d rounds):\n", files, kFolders, kRounds);
  std::printf("  bare FindFirstFileA/DeleteFileA loop : %9.0f files/s\n", files / Median(clean.a));
  std::printf("  engine (Win32 executor), no pause    : %9.0f files/s\n", files / Median(clean.b));
  PrintRatio("engine / bare", Median(clean.ratio));

  // Preview: nothing changes, so one tree serves every round. One engine
  // for all rounds, as the program keeps its cleaners for its whole life.
  BenchEngine previewEngine;
  MakeTree(bareRoot, kFolders, kFilesPerFolder);
  double bareBytes = 0;
  BareCount(bareRoot, bareBytes);  // a first walk, so that no round meets a cold cache
  Paired preview = PairedRounds(
      [&] {
        double bytes = 0;
        const double t0 = Now();
        const int n = BareCount(bareRoot, bytes);
        const double t = Now() - t0;
        if (n != files) std::printf("warning: bare walk counted %d of %d\n", n, files);
        bareBytes = bytes;
        return t;
      },
      [&] {
        const EngineFigure e = previewEngine.Run(bareRoot, 0, true);
        if (e.files != files || e.bytes != bareBytes) {
          std::printf("warning: preview counted %d files, %.0f bytes; the walk %d, %.0f\n", e.files, e.bytes, files,
                      bareBytes);
          status = 1;
        }
        return e.seconds;
      });
  RemoveTree(bareRoot);
  std::printf("preview, %d files in %d folders (median of %d rounds):\n", files, kFolders, kRounds);
  std::printf("  bare FindFirstFileA walk, counting   : %9.0f files/s\n", files / Median(preview.a));
  std::printf("  engine (CPreviewExecutor)            : %9.0f files/s\n", files / Median(preview.b));
  PrintRatio("preview / bare", Median(preview.ratio));

  // The window's pace: 10 ms after every file dominates everything else.
  const std::string pausedRoot = base + "\\paused";
  const int pausedFiles = MakeTree(pausedRoot, 10, 100);
  const EngineFigure paused = EngineRun(pausedRoot, 10, false);
  RemoveTree(pausedRoot);
  std::printf("engine with the 10 ms pause, %d files : %9.1f files/s\n", pausedFiles,
              pausedFiles / paused.seconds);

  if (argc > 1 && std::strcmp(argv[1], "--variants") == 0) Variants(base, files);
  RemoveDirectoryA(base.c_str());
  return status;
}
