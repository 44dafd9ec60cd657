// Where the data files are: the data folder is the `path` setting, read
// afresh at every call.
#pragma once

#include <string>

#include "settings/settings.h"

namespace sh {

// `path` with trailing backslashes removed, then "\Splst.swh" and so on:
// exactly one backslash whatever `path` ends with.
std::string GetSpotListPath(ISettingsStore& settings);
std::string GetPluginListPath(ISettingsStore& settings);
std::string GetCustomPluginPath(ISettingsStore& settings);
std::string GetIgnoredCookiesPath(ISettingsStore& settings);

}  // namespace sh
