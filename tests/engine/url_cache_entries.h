// Real URL-cache entries for the Wine suite, made with WinINet itself.
// Wine keeps them in its Cookie: and Visited: containers as Windows does;
// its search pattern must name the container exactly ("Cookie:").
#pragma once

#include <windows.h>
#include <wininet.h>

#include <set>
#include <string>
#include <vector>

#include "support/win_fs.h"

namespace sh::test {

// A cookie entry with a local file of `size` bytes; its file path, or ""
// when WinINet refused it.
inline std::string AddCookieEntry(const std::string& name, size_t size) {
  char file[MAX_PATH + 1] = {};
  if (!CreateUrlCacheEntryA(name.c_str(), 0, "txt", file, 0)) return std::string();
  WriteBytes(file, size, 'c');
  FILETIME zero = {};
  if (!CommitUrlCacheEntryA(name.c_str(), file, zero, zero, COOKIE_CACHE_ENTRY, nullptr, 0, nullptr, nullptr))
    return std::string();
  return file;
}

inline bool AddVisitedEntry(const std::string& name) {
  FILETIME zero = {};
  return CommitUrlCacheEntryA(name.c_str(), nullptr, zero, zero, URLHISTORY_CACHE_ENTRY, nullptr, 0, nullptr,
                              nullptr) != 0;
}

// Names in a container, asked both ways so that Windows and Wine answer.
inline std::set<std::string> CacheNames(const std::string& container) {
  std::set<std::string> names;
  std::string lower = container;
  lower[0] = static_cast<char>(tolower(static_cast<unsigned char>(lower[0])));
  for (const std::string& pattern : {container, lower}) {
    std::vector<uint64_t> buffer(8192);
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    HANDLE find = FindFirstUrlCacheEntryA(pattern.c_str(), entry, &size);
    if (find == nullptr) continue;
    do {
      if (entry->lpszSourceUrlName) names.insert(entry->lpszSourceUrlName);
      size = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
    } while (FindNextUrlCacheEntryA(find, entry, &size));
    FindCloseUrlCache(find);
  }
  return names;
}

inline void RemoveAllEntries(const std::string& container) {
  for (const std::string& name : CacheNames(container)) DeleteUrlCacheEntryA(name.c_str());
}

// Empties the Cookie: and Visited: containers before and after a test (the
// test prefix has no cookies of anyone else).
class CleanUrlCache {
 public:
  CleanUrlCache() { Clear(); }
  ~CleanUrlCache() { Clear(); }
  CleanUrlCache(const CleanUrlCache&) = delete;
  CleanUrlCache& operator=(const CleanUrlCache&) = delete;

 private:
  static void Clear() {
    RemoveAllEntries("Cookie:");
    RemoveAllEntries("Visited:");
  }
};

}  // namespace sh::test
