// Known locations: looked up once at every start and stored under the
// product key, so that every expansion of a token gives the same folder.
#pragma once

#include <string>

namespace sh {

void RefreshKnownLocations();
std::string GetModuleDir();

}  // namespace sh
