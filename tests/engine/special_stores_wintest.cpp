// Special spots through CleanSpot and the real cleaners, on traces seeded in
// the test prefix: what each must leave behind. What each Type decides is
// tested natively (spot_cleaner_test.cpp); that every seeded trace of every
// Type goes, by the console's end-to-end suite.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <set>

#include "app/child_process.h"
#include "engine/cookie_ignore.h"
#include "engine/machine_ports_win.h"
#include "engine/path_rules.h"
#include "engine/url_cache_rig.h"
#include "engine/wine_rig.h"
#include "support/win_fs.h"

namespace sh::test {
namespace {

struct SpecialSpotOnWine : ::testing::Test {
  SpecialSpotOnWine() { rig.settings.values["path"] = data.path(); }
  void Clean(int type) {
    CCleaningSpot spot("special", 1);
    spot.Type = type;
    rig.Clean(spot);
  }
  ScratchDir data{"spot-data"};
  WinRig rig;
};

// Every drive's bin is walked (the harness leaves the prefix no Z: drive
// of the host's file system to be one).
TEST_F(SpecialSpotOnWine, RecycleBinLeavesEmptyNamesForTheShellsEmpty) {
  const std::vector<std::string> roots = LocalDriveRoots();
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots[0], "C:\\");
  // A bin of the test's own: one already there is moved aside and put back.
  struct OwnBin {
    bool aside = Exists("C:\\Recycled") && MoveFileA("C:\\Recycled", "C:\\Recycled.shtest-aside");
    ~OwnBin() {
      RemoveTree("C:\\Recycled");
      if (aside) MoveFileA("C:\\Recycled.shtest-aside", "C:\\Recycled");
    }
  } ownBin;
  ASSERT_FALSE(Exists("C:\\Recycled"));
  MakeDirs("C:\\Recycled\\Dc2");
  for (const char* kept : {"INFO2", "desktop.ini", "Dc2\\desktop.ini"})
    WriteBytes(std::string("C:\\Recycled\\") + kept, 65, 'k');
  const char* const binned[] = {"C:\\Recycled\\Dc1.txt", "C:\\Recycled\\Dc2\\report.doc", "C:\\Recycled\\Dc3.doc"};
  for (const char* file : binned) WriteBytes(file, 300);
  // Held without delete sharing: it cannot go, so it is cut to nothing.
  ScopedHandle held(
      CreateFileA(binned[2], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());

  Clean(kSpotRecycleBin);
  held.reset();

  for (const char* kept : {"INFO2", "desktop.ini", "Dc2\\desktop.ini"})
    EXPECT_EQ(ReadBytes(std::string("C:\\Recycled\\") + kept), std::string(65, 'k')) << kept;
  for (const char* file : binned) EXPECT_TRUE(Exists(file) && ReadBytes(file).empty()) << file;
  EXPECT_EQ(rig.emptied, 1);
}

// WinINet keeps a container's index open until its process ends, and a
// deleted index.dat stays while any process holds it: the spot that fills the
// cache runs in a child process of its own, so that no later test (nor a
// program it starts) finds the index held by this one.
TEST(UrlCacheOnWine, CookieSpotRunsInAProcessOfItsOwn) {
  const ChildResult child = RunChild(TestsInChild("DISABLED_UrlCacheSpots.*"));
  EXPECT_TRUE(child.PassedOne()) << child.output;
}

struct DISABLED_UrlCacheSpots : SpecialSpotOnWine {
  DISABLED_UrlCacheSpots() { ClearCookies(); }
  ~DISABLED_UrlCacheSpots() override { ClearCookies(); }
};

TEST_F(DISABLED_UrlCacheSpots, CookiesKeepTheIgnoredOnesEntryAndFile) {
  // The shell's own folders, which the cookie and history spots walk.
  const std::string cookies = rig.cleaners.environment().CookiesFolder();
  EXPECT_TRUE(Exists(rig.cleaners.environment().HistoryFolder()));
  const std::string kept = AddCookie("Cookie:user@mail.example/", 120);
  const std::string gone = AddCookie("Cookie:user@ads.example/", 80);
  // Longer than the enumerator's first 4096-byte record.
  const std::string large = AddCookie("Cookie:user@long.example/" + std::string(6000, 'p') + "/", 10);
  ASSERT_FALSE(cookies.empty() || kept.empty() || gone.empty() || large.empty());
  ASSERT_TRUE(EqualsNoCase(ParentPath(NormalizePath(kept)), NormalizePath(cookies))) << kept;
  WriteBytes(cookies + "\\stray.txt", 33);
  // Written in upper case: read back ignoring case.
  ASSERT_TRUE(WriteIgnoredCookies(data / "Igckies.swh", {"COOKIE:USER@MAIL.EXAMPLE/"}));

  Clean(kSpotCookies);

  EXPECT_EQ(CookieNames(), std::set<std::string>{"Cookie:user@mail.example/"});
  EXPECT_EQ(ReadBytes(kept).size(), 120u);
  for (const std::string& file : {gone, large, cookies + "\\stray.txt"}) EXPECT_FALSE(Exists(file)) << file;
  // The kept entry's store is left out of the walk. (Wine would accept its
  // deletion and carry it out once WinINet lets go of the file, so only the
  // actions can show that it was not attempted.)
  for (const std::string& act : rig.report.acted)
    EXPECT_EQ(ToUpperAscii(act).find("INDEX.DAT"), std::string::npos) << act;
}

}  // namespace
}  // namespace sh::test
