// The Manage Cookies page on Wine's own URL cache: it lists every cookie
// entry once with its last access time, ticks the ones the ignore file
// keeps, and "Ignore Selected" writes the ticked ones back; the cookie spot
// then leaves exactly those. How the cleaner treats the file is tested in
// special_stores_wintest.cpp; here its rig only closes the loop.
//
// What Wine's WinINet does and does not do for these entries (Wine 8):
// CreateUrlCacheEntry with CommitUrlCacheEntry(COOKIE_CACHE_ENTRY) makes a
// "Cookie:" entry with a file, as InternetSetCookie does for a cookie with an
// expiry date ("Cookie:user@host/"); SetUrlCacheEntryInfo sets the last
// access time (CACHE_ENTRY_ACCTIME_FC) and it reads back as set. Not done:
// a search pattern in other letters than the container's ("cookie:" finds
// nothing, CWinUrlCache asks again with "Cookie:"), a session cookie (no
// expiry) makes no cache entry, and the header part of an entry cannot be
// changed (CACHE_ENTRY_HEADERINFO_FC is ignored).
#include <gtest/gtest.h>

#include "app/child_process.h"
#include "engine/cookie_ignore.h"
#include "engine/manage_cookies_panel_win.h"
#include "engine/url_cache_rig.h"
#include "engine/url_cache_win.h"
#include "engine/wine_rig.h"
#include "res/resource.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

// WinINet keeps the cookie container's index open until its process ends:
// the page's test fills the cache in a child process of its own.
TEST(ManageCookiesOnWine, PageRunsInAProcessOfItsOwn) {
  const ChildResult child = RunChild(TestsInChild("DISABLED_ManageCookiesPage.*"));
  EXPECT_TRUE(child.PassedOne()) << child.output;
}

bool SetLastAccess(const std::string& name, uint64_t fileTime) {
  INTERNET_CACHE_ENTRY_INFOA info = {};
  info.dwStructSize = sizeof info;
  info.LastAccessTime = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  return SetUrlCacheEntryInfoA(name.c_str(), &info, CACHE_ENTRY_ACCTIME_FC) != FALSE;
}

struct DISABLED_ManageCookiesPage : GuiTest {
  void SetUp() override {
    GuiTest::SetUp();
    ClearCookies();
    rig.settings.values["path"] = data.path();
    ASSERT_TRUE(panel.Create(host.hwnd()));
    panel.Move(0, 0, 553, 408);
  }
  void TearDown() override { ClearCookies(); }
  // The page shown afresh; its rows as "name|time|x" (x: ticked) in any order.
  std::multiset<std::string> RowsShownAgain() {
    panel.Show(SW_HIDE);
    panel.Show(SW_SHOW);
    std::multiset<std::string> rows;
    for (int row = 0; row < panel.RowCount(); ++row)
      rows.insert(panel.list().ItemText(row, 0) + "|" + panel.list().ItemText(row, 1) +
                  (panel.RowChecked(row) ? "|x" : ""));
    return rows;
  }
  // Ticks the rows named, unticks the others, and presses "Ignore Selected".
  void Ignore(const std::set<std::string>& names) {
    for (int row = 0; row < panel.RowCount(); ++row)
      panel.SetRowChecked(row, names.count(panel.list().ItemText(row, 0)) > 0);
    SendMessageA(panel.Item(IDC_COOKIE_IGNORE), BM_CLICK, 0, 0);
  }

  ScratchDir data{"cookie-page"};
  WinRig rig;
  CManageCookiesPanel panel{std::make_unique<CWinUrlCache>(), rig.settings, rig.prompt};
};

TEST_F(DISABLED_ManageCookiesPage, ListsEveryCookieOnceAndKeepsTheTickedOnes) {
  char user[256] = {};
  DWORD length = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &length));
  // Two entries made directly, one the browser's own way (named by the user
  // and the host); each with its last access time set in UTC.
  const std::string mail = "Cookie:user@mail.example/", ads = "Cookie:user@ads.example/",
                    shop = std::string("Cookie:") + user + "@shop.example/";
  ASSERT_FALSE(AddCookie(mail, 120).empty() || AddCookie(ads, 80).empty());
  ASSERT_TRUE(InternetSetCookieA("http://shop.example/", "basket", "3; expires=Sat, 01-Jan-2050 00:00:00 GMT"));
  ASSERT_EQ(CookieNames(), (std::set<std::string>{ads, mail, shop}));
  ASSERT_TRUE(SetLastAccess(mail, 127519131090000000ull) && SetLastAccess(ads, 125962992000000000ull) &&
              SetLastAccess(shop, 125911583990000000ull));
  // Kept before, in other letters.
  ASSERT_TRUE(WriteIgnoredCookies(data / "Igckies.swh", {"COOKIE:USER@MAIL.EXAMPLE/"}));
  panel.Show(SW_SHOW);
  const std::string mailRow = mail + "|3/2/2005,14:5:9", adsRow = ads + "|29/2/2000,12:0:0",
                    shopRow = shop + "|31/12/1999,23:59:59";
  EXPECT_EQ(RowsShownAgain(), (std::multiset<std::string>{mailRow + "|x", adsRow, shopRow}));

  // The shop is kept too; the file holds the ticked rows from the top.
  Ignore({mail, shop});
  const std::string file = ReadBytes(data / "Igckies.swh");
  EXPECT_TRUE(file == IgnoredCookieRecord(mail) + IgnoredCookieRecord(shop) ||
              file == IgnoredCookieRecord(shop) + IgnoredCookieRecord(mail))
      << file;
  EXPECT_EQ(rig.prompt.asked.size() == 1 ? rig.prompt.asked[0].text : "(not once)", "Selected Cookies Ignored");
  EXPECT_EQ(RowsShownAgain(), (std::multiset<std::string>{mailRow + "|x", adsRow, shopRow + "|x"}));

  // The cookie spot keeps what the page kept.
  CCleaningSpot spot("Cookies", 1);
  spot.Type = kSpotCookies;
  rig.Clean(spot);
  EXPECT_EQ(CookieNames(), (std::set<std::string>{mail, shop}));

  // Nothing ticked: an empty file.
  RowsShownAgain();
  Ignore({});
  EXPECT_TRUE(Exists(data / "Igckies.swh") && ReadBytes(data / "Igckies.swh").empty());
}

}  // namespace
}  // namespace sh::test
