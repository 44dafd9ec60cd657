// The deciders over an in-memory machine: what each rule lets a spot reach.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/clean_run.h"
#include "engine/spot_cleaner.h"
#include "support/memory_machine.h"

namespace sh {
namespace {

using test::CleanerRig;

// A user's machine: Windows, a profile with a desktop, a temp folder.
void LayOutMachine(test::MemoryMachine& m) {
  m.protectedFolders = {"C:\\WINDOWS", "C:\\Program Files", "C:\\Documents and Settings\\bob\\Desktop"};
  m.AddFile("C:\\WINDOWS\\system.ini");
  m.AddFile("C:\\WINDOWS\\Temp\\old.log");
  m.AddFile("C:\\WINDOWS\\setup.log");
  m.AddFile("C:\\Program Files\\App\\app.exe");
  m.AddShortName("C:\\PROGRA~1", "C:\\Program Files");
  m.AddFile("C:\\Documents and Settings\\bob\\Desktop\\letter.doc");
  m.AddFile("C:\\Documents and Settings\\bob\\Desktop\\notes.log");
  m.AddFile("C:\\boot.ini");
}

void CleanEntry(CleanerRig& rig, const std::string& path, const std::string& mask, int descend) {
  auto spot = CreateSpot("s", 1);
  spot->AddFolder(path, mask, 1, descend, descend);
  CCleanRunContext context = rig.Context();
  rig.cleaner.CleanFolders(*spot, context);
}

TEST(SpotCleaner, NoSpellingOfAProtectedFolderOrRootEmptiesIt) {
  const char* spellings[] = {
      "C:\\WINDOWS\\.\\", "c:/windows//", "C:\\WINDOWS\\..\\WINDOWS", "C:\\WINDOWS\\Temp\\..",
      "C:\\PROGRA~1", "C:\\Documents and Settings\\bob\\Desktop\\.",
      "C:\\Documents and Settings\\bob\\Desktop\\..\\Desktop", "C:\\", "C:", "c:\\\\", "C:\\WINDOWS\\*.*",
      ":WINDIR:\\", "WINDOWS", "\\WINDOWS", "C:\\..\\WINDOWS"};
  for (const char* path : spellings) {
    CleanerRig rig;
    LayOutMachine(rig.machine);
    const size_t before = rig.machine.nodes.size();
    CleanEntry(rig, path, "*.*", 1);
    EXPECT_EQ(rig.machine.nodes.size(), before) << path;
    EXPECT_TRUE(rig.machine.acted.empty()) << path << ": " << rig.machine.acted.front();
  }
}

TEST(SpotCleaner, NamedMaskCleansOnlyTheProtectedFolderOwnFiles) {
  CleanerRig rig;
  LayOutMachine(rig.machine);
  CleanEntry(rig, "C:\\WINDOWS\\.", "*.log", 1);
  EXPECT_FALSE(rig.machine.Exists("C:\\WINDOWS\\setup.log"));
  EXPECT_TRUE(rig.machine.Exists("C:\\WINDOWS\\Temp\\old.log")) << "never walked into";
  EXPECT_TRUE(rig.machine.Exists("C:\\WINDOWS")) << "DeleteRootDir never removes it";
}

TEST(SpotCleaner, WalkNeverEntersAProtectedFolderItMeets) {
  CleanerRig rig;
  LayOutMachine(rig.machine);
  rig.machine.AddFile("C:\\Documents and Settings\\bob\\Cache\\a.tmp");
  CleanEntry(rig, "C:\\Documents and Settings\\bob", "*.*", 1);
  EXPECT_FALSE(rig.machine.Exists("C:\\Documents and Settings\\bob\\Cache"));
  EXPECT_TRUE(rig.machine.Exists("C:\\Documents and Settings\\bob\\Desktop\\letter.doc"));
}

TEST(SpotCleaner, MaskMatchesLongNamesOnly) {
  CleanerRig rig;
  for (const char* name : {"budget.tmpl", "report.tmpx", "a.tmp", "B.TMP", "tmp", "x.tmp.txt"})
    rig.machine.AddFile(std::string("C:\\T\\") + name);
  CleanEntry(rig, "C:\\T", "*.tmp", 0);
  EXPECT_EQ(rig.machine.acted, (std::vector<std::string>{"delete C:\\T\\a.tmp", "delete C:\\T\\B.TMP",
                                                         "remove folder C:\\T"}));
}

TEST(SpotCleaner, FoundFoldersAreOnlyChkdskNames) {
  CleanerRig rig;
  rig.machine.AddFile("C:\\found.000\\FILE0000.CHK");
  rig.machine.AddFile("C:\\FOUND.123\\sub\\FILE0001.CHK");
  rig.machine.AddFile("C:\\found.photos\\2019\\wedding.jpg");
  rig.machine.AddFile("C:\\found");
  rig.machine.AddFile("C:\\found.001");
  rig.machine.AddFile("C:\\found.12\\x");
  rig.machine.AddFolder("C:\\found.002", kAttrReparsePoint);
  CCleanRunContext context = rig.Context();
  rig.cleaner.CleanFoundFolders(context);
  for (const char* gone : {"C:\\found.000", "C:\\FOUND.123", "C:\\found.001", "C:\\found.002"})
    EXPECT_FALSE(rig.machine.Exists(gone)) << gone;
  for (const char* kept : {"C:\\found.photos\\2019\\wedding.jpg", "C:\\found", "C:\\found.12\\x"})
    EXPECT_TRUE(rig.machine.Exists(kept)) << kept;
  EXPECT_TRUE(rig.log.Has("Link Not Entered : C:\\found.002 \r\n"));
}

TEST(SpotCleaner, LinksAreRemovedNeverWalked) {
  CleanerRig rig;
  rig.machine.AddFile("C:\\Temp\\a.tmp");
  rig.machine.AddFolder("C:\\Temp\\link", kAttrReparsePoint);
  rig.machine.AddFile("C:\\Temp\\link\\target-data.doc");  // what a walk through the link would reach
  CleanEntry(rig, "C:\\Temp", "*.*", 1);
  EXPECT_TRUE(rig.machine.Exists("C:\\Temp\\link\\target-data.doc"));
  EXPECT_TRUE(rig.log.Has("Link Not Entered : C:\\Temp\\link \r\n"));
  EXPECT_EQ(rig.report.counts[0].first, 2) << "the link counts as a folder, the file as a file";
}

TEST(SpotCleaner, NamesAreActedOnExactlyOrReported) {
  CleanerRig rig;
  rig.machine.AddFile("C:\\R\\desktop.ini");
  rig.machine.AddFile("C:\\R\\desktop.ini ");
  rig.machine.AddFile("C:\\R\\doc.");
  rig.machine.AddFile("C:\\R\\unicode");
  rig.machine.nodes[test::MemoryMachine::Key("C:\\R\\unicode")].spellable = false;
  auto spot = CreateSpot("recent", 1);
  spot->AddFolder("C:\\R", "*.*", 0, 0, 0);
  CCleanRunContext context = rig.Context();
  CleanSpot(*spot, context, rig.cleaner);
  EXPECT_TRUE(rig.machine.Exists("C:\\R\\desktop.ini")) << "excluded by its exact name";
  EXPECT_FALSE(rig.machine.Exists("C:\\R\\desktop.ini "));
  EXPECT_FALSE(rig.machine.Exists("C:\\R\\doc."));
  EXPECT_TRUE(rig.log.Has("Could Not Delete : C:\\R\\unicode \r\n"));
  EXPECT_EQ(rig.report.outcomes[0].files, 3);
}

TEST(SpotCleaner, UnreadableOrUnknownFoldersAreSaidNotSkippedSilently) {
  CleanerRig rig;
  rig.machine.AddFolder("C:\\Locked");
  rig.machine.unreadable.insert(test::MemoryMachine::Key("C:\\Locked"));
  CleanEntry(rig, "C:\\Locked", "*.*", 0);
  CleanEntry(rig, ":YAHOO_USER:\\x", "*.*", 0);
  EXPECT_TRUE(rig.log.Has("Could Not Delete : C:\\Locked\\*.* \r\n"));
  EXPECT_TRUE(rig.log.Has("Skipped (not a folder to walk) : :YAHOO_USER:\\x \r\n"));
}

TEST(SpotCleaner, RegistryKeysAreEmptiedPastWhatCannotGoAndSharedKeysRefused) {
  CleanerRig rig;
  const RegRoot cu = RegRoot::kCurrentUser;
  rig.machine.AddValue(cu, "Software\\App\\MRU", "a");
  rig.machine.AddKey(cu, "Software\\App\\MRU\\Sub1\\Deep");
  rig.machine.AddKey(cu, "Software\\App\\MRU\\Sub2");
  rig.machine.lockedKeys.insert(test::MemoryMachine::RegKeyText(cu, "SOFTWARE\\APP\\MRU\\SUB1\\DEEP"));
  rig.machine.AddValue(cu, "Software\\App", "LastFile");
  auto spot = CreateSpot("app", 1);
  for (const char* refused : {"Software", "Software\\Microsoft", "\\", "", "SOFTWARE\\\\Microsoft",
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Run"})
    spot->AddRegKey(cu, refused);
  spot->AddRegKey(cu, "Software\\App\\MRU");
  spot->AddRegKey(cu, "Software\\App\\Missing");
  spot->AddRegKey(RegRoot::kNone, "Software\\Odd");
  spot->AddRegValue(cu, "Software\\App", "LastFile");
  CCleanRunContext context = rig.Context();
  CleanSpot(*spot, context, rig.cleaner);
  EXPECT_TRUE(rig.machine.HasKey(cu, "Software\\App\\MRU\\Sub1\\Deep")) << "the locked key stays";
  EXPECT_FALSE(rig.machine.HasKey(cu, "Software\\App\\MRU\\Sub2")) << "the rest goes on";
  EXPECT_FALSE(rig.machine.ValueExists(cu, "Software\\App", "LastFile"));
  EXPECT_FALSE(rig.machine.HasKey(cu, "Software\\App\\Missing")) << "never created";
  EXPECT_TRUE(rig.machine.HasKey(cu, "Software\\Microsoft\\Windows\\CurrentVersion\\Run") ||
              !rig.machine.HasKey(cu, "Software\\Microsoft"));
  EXPECT_TRUE(rig.log.Has("Could Not Delete Key : HKEY_CURRENT_USER\\Software\\App\\MRU\\SUB1\\DEEP \r\n"));
  EXPECT_TRUE(rig.log.Has("Skipped (not a key to clean) : HKEY_CURRENT_USER\\Software \r\n"));
  ASSERT_EQ(rig.prompt.asked.size(), 1u);
  EXPECT_EQ(rig.prompt.asked[0].caption, "Invalid hKey Found in (CleanRegistryKey)");
  EXPECT_EQ(rig.report.outcomes[0].keys, 1) << "the value; the key could not go whole";
  EXPECT_TRUE(rig.report.outcomes[0].cleaned);
  for (const std::string& act : rig.machine.acted) EXPECT_EQ(act.find("MICROSOFT"), std::string::npos) << act;
}

TEST(SpotCleaner, EachTypeRunsItsCleaners) {
  struct Case {
    int type;
    std::vector<std::string> acted;
  };
  const Case cases[] = {
      {2, {"empty from bin C:\\Recycled\\Dc1.txt", "empty recycle bin "}},
      // The entry's file goes with it and is not met again; a stray file is.
      {6, {"delete entry Cookie:bob@ads.example/", "delete C:\\Cookies\\stray.txt"}},
      {7, {"delete entry Visited: bob@http://a.example/", "wipe C:\\Hist\\index.dat"}},
      {8, {"clear history ", "wipe C:\\Hist\\index.dat"}},
      {0, {}},  // an ordinary spot never touches index.dat
  };
  for (const Case& c : cases) {
    CleanerRig rig;
    rig.machine.AddFile("C:\\Recycled\\INFO2");
    rig.machine.AddFile("C:\\Recycled\\Dc1.txt");
    rig.machine.AddFile("C:\\Recycled\\desktop.ini");
    rig.machine.AddFile("C:\\Cookies\\bob@ads[1].txt");
    rig.machine.AddFile("C:\\Cookies\\bob@bank[1].txt");
    rig.machine.AddFile("C:\\Cookies\\stray.txt");
    rig.machine.AddFile("C:\\Hist\\index.dat");
    rig.machine.cookies = "C:\\Cookies";
    rig.machine.history = "C:\\Hist";
    rig.machine.cache = {{"Cookie:bob@ads.example/", "C:\\Cookies\\bob@ads[1].txt", 0},
                         {"Cookie:bob@bank.example/", "C:\\Cookies\\bob@bank[1].txt", 0},
                         {"Visited: bob@http://a.example/", "", 0}};
    rig.machine.keptCookies = {"COOKIE:BOB@BANK.EXAMPLE/"};
    auto spot = CreateSpot("s", 1);
    spot->Type = c.type;
    spot->AddFolder("C:\\Hist", "*.*", 0, 0, 0);
    CCleanRunContext context = rig.Context();
    CleanSpot(*spot, context, rig.cleaner);
    EXPECT_EQ(rig.machine.acted, c.acted) << "type " << c.type;
    EXPECT_TRUE(rig.machine.Exists("C:\\Cookies\\bob@bank[1].txt")) << "a kept cookie keeps its file";
  }
}

// A URL-cache entry is no file: its loop pumps messages (Abort is heard
// between entries) but never takes the 10 ms file pause.
TEST(SpotCleaner, UrlCacheLoopsPumpPerEntryWithoutTheFilePause) {
  struct Case {
    int type;
    const char* prefix;
  };
  for (const Case& c : {Case{kSpotCookies, "Cookie:bob@site"}, Case{kSpotVisited, "Visited: bob@http://site"}}) {
    for (int abortAtPump : {0, 2}) {
      CleanerRig rig;
      for (int i = 0; i < 5; ++i)
        rig.machine.cache.push_back({std::string(c.prefix) + std::to_string(i) + ".example/", "", 0});
      if (abortAtPump > 0)
        rig.control.onPump = [&](int n) { rig.control.running = n < abortAtPump; };
      auto spot = CreateSpot("cache", 1);
      spot->Type = c.type;
      CCleanRunContext context = rig.Context();
      CleanSpot(*spot, context, rig.cleaner);
      const size_t expected = abortAtPump > 0 ? static_cast<size_t>(abortAtPump) : 5u;
      EXPECT_EQ(rig.machine.acted.size(), expected) << c.type << " abort at " << abortAtPump;
      EXPECT_EQ(rig.control.files, 0) << c.type << ": no file pause for an entry";
      EXPECT_GE(rig.control.pumps, static_cast<int>(expected)) << c.type;
    }
  }
}

// The run: rows, events, abort between files, preview equal to clean.
struct RunRig : CleanerRig {
  test::FixedClock clock{LocalTime{2026, 12, 5, 7, 4, 9}};
  struct NoBrowsers : IBrowserWindows {
    std::vector<BrowserWindow> FindBrowserWindows() override { return {}; }
    bool AskToClose() override { return false; }
    void RequestClose(uintptr_t) override {}
    bool IsOpen(uintptr_t) override { return false; }
    bool OwnerIsShell(uintptr_t) override { return false; }
    bool EndOwnerProcess(uintptr_t) override { return false; }
    void Pause(int) override {}
  } browsers;
  CCleaningRun run{report, control, cleaner, browsers, clock};
  RunRig() { control.run = &run; }
};

TEST(CleaningRun, AbortBetweenFilesEndsTheSpotAndLeavesLaterRowsPending) {
  RunRig rig;
  for (int i = 0; i < 5; ++i) rig.machine.AddFile("C:\\T\\f" + std::to_string(i) + ".tmp");
  auto spot = CreateSpot("temp", 1);
  spot->AddFolder("C:\\T", "*.tmp", 0, 0, 0);
  auto later = CreateSpot("later", 1);
  CPluginSpots empty("no spot", "");
  std::vector<CleanItem> rows{{spot.get(), nullptr}, {later.get(), nullptr}, {nullptr, &empty}};
  rig.control.onFile = [&](int n) {
    if (n == 2) rig.run.RunCleaning(&rows);  // the Abort click
  };
  rig.run.RunCleaning(&rows);
  EXPECT_EQ(rig.report.events, (std::vector<std::string>{"run", "row 0", "stop", "done 0 cleaned", "end"}));
  EXPECT_EQ(rig.report.outcomes[0].files, 2);
  EXPECT_TRUE(rig.machine.Exists("C:\\T\\f2.tmp"));
  EXPECT_FALSE(rig.run.running());
}

TEST(CleaningRun, PluginWithoutSpotGetsItsDoneMarkOnly) {
  RunRig rig;
  CPluginSpots empty("no spot", "");
  std::vector<CleanItem> rows{{nullptr, &empty}};
  rig.run.RunUnattended(&rows);
  EXPECT_EQ(rig.report.events, (std::vector<std::string>{"run", "done 0", "end"}));
  EXPECT_FALSE(rig.run.unattended());
}

TEST(CleaningRun, PreviewCountsWhatTheCleanDoesAndChangesNothing) {
  RunRig rig;
  rig.machine.AddFile("C:\\T\\a.tmp", 1500);
  rig.machine.AddFile("C:\\T\\sub\\b.tmp", 70000);
  rig.machine.AddFile("C:\\T\\sub\\c.txt", 5);
  rig.machine.AddValue(RegRoot::kCurrentUser, "Software\\App\\MRU\\x", "v");
  auto files = CreateSpot("files", 1);
  files->AddFolder("C:\\T", "*.*", 0, 1, 1);
  auto keys = CreateSpot("keys", 1);
  keys->AddRegKey(RegRoot::kCurrentUser, "Software\\App\\MRU");
  std::vector<CleanItem> rows{{files.get(), nullptr}, {keys.get(), nullptr}};
  const auto before = rig.machine.nodes;
  const auto keysBefore = rig.machine.keys;
  CPreviewExecutor preview;
  rig.cleaner.set_executor(preview);
  rig.run.RunCleaning(&rows);
  EXPECT_EQ(rig.machine.nodes.size(), before.size());
  EXPECT_EQ(rig.machine.keys, keysBefore);
  const auto previewed = rig.report.outcomes;
  rig.cleaner.set_executor(rig.machine);
  rig.run.RunCleaning(&rows);
  for (int row : {0, 1}) {
    EXPECT_EQ(previewed.at(row).files, rig.report.outcomes.at(row).files) << row;
    EXPECT_EQ(previewed.at(row).size, rig.report.outcomes.at(row).size) << row;
    EXPECT_EQ(previewed.at(row).keys, rig.report.outcomes.at(row).keys) << row;
  }
  EXPECT_EQ(previewed.at(0).files, 4) << "three files and a folder";
  EXPECT_FALSE(rig.machine.Exists("C:\\T\\sub"));
}

}  // namespace
}  // namespace sh
