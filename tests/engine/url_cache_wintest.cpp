// The URL cache for real: entries made with WinINet in the test prefix,
// enumerated and deleted through the program's enumerator and cleaners.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <thread>

#include "engine/cookie_ignore.h"
#include "engine/url_cache_entries.h"
#include "engine/url_cache_win.h"
#include "engine/win_cleaners_win.h"
#include "support/recorders.h"

namespace sh::test {
namespace {

std::vector<std::string> Enumerate(CUrlCacheEnum& cache, const std::string& prefix) {
  std::vector<std::string> names;
  for (auto* entry = cache.First(prefix); entry != nullptr; entry = cache.Next())
    names.push_back(entry->lpszSourceUrlName);
  return names;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(UrlCacheEnum, FindsEntriesByPrefixWhateverTheCase) {
  CleanUrlCache clean;
  ASSERT_FALSE(AddCookieEntry("Cookie:user@one.example/", 10).empty());
  ASSERT_FALSE(AddCookieEntry("Cookie:user@two.example/path/", 20).empty());
  ASSERT_TRUE(AddVisitedEntry("Visited: user@http://one.example/page.htm"));
  CUrlCacheEnum cache;

  // Wine finds nothing for "cookie:" itself (its pattern is compared exactly
  // with "Cookie:"); the enumerator must find the entries all the same.
  std::vector<std::string> cookies = Enumerate(cache, "cookie:");
  EXPECT_EQ(cookies.size(), 2u);
  EXPECT_TRUE(Contains(cookies, "Cookie:user@one.example/"));
  EXPECT_TRUE(Contains(cookies, "Cookie:user@two.example/path/"));
  EXPECT_EQ(Enumerate(cache, "Cookie:"), cookies);

  std::vector<std::string> visited = Enumerate(cache, "visited:");
  EXPECT_EQ(visited, std::vector<std::string>{"Visited: user@http://one.example/page.htm"});

  // No prefix would list every container (Wine includes the content cache).
  EXPECT_EQ(cache.First(""), nullptr);
  EXPECT_EQ(cache.Next(), nullptr);
}

TEST(UrlCacheEnum, GrowsItsBufferForALargeRecord) {
  CleanUrlCache clean;
  const std::string longName = "Cookie:user@long.example/" + std::string(6000, 'p') + "/";
  ASSERT_FALSE(AddCookieEntry(longName, 10).empty());
  ASSERT_FALSE(AddCookieEntry("Cookie:user@short.example/", 10).empty());
  CUrlCacheEnum cache;

  std::vector<std::string> names = Enumerate(cache, "cookie:");

  EXPECT_EQ(names.size(), 2u);
  EXPECT_TRUE(Contains(names, longName));
  EXPECT_GT(cache.bufferSize(), 6000u);
}

struct CookieRun {
  explicit CookieRun(const std::string& dataFolder) {
    settings.values["path"] = dataFolder;
    cleaners = std::make_unique<CWinSpotCleaners>(settings, prompt);
  }
  MapSettings settings;
  ScriptedPrompt prompt;
  RecordingLog log;
  RecordingProgress progress;
  ScriptedControl control;
  std::unique_ptr<CWinSpotCleaners> cleaners;
  CCleanRunContext context{&log, &progress, &control, 0};
  CCleaningSpot spot{"Cookies", 1};
};

TEST(CookieCache, IgnoredCookieKeepsItsEntryAndItsFile) {
  CleanUrlCache clean;
  ScratchDir data("cookies-data");
  const std::string gone1 = AddCookieEntry("Cookie:user@ads.example/", 100);
  const std::string kept = AddCookieEntry("Cookie:user@bank.example/", 200);
  const std::string gone2 = AddCookieEntry("Cookie:user@tracker.example/", 300);
  ASSERT_FALSE(gone1.empty() || kept.empty() || gone2.empty());
  // Written as the panel writes it, read back ignoring case.
  ASSERT_TRUE(WriteIgnoredCookies(data / "Igckies.swh", {"COOKIE:USER@BANK.EXAMPLE/"}));
  CookieRun run(data.path());

  run.cleaners->CleanCookieCache(run.spot, run.context);

  EXPECT_EQ(CacheNames("Cookie:"), std::set<std::string>{"Cookie:user@bank.example/"});
  EXPECT_TRUE(Exists(kept));
  EXPECT_FALSE(Exists(gone1));
  EXPECT_FALSE(Exists(gone2));
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "2");
  EXPECT_EQ(run.progress.Cell(0, kSizeColumn), "400 bytes");
  EXPECT_EQ(run.control.files, 3);  // a pause after every entry, kept ones too

  // The Cookies folder walk is told to keep the kept cookie's file and the
  // index of the entries.
  std::vector<std::string> keep = run.cleaners->IgnoredCookieFiles();
  EXPECT_EQ(keep, (std::vector<std::string>{FileNamePart(kept), "index.dat"}));
}

TEST(CookieCache, MissingFileAndUnreadableIgnoreList) {
  CleanUrlCache clean;
  ScratchDir data("cookies-nolist");
  const std::string withFile = AddCookieEntry("Cookie:user@a.example/", 1500);
  const std::string noFile = AddCookieEntry("Cookie:user@b.example/", 700);
  ASSERT_FALSE(withFile.empty() || noFile.empty());
  ASSERT_TRUE(DeleteFileA(noFile.c_str()));
  CookieRun run(data.path());  // no Igckies.swh in the data folder

  EXPECT_TRUE(run.cleaners->IgnoredCookieFiles().empty());
  run.cleaners->CleanCookieCache(run.spot, run.context);

  EXPECT_TRUE(CacheNames("Cookie:").empty());
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "2");
  EXPECT_EQ(run.progress.Cell(0, kSizeColumn), "1.46 KB");  // 1500 bytes: the missing file adds none
}

TEST(CookieCache, AbortStopsBeforeTheNextEntry) {
  CleanUrlCache clean;
  ScratchDir data("cookies-abort");
  for (const char* host : {"a", "b", "c"})
    ASSERT_FALSE(AddCookieEntry(std::string("Cookie:user@") + host + ".example/", 10).empty());
  CookieRun run(data.path());
  run.control.onFile = [&](int) { run.control.running = false; };

  run.cleaners->CleanCookieCache(run.spot, run.context);

  EXPECT_EQ(CacheNames("Cookie:").size(), 2u);
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "1");
}

TEST(VisitedCache, DeletesVisitedEntriesOnly) {
  CleanUrlCache clean;
  ScratchDir data("visited");
  ASSERT_TRUE(AddVisitedEntry("Visited: user@http://a.example/"));
  ASSERT_TRUE(AddVisitedEntry("Visited: user@file:///C:/secret.txt"));
  ASSERT_FALSE(AddCookieEntry("Cookie:user@a.example/", 10).empty());
  CookieRun run(data.path());

  run.cleaners->CleanVisitedCache(run.spot, run.context);

  EXPECT_TRUE(CacheNames("Visited:").empty());
  EXPECT_EQ(CacheNames("Cookie:").size(), 1u);
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "2");
  EXPECT_EQ(run.progress.Cell(0, kSizeColumn), "0 bytes");
  EXPECT_EQ(run.control.files, 2);
}

// Wine creates the history object, but its ClearHistory returns E_NOTIMPL:
// what the call does to the history cannot be seen here, only that the
// object is made when COM is ready and not otherwise.
TEST(UrlHistory, ObjectIsCreatedOnlyWithComInitialised) {
  bool withoutCom = true;
  std::thread fresh([&] { withoutCom = CWinUrlHistory().ClearHistory(); });
  fresh.join();
  EXPECT_FALSE(withoutCom);

  bool withCom = false;
  std::thread initialised([&] {
    if (SUCCEEDED(CoInitialize(nullptr))) {
      withCom = CWinUrlHistory().ClearHistory();
      CoUninitialize();
    }
  });
  initialised.join();
  EXPECT_TRUE(withCom);
}

}  // namespace
}  // namespace sh::test
