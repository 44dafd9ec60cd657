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

#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "app/child_process.h"
#include "engine/clean_run.h"
#include "engine/cookie_ignore.h"
#include "engine/manage_cookies.h"
#include "engine/manage_cookies_panel_win.h"
#include "engine/url_cache_rig.h"
#include "engine/url_cache_win.h"
#include "engine/wine_rig.h"
#include "res/resource.h"
#include "toolkit/gui_fixture.h"
#include "toolkit/text.h"

namespace sh::test {
namespace {

// The system's own conversion of a UTC file time, written as the page does.
std::string SystemTimeText(uint64_t fileTime) {
  FILETIME time = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  SYSTEMTIME fields = {};
  if (!FileTimeToSystemTime(&time, &fields)) return "(refused)";
  return Format("%d/%d/%d,%d:%d:%d", fields.wDay, fields.wMonth, fields.wYear, fields.wHour, fields.wMinute,
                fields.wSecond);
}

TEST(CookieAccessTimeOnWine, AgreesWithTheSystemsConversion) {
  uint64_t state = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    // Half of them within 1601 to 2057, where cookies live; the rest
    // anywhere the system converts.
    const uint64_t fileTime = i % 2 ? (state >> 7) : (state >> 1);
    ASSERT_EQ(CookieAccessTimeText(fileTime), SystemTimeText(fileTime)) << fileTime;
  }
}

// WinINet keeps the cookie container's index open until its process ends:
// the page's test fills the cache in a child process of its own.
TEST(ManageCookiesOnWine, PageRunsInAProcessOfItsOwn) {
  const ChildResult child = RunChild(TestsInChild("DISABLED_ManageCookiesPage.*"));
  EXPECT_TRUE(child.PassedOne()) << child.output;
}

constexpr uint64_t k3Feb2005At140509 = 127519131090000000ull;

bool SetLastAccess(const std::string& name, uint64_t fileTime) {
  INTERNET_CACHE_ENTRY_INFOA info = {};
  info.dwStructSize = sizeof info;
  info.LastAccessTime = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  return SetUrlCacheEntryInfoA(name.c_str(), &info, CACHE_ENTRY_ACCTIME_FC) != FALSE;
}

// The entry's last access time as the cache holds it; 0 when unknown.
uint64_t LastAccessOf(const std::string& name) {
  std::vector<uint64_t> buffer(1024);
  auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
  DWORD size = DWORD(buffer.size() * sizeof(uint64_t));
  if (!GetUrlCacheEntryInfoA(name.c_str(), entry, &size)) return 0;
  return (uint64_t{entry->LastAccessTime.dwHighDateTime} << 32) | entry->LastAccessTime.dwLowDateTime;
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
  // Each row as "name|time|x" (x: ticked).
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int row = 0; row < panel.RowCount(); ++row)
      rows.push_back(panel.list().ItemText(row, 0) + "|" + panel.list().ItemText(row, 1) +
                     (panel.RowChecked(row) ? "|x" : ""));
    return rows;
  }
  int RowOf(const std::string& name) const {
    for (int row = 0; row < panel.RowCount(); ++row)
      if (panel.list().ItemText(row, 0) == name) return row;
    return -1;
  }
  void ShowAgain() {
    panel.Show(SW_HIDE);
    panel.Show(SW_SHOW);
  }
  void ClickIgnore() { SendMessageA(panel.Item(IDC_COOKIE_IGNORE), BM_CLICK, 0, 0); }
  std::string IgnoreFile() const { return ReadBytes(data / "Igckies.swh"); }

  ScratchDir data{"cookie-page"};
  WinRig rig;
  CManageCookiesPanel panel{std::make_unique<CWinUrlCache>(), rig.settings, rig.prompt};
};

TEST_F(DISABLED_ManageCookiesPage, ListsEveryCookieOnceAndKeepsTheTickedOnes) {
  const std::string mail = "Cookie:user@mail.example/", ads = "Cookie:user@ads.example/";
  ASSERT_FALSE(AddCookie(mail, 120).empty());
  ASSERT_FALSE(AddCookie(ads, 80).empty());
  ASSERT_TRUE(SetLastAccess(mail, k3Feb2005At140509));
  // A persistent cookie the browser's own way; its entry is named by the
  // user and the host.
  ASSERT_TRUE(InternetSetCookieA("http://shop.example/", "basket", "3; expires=Sat, 01-Jan-2050 00:00:00 GMT"));
  char user[256] = {};
  DWORD length = sizeof user;
  ASSERT_TRUE(GetUserNameA(user, &length));
  const std::string shop = std::string("Cookie:") + user + "@shop.example/";
  ASSERT_EQ(CookieNames(), (std::set<std::string>{ads, mail, shop}));
  // Kept before, in other letters and as the page writes it (CR CR LF).
  ASSERT_TRUE(WriteIgnoredCookies(data / "Igckies.swh", {"COOKIE:USER@MAIL.EXAMPLE/"}));

  panel.Show(SW_SHOW);
  ShowAgain();  // listed afresh, never twice
  const std::vector<std::string> rows = Rows();
  ASSERT_EQ(rows.size(), 3u) << ::testing::PrintToString(rows);
  EXPECT_NE(std::find(rows.begin(), rows.end(), mail + "|3/2/2005,14:5:9|x"), rows.end())
      << ::testing::PrintToString(rows);
  for (const std::string& other : {ads, shop}) {
    const int row = RowOf(other);
    ASSERT_GE(row, 0) << other;
    EXPECT_FALSE(panel.RowChecked(row)) << other;
    EXPECT_EQ(panel.list().ItemText(row, 1), SystemTimeText(LastAccessOf(other))) << other;
  }

  // The shop is kept too; the file holds the ticked rows from the top.
  panel.SetRowChecked(RowOf(shop), true);
  ClickIgnore();
  std::string expected;
  for (int row = 0; row < panel.RowCount(); ++row)
    if (panel.RowChecked(row)) expected += IgnoredCookieRecord(panel.list().ItemText(row, 0));
  EXPECT_EQ(IgnoreFile(), expected);
  EXPECT_EQ(expected.size(), (mail + "\r\r\n" + shop + "\r\r\n").size());
  ASSERT_EQ(rig.prompt.asked.size(), 1u);
  EXPECT_EQ(rig.prompt.asked[0].text, "Selected Cookies Ignored");
  EXPECT_EQ(rig.prompt.asked[0].caption, "") << "the application's name";
  ShowAgain();
  EXPECT_TRUE(panel.RowChecked(RowOf(mail)) && panel.RowChecked(RowOf(shop)) && !panel.RowChecked(RowOf(ads)))
      << "read back as written";

  // The cookie spot keeps what the page kept.
  CCleaningSpot spot("Cookies", 1);
  spot.Type = kSpotCookies;
  rig.Clean(spot);
  EXPECT_EQ(CookieNames(), (std::set<std::string>{mail, shop}));

  // Enter in the list stays in the page: nothing written, nothing said.
  SetFocus(panel.list().hwnd());
  SendMessageA(panel.hwnd(), WM_COMMAND, IDOK, 0);
  EXPECT_EQ(rig.prompt.asked.size(), 1u);
  EXPECT_TRUE(host.commands.empty());

  // Nothing ticked: an empty file.
  ShowAgain();
  for (int row = 0; row < panel.RowCount(); ++row) panel.SetRowChecked(row, false);
  ClickIgnore();
  EXPECT_TRUE(Exists(data / "Igckies.swh"));
  EXPECT_EQ(IgnoreFile(), "");
  EXPECT_EQ(rig.prompt.asked.size(), 2u);
}

}  // namespace
}  // namespace sh::test
