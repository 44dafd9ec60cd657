#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/clean_run.h"
#include "support/recorders.h"

namespace sh {
namespace {

using test::FixedClock;
using test::RecordingLog;
using test::RecordingProgress;
using test::ScriptedControl;

// Records every cleaner call with the context it saw.
class RecordingCleaners : public ISpotCleaners {
 public:
  std::string Context(const CCleanRunContext& c) const {
    std::string ex;
    for (const auto& e : c.exclusions) ex += e + ";";
    return "[ex=" + ex + " wipe=" + c.wipeName + " flags=" + std::to_string(c.deleteRootDir) +
           std::to_string(c.includeSubFolders) + std::to_string(c.deleteSubFolders) + "]";
  }
  void CleanFolders(CCleaningSpot& s, CCleanRunContext& c) override { calls.push_back("folders " + s.Name + Context(c)); }
  void CleanFolder(CCleanRunContext& c, const std::string& path, const std::string& mask, int& count,
                   double& size) override {
    calls.push_back("folder " + path + " " + mask + " " + std::to_string(count) + "/" + std::to_string(size) +
                    Context(c));
    count += 2;  // both History folders share one count
    size += 10;
  }
  void CleanRegistry(CCleaningSpot& s, CCleanRunContext&) override { calls.push_back("registry " + s.Name); }
  void CleanRecycleBin(CCleaningSpot&, CCleanRunContext&) override { calls.push_back("recycle"); }
  void CleanFoundFolders(CCleaningSpot&, CCleanRunContext&) override { calls.push_back("found"); }
  void CleanCookieCache(CCleaningSpot&, CCleanRunContext&) override { calls.push_back("cookie cache"); }
  void CleanVisitedCache(CCleaningSpot&, CCleanRunContext&) override { calls.push_back("visited cache"); }
  bool ClearUrlHistory() override {
    calls.push_back("url history");
    return true;
  }
  void CleanAutoComplete(CCleaningSpot&, CCleanRunContext&) override { calls.push_back("autocomplete"); }
  std::string CookiesFolder() override { return cookies; }
  std::string HistoryFolder() override { return history; }
  std::string WindowsFolder() override { return "C:\\WINDOWS\\"; }
  std::vector<std::string> IgnoredCookieFiles() override { return {"user@keep[1].txt"}; }

  std::string cookies = "C:\\Cookies";
  std::string history = "C:\\History";
  std::vector<std::string> calls;
};

struct Harness {
  RecordingLog log;
  RecordingProgress progress;
  ScriptedControl control;
  RecordingCleaners cleaners;
  CCleanRunContext context{&log, &progress, &control, 4};
};

std::unique_ptr<CCleaningSpot> Spot(const char* name, int type, bool folders, bool keys = false) {
  auto spot = CreateSpot(name, 1);
  spot->Type = type;
  if (folders) spot->AddFolder("C:\\X", "*.*", 0, 0, 0);
  if (keys) spot->AddRegValue(RegRoot::kCurrentUser, "Software\\X", "v");
  return spot;
}

TEST(CleanSpot, EachTypeCallsItsCleanersInOrder) {
  struct Case {
    int type;
    bool folders, keys;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {2, true, true, {"recycle"}},
      {5, true, true, {"found"}},
      {6, true, true, {"cookie cache", "folder C:\\Cookies *.* 0/0.000000[ex=user@keep[1].txt; wipe= flags=000]"}},
      {7, true, true, {"visited cache", "folders s[ex=desktop.ini; wipe=index.dat flags=000]"}},
      {7, false, false, {"visited cache"}},
      {8, true, true,
       {"url history", "folder C:\\WINDOWS\\History *.* 0/0.000000[ex=desktop.ini; wipe=index.dat flags=011]",
        "folder C:\\History *.* 2/10.000000[ex=desktop.ini; wipe=index.dat flags=011]"}},
      {9, true, true, {"autocomplete"}},
      {0, true, true, {"folders s[ex=desktop.ini;index.dat; wipe= flags=000]", "registry s"}},
      {3, false, true, {"registry s"}},
      {1, true, false, {"folders s[ex=desktop.ini;index.dat; wipe= flags=000]"}},
      {0, false, false, {}},
  };
  for (const Case& c : cases) {
    Harness h;
    auto spot = Spot("s", c.type, c.folders, c.keys);
    EXPECT_TRUE(CleanSpot(*spot, h.context, h.cleaners));
    EXPECT_EQ(h.cleaners.calls, c.calls) << "type " << c.type;
    EXPECT_EQ(h.progress.Cell(4, kStatusColumn), "Cleaned");
  }
}

TEST(CleanSpot, UnknownShellFoldersAreLeftOut) {
  Harness h;
  h.cleaners.cookies.clear();
  h.cleaners.history.clear();
  auto cookies = Spot("c", 6, false);
  CleanSpot(*cookies, h.context, h.cleaners);
  auto history = Spot("h", 8, false);
  CleanSpot(*history, h.context, h.cleaners);
  EXPECT_EQ(h.cleaners.calls,
            (std::vector<std::string>{"cookie cache", "url history",
                                      "folder C:\\WINDOWS\\History *.* 0/0.000000[ex=desktop.ini; wipe=index.dat "
                                      "flags=011]"}));
}

TEST(CleanSpot, TraceAndStatusBracketTheSpot) {
  Harness h;
  auto spot = Spot("Temporary Files", 0, true);
  CleanSpot(*spot, h.context, h.cleaners);
  ASSERT_EQ(h.log.lines.size(), 2u);
  EXPECT_EQ(h.log.lines[0], "Cleaning : Temporary Files ******************************\r\n");
  EXPECT_EQ(h.log.lines[1], "End *********************************************\r\n\r\n");
  EXPECT_EQ(h.progress.events,
            (std::vector<std::string>{"visible 4", "cell 4,3=Scanning...", "cell 4,3=Cleaned"}));
}

TEST(CleanLog, LinesAreFormedByteForByte) {
  EXPECT_EQ(logline::FolderEntry("C:\\T", "*.tmp"), "Cleaning : Path = C:\\T , Mask = *.tmp \r\n");
  EXPECT_EQ(logline::CleaningDirectory("C:\\T\\a"), "Cleaning Directory : C:\\T\\a \r\n");
  EXPECT_EQ(logline::Deleting("C:\\x%s"), "Deleting : C:\\x%s \r\n");
  EXPECT_EQ(logline::CouldNotDelete("C:\\x"), "Could Not Delete : C:\\x \r\n");
  EXPECT_EQ(logline::WipingIndexDat("C:\\index.dat"), "Wiping Index.dat: C:\\index.dat \r\n");
  EXPECT_EQ(logline::RebootDeleting("C:\\index.dat"), "Reboot Deleting : C:\\index.dat \r\n");
  EXPECT_EQ(logline::CleaningFoundFolder("C:\\found.*"), "Cleaning folder (C:\\found.*)\r\n");
  EXPECT_EQ(logline::RegKey(RegRoot::kCurrentUser, "Software\\MRU"),
            "Cleaning : Key = HKEY_CURRENT_USER\\Software\\MRU \r\n");
  EXPECT_EQ(logline::RegValue(RegRoot::kLocalMachine, "Software\\A", "Last"),
            "Cleaning : Key = HKEY_LOCAL_MACHINE\\Software\\A Value = Last\r\n");
  EXPECT_EQ(logline::RegKey(RegRoot::kNone, "X"), "Cleaning : Key = \\X \r\n");
  EXPECT_EQ(logline::CleanedFormStore(RegRoot::kCurrentUser, "P\\Data"), "Cleaned : HKEY_CURRENT_USER\\P\\Data\r\n");
  // A long path goes into the line whole.
  std::string longPath(5000, 'p');
  EXPECT_EQ(logline::Deleting(longPath).size(), longPath.size() + 14);
}

TEST(CleanLog, NameRuleAndNullSink) {
  EXPECT_EQ(GetLogFileName(LocalTime{2026, 12, 5, 7, 4, 9}), "logs\\5,12,2026(7,4,9).txt");
  CCleanLog sink;
  EXPECT_TRUE(sink.Open("Z:\\nowhere\\x.txt"));
  EXPECT_TRUE(sink.Write("line"));
  sink.Close();
}

TEST(Exclusions, CompareTheWholeFileNameIgnoringCase) {
  Harness h;
  AddExclusion(h.context, "desktop.ini");
  EXPECT_TRUE(IsExcludedFile(h.context, "C:\\a\\DESKTOP.INI"));
  EXPECT_TRUE(IsExcludedFile(h.context, "desktop.ini"));
  EXPECT_FALSE(IsExcludedFile(h.context, "C:\\a\\desktop.ini.bak"));
  EXPECT_FALSE(IsExcludedFile(h.context, "C:\\desktop.ini\\other"));
}

// The run driven the way the panel drives it.
struct RunHarness : ICleanHost, IBrowserWindows {
  RunHarness() : clock(LocalTime{2026, 1, 2, 3, 4, 5}), run(*this, progress, control, cleaners, *this, clock) {
    control.run = &run;
  }
  void SetButtonText(const std::string& t) override { events.push_back("button " + t); }
  void SetCleaningInProgress(bool on) override { events.push_back(on ? "busy" : "idle"); }
  // The run destroys its sink at the end; this one hands everything to a
  // log the harness keeps.
  struct ForwardingLog : CCleanLog {
    explicit ForwardingLog(RecordingLog& to) : to(to) {}
    bool Open(const std::string& p) override { return to.Open(p); }
    bool Write(const std::string& l) override { return to.Write(l); }
    void Close() override { to.Close(); }
    RecordingLog& to;
  };
  std::unique_ptr<CCleanLog> CreateLog() override {
    ++logsCreated;
    return std::make_unique<ForwardingLog>(kept);
  }
  uintptr_t FindBrowserWindow() override { return 0; }
  bool AskToClose() override { return false; }
  bool EndOwnerProcess(uintptr_t) override { return false; }

  RecordingProgress progress;
  ScriptedControl control;
  RecordingCleaners cleaners;
  FixedClock clock;
  CCleaningRun run;
  std::vector<std::string> events;
  RecordingLog kept;
  int logsCreated = 0;
};

TEST(CleaningRun, EmptyListFlipsTheButtonAndCleansNothing) {
  RunHarness h;
  std::vector<CleanItem> rows;
  h.run.RunCleaning(&rows);
  EXPECT_EQ(h.events, (std::vector<std::string>{"button Abort", "busy", "idle", "button Start Cleaning"}));
  EXPECT_TRUE(h.cleaners.calls.empty());
  EXPECT_FALSE(h.run.running());
  EXPECT_EQ(h.run.lastLogName(), "logs\\2,1,2026(3,4,5).txt");
}

TEST(CleaningRun, RowsTopToBottomWithDoneMarksAndPluginRows) {
  RunHarness h;
  auto a = Spot("a", 0, true);
  CPluginSpots emptyPlugin("empty", "no spot");
  CPluginSpots plugin("p", "d");
  plugin.AddSpot(Spot("p", 0, false, true));
  std::vector<CleanItem> rows{{a.get(), nullptr}, {nullptr, &emptyPlugin}, {nullptr, &plugin}};
  h.run.RunCleaning(&rows);
  EXPECT_EQ(h.cleaners.calls, (std::vector<std::string>{"folders a[ex=desktop.ini;index.dat; wipe= flags=000]",
                                                         "registry p"}));
  EXPECT_EQ(h.progress.done, (std::vector<int>{0, 1, 2})) << "a plugin without a spot still gets its mark";
  EXPECT_EQ(h.progress.Cell(1, kStatusColumn), "") << "nothing cleaned for it";
  EXPECT_EQ(h.logsCreated, 1);
  EXPECT_EQ(h.kept.opened, (std::vector<std::string>{"logs\\2,1,2026(3,4,5).txt"}));
  EXPECT_EQ(h.kept.closed, 1);
  EXPECT_EQ(h.kept.lines.size(), 4u);
}

// Abort is a second click during the run: the message pump runs it.
class AbortingCleaners : public RecordingCleaners {
 public:
  CCleaningRun* run = nullptr;
  void CleanFolders(CCleaningSpot& s, CCleanRunContext& c) override {
    RecordingCleaners::CleanFolders(s, c);
    run->RunCleaning(nullptr);  // the click on "Abort"
    c.control->PauseAfterFile();
  }
};

TEST(CleaningRun, AbortEndsTheRunAfterTheCurrentSpot) {
  RecordingProgress progress;
  ScriptedControl control;
  AbortingCleaners cleaners;
  FixedClock clock(LocalTime{});
  RunHarness host;  // host and browser windows only
  CCleaningRun run(host, progress, control, cleaners, host, clock);
  cleaners.run = &run;
  control.run = &run;
  auto a = Spot("a", 0, true), b = Spot("b", 0, true);
  std::vector<CleanItem> rows{{a.get(), nullptr}, {b.get(), nullptr}};
  run.RunCleaning(&rows);
  EXPECT_EQ(cleaners.calls.size(), 1u);
  EXPECT_EQ(progress.Cell(0, kStatusColumn), "Cleaned") << "the interrupted spot still ends Cleaned";
  EXPECT_EQ(progress.Cell(1, kStatusColumn), "") << "later rows keep Pending";
  EXPECT_EQ(progress.done, (std::vector<int>{0}));
  EXPECT_EQ(host.events, (std::vector<std::string>{"button Abort", "busy", "button Start Cleaning", "idle",
                                                    "button Start Cleaning"}));
  EXPECT_FALSE(run.running());
}

TEST(CleaningRun, UnattendedFlagLastsOneRun) {
  RunHarness h;
  std::vector<CleanItem> rows;
  h.run.RunUnattended(&rows);
  EXPECT_FALSE(h.run.unattended());
}

// Browser windows: the question, the answers, and no endless loop.
class FakeBrowsers : public IBrowserWindows {
 public:
  uintptr_t FindBrowserWindow() override {
    ++finds;
    return windows.empty() ? 0 : windows.front();
  }
  bool AskToClose() override {
    ++asked;
    return answerYes;
  }
  bool EndOwnerProcess(uintptr_t w) override {
    ended.push_back(w);
    if (!canEnd) return false;
    if (!lingering) windows.erase(windows.begin());
    return true;
  }
  std::vector<uintptr_t> windows;
  std::vector<uintptr_t> ended;
  bool answerYes = true, canEnd = true, lingering = false;
  int asked = 0, finds = 0;
};

TEST(CloseBrowserWindows, AsksOnceAndEndsEveryWindowOnYes) {
  FakeBrowsers b;
  b.windows = {11, 12, 13};
  CloseBrowserWindows(b, false);
  EXPECT_EQ(b.asked, 1);
  EXPECT_EQ(b.ended, (std::vector<uintptr_t>{11, 12, 13}));
  EXPECT_TRUE(b.windows.empty());
}

TEST(CloseBrowserWindows, NoAnswerUnattendedOrNoWindowEndsNothing) {
  FakeBrowsers no;
  no.windows = {11};
  no.answerYes = false;
  CloseBrowserWindows(no, false);
  EXPECT_EQ(no.asked, 1);
  EXPECT_TRUE(no.ended.empty());

  FakeBrowsers unattended;
  unattended.windows = {11};
  CloseBrowserWindows(unattended, true);
  EXPECT_EQ(unattended.asked, 0);
  EXPECT_TRUE(unattended.ended.empty());

  FakeBrowsers none;
  CloseBrowserWindows(none, false);
  EXPECT_EQ(none.asked, 0);
}

TEST(CloseBrowserWindows, GivesUpOnAProcessThatCannotBeEndedOrAWindowThatStays) {
  FakeBrowsers stuck;
  stuck.windows = {11, 12};
  stuck.canEnd = false;
  CloseBrowserWindows(stuck, false);
  EXPECT_EQ(stuck.ended, (std::vector<uintptr_t>{11}));

  FakeBrowsers lingering;
  lingering.windows = {11};
  lingering.lingering = true;
  CloseBrowserWindows(lingering, false);
  EXPECT_LE(lingering.ended.size(), 3u);
  EXPECT_GE(lingering.ended.size(), 1u);
}

}  // namespace
}  // namespace sh
