// The URL cache: the cookie and visited-page entries of the browser, and
// the URL history object.
#include "engine/url_cache_win.h"

#include <urlhist.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "paths/known_locations_win.h"
#include "toolkit/text.h"

namespace sh {
namespace {

constexpr DWORD kFirstRecordSize = 4096;
// No cache record comes near this; a larger request is taken as a fault.
constexpr DWORD kMaxRecordSize = 1u << 20;
// Growth is asked for at most this often per call.
constexpr int kMaxGrowth = 8;

const CLSID kUrlHistoryClass = {0x3C374A40, 0xBAE4, 0x11CF, {0xBF, 0x7D, 0x00, 0xAA, 0x00, 0x69, 0x46, 0xEE}};
const IID kUrlHistoryStg2Interface = {0xAFA0DC11, 0xC313, 0x11D0, {0x83, 0x1A, 0x00, 0xC0, 0x4F, 0xD5, 0xAE, 0x38}};

void ToEntry(const INTERNET_CACHE_ENTRY_INFOA* record, UrlCacheEntry& entry) {
  entry.sourceName = record->lpszSourceUrlName ? record->lpszSourceUrlName : "";
  entry.localFileName = record->lpszLocalFileName ? record->lpszLocalFileName : "";
  entry.lastAccessTime = (static_cast<uint64_t>(record->LastAccessTime.dwHighDateTime) << 32) |
                         record->LastAccessTime.dwLowDateTime;
}


}  // namespace

bool CWinInet::Load() {
  if (module_) return true;
  const std::string folder = GetSystemFolder();
  if (folder.empty()) return false;
  ScopedLibrary module(LoadLibraryA((folder + "\\wininet.dll").c_str()));
  if (!module || !BindProc(module.get(), "FindFirstUrlCacheEntryA", findFirst) ||
      !BindProc(module.get(), "FindNextUrlCacheEntryA", findNext) ||
      !BindProc(module.get(), "FindCloseUrlCache", findClose) ||
      !BindProc(module.get(), "DeleteUrlCacheEntryA", deleteEntry))
    return false;
  module_ = std::move(module);
  return true;
}

void CUrlCacheEnum::Close() {
  if (handle_ != nullptr) inet_.findClose(handle_);
  handle_ = nullptr;
}

const INTERNET_CACHE_ENTRY_INFOA* CUrlCacheEnum::Fetch(bool first, const std::string& pattern) {
  if (!first && handle_ == nullptr) return nullptr;
  DWORD wanted = first ? kFirstRecordSize : size_;
  for (int attempt = 0; attempt <= kMaxGrowth; ++attempt) {
    if (size_ < wanted) {
      if (wanted > kMaxRecordSize) return nullptr;
      buffer_.assign((wanted + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0);
      size_ = wanted;
    } else {
      std::fill(buffer_.begin(), buffer_.end(), 0);
    }
    DWORD size = size_;
    if (first) {
      HANDLE found = inet_.findFirst(pattern.c_str(), record(), &size);
      if (found != nullptr) {
        Close();
        handle_ = found;
        return record();
      }
    } else if (inet_.findNext(handle_, record(), &size)) {
      return record();
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= size_) return nullptr;
    wanted = size;
  }
  return nullptr;
}

bool CUrlCacheEnum::Matches(const INTERNET_CACHE_ENTRY_INFOA* entry) const {
  const char* name = entry->lpszSourceUrlName;
  if (name == nullptr || std::strlen(name) < prefix_.size()) return false;
  return EqualsNoCase(std::string(name, prefix_.size()), prefix_);
}

const INTERNET_CACHE_ENTRY_INFOA* CUrlCacheEnum::SkipForeign(const INTERNET_CACHE_ENTRY_INFOA* entry) {
  while (entry != nullptr && !Matches(entry)) entry = Fetch(false, std::string());
  return entry;
}

const INTERNET_CACHE_ENTRY_INFOA* CUrlCacheEnum::First(const std::string& prefix) {
  Close();
  prefix_ = prefix;
  if (prefix.empty()) return nullptr;
  const INTERNET_CACHE_ENTRY_INFOA* entry = Fetch(true, prefix);
  if (entry == nullptr && std::islower(static_cast<unsigned char>(prefix[0]))) {
    std::string capital = prefix;
    capital[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capital[0])));
    entry = Fetch(true, capital);
  }
  return SkipForeign(entry);
}

const INTERNET_CACHE_ENTRY_INFOA* CUrlCacheEnum::Next() { return SkipForeign(Fetch(false, std::string())); }

bool CWinUrlCache::First(const std::string& prefix, UrlCacheEntry& entry) {
  // A cache that cannot be reached is an empty one, as on a system without
  // Internet Explorer.
  if (!inet_.Load()) return false;
  const INTERNET_CACHE_ENTRY_INFOA* record = enum_.First(prefix);
  if (record == nullptr) return false;
  ToEntry(record, entry);
  return true;
}

bool CWinUrlCache::Next(UrlCacheEntry& entry) {
  const INTERNET_CACHE_ENTRY_INFOA* record = enum_.Next();
  if (record == nullptr) return false;
  ToEntry(record, entry);
  return true;
}

bool CWinUrlCache::DeleteEntry(const std::string& sourceName) {
  if (!inet_.Load()) return false;
  return inet_.deleteEntry(sourceName.c_str()) != 0;
}

bool CWinUrlHistory::ClearHistory() {
  ScopedComPtr<IUrlHistoryStg2> history;
  if (FAILED(CoCreateInstance(kUrlHistoryClass, nullptr, CLSCTX_INPROC_SERVER, kUrlHistoryStg2Interface,
                              reinterpret_cast<void**>(history.Receive()))))
    return false;
  history.get()->ClearHistory();
  return true;
}

}  // namespace sh
