#include "shields/hosts_file.h"

#include <cctype>

namespace sh {

std::vector<std::string> HostsLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    const size_t next = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, next - start));
    start = next;
  }
  return lines;
}

std::string HostsEntryKey(const std::string& line) {
  std::string key;
  bool gap = false;
  for (char c : line) {
    if (c == '#') break;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      gap = !key.empty();
      continue;
    }
    if (gap) key += ' ';
    gap = false;
    key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

std::string RemoveHostsEntry(const std::string& text, const std::string& key, size_t keep) {
  std::string out;
  out.reserve(text.size());
  size_t seen = 0;
  for (const std::string& line : HostsLines(text)) {
    if (!key.empty() && HostsEntryKey(line) == key && seen++ >= keep) continue;
    out += line;
  }
  return out;
}

}  // namespace sh
