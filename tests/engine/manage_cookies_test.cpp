// The Manage Cookies page's dates: UTC file times as day/month/year and
// time without leading zeros. The rows themselves are seen on the page over
// Wine's own cache (manage_cookies_wintest.cpp).
#include "engine/manage_cookies.h"

#include <gtest/gtest.h>

namespace sh {
namespace {

TEST(CookieAccessTime, DayMonthYearInUtcWithoutLeadingZeros) {
  const std::pair<uint64_t, const char*> kCases[] = {
      {127519131090000000ull, "3/2/2005,14:5:9"},
      {0, "1/1/1601,0:0:0"},
      {127225727990000000ull + 9999999, "29/2/2004,23:59:59"},  // the leap day; the fraction is dropped
      {125962992000000000ull, "29/2/2000,12:0:0"},               // a century that leaps
      {157520160000000000ull - 10000000, "28/2/2100,23:59:59"},  // one that does not
      {157520160000000000ull, "1/3/2100,0:0:0"},
      {(1ull << 63) - 1, "14/9/30828,2:48:5"},  // the last time the system converts
      {1ull << 63, ""},
  };
  for (const auto& [fileTime, text] : kCases) EXPECT_EQ(CookieAccessTimeText(fileTime), text) << fileTime;
}

}  // namespace
}  // namespace sh
