#include "engine/manage_cookies.h"

#include "engine/cookie_ignore.h"
#include "toolkit/text.h"

namespace sh {
namespace {

constexpr uint64_t kStepsPerSecond = 10000000;
// Days from 1 January 1601 to 1 January 1970.
constexpr int64_t kDays1601To1970 = 134774;

struct CivilDate {
  int64_t year;
  int month, day;
};

// The proleptic Gregorian date of a day count from 1 January 1970 (eras of
// 400 years, March-based years so that the leap day ends a year).
CivilDate CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 = March
  const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  return {yearOfEra + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

}  // namespace

std::string CookieAccessTimeText(uint64_t fileTime) {
  if (fileTime >= (uint64_t{1} << 63)) return std::string();
  const uint64_t seconds = fileTime / kStepsPerSecond;
  const int64_t days = static_cast<int64_t>(seconds / 86400);
  const int secondOfDay = static_cast<int>(seconds % 86400);
  const CivilDate date = CivilFromDays(days - kDays1601To1970);
  return Format("%d/%d/%d,%d:%d:%d", date.day, date.month, static_cast<int>(date.year), secondOfDay / 3600,
                secondOfDay / 60 % 60, secondOfDay % 60);
}

std::vector<CookieRow> ReadCookieRows(IUrlCache& cache, const std::string& ignoreFile) {
  std::vector<CookieRow> rows;
  UrlCacheEntry entry;
  for (bool more = cache.First("cookie:", entry); more; more = cache.Next(entry))
    rows.push_back({entry.sourceName, CookieAccessTimeText(entry.lastAccessTime),
                    IsCookieIgnored(ignoreFile, entry.sourceName)});
  return rows;
}

}  // namespace sh
