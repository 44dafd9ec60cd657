#include "paths/known_locations_win.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

#include "paths/reg_path_win.h"
#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {

// Defined here: the SDK declares it only for builds aimed at Vista.
const GUID kFolderLocalAppDataLow = {0xa520a1a4, 0x1780, 0x4ff6, {0xbd, 0x18, 0x16, 0x73, 0x43, 0xc5, 0xaf, 0x16}};

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

// Wide text in `codePage`, only when it converts back to the very same
// text: a best-fit or stand-in character would name another folder. At most
// 259 bytes, all that a stored value holds.
std::string ExactNarrow(const wchar_t* wide, UINT codePage) {
  const int length = lstrlenW(wide);
  if (length == 0) return std::string();
  const int n = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0 || n >= MAX_PATH) return std::string();
  std::string narrow(static_cast<size_t>(n), '\0');
  if (WideCharToMultiByte(codePage, 0, wide, length, &narrow[0], n, nullptr, nullptr) != n) return std::string();
  const int back = MultiByteToWideChar(codePage, 0, narrow.data(), n, nullptr, 0);
  if (back != length) return std::string();
  std::wstring check(static_cast<size_t>(back), L'\0');
  MultiByteToWideChar(codePage, 0, narrow.data(), n, &check[0], back);
  return check.compare(0, check.size(), wide, static_cast<size_t>(length)) == 0 ? narrow : std::string();
}

}  // namespace

std::string KnownFolderPath(KnownFolderPathCall call, const GUID& id, UINT codePage) {
  if (call == nullptr) return std::string();
  wchar_t* raw = nullptr;
  // Flags 0: the folder must exist; nothing is created for a cleaner.
  const HRESULT result = call(id, 0, nullptr, &raw);
  ScopedCoTaskMem owned(raw);  // freed whether the call worked or not, as it asks
  if (FAILED(result) || raw == nullptr) return std::string();
  return StripTrailing(ExactNarrow(raw, codePage), '\\');
}

std::string GetLocalLowFolder() {
  ScopedLibrary shell(LoadLibraryA("shell32.dll"));
  KnownFolderPathCall call = nullptr;
  if (!shell || !BindProc(shell.get(), "SHGetKnownFolderPath", call)) return std::string();
  return KnownFolderPath(call, kFolderLocalAppDataLow);
}

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
