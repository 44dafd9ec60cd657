// Known locations: looked up once at every start and stored under the
// product key, so that every expansion of a token gives the same folder and
// the values can be inspected or corrected in the registry. The rules are
// portable; the machine is reached through ILocationProbe.
#pragma once

#include <functional>
#include <string>

#include "settings/settings.h"

namespace sh {

// The user's and the machine's shell-folder keys as registry path texts.
extern const char kShellFoldersKey[];
extern const char kMachineShellFoldersKey[];
extern const char kIdentitiesKey[];   // holds "Default User ID"
extern const char kAimMiscKey[];      // holds "DataPath"
extern const char kAimLoginKey[];     // holds "Screen Name"
extern const char kYahooPagerKey[];   // holds "Yahoo! User ID"

// What the refresh asks of the machine.
class ILocationProbe {
 public:
  virtual ~ILocationProbe() = default;
  // Empty text when the key cannot be opened or the value not read.
  virtual std::string ReadRegistryPathValue(const std::string& keyText, const std::string& valueName) = 0;
  virtual std::string TempFolder() = 0;     // as the system reports it (trailing backslash)
  virtual std::string WindowsFolder() = 0;  // as the system reports it
  // The user's folder for programs that run at low integrity (AppData\LocalLow
  // since Vista); empty where the system has none (XP) or it cannot be found.
  virtual std::string LocalLowFolder() = 0;
  virtual bool PathExists(const std::string& path) = 0;
  virtual std::string ModuleDir() = 0;
};

// Reads the shell folders and friends and writes every stored location,
// empty ones too, in a fixed order; then keeps `path` when it names
// something that exists, else points it at the executable's folder.
void RefreshKnownLocations(ISettingsStore& settings, ILocationProbe& probe);

// The program files folder from its three sources, in order: the expanded
// environment text (when expansion worked and did not leave the variable
// unexpanded), the shell's special folder, the Windows drive + "Program Files".
// `shellFolder` is asked only when the first source fails.
std::string PickProgramFilesDir(bool expanded, const std::string& expandedText,
                                const std::function<std::string()>& shellFolder, const std::string& windowsFolder);

}  // namespace sh
