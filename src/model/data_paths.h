// Where the data files are: the data folder is the `path` setting, read
// afresh at every call.
#pragma once

#include <string>

#include "settings/settings.h"
#include "toolkit/seams.h"

namespace sh {

// `path` with trailing backslashes removed, then "\Splst.swh" and so on:
// exactly one backslash whatever `path` ends with.
std::string GetSpotListPath(ISettingsStore& settings);
std::string GetPluginListPath(ISettingsStore& settings);
std::string GetCustomPluginPath(ISettingsStore& settings);
std::string GetIgnoredCookiesPath(ISettingsStore& settings);

// The cleaning log's name from the clock at the time of the call:
// "logs\D,M,Y(h,m,s).txt", relative to the current folder, not the data
// folder.
std::string GetLogFileName(IClock& clock);

}  // namespace sh
