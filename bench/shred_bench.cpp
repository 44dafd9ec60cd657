// Shredding throughput: one cycle over a 64 MiB file (ShredFile through the
// executor, as a run calls it: its checks, writes, 26 renames and delete)
// beside a plain overwrite that writes what shredding must write at least:
// three passes (zeros, 0xFF, random) over the whole file in blocks of the
// same size, write-through, each write at its offset. Median of 5 rounds,
// each on a freshly written file; the order swaps every round.
// `shred_bench --variants` adds the parts of a shred on their own;
// SH_BENCH_ROUNDS=1 in the environment prints every round.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/shred.h"
#include "engine/win_cleaners_win.h"
#include "toolkit/text.h"
#include "toolkit/win_seams_win.h"

using namespace sh;

#include "bench_clock.h"

namespace {

constexpr uint64_t kSize = 64u << 20;
constexpr int kRounds = 5;
constexpr double kGoal = 0.9;

using bench::Median;
using bench::Now;

bool MakeFile(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  std::vector<char> block(kShredBlockSize, 's');
  DWORD w = 0;
  bool ok = true;
  for (uint64_t done = 0; done < kSize && ok; done += w)
    ok = WriteFile(h, block.data(), static_cast<DWORD>(block.size()), &w, nullptr) && w != 0;
  CloseHandle(h);
  return ok;
}

bool WriteAt(HANDLE h, uint64_t offset, const uint8_t* data, DWORD length) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD written = 0;
  return WriteFile(h, data, length, &written, &at) && written == length;
}

// The limit: three whole passes, one pattern each, as shredding's open
// (write-through) but without its checks, renames and delete.
double PlainOverwrite(const std::string& path, CShredPatterns& patterns, bool& ok) {
  const double t0 = Now();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_WRITE_THROUGH, nullptr);
  ok = h != INVALID_HANDLE_VALUE;
  for (int pass = 0; pass < 3 && ok; ++pass)
    for (uint64_t offset = 0; offset < kSize && ok; offset += kShredBlockSize)
      ok = WriteAt(h, offset, patterns.block(pass), static_cast<DWORD>(kShredBlockSize));
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return Now() - t0;
}

// Shred on, method 0 (one cycle), without the registry.
class ShredSettings : public ISettingsStore {
 public:
  std::string Read(const std::string& name) override { return name == "Shred" ? "1" : std::string(); }
  bool Write(const std::string&, const std::string&) override { return true; }
};

// The console front end with the pause off: messages pumped only when the
// executor asks (at most every 100 ms between blocks), no sleep.
class BenchControl : public IRunControl {
 public:
  bool IsRunning() override { return true; }
  void PumpMessages() override {
    MSG msg;
    for (int i = 0; i < 10 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  void PauseAfterFile() override {}
};

// ShredFile with one cycle, called as a run calls it: through the
// executor's DeleteTrackFile, which asks the run control between blocks.
class Shredder {
 public:
  Shredder() : cleaners_(settings_, prompt_) { cleaners_.executor().BindRunControl(&control_); }
  ~Shredder() { cleaners_.executor().BindRunControl(nullptr); }
  double Shred(const std::string& path, bool& ok) {
    const double t0 = Now();
    ok = cleaners_.executor().DeleteTrackFile(path);
    return Now() - t0;
  }

 private:
  ShredSettings settings_;
  CWinPrompt prompt_;
  BenchControl control_;
  CWinSpotCleaners cleaners_;
};

void PrintRatio(const char* what, double ratio) {
  std::printf("  %-36s: %9.3f (goal >= %.3f) %s\n", what, ratio, kGoal, ratio >= kGoal ? "PASS" : "BELOW");
}

// --variants: the parts of a shred on their own (medians of kRounds).
void Variants(const std::string& path, CShredPatterns& patterns, Shredder& shredder) {
  const double mb = static_cast<double>(kSize) / 1048576.0;
  auto timed = [&](const std::function<void()>& body) {
    std::vector<double> t;
    for (int round = 0; round < kRounds; ++round) {
      MakeFile(path);
      const double t0 = Now();
      body();
      t.push_back(Now() - t0);
      DeleteFileA(path.c_str());
    }
    return Median(t);
  };
  auto show = [&](const char* name, double seconds) { std::printf("  %-48s: %7.1f ms\n", name, seconds * 1000); };
  std::printf("variants (%.0f MiB):\n", mb);
  bool ok = false;
  show("plain, 3 passes", timed([&] { PlainOverwrite(path, patterns, ok); }));
  show("plain, 3 passes, then DeleteFile", timed([&] {
         PlainOverwrite(path, patterns, ok);
         DeleteFileA(path.c_str());
       }));
  show("three writes per block (shred's order), no checks", timed([&] {
         HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_WRITE_THROUGH, nullptr);
         for (uint64_t offset = 0; offset < kSize; offset += kShredBlockSize)
           for (int b = 0; b < 3; ++b) WriteAt(h, offset, patterns.block(b), static_cast<DWORD>(kShredBlockSize));
         CloseHandle(h);
       }));
  show("only DeleteFile", timed([&] { DeleteFileA(path.c_str()); }));
  show("ShredFile", timed([&] { shredder.Shred(path, ok); }));
}

}  // namespace

int main(int argc, char** argv) {
  const bool variants = argc > 1 && std::strcmp(argv[1], "--variants") == 0;
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string path = StripTrailing(temp, '\\') + "\\shred-bench.bin";
  const double mb = static_cast<double>(kSize) / 1048576.0;
  CShredPatterns patterns;
  if (!patterns.Ensure()) return 1;
  Shredder shredder;

  std::vector<double> plain, shred, ratio;
  bool allOk = true;
  for (int round = 0; round < kRounds; ++round) {
    double tp = 0, ts = 0;
    for (int step = 0; step < 2; ++step) {
      const bool plainNow = (step == 0) == (round % 2 == 0);
      if (!MakeFile(path)) return 1;
      bool ok = false;
      if (plainNow) {
        tp = PlainOverwrite(path, patterns, ok);
        DeleteFileA(path.c_str());
      } else {
        ts = shredder.Shred(path, ok);
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) ok = false;  // must be gone
      }
      allOk = allOk && ok;
    }
    plain.push_back(tp);
    shred.push_back(ts);
    ratio.push_back(tp / ts);
    if (std::getenv("SH_BENCH_ROUNDS")) std::printf("  round %d: plain %.1f ms, shred %.1f ms\n", round, tp * 1000, ts * 1000);
  }

  std::printf("shred, %.0f MiB file, 1 cycle (median of %d rounds):\n", mb, kRounds);
  std::printf("  plain overwrite, 3 passes           : %8.1f MB/s written\n", 3 * mb / Median(plain));
  std::printf("  ShredFile                           : %8.1f MB/s written, %.1f MB/s of file%s\n",
              3 * mb / Median(shred), mb / Median(shred), allOk ? "" : "  [FAILED]");
  PrintRatio("shred / plain", Median(ratio));
  if (variants) Variants(path, patterns, shredder);
  DeleteFileA(path.c_str());
  return allOk ? 0 : 1;
}
