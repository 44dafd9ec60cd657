// Cookie entries of the real URL cache for the Wine suites, made and listed
// with WinINet itself. WinINet keeps a container's index open until its
// process ends, so the tests that fill the cache run in a child process of
// their own (see RunChild).
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/win_fs.h"

namespace sh::test {

// A cookie entry made with WinINet itself, and its file of `size` bytes;
// the file's path, empty on failure.
inline std::string AddCookie(const std::string& name, size_t size) {
  char file[MAX_PATH + 1] = {};
  FILETIME zero = {};
  if (!CreateUrlCacheEntryA(name.c_str(), 0, "txt", file, 0)) return "";
  WriteBytes(file, size, 'c');
  return CommitUrlCacheEntryA(name.c_str(), file, zero, zero, COOKIE_CACHE_ENTRY, nullptr, 0, nullptr, nullptr) ? file
                                                                                                                : "";
}

// Wine compares the search pattern with the container's name exactly.
inline std::set<std::string> CookieNames() {
  std::set<std::string> names;
  std::vector<uint64_t> buffer(8192);
  auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
  DWORD size = DWORD(buffer.size() * sizeof(uint64_t));
  HANDLE find = FindFirstUrlCacheEntryA("Cookie:", entry, &size);
  for (bool more = find != nullptr; more; more = FindNextUrlCacheEntryA(find, entry, &size)) {
    if (entry->lpszSourceUrlName) names.insert(entry->lpszSourceUrlName);
    size = DWORD(buffer.size() * sizeof(uint64_t));
  }
  if (find) FindCloseUrlCache(find);
  return names;
}

inline void ClearCookies() {
  for (const std::string& name : CookieNames()) DeleteUrlCacheEntryA(name.c_str());
}

}  // namespace sh::test
