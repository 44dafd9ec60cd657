#include "engine/cookie_ignore.h"

#include <cstdio>
#include <fstream>
#include <memory>

#include "model/data_paths.h"
#include "toolkit/text.h"

namespace sh {

std::string IgnoredCookieRecord(const std::string& name) { return name + "\r\r\n"; }

std::vector<std::string> ReadIgnoredCookieLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);  // text mode: a CR LF pair reads as one line break
  if (!in) return lines;
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

bool IsCookieIgnored(const std::string& ignoreFile, const std::string& name) {
  if (name.empty()) return false;
  std::ifstream in(ignoreFile);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line))
    if (EqualsNoCase(TrimWhite(line), name)) return true;
  return false;
}

bool IsCookieIgnored(ISettingsStore& settings, const std::string& name) {
  return IsCookieIgnored(GetIgnoredCookiesPath(settings), name);
}

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool WriteIgnoredCookies(const std::string& path, const std::vector<std::string>& names) {
  for (const std::string& name : names)
    if (name.empty() || name.find_first_of("\r\n") != std::string::npos) return false;
  // Binary mode with the CR CR LF spelt out: the same bytes a text-mode
  // "\r\n" gives on Windows, on every platform.
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  for (const std::string& name : names) {
    std::string record = IgnoredCookieRecord(name);
    if (std::fwrite(record.data(), 1, record.size(), file.get()) != record.size()) return false;
  }
  return std::fclose(file.release()) == 0;
}

}  // namespace sh
