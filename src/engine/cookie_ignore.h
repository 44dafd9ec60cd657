// The ignored-cookies file Igckies.swh in the data folder: one record per
// cookie the user keeps, its URL-cache source name followed by CR CR LF.
// Readers trim white space from both ends of a line, which also takes the
// extra CR, and compare names without regard to case.
#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

namespace sh {

// One record: the name followed by the bytes CR CR LF.
std::string IgnoredCookieRecord(const std::string& name);

// Every line as read (line break removed, nothing trimmed); empty when the
// file cannot be opened.
std::vector<std::string> ReadIgnoredCookieLines(const std::string& path);

// True when a line of the file, trimmed, equals `name` ignoring case. An
// unreadable file or an empty name is never a match.
bool IsCookieIgnored(const std::string& ignoreFile, const std::string& name);
// The same with the file in the data folder named by the settings.
bool IsCookieIgnored(ISettingsStore& settings, const std::string& name);

// Rewrites the whole file with one record per name (an empty list leaves an
// empty file). False, with the file untouched, when a name is empty or holds
// a line break (it could not be read back as itself); false when the file
// cannot be created or written.
bool WriteIgnoredCookies(const std::string& path, const std::vector<std::string>& names);

}  // namespace sh
