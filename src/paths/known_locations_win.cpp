#include "paths/known_locations_win.h"

#include <windows.h>

#include "settings/registry_settings_win.h"
#include "toolkit/text.h"

namespace sh {

std::string GetModuleDir() {
  char buffer[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, n > MAX_PATH ? MAX_PATH : n);
  size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos) path.resize(slash);
  return StripTrailing(path, '\\');
}

void RefreshKnownLocations() {
  std::string path = ReadSetting("path");
  if (path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) WriteSetting("path", GetModuleDir());
}

}  // namespace sh
