// The hosts file as the hosts shield reads it: lines, and the entry each
// line makes, in a form that compares equal whatever the spacing, case or
// comment of the line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sh {

// The lines of `text`, each with its own line ending ("\r\n", "\n" or none
// for a last line without one).
std::vector<std::string> HostsLines(const std::string& text);

// The entry of one line: address and names in lower case, one space apart,
// the comment dropped; empty for blank and comment lines.
std::string HostsEntryKey(const std::string& line);

// `text` without the lines whose entry is `key`, except the first `keep` of
// them; every other byte stays as it was.
std::string RemoveHostsEntry(const std::string& text, const std::string& key, size_t keep);

}  // namespace sh
