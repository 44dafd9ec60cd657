// The deciders over an in-memory machine: what each rule lets a spot reach.
// The run around them (rows, Abort, preview against clean) is shown end to
// end by the window's and the console's suites.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/clean_run.h"
#include "engine/special_stores.h"
#include "support/memory_machine.h"

namespace sh {
namespace {

using test::CleanerRig;
using Acts = std::vector<std::string>;

// The folder-walk rules: one folder entry (its folder removed at the end,
// subfolders walked and removed when `descend`) on a user's machine whose
// protected folders are listed in odd spellings.
TEST(SpotCleaner, FolderWalkRules) {
  const std::string bob = "C:\\Documents and Settings\\bob";
  struct Case {
    const char* path;
    const char* mask;
    int descend;
    Acts acted;
  };
  std::vector<Case> cases = {
      // A named mask cleans a protected folder's own files only.
      {"C:\\WINDOWS\\.", "*.log", 1, {"delete C:\\WINDOWS\\setup.log"}},
      // A protected folder met on the way is never entered.
      {bob.c_str(), "*.*", 1,
       {"delete " + bob + "\\Cache\\a.tmp", "remove folder " + bob + "\\Cache", "remove folder " + bob}},
      // Masks match long names, in any case.
      {"C:\\T", "*.tmp", 0, {"delete C:\\T\\a.tmp", "delete C:\\T\\B.TMP", "remove folder C:\\T"}},
      // A pattern in the path: the folder is not removed.
      {"C:\\T\\*.TMP", "", 0, {"delete C:\\T\\a.tmp", "delete C:\\T\\B.TMP"}},
      // Names exactly as listed; desktop.ini is kept, an unspellable name left.
      {"C:\\R", "*.*", 0, {"delete C:\\R\\desktop.ini ", "delete C:\\R\\doc.", "remove folder C:\\R"}},
      // A link is removed (with its subfolders) but never walked.
      {"C:\\L", "*.*", 1,
       {"delete C:\\L\\a.tmp", "remove folder C:\\L\\link", "delete C:\\L\\sub\\deep.tmp", "remove folder C:\\L\\sub",
        "remove folder C:\\L"}},
      {"C:\\L", "*.*", 0, {"delete C:\\L\\a.tmp", "remove folder C:\\L"}},
      // Any mask of only wildcards means the protected folder or root itself.
      {"C:\\program files", "*", 1, {}}, {"c:\\\\", "*.", 1, {}}, {"C:\\DOCUME~1\\bob\\Desktop", "", 1, {}},
  };
  // Other spellings of protected folders and roots, unknown macros and
  // relative paths: spot_cleaner_property_test.cpp.
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " " + c.mask);
    CleanerRig rig;
    test::MemoryMachine& m = rig.machine;
    m.protectedFolders = {"c:/windows/", "C:\\PROGRA~1", bob + "\\Desktop\\."};
    m.AddShortName("C:\\PROGRA~1", "C:\\Program Files");
    m.AddShortName("C:\\DOCUME~1", "C:\\Documents and Settings");
    for (const std::string& file :
         Acts{"C:\\WINDOWS\\system.ini", "C:\\WINDOWS\\setup.log", "C:\\WINDOWS\\Temp\\old.log", "C:\\boot.ini",
              "C:\\Program Files\\App\\app.exe", bob + "\\Desktop\\letter.doc", bob + "\\Cache\\a.tmp", "C:\\T\\a.tmp",
              "C:\\T\\B.TMP", "C:\\T\\budget.tmpl", "C:\\T\\tmp", "C:\\T\\x.tmp.txt", "C:\\R\\desktop.ini",
              "C:\\R\\desktop.ini ", "C:\\R\\doc.", "C:\\R\\unicode", "C:\\L\\a.tmp", "C:\\L\\sub\\deep.tmp"})
      m.AddFile(file);
    m.At("C:\\R\\unicode").spellable = false;
    m.AddFolder("C:\\L\\link", kAttrReparsePoint);
    m.AddFile("C:\\L\\link\\target.doc");  // what a walk through the link would reach
    auto spot = CreateSpot("s", 1);
    spot->AddFolder(c.path, c.mask, 1, c.descend, c.descend);
    rig.Clean(*spot);
    EXPECT_EQ(m.acted, c.acted);
  }
}

// Files 255 levels below the entry's folder are reached, none deeper.
TEST(SpotCleaner, FolderWalkStopsAtItsDepthLimit) {
  CleanerRig rig;
  std::string folder = "C:\\D";
  for (int level = 0; level <= 256; ++level, folder += "\\d") rig.machine.AddFile(folder + "\\f.tmp");
  auto spot = CreateSpot("s", 1);
  spot->AddFolder("C:\\D", "*.*", 0, 1, 0);
  rig.Clean(*spot);
  EXPECT_EQ(rig.machine.acted.size(), 256u);
}

// The user's form store is named by the SID text; sub-authorities are unsigned.
TEST(SpecialStores, SidTextNamesTheUsersFormStore) {
  const uint8_t nt[6] = {0, 0, 0, 0, 0, 5};
  EXPECT_EQ(SidText(nt, {21, 3085031214u, 1563985344, 725345543, 1003}),
            "S-1-5-21-3085031214-1563985344-725345543-1003");
}

TEST(SpotCleaner, EachTypeRunsItsCleaners) {
  const Acts found = {"delete C:\\found.000\\FILE0000.CHK", "remove folder C:\\found.000", "delete C:\\found.001",
                      "remove folder C:\\found.002", "delete C:\\FOUND.123\\sub\\FILE0001.CHK",
                      "remove folder C:\\FOUND.123\\sub", "remove folder C:\\FOUND.123"};
  // The user's SID store is opened and closed again whether or not it is
  // there; the logon-name store is cleaned in the machine's hive when the
  // user's has none.
  const std::string sidStore = "HKEY_CURRENT_USER\\" + FormStoreKey("S-1-5-21-7");
  const std::string logonStore = "HKEY_LOCAL_MACHINE\\" + FormStoreKey("bob");
  const std::pair<int, Acts> cases[] = {
      {kSpotAutoComplete,
       {"open form store S-1-5-21-7", "set value " + sidStore + " : Display String", "close form store S-1-5-21-7",
        "delete key " + logonStore, "create key " + logonStore, "set value " + logonStore + " : Display String"}},
      {kSpotRecycleBin, {"empty from bin C:\\Recycled\\Dc1.txt", "empty recycle bin "}},
      // Only chkdsk's names, never through a link.
      {kSpotFoundFolders, found},
      // The entry's file goes with it and is not met again; a stray file is.
      {kSpotCookies, {"delete entry Cookie:bob@ads.example/", "delete C:\\Cookies\\stray.txt"}},
      {kSpotVisited, {"delete entry Visited: bob@http://a.example/", "wipe C:\\Hist\\index.dat"}},
      // The browser holds its history's index: deleted at the next restart.
      {kSpotHistory, {"clear history ", "wipe C:\\Hist\\index.dat", "delete at restart C:\\Hist\\index.dat"}},
      {0, {}},  // an ordinary spot never touches index.dat
  };
  for (const auto& [type, acted] : cases) {
    SCOPED_TRACE(type);
    CleanerRig rig;
    test::MemoryMachine& m = rig.machine;
    for (const char* file : {"C:\\Recycled\\INFO2", "C:\\Recycled\\Dc1.txt", "C:\\Recycled\\desktop.ini",
                             "C:\\Cookies\\bob@ads[1].txt", "C:\\Cookies\\bob@bank[1].txt", "C:\\Cookies\\stray.txt",
                             "C:\\Hist\\index.dat", "C:\\found.000\\FILE0000.CHK", "C:\\FOUND.123\\sub\\FILE0001.CHK",
                             "C:\\found.photos\\2019\\wedding.jpg", "C:\\found", "C:\\found.001", "C:\\found.12\\x"})
      m.AddFile(file);
    m.AddValue(RegRoot::kLocalMachine, FormStoreKey("bob"), "entry");
    m.AddFolder("C:\\found.002", kAttrReparsePoint);
    m.AddFile("C:\\found.002\\target.doc");
    m.cookies = "C:\\Cookies";
    m.history = "C:\\Hist";
    m.cache = {{"Cookie:bob@ads.example/", "C:\\Cookies\\bob@ads[1].txt", 0},
               {"Cookie:bob@bank.example/", "C:\\Cookies\\bob@bank[1].txt", 0},
               {"Visited: bob@http://a.example/", "", 0}};
    m.keptCookies = {"COOKIE:BOB@BANK.EXAMPLE/"};
    if (type == kSpotHistory) m.held = {m.Key("C:\\Hist\\index.dat")};
    auto spot = CreateSpot("s", 1);
    spot->Type = type;
    spot->AddFolder("C:\\Hist", "*.*", 0, 0, 0);
    rig.Clean(*spot);
    EXPECT_EQ(m.acted, acted);
    EXPECT_TRUE(m.Exists("C:\\Cookies\\bob@bank[1].txt")) << "a kept cookie keeps its file";
  }
}

TEST(SpotCleaner, RegistryKeysAreEmptiedPastWhatCannotGoAndSharedKeysRefused) {
  CleanerRig rig;
  test::MemoryMachine& m = rig.machine;
  const RegRoot cu = RegRoot::kCurrentUser;
  m.AddValue(cu, "Software\\App\\MRU", "a");
  m.AddKey(cu, "Software\\App\\MRU\\Sub1\\Deep");
  m.AddKey(cu, "Software\\App\\MRU\\Sub2");
  m.AddKey(cu, "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  m.lockedKeys.insert(test::MemoryMachine::RegKeyText(cu, "Software\\App\\MRU\\Sub1\\Deep"));
  m.AddValue(cu, "Software\\App", "LastFile");
  auto spot = CreateSpot("app", 1);
  for (const char* refused : {"Software", "Software\\Microsoft", "\\", "", "SOFTWARE\\\\Microsoft",
                              "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "software/classes"})
    spot->AddRegKey(cu, refused);
  spot->AddRegKey(cu, "Software\\App\\MRU");
  spot->AddRegKey(cu, "Software\\App\\Missing");
  spot->AddRegKey(RegRoot::kNone, "Software\\Odd");
  spot->AddRegValue(cu, "Software\\App", "LastFile");
  rig.Clean(*spot);
  EXPECT_TRUE(m.KeyExists(cu, "Software\\App\\MRU\\Sub1\\Deep")) << "the locked key stays";
  EXPECT_FALSE(m.KeyExists(cu, "Software\\App\\MRU\\Sub2")) << "the rest goes on";
  EXPECT_FALSE(m.ValueExists(cu, "Software\\App", "LastFile"));
  EXPECT_FALSE(m.KeyExists(cu, "Software\\App\\Missing")) << "never created";
  EXPECT_EQ(rig.prompt.asked.size(), 1u) << "the key of no root is shown";
  EXPECT_EQ(rig.report.outcomes[0].keys, 1) << "the value; the key could not go whole";
  for (const std::string& act : m.acted) EXPECT_EQ(ToUpperAscii(act).find("MICROSOFT"), std::string::npos) << act;
}

// The pre-run check for open browser and folder windows, over made-up
// windows that close when asked (at once, late, never), in made-up
// processes, some of them the shell's.
constexpr int kNever = -1, kShell = 10;  // kShell: the process of the taskbar and the desktop
constexpr BrowserWindowKind kIE = BrowserWindowKind::kBrowser, kFolder = BrowserWindowKind::kFolder;

struct FakeWindow {
  BrowserWindowKind kind;
  int pid, closesAfterMs;  // after the close request; kNever: ignores it
  int askedAt = kNever;
  bool open = true;
};

// Handles are indexes into `windows`; time passes only in Pause.
struct FakeBrowserWindows : IBrowserWindows {
  std::vector<BrowserWindow> FindBrowserWindows() override {
    std::vector<BrowserWindow> found;
    for (BrowserWindowKind kind : {kIE, kFolder})
      for (size_t i = 0; i < windows.size(); ++i)
        if (windows[i].kind == kind) found.push_back(BrowserWindow{i, kind});
    return found;
  }
  bool AskToClose() override { return ++questions, yes; }
  void RequestClose(uintptr_t w) override { windows.at(w).askedAt = now; }
  bool IsOpen(uintptr_t w) override {
    const FakeWindow& x = windows.at(w);
    return x.open && (x.askedAt == kNever || x.closesAfterMs == kNever || now - x.askedAt < x.closesAfterMs);
  }
  bool OwnerIsShell(uintptr_t w) override { return windows.at(w).pid == kShell; }
  bool EndOwnerProcess(uintptr_t w) override {
    ended.push_back(windows.at(w).pid);
    for (FakeWindow& x : windows) x.open = x.open && (x.pid != ended.back() || x.pid == locked);
    return ended.back() != locked;
  }
  void Pause(int ms) override { now += ms; }

  std::vector<FakeWindow> windows;
  bool yes = true;
  int locked = 0;  // a process that cannot be ended
  int questions = 0, now = 0;
  std::vector<int> ended;
};

// Expected: whether the user is asked, which processes are ended, and how
// long the run waits.
TEST(CloseBrowserWindows, AsksEveryWindowAndEndsOnlyStubbornBrowsersOutsideTheShell) {
  const int late = kBrowserCloseWaitMs - kBrowserClosePollMs, all = kBrowserCloseWaitMs;
  // Every kind: the shell's folder and browser windows, another folder
  // window, two windows of one process, one that closes in time.
  const std::vector<FakeWindow> kinds = {{kFolder, kShell, kNever}, {kIE, kShell, kNever}, {kFolder, 2, kNever},
                                         {kIE, 3, kNever},          {kIE, 3, kNever},      {kIE, 6, 500}};
  const struct { const char* what; std::vector<FakeWindow> windows; bool unattended, yes; int locked, questions;
                 std::vector<int> ended; int waitedMs; } cases[] = {
      {"no window", {}, false, true, 0, 0, {}, 0},
      {"unattended", kinds, true, true, 0, 0, {}, 0},
      {"answered No", kinds, false, false, 0, 1, {}, 0},
      {"browser closes late in the wait", {{kIE, 1, late}}, false, true, 0, 1, {}, late},
      {"browser closes after the wait", {{kIE, 1, all + 100}}, false, true, 0, 1, {1}, all},
      {"every kind", kinds, false, true, 0, 1, {3}, all},
      {"a process that cannot be ended", kinds, false, true, 3, 1, {3, 3}, all},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBrowserWindows fake;
    fake.windows = c.windows;
    fake.yes = c.yes;
    fake.locked = c.locked;
    CloseBrowserWindows(fake, c.unattended);
    EXPECT_EQ(fake.questions, c.questions);
    EXPECT_EQ(fake.ended, c.ended);
    EXPECT_EQ(fake.now, c.waitedMs);
  }
}

}  // namespace
}  // namespace sh
