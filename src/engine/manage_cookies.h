// What the Manage Cookies page shows and keeps, without Win32: one row per
// cookie entry of the URL cache with its last access time and whether the
// ignore file lists it. The page (CManageCookiesPanel) fills its list from
// these rows and writes the ticked names with WriteIgnoredCookies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/url_cache.h"

namespace sh {

struct CookieRow {
  std::string name;        // the entry's source name, as listed
  std::string lastAccess;  // CookieAccessTimeText of its last access
  bool ignored = false;    // listed in the ignore file
};

// A UTC file time (100-nanosecond steps since 1 January 1601) as
// "%d/%d/%d,%d:%d:%d": day, month, year, hour, minute, second, without
// leading zeros and without conversion to local time. Empty for a time the
// system cannot convert either (2^63 and above).
std::string CookieAccessTimeText(uint64_t fileTime);

// Every "cookie:" entry of the cache in the cache's order.
std::vector<CookieRow> ReadCookieRows(IUrlCache& cache, const std::string& ignoreFile);

}  // namespace sh
