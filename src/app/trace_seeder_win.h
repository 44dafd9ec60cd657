// Leaves traces of the kinds the shipped spot list cleans, so that a run on
// a fresh (Wine) prefix has something to show: temporary files, recent
// documents, cache files, MRU lists, cookie and visited entries, index.dat
// files, a recycle bin, found.* folders and a stored-form-entries key.
// Used by `swhclean --seed` and by the screenshots.
#pragma once

#include <string>
#include <vector>

namespace sh {

// Returns one line per kind of trace made.
std::vector<std::string> SeedTraces();

}  // namespace sh
