// The one way both front ends load the three data files into a catalog:
// the window (CCleanerApp) with its message boxes and update dialog, the
// console with a stand-in that prints the questions and answers No.
#pragma once

#include <functional>

#include "model/catalog.h"
#include "model/data_file.h"

namespace sh {

struct DataFileVersions {
  int spotList = 0;
  int pluginList = 0;
};

// "Configuration file corrupt, download new file now ?" and its companion.
extern const char kCorruptListQuestion[];
extern const char kCannotWorkWithoutList[];

// What the user is told before the program ends because the spot list it
// needs was not downloaded: which file, and (from the update) which address
// and what failed, or that the download was declined.
std::string SpotListDownloadFailedText(const std::string& listPath, const std::string& failure, bool declined);

// The spot list first: nothing can be cleaned without it. When it cannot be
// loaded, env.prompt is asked whether to download a new one; Yes calls
// `downloadNewList` (false: cancelled) and reads the list again; No says the
// program cannot work without it. Then the plugin list and the custom
// plugins, either of which may be missing. False when the program must end.
bool LoadDataFiles(DataFileEnv& env, CSpotCatalog& catalog, bool isWindowsXP,
                   const std::function<bool()>& downloadNewList, DataFileVersions& versions);

}  // namespace sh
