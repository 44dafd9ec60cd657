// Each special spot Type end to end: CleanSpot through CWinSpotCleaners on
// traces seeded in the test prefix, then a look at what is left.
#include <gtest/gtest.h>

#include "engine/cookie_ignore.h"
#include "engine/registry_scratch_key.h"
#include "engine/special_stores.h"
#include "engine/url_cache_entries.h"
#include "engine/win_cleaners_win.h"
#include "support/recorders.h"
#include "support/win_fs.h"

namespace sh::test {
namespace {

class RecordingShell : public IRecycleBinShell {
 public:
  std::vector<std::string> DriveRoots() override { return roots; }
  void EmptyRecycleBin() override { ++emptied; }
  std::vector<std::string> roots;
  int emptied = 0;
};

// Stands in for the history object, whose ClearHistory Wine leaves
// unimplemented.
class RecordingHistory : public IUrlHistory {
 public:
  bool ClearHistory() override {
    ++cleared;
    return true;
  }
  int cleared = 0;
};

// The system's cleaners with the Windows and History folders moved to
// scratch folders (the prefix's own History folder holds the live cache
// index of this very process).
class ScratchFolderCleaners : public CWinSpotCleaners {
 public:
  using CWinSpotCleaners::CWinSpotCleaners;
  std::string HistoryFolder() override { return history; }
  std::string WindowsFolder() override { return windows; }
  std::string history, windows;
};

class SpecialSpot : public ::testing::Test {
 protected:
  SpecialSpot() {
    settings.values["path"] = data.path();
    CSpotCleanerSeams seams;
    seams.recycleShell = &shell;
    seams.urlHistory = &history;
    seams.ntFamily = true;
    cleaners = std::make_unique<ScratchFolderCleaners>(settings, prompt, seams);
  }
  void Clean(CCleaningSpot& spot) {
    CleanSpot(spot, context, *cleaners);
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines.front(), "Cleaning : " + spot.Name + " ******************************\r\n");
    EXPECT_EQ(log.lines.back(), "End *********************************************\r\n\r\n");
    EXPECT_EQ(progress.Cell(0, kStatusColumn), "Cleaned");
  }
  ScratchDir data{"spot-data"};
  RecordingShell shell;
  RecordingHistory history;
  MapSettings settings;
  ScriptedPrompt prompt;
  RecordingLog log;
  RecordingProgress progress;
  ScriptedControl control;
  std::unique_ptr<ScratchFolderCleaners> cleaners;
  CCleanRunContext context{&log, &progress, &control, 0};
};

TEST_F(SpecialSpot, RecycleBin) {
  ScratchDir drive("spot-bin");
  MakeDirs(drive / "Recycled\\Dc3");
  WriteBytes(drive / "Recycled\\INFO2", 800, 'i');
  WriteBytes(drive / "Recycled\\desktop.ini", 60, 'd');
  WriteBytes(drive / "Recycled\\Dc1.exe", 5000);
  WriteBytes(drive / "Recycled\\Dc3\\inner.txt", 50);
  shell.roots = {drive.path() + "\\"};
  CCleaningSpot spot("Recycle Bin", 1);
  spot.Type = kSpotRecycleBin;
  spot.AddFolder(drive / "Recycled", "*.*", 1, 1, 1);  // not used by this Type

  Clean(spot);

  EXPECT_EQ(ReadBytes(drive / "Recycled\\INFO2").size(), 800u);
  EXPECT_EQ(ReadBytes(drive / "Recycled\\desktop.ini").size(), 60u);
  EXPECT_TRUE(Exists(drive / "Recycled\\Dc1.exe"));
  EXPECT_EQ(ReadBytes(drive / "Recycled\\Dc1.exe").size(), 0u);
  EXPECT_EQ(ReadBytes(drive / "Recycled\\Dc3\\inner.txt").size(), 0u);
  EXPECT_EQ(shell.emptied, 1);
  EXPECT_EQ(progress.Cell(0, kFilesColumn), "2");
}

TEST_F(SpecialSpot, CookiesKeepTheIgnoredOneFileAndEntry) {
  CleanUrlCache clean;
  const std::string cookies = cleaners->CookiesFolder();
  ASSERT_FALSE(cookies.empty());
  const std::string kept = AddCookieEntry("Cookie:user@mail.example/", 120);
  const std::string gone = AddCookieEntry("Cookie:user@ads.example/", 80);
  ASSERT_FALSE(kept.empty() || gone.empty());
  ASSERT_EQ(StripTrailing(kept.substr(0, kept.find_last_of('\\')), '\\'), StripTrailing(cookies, '\\'));
  WriteBytes(cookies + "\\stray.txt", 33);
  ASSERT_TRUE(WriteIgnoredCookies(data / "Igckies.swh", {"Cookie:user@mail.example/"}));
  CCleaningSpot spot("Cookies", 1);
  spot.Type = kSpotCookies;

  Clean(spot);

  EXPECT_EQ(CacheNames("Cookie:"), std::set<std::string>{"Cookie:user@mail.example/"});
  EXPECT_TRUE(Exists(kept));
  EXPECT_EQ(ReadBytes(kept).size(), 120u);
  EXPECT_FALSE(Exists(gone));
  EXPECT_FALSE(Exists(cookies + "\\stray.txt"));
  EXPECT_TRUE(log.Has("Deleting : " + cookies + "\\stray.txt \r\n"));
  // The store of the kept entry is left out of the walk. (Wine would accept
  // its deletion and carry it out once the process lets go of the file, so
  // only the walk's trace can show that it was not attempted.)
  for (const std::string& line : log.lines) EXPECT_EQ(line.find("index.dat"), std::string::npos) << line;
}

TEST_F(SpecialSpot, VisitedEntriesAndTheSpotsFolders) {
  CleanUrlCache clean;
  ASSERT_TRUE(AddVisitedEntry("Visited: user@http://a.example/"));
  ASSERT_TRUE(AddVisitedEntry("Visited: user@http://b.example/x"));
  ScratchDir folder("spot-visited");
  WriteBytes(folder / "index.dat", 2000);
  WriteBytes(folder / "desktop.ini", 50);
  WriteBytes(folder / "page.htm", 70);
  CCleaningSpot spot("Visited pages", 1);
  spot.Type = kSpotVisited;
  spot.AddFolder(folder.path(), "*.*", 0, 0, 0);
  spot.AddRegKey(RegRoot::kCurrentUser, "Software\\shtest-never-touched");  // not used by this Type

  Clean(spot);

  EXPECT_TRUE(CacheNames("Visited:").empty());
  const std::string index = ReadBytes(folder / "index.dat");
  ASSERT_EQ(index.size(), 2000u);
  EXPECT_EQ(index.substr(0, 64), std::string(64, 'x'));
  EXPECT_EQ(index.find_first_not_of('\0', 64), std::string::npos);
  EXPECT_TRUE(Exists(folder / "desktop.ini"));
  EXPECT_FALSE(Exists(folder / "page.htm"));
  EXPECT_TRUE(prompt.asked.empty());
}

TEST_F(SpecialSpot, HistoryFoldersWithIndexWipedInPlace) {
  ScratchDir windows("spot-windows"), historyDir("spot-history");
  cleaners->windows = windows.path();
  cleaners->history = historyDir.path();
  MakeDirs(windows / "History\\Today");
  WriteBytes(windows / "History\\Today\\visit.url", 40);
  WriteBytes(windows / "History\\index.dat", 300);
  MakeDirs(historyDir / "History.IE5\\MSHist01");
  WriteBytes(historyDir / "desktop.ini", 50);
  WriteBytes(historyDir / "History.IE5\\index.dat", 5000);
  WriteBytes(historyDir / "History.IE5\\MSHist01\\index.dat", 1000);
  WriteBytes(historyDir / "History.IE5\\MSHist01\\leftover.tmp", 10);
  CCleaningSpot spot("History", 1);
  spot.Type = kSpotHistory;

  Clean(spot);

  EXPECT_EQ(history.cleared, 1);
  EXPECT_FALSE(Exists(windows / "History\\Today"));  // emptied and removed
  for (const std::string& index : {windows / "History\\index.dat", historyDir / "History.IE5\\index.dat",
                                   historyDir / "History.IE5\\MSHist01\\index.dat"}) {
    std::string bytes = ReadBytes(index);
    EXPECT_GT(bytes.size(), 64u) << index;
    EXPECT_EQ(bytes.find_first_not_of('\0', 64), std::string::npos) << index;
  }
  EXPECT_TRUE(Exists(historyDir / "desktop.ini"));
  EXPECT_FALSE(Exists(historyDir / "History.IE5\\MSHist01\\leftover.tmp"));
  // One count for both folders: Today, visit.url and index.dat under
  // Windows\History; History.IE5, MSHist01, two index.dat and leftover.tmp
  // in History (desktop.ini is not counted).
  EXPECT_EQ(progress.Cell(0, kFilesColumn), "8");
}

TEST_F(SpecialSpot, AutoCompleteStoreOfTheLogonName) {
  char name[260] = {};
  DWORD length = sizeof name;
  ASSERT_TRUE(GetUserNameA(name, &length));
  const std::string base = FormStoreBase(name), store = FormStoreKey(name);
  if (KeyExists(HKEY_CURRENT_USER, base)) GTEST_SKIP() << "the prefix already has a store of this user";
  struct RemoveAtEnd {
    std::string key;
    ~RemoveAtEnd() { RemoveKeyTree(HKEY_CURRENT_USER, key); }
  } removeAtEnd{base};
  SetString(HKEY_CURRENT_USER, store, "a", "typed once");
  SetString(HKEY_CURRENT_USER, store + "\\Sub", "b", "typed twice");
  CCleaningSpot spot("AutoComplete", 1);
  spot.Type = kSpotAutoComplete;

  Clean(spot);

  EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, store), std::vector<std::string>{"Display String"});
  EXPECT_TRUE(SubKeys(HKEY_CURRENT_USER, store).empty());
  ASSERT_EQ(log.lines.size(), 3u);
  EXPECT_EQ(log.lines[1], "Cleaned : HKEY_CURRENT_USER\\" + store + "\r\n");
}

}  // namespace
}  // namespace sh::test
