// The real cleaners of a run (CWinSpotCleaners: Win32 ports and executor)
// with recorders around them, for the engine's Wine suites. The shell's
// empty is always recorded: under Wine SHEmptyRecycleBinA empties the
// host's trash. The history object is recorded too (Wine's ClearHistory
// returns E_NOTIMPL).
#pragma once

#include <windows.h>

#include <string>

#include "engine/clean_run.h"
#include "engine/win_cleaners_win.h"
#include "support/recorders.h"

namespace sh::test {

class RecordingShell : public IRecycleBinShell {
 public:
  void EmptyRecycleBin() override { ++emptied; }
  int emptied = 0;
};

class RecordingHistory : public IUrlHistory {
 public:
  bool ClearHistory() override {
    ++cleared;
    return true;
  }
  int cleared = 0;
};

struct WinRig {
  explicit WinRig(bool shred = false) {
    if (shred) settings.values["Shred"] = "1";
  }
  CSpotCleanerSeams Seams() {
    CSpotCleanerSeams seams;
    seams.recycleShell = &shell;
    seams.urlHistory = &history;
    seams.ntFamily = true;
    return seams;
  }
  void Clean(CCleaningSpot& spot) { CleanSpot(spot, context, cleaners.cleaner()); }
  void CleanFolder(const std::string& path, const std::string& mask, int descend) {
    context.includeSubFolders = context.deleteSubFolders = descend;
    int count = 0;
    double size = 0;
    cleaners.cleaner().CleanFolder(context, path, mask, count, size);
  }

  RecordingShell shell;
  RecordingHistory history;
  MapSettings settings;
  ScriptedPrompt prompt;
  RecordingLog log;
  RecordingReport report;
  ScriptedControl control;
  CWinSpotCleaners cleaners{settings, prompt, Seams()};
  CCleanRunContext context{&log, &report, &control, 0};
};

// "" when equal, else where they part: a failure names an offset instead of
// printing whole files.
inline std::string Difference(const std::string& actual, const std::string& expected) {
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  if (at == actual.size() && at == expected.size()) return "";
  return "length " + std::to_string(actual.size()) + " (expected " + std::to_string(expected.size()) +
         "), first difference at byte " + std::to_string(at);
}

}  // namespace sh::test
