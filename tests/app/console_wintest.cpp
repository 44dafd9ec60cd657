// swhclean as the user runs it: a separate process whose printed rows, exit
// status and effects on the machine are checked. Its options, masks and
// data-file loader are in console_commands_test.cpp.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "app/child_process.h"
#include "app/console_host_win.h"
#include "app/system_info_win.h"

namespace sh {
namespace {

using namespace sh::test;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) lines.push_back(TrimWhite(line));
  return lines;
}

// The row lines, each ending in its status after two blanks, with blanks
// collapsed: "Logs 2 3.91 KB Cleaned".
std::vector<std::string> RowsOf(const std::string& output) {
  static const std::regex row(".*\\S  +(Would clean|Cleaned|Nothing to clean|Stopped|Pending)"), blanks(" +");
  std::vector<std::string> rows;
  for (const std::string& line : Lines(output))
    if (std::regex_match(line, row)) rows.push_back(std::regex_replace(line, blanks, " "));
  return rows;
}

// Two chosen spots and one that is not, over a tree of their own, and a
// chosen plugin that is not installed.
class SwhClean : public InstalledProgramTest {
 protected:
  void SetUp() override {
    InstalledProgramTest::SetUp();
    if (IsSkipped()) return;
    MakeDirs(tree / "temp");
    MakeDirs(tree / "logs");
    for (const char* file : {"temp\\t0.tmp", "temp\\t1.tmp", "temp\\keep.txt", "logs\\l0.log", "logs\\l1.log"})
      WriteBytes(tree / file, 2000);
    const std::string spots = SpotXml("Temp files", tree / "temp", "*.tmp") + SpotXml("Logs", tree / "logs", "*.log") +
                              SpotXml("Not chosen", tree / "temp", "keep.txt", 0);
    ASSERT_EQ(WriteDataFile(data / "Splst.swh", SpotList(spots)), 1);
    const std::string absent =
        "<Plugin Name=\"Absent Tool\" ToBeCleaned=\"1\"><FIND_DATA><FILE Name=\"C:\\nowhere\" /></FIND_DATA></Plugin>";
    ASSERT_EQ(WriteDataFile(data / "Plglst.swh", "<PluginList Version=\"2\">" + absent + "</PluginList>"), 1);
  }
  ChildResult Run(const std::string& arguments, const std::function<void(DWORD)>& beforeStart = nullptr) {
    ChildLaunch launch(kInstalledConsole, arguments, own.path(), environment);
    launch.beforeStart = beforeStart;
    return RunChild(launch);
  }
  ScratchDir tree{"swhclean-tree"};
  ScratchDir own{"swhclean", "C:"};  // outside the temporary folder, which a clean empties
  Variables environment;
};

// Names pick rows, chosen or not, case-insensitive, with * and ?, but only
// rows a run can take (never a plugin that is not installed, also not with
// --all); a usage error exits with 2 and changes nothing, as a preview
// does; a clean of a named row cleans it alone.
TEST_F(SwhClean, NamesPickRowsAndUsageErrorsExitWithTwo) {
  const struct {
    const char* arguments;
    int exitCode;
    std::vector<std::string> rows;  // in the printed order; none for an error
    const char* message;            // part of the output
  } cases[] = {
      {"--preview", 0, {"Temp files 2 3.91 KB Would clean", "Logs 2 3.91 KB Would clean"}, "2 of 2 rows previewed"},
      {"--preview --all", 0, {"Temp files 2 3.91 KB Would clean", "Logs 2 3.91 KB Would clean",
                              "Not chosen 1 1.95 KB Would clean"}, "3 of 3 rows previewed"},
      {"--preview NOT* l?gs", 0, {"Logs 2 3.91 KB Would clean", "Not chosen 1 1.95 KB Would clean"}, "Total: 3 files"},
      {"--preview Logs Nothing", 2, {}, "no spot or plugin is named Nothing"},
      {"--preview \"absent tool\"", 2, {}, "absent tool names only plugins that are not installed here"},
      {"--choose Nothing", 2, {}, "no spot or plugin is named Nothing"},
      {"--list Logs", 2, {}, "--list takes no NAME"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    ChildResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(RowsOf(result.output), c.rows);
    EXPECT_TRUE(Has(result.output, c.message)) << result.output;
  }
  EXPECT_EQ(List(tree / "temp").size() + List(tree / "logs").size(), 5u) << "nothing was cleaned";
  ChildResult clean = Run("--clean logs");
  EXPECT_EQ(clean.exitCode, 0);
  EXPECT_EQ(RowsOf(clean.output), std::vector<std::string>{"Logs 2 3.91 KB Cleaned"}) << clean.output;
  EXPECT_TRUE(Has(clean.output, "Total: 2 files, 0 keys, 3.91 KB; 1 of 1 rows cleaned"));
  EXPECT_TRUE(List(tree / "logs").empty());
  EXPECT_EQ(List(tree / "temp").size(), 3u);
}

TEST_F(SwhClean, StoppedRunLeavesRowsPendingAndExitsWithOne) {
  // As Ctrl+C would: the stop is asked for before the run's first row.
  ScopedHandle stop;
  ChildResult result = Run("--clean", [&](DWORD pid) {
    stop.reset(CreateEventA(nullptr, TRUE, TRUE, ConsoleStopEventName(pid).c_str()));
  });
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(RowsOf(result.output), (std::vector<std::string>{"Temp files 0 0 bytes Pending", "Logs 0 0 bytes Pending"}))
      << result.output;
  EXPECT_TRUE(Has(result.output, "0 of 2 rows cleaned, stopped")) << result.output;
  EXPECT_EQ(List(tree / "temp").size(), 3u);
}

// The targets of the --verbose lines that start with `verb` and a blank.
std::vector<std::string> Targets(const std::string& output, const std::string& verb) {
  std::vector<std::string> targets;
  for (const std::string& line : Lines(output))
    if (line.compare(0, verb.size() + 1, verb + " ") == 0) targets.push_back(line.substr(verb.size() + 1));
  return targets;
}

// Every trace the shipped list knows, seeded: a preview leaves every file
// and key it names in place and names the same twice; the clean then shows
// what the preview showed and removes what it named.
TEST_F(SwhClean, SeededPreviewMatchesTheCleanAndLeavesWhatItNames) {
  // Under Wine the shell empties the Linux trash of XDG_DATA_HOME: the
  // children get a trash of their own, with one item whose disappearance
  // shows that the clean emptied that one.
  using UnixName = char*(CDECL*)(LPCWSTR);  // Wine's name of a Windows path
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  char* xdg = unixName ? unixName(Wide(own / "xdg").c_str()) : nullptr;
  if (xdg == nullptr) GTEST_SKIP() << "not under Wine: the clean would empty this machine's recycle bin";
  environment = {{"XDG_DATA_HOME", xdg}};
  HeapFree(GetProcessHeap(), 0, xdg);
  MakeDirs(own / "xdg\\Trash\\files");
  MakeDirs(own / "xdg\\Trash\\info");
  WriteBytes(own / "xdg\\Trash\\files\\canary.txt", 5);
  const std::string info = "[Trash Info]\nPath=/tmp/canary.txt\nDeletionDate=2026-01-01T00:00:00\n";
  ASSERT_TRUE(WriteExact(Wide(own / "xdg\\Trash\\info\\canary.txt.trashinfo"), info));
  Set("path", "C:\\SweepHarbor");

  ASSERT_EQ(Run("--seed").exitCode, 0);
  ChildResult preview = Run("--preview --all --verbose");
  EXPECT_TRUE(Exists(own / "xdg\\Trash\\files\\canary.txt")) << "a preview never empties the bin";
  EXPECT_EQ(Run("--preview --all --verbose").output, preview.output) << "a second preview finds the same";
  const std::vector<std::string> files = Targets(preview.output, "delete");
  EXPECT_GE(files.size(), 60u) << "the seeded traces were found";
  for (const std::string& file : files) EXPECT_TRUE(file.rfind("C:\\", 0) != 0 || Exists(file)) << file;
  for (const std::string& key : Targets(preview.output, "delete key")) {
    ScopedHKey there;
    if (key.rfind("HKEY_CURRENT_USER\\", 0) != 0) continue;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.substr(18).c_str(), 0, KEY_READ, there.Receive()), 0) << key;
  }
  ChildResult clean = Run("--clean --all");
  ASSERT_EQ(preview.exitCode, 0) << preview.output;
  EXPECT_EQ(clean.exitCode, 0) << clean.output;
  EXPECT_GE(Targets(preview.output, "delete entry").size(), 6u) << "the seeded cookie and visited entries";

  // Each row cleans what its preview showed. The History row before it
  // empties the container of the visited entries, which a preview cannot
  // know: that row's figures may differ.
  const std::vector<std::string> previewRows = RowsOf(preview.output), cleanRows = RowsOf(clean.output);
  ASSERT_EQ(cleanRows.size(), previewRows.size());
  EXPECT_GE(previewRows.size(), 10u);
  for (size_t i = 0; i < cleanRows.size(); ++i) {
    const std::string previewed = previewRows[i].substr(0, previewRows[i].rfind(" Would clean")) + " Cleaned";
    EXPECT_TRUE(cleanRows[i] == previewed || Has(cleanRows[i], "Visited Pages and Cache Index ")) << previewed;
  }
  // A file deleted while the cleaning process still mapped it (WinINet's
  // index.dat) goes when Wine lets go of that process's views, which can be
  // a moment after the process is seen to end.
  for (const std::string& file : files)
    EXPECT_TRUE(file.rfind("C:\\", 0) != 0 || PumpUntil([&] { return !Exists(file); }, 3000)) << file;
  EXPECT_FALSE(Exists(own / "xdg\\Trash\\files\\canary.txt")) << "the clean emptied the children's own trash";
}

// The naming rules on the Windows versions Wine is told to report to a
// second run of this program: Wine reports another Windows version to a
// program named in HKCU\Software\Wine\AppDefaults\<exe>; the version is read
// when a process starts, so a second run of this program sees it. Wine disguises 8.1 and 10
// as 8 to GetVersionEx; neither this program nor swhclean (which has no
// manifest) is taken in. Both agree on XP, so both load the XP spots alike.
TEST_F(SwhClean, NamesTheVersionWineIsToldToReport) {
  const struct {
    const char* wineVersion;  // empty: the prefix's own (Windows 7)
    const char* name;
    bool xp;
  } cases[] = {
      {"winxp", "Windows XP Professional Edition Service Pack 3", true},
      {"win2k", "Windows 2000 Professional Service Pack 4", false},
      {"vista", "Windows Vista Service Pack 2", false},
      {"", "Windows 7 Service Pack 1", false},
      {"win8", "Windows 8", false},
      {"win81", "Windows 8.1", false},
      {"win10", "Windows 10", false},
  };
  const std::string xpAlone = "<Spot name=\"XP alone\" ToBeCleaned=\"1\" Type=\"0\" OS=\"XP\" />";
  ASSERT_EQ(WriteDataFile(data / "Splst.swh", SpotList(SpotXml("Every system", tree.path(), "*.x") + xpAlone)), 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RegistryGuard guard;
    for (const char* exe : {"sh_tests.exe", "swhclean.exe"})
      if (*c.wineVersion) guard.SetString(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + exe,
                                          "Version", c.wineVersion);
    ChildResult child = RunChild(TestsInChild("DISABLED_SystemInfoChild.*",
                                              {{"SH_EXPECT_OS_NAME", c.name}, {"SH_EXPECT_XP", c.xp ? "1" : "0"}}));
    EXPECT_TRUE(child.PassedOne()) << child.output;
    const std::string listing = Run("--list").output;
    EXPECT_NE(listing.find("] Every system"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("] XP alone") != std::string::npos, c.xp) << listing;
  }
}

TEST(DISABLED_SystemInfoChild, ReportsTheExpectedName) {
  std::string expected = ChildEnvironment("SH_EXPECT_OS_NAME");
  if (expected.empty()) GTEST_SKIP() << "only run by NamesTheVersionWineIsToldToReport";
  CSystemInfo info;
  GatherSystemInfo(info);
  EXPECT_EQ(info.OsName(), expected);
  EXPECT_EQ(IsWindowsXP(info), ChildEnvironment("SH_EXPECT_XP") == "1");
  EXPECT_TRUE(info.IsNtFamily());
}

}  // namespace
}  // namespace sh
