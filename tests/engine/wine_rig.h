// The real cleaners of a run (CWinSpotCleaners: Win32 ports and executor)
// for the engine's Wine suites, and reading back files and registry keys.
// The shell's empty is recorded (under Wine SHEmptyRecycleBinA
// empties the host's trash), the history object too (Wine's ClearHistory
// returns E_NOTIMPL).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/clean_run.h"
#include "engine/win_cleaners_win.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "toolkit/win_handles_win.h"

namespace sh::test {

struct WinRig : IRecycleBinShell, IUrlHistory {
  explicit WinRig(bool shred = false) { settings.values["Shred"] = shred ? "1" : "0"; }
  void EmptyRecycleBin() override { ++emptied; }
  bool ClearHistory() override { return true; }
  CSpotCleanerSeams Seams() {
    CSpotCleanerSeams seams;
    seams.recycleShell = this;
    seams.urlHistory = this;
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

  int emptied = 0;
  MapSettings settings;
  ScriptedPrompt prompt;
  CCleanLog log;
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

inline bool KeyExists(HKEY root, const std::string& path) {
  ScopedHKey key;
  return RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL, key.Receive()) == ERROR_SUCCESS;
}

// A value's data (a string without its NUL), or "<missing>".
inline std::string ReadValue(HKEY root, const std::string& path, const std::string& name) {
  DWORD type = 0;
  std::string data;
  if (!ReadRaw(root, path, name, type, data)) return "<missing>";
  if (type == REG_SZ && !data.empty()) data.pop_back();
  return data;
}

// The names of the key's subkeys, or else of its values (the default one as
// ""), in the registry's order.
inline std::vector<std::string> Names(HKEY root, const std::string& path, bool subKeys = true) {
  std::vector<std::string> names;
  ScopedHKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return names;
  char name[16384];
  for (DWORD i = 0, length = sizeof name;
       (subKeys ? RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr)
                : RegEnumValueA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr)) == ERROR_SUCCESS;
       ++i, length = sizeof name)
    names.emplace_back(name, length);
  return names;
}

}  // namespace sh::test
