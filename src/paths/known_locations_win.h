// Known locations and path macros on the real machine: the registry, the
// system's folder queries and the product key's stored values.
#pragma once

#include <windows.h>

#include <string>

#include "paths/known_locations.h"
#include "paths/path_macros.h"

namespace sh {

// Stores every known location in the settings store given (the product key
// in the program), from this machine's registry and folders; run at every
// start, after the product key exists.
void RefreshKnownLocations(ISettingsStore& settings);

std::string GetProgramFilesDir();
std::string GetYahooUserId();
std::string GetAimScreenName();
// The running executable's folder, trailing backslashes removed.
std::string GetModuleDir();
// The Windows and system folders without trailing backslash; the temporary
// folder as reported (with its trailing backslash). Empty on failure.
std::string GetWindowsFolder();
std::string GetSystemFolder();
std::string GetTempFolder();
// A shell special folder (CSIDL_*), without trailing backslash; created when
// `create` and missing. Empty when the shell knows none.
std::string GetSpecialFolder(int csidl, bool create = false);

// SHGetKnownFolderPath (shell32, Vista and later: bound at run time).
using KnownFolderPathCall = HRESULT(WINAPI*)(const GUID& id, DWORD flags, HANDLE token, wchar_t** path);
extern const GUID kFolderLocalAppDataLow;  // FOLDERID_LocalAppDataLow
// A known folder through `call`, in the code page given, without trailing
// backslash. Empty when there is no call (XP), it fails, or the path has no
// exact spelling in that code page or is too long for a stored value: a
// look-alike path would reach another folder.
std::string KnownFolderPath(KnownFolderPathCall call, const GUID& id, UINT codePage = CP_ACP);
// The user's AppData\LocalLow; empty on XP or when it cannot be found.
std::string GetLocalLowFolder();

class CWinLocationProbe : public ILocationProbe {
 public:
  std::string ReadRegistryPathValue(const std::string& keyText, const std::string& valueName) override;
  std::string TempFolder() override { return GetTempFolder(); }
  std::string WindowsFolder() override;
  std::string LocalLowFolder() override { return GetLocalLowFolder(); }
  bool PathExists(const std::string& path) override;
  std::string ModuleDir() override { return GetModuleDir(); }
};

// Stored values from the settings store given (the product key in the
// program), everything else from the live queries.
class CWinMacroValues : public IMacroValues {
 public:
  explicit CWinMacroValues(ISettingsStore& settings) : settings_(settings) {}
  std::string StoredValue(const std::string& name) override { return settings_.Read(name); }
  std::string AimScreenName() override { return GetAimScreenName(); }
  std::string ProgramFilesDir() override { return GetProgramFilesDir(); }
  std::string WindowsFolder() override { return GetWindowsFolder(); }
  std::string SystemFolder() override { return GetSystemFolder(); }
  std::string YahooUserId() override { return GetYahooUserId(); }

 private:
  ISettingsStore& settings_;
};

}  // namespace sh
