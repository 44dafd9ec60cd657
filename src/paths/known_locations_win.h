// Known locations and path macros on the real machine: the registry, the
// system's folder queries and the product key's stored values.
#pragma once

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

class CWinLocationProbe : public ILocationProbe {
 public:
  std::string ReadRegistryPathValue(const std::string& keyText, const std::string& valueName) override;
  std::string TempFolder() override { return GetTempFolder(); }
  std::string WindowsFolder() override;
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
