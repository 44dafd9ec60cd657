// The WinINet URL cache and the URL history object.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "engine/url_cache.h"
#include "toolkit/win_handles_win.h"

namespace sh {

// WinINet's cache calls, bound on first use: loading WinINet and the network
// DLLs it brings is a measurable share of the time to the first window, and
// most starts never reach the cache. Loaded from the system folder by full
// path, never from the program's own folder.
class CWinInet {
 public:
  // True once every call is bound; false when wininet.dll or one of the
  // calls is missing (asked again next time).
  bool Load();

  decltype(&FindFirstUrlCacheEntryA) findFirst = nullptr;
  decltype(&FindNextUrlCacheEntryA) findNext = nullptr;
  decltype(&FindCloseUrlCache) findClose = nullptr;
  decltype(&DeleteUrlCacheEntryA) deleteEntry = nullptr;

 private:
  ScopedLibrary module_;
};

// One enumeration at a time over the cache entries whose names begin with a
// prefix. The record buffer starts at 4096 bytes and grows when WinINet asks
// for more. Windows matches the prefix ignoring case; Wine compares it with
// the container name exactly ("Cookie:", "Visited:"), so a prefix that finds
// nothing is asked once more with its first letter in upper case. Records
// whose names do not begin with the prefix are passed over, so the cleaners
// never see another container's entries.
class CUrlCacheEnum {
 public:
  // `inet` is loaded and outlives the enumeration.
  explicit CUrlCacheEnum(const CWinInet& inet) : inet_(inet) {}
  CUrlCacheEnum(const CUrlCacheEnum&) = delete;
  CUrlCacheEnum& operator=(const CUrlCacheEnum&) = delete;
  ~CUrlCacheEnum() { Close(); }

  // Ends any open enumeration; null when there is no entry (or the prefix
  // is empty: WinINet would list every container).
  const INTERNET_CACHE_ENTRY_INFOA* First(const std::string& prefix);
  const INTERNET_CACHE_ENTRY_INFOA* Next();
  void Close();
  DWORD bufferSize() const { return size_; }

 private:
  const INTERNET_CACHE_ENTRY_INFOA* Fetch(bool first, const std::string& pattern);
  const INTERNET_CACHE_ENTRY_INFOA* SkipForeign(const INTERNET_CACHE_ENTRY_INFOA* entry);
  bool Matches(const INTERNET_CACHE_ENTRY_INFOA* entry) const;
  INTERNET_CACHE_ENTRY_INFOA* record() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer_.data()); }

  const CWinInet& inet_;
  std::vector<uint64_t> buffer_;  // the record, in words so that it is aligned
  DWORD size_ = 0;                // bytes of buffer_
  HANDLE handle_ = nullptr;       // closed with inet_.findClose
  std::string prefix_;
};

class CWinUrlCache : public IUrlCache {
 public:
  bool First(const std::string& prefix, UrlCacheEntry& entry) override;
  bool Next(UrlCacheEntry& entry) override;
  bool DeleteEntry(const std::string& sourceName) override;

 private:
  CWinInet inet_;
  CUrlCacheEnum enum_{inet_};  // after inet_: closed before WinINet goes
};

// {3C374A40-BAE4-11CF-BF7D-00AA006946EE} asked for IUrlHistoryStg2; COM is
// initialised by the application.
class CWinUrlHistory : public IUrlHistory {
 public:
  bool ClearHistory() override;
};

}  // namespace sh
