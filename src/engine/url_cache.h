// The browser's URL cache and URL history as the cleaners see them. The
// program uses WinINet and the history COM object (url_cache_win.h); tests
// may stand in for the history object, which Wine does not implement.
#pragma once

#include <cstdint>
#include <string>

namespace sh {

struct UrlCacheEntry {
  std::string sourceName;     // the entry's URL name, e.g. "Cookie:user@example.com/"
  std::string localFileName;  // empty when the entry has no file
  uint64_t lastAccessTime = 0;  // UTC file time
};

class IUrlCache {
 public:
  virtual ~IUrlCache() = default;
  // One enumeration at a time over the entries whose names begin with
  // `prefix` ("cookie:", "visited:"); First ends any earlier one.
  virtual bool First(const std::string& prefix, UrlCacheEntry& entry) = 0;
  virtual bool Next(UrlCacheEntry& entry) = 0;
  virtual bool DeleteEntry(const std::string& sourceName) = 0;
};

class IUrlHistory {
 public:
  virtual ~IUrlHistory() = default;
  // False when the history object cannot be created.
  virtual bool ClearHistory() = 0;
};

}  // namespace sh
