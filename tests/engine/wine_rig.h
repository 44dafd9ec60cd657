// The real cleaners of a run (CWinSpotCleaners: Win32 ports and executor)
// for the engine's Wine suites, and registry keys made and removed by a
// test. The shell's empty is recorded (under Wine SHEmptyRecycleBinA
// empties the host's trash), the history object too (Wine's ClearHistory
// returns E_NOTIMPL).
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/clean_run.h"
#include "engine/win_cleaners_win.h"
#include "support/recorders.h"
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

// Creates the key; with a name, sets that value in it (a string by default).
inline void SetValue(HKEY root, const std::string& path, const char* name = nullptr, std::string data = "",
                     DWORD type = REG_SZ) {
  ScopedHKey key;
  if (type == REG_SZ) data += '\0';
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr) ==
          ERROR_SUCCESS &&
      name)
    RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size()));
}

// A value's data (a string without its NUL), or "<missing>".
inline std::string ReadValue(HKEY root, const std::string& path, const std::string& name) {
  ScopedHKey key;
  std::string data(65536, '\0');
  DWORD size = DWORD(data.size()), type = 0;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS ||
      RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
          ERROR_SUCCESS)
    return "<missing>";
  data.resize(type == REG_SZ && size > 0 ? size - 1 : size);
  return data;
}

// The names of the key's subkeys, or else of its values (the default one as
// ""), sorted.
inline std::vector<std::string> Names(HKEY root, const std::string& path, bool subKeys = true) {
  std::vector<std::string> names;
  ScopedHKey key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return names;
  char name[16384];
  for (DWORD i = 0, length = sizeof name;; ++i, length = sizeof name) {
    if ((subKeys ? RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr)
                 : RegEnumValueA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr)) != ERROR_SUCCESS)
      break;
    names.emplace_back(name, length);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The key's access list: one entry for this process's user with `userMask`
// (an empty list, nobody, for 0), or no list at all (everyone).
inline bool SetKeyDacl(HKEY root, const std::string& path, DWORD userMask, bool everyone = false) {
  ScopedHandle token;
  std::vector<uint64_t> user(64), acl(64);
  DWORD size = 0;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) ||
      !GetTokenInformation(token.get(), TokenUser, user.data(), DWORD(user.size() * 8), &size))
    return false;
  PACL list = reinterpret_cast<PACL>(acl.data());
  InitializeAcl(list, DWORD(acl.size() * 8), ACL_REVISION);
  if (userMask) AddAccessAllowedAce(list, ACL_REVISION, userMask, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, everyone ? nullptr : list, FALSE);
  ScopedHKey key;
  return RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, key.Receive()) == ERROR_SUCCESS &&
         RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, &sd) == ERROR_SUCCESS;
}

// Opens up every key of the tree (the owner may always change a list) and
// deletes it.
inline void RemoveKeyTree(HKEY root, const std::string& path) {
  if (!SetKeyDacl(root, path, 0, true)) return;
  for (const std::string& child : Names(root, path)) RemoveKeyTree(root, path + "\\" + child);
  SHDeleteKeyA(root, path.c_str());
}

}  // namespace sh::test
