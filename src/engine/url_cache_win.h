// The WinINet URL cache and the URL history object.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "engine/url_cache.h"
#include "toolkit/win_handles_win.h"

namespace sh {

// One enumeration at a time over the cache entries whose names begin with a
// prefix. The record buffer starts at 4096 bytes and grows when WinINet asks
// for more. Windows matches the prefix ignoring case; Wine compares it with
// the container name exactly ("Cookie:", "Visited:"), so a prefix that finds
// nothing is asked once more with its first letter in upper case. Records
// whose names do not begin with the prefix are passed over, so the cleaners
// never see another container's entries.
class CUrlCacheEnum {
 public:
  CUrlCacheEnum() = default;
  CUrlCacheEnum(const CUrlCacheEnum&) = delete;
  CUrlCacheEnum& operator=(const CUrlCacheEnum&) = delete;

  // Ends any open enumeration; null when there is no entry (or the prefix
  // is empty: WinINet would list every container).
  const INTERNET_CACHE_ENTRY_INFOA* First(const std::string& prefix);
  const INTERNET_CACHE_ENTRY_INFOA* Next();
  void Close() { handle_.reset(); }
  DWORD bufferSize() const { return size_; }

 private:
  const INTERNET_CACHE_ENTRY_INFOA* Fetch(bool first, const std::string& pattern);
  const INTERNET_CACHE_ENTRY_INFOA* SkipForeign(const INTERNET_CACHE_ENTRY_INFOA* entry);
  bool Matches(const INTERNET_CACHE_ENTRY_INFOA* entry) const;
  INTERNET_CACHE_ENTRY_INFOA* record() { return reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer_.data()); }

  std::vector<uint64_t> buffer_;  // the record, in words so that it is aligned
  DWORD size_ = 0;                // bytes of buffer_
  ScopedUrlCacheFind handle_;
  std::string prefix_;
};

class CWinUrlCache : public IUrlCache {
 public:
  bool First(const std::string& prefix, UrlCacheEntry& entry) override;
  bool Next(UrlCacheEntry& entry) override;
  bool DeleteEntry(const std::string& sourceName) override;

 private:
  CUrlCacheEnum enum_;
};

// {3C374A40-BAE4-11CF-BF7D-00AA006946EE} asked for IUrlHistoryStg2; COM is
// initialised by the application.
class CWinUrlHistory : public IUrlHistory {
 public:
  bool ClearHistory() override;
};

}  // namespace sh
