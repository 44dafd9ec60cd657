#include "paths/known_locations_win.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

#include "paths/reg_path_win.h"
#include "toolkit/text.h"

namespace sh {

namespace {

// A folder query's answer in a 260-byte buffer; empty when it failed or did
// not fit.
template <typename Query>
std::string FolderFromQuery(Query query) {
  char buffer[260] = {};
  UINT n = query(buffer, static_cast<UINT>(sizeof buffer));
  if (n == 0 || n >= sizeof buffer) return std::string();
  return std::string(buffer, n);
}

struct PidlFree {
  void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};

std::string ShellProgramFilesFolder() {
  ITEMIDLIST* raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PROGRAM_FILES, &raw)) || raw == nullptr) return std::string();
  std::unique_ptr<ITEMIDLIST, PidlFree> pidl(raw);
  char buffer[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListA(pidl.get(), buffer)) return std::string();
  return std::string(buffer);
}

}  // namespace

std::string GetWindowsFolder() {
  return StripTrailing(FolderFromQuery([](char* b, UINT n) { return GetWindowsDirectoryA(b, n); }), '\\');
}

std::string GetSystemFolder() {
  return StripTrailing(FolderFromQuery([](char* b, UINT n) { return GetSystemDirectoryA(b, n); }), '\\');
}

std::string GetTempFolder() {
  return FolderFromQuery([](char* b, UINT n) { return static_cast<UINT>(GetTempPathA(n, b)); });
}

std::string GetSpecialFolder(int csidl, bool create) {
  char buffer[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathA(nullptr, buffer, csidl, create ? TRUE : FALSE)) return std::string();
  return StripTrailing(buffer, '\\');
}

std::string GetModuleDir() {
  char buffer[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, n > MAX_PATH ? MAX_PATH : n);
  size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos) path.resize(slash);
  return StripTrailing(path, '\\');
}

std::string GetProgramFilesDir() {
  char buffer[261] = {};
  DWORD n = ExpandEnvironmentStringsA("%ProgramFiles%", buffer, sizeof buffer);
  bool expanded = n != 0 && n <= sizeof buffer;
  std::string windows = FolderFromQuery([](char* b, UINT size) { return GetWindowsDirectoryA(b, size); });
  return PickProgramFilesDir(expanded, expanded ? std::string(buffer) : std::string(), ShellProgramFilesFolder,
                             windows);
}

std::string GetYahooUserId() { return ReadRegistryPathValue(kYahooPagerKey, "Yahoo! User ID"); }

std::string GetAimScreenName() { return ReadRegistryPathValue(kAimLoginKey, "Screen Name"); }

std::string CWinLocationProbe::ReadRegistryPathValue(const std::string& keyText, const std::string& valueName) {
  return sh::ReadRegistryPathValue(keyText, valueName);
}

std::string CWinLocationProbe::WindowsFolder() {
  return FolderFromQuery([](char* b, UINT n) { return GetWindowsDirectoryA(b, n); });
}

bool CWinLocationProbe::PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RefreshKnownLocations(ISettingsStore& settings) {
  CWinLocationProbe probe;
  RefreshKnownLocations(settings, probe);
}

}  // namespace sh
