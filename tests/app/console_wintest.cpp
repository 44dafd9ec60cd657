// swhclean as the user runs it: a separate process whose printed rows, exit
// status and effects on the machine are checked.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/child_process.h"
#include "app/console_host_win.h"
#include "model/data_file_win.h"
#include "paths/registry_guard.h"
#include "support/win_fs.h"

namespace sh {
namespace {

using namespace sh::test;

// swhclean.exe and the shipped lists sit beside the tests.
std::string ProgramFolder() {
  char exe[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string path = exe;
  return path.substr(0, path.find_last_of('\\'));
}

struct PrintedRow {
  std::string name, files, size, status;
};

std::vector<std::string> Lines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Row lines end in a status after two spaces; Files and Size are the fixed
// 10 and 16 columns before it.
std::vector<PrintedRow> RowsOf(const std::string& output) {
  static const char* const kStatuses[] = {"Would clean", "Cleaned", "Nothing to clean", "Stopped", "Pending"};
  std::vector<PrintedRow> rows;
  for (const std::string& line : Lines(output)) {
    for (const char* status : kStatuses) {
      const std::string tail = std::string("  ") + status;
      if (line.size() < tail.size() + 28 || line.compare(line.size() - tail.size(), tail.size(), tail) != 0) continue;
      const std::string columns = line.substr(0, line.size() - tail.size());
      const size_t n = columns.size();
      rows.push_back(PrintedRow{TrimWhite(columns.substr(0, n - 28)), TrimWhite(columns.substr(n - 27, 10)),
                                TrimWhite(columns.substr(n - 16)), status});
      break;
    }
  }
  return rows;
}

std::vector<std::string> NamesOf(const std::vector<PrintedRow>& rows) {
  std::vector<std::string> names;
  for (const PrintedRow& row : rows) names.push_back(row.name);
  return names;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A scratch folder outside the temporary folder, which a clean empties.
class OwnFolder {
 public:
  explicit OwnFolder(const std::string& tag)
      : path_("C:\\shtest-" + tag + "-" + std::to_string(GetCurrentProcessId())) {
    RemoveTree(path_);
    MakeDirs(path_);
  }
  ~OwnFolder() { RemoveTree(path_); }
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "\\" + rel; }

 private:
  std::string path_;
};

class SwhClean : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Exists(program_)) GTEST_SKIP() << "swhclean.exe is not installed beside the tests";
  }
  ChildResult Run(const std::string& arguments, const std::function<void(DWORD)>& beforeStart = nullptr) {
    ChildLaunch launch;
    launch.exe = program_;
    launch.arguments = arguments;
    launch.environment = environment_;
    launch.timeoutMs = 180000;
    launch.outputFolder = own_.path();
    launch.beforeStart = beforeStart;
    return RunChild(launch);
  }
  void UseDataFolder(const std::string& folder) {
    registry_.SetString(HKEY_CURRENT_USER, "SOFTWARE\\SweepHarbor", "path", folder);
  }

  std::string program_ = ProgramFolder() + "\\swhclean.exe";
  OwnFolder own_{"swhclean"};
  RegistryGuard registry_;
  std::vector<std::pair<std::string, std::string>> environment_;
};

// A data folder of its own: three spots, a plugin that is installed and one
// that is not, a custom plugin; each cleans a folder of the tree.
class SwhCleanLists : public SwhClean {
 protected:
  void SetUp() override {
    SwhClean::SetUp();
    if (IsSkipped()) return;
    for (const char* dir : {"data", "tree\\temp", "tree\\logs", "tree\\tool", "tree\\mine"}) MakeDirs(own_ / dir);
    for (int i = 0; i < 3; ++i) WriteBytes(tree("temp\\t" + std::to_string(i) + ".tmp"), 1000);
    for (int i = 0; i < 2; ++i) WriteBytes(tree("logs\\l" + std::to_string(i) + ".log"), 2000);
    WriteBytes(tree("temp\\keep.txt"), 1);
    WriteBytes(tree("tool\\a.log"), 10);
    WriteBytes(tree("mine\\m.txt"), 20);
    const std::string root = own_ / "tree";
    auto spot = [&](const char* name, int chosen, const char* folder, const char* mask) {
      return std::string("<Spot name=\"") + name + "\" ToBeCleaned=\"" + std::to_string(chosen) +
             "\" Type=\"0\"><Items><Item Type=\"0\" name=\"" + root + "\\" + folder + "\" flags=\"" + mask +
             "\" /></Items></Spot>";
    };
    WriteSpotList("<CleaningSpots Version=\"4\"><Group name=\"Mine\" GroupType=\"0\">" +
                  spot("Temp files", 1, "temp", "*.tmp") + spot("Logs", 1, "logs", "*.log") +
                  spot("Not chosen", 0, "temp", "keep.txt") + "</Group></CleaningSpots>");
    const std::string plugins =
        "<SweepHarborPlugins Version=\"2\"><Plugin Name=\"Present Tool\" ToBeCleaned=\"1\"><FIND_DATA><FILE Name=\"" +
        root + "\\tool\" /></FIND_DATA><FILES><FILE Name=\"" + root + "\\tool\\*.log\" /></FILES></Plugin>" +
        "<Plugin Name=\"Absent Tool\" ToBeCleaned=\"1\"><FIND_DATA><FILE Name=\"" + root +
        "\\missing\" /></FIND_DATA></Plugin></SweepHarborPlugins>";
    ASSERT_EQ(WriteDataFile(own_ / "data\\Plglst.swh", plugins), 1);
    ASSERT_EQ(WriteDataFile(own_ / "data\\CutmPlg.swh", "<CustomPlugins><Plugin Name=\"Mine\" ToBeCleaned=\"1\"><FILES>"
                                                        "<FILE Name=\"" + root + "\\mine\\*.txt\" /></FILES>"
                                                        "</Plugin></CustomPlugins>"),
              1);
    UseDataFolder(own_ / "data");
  }
  void WriteSpotList(const std::string& xml) { ASSERT_EQ(WriteDataFile(own_ / "data\\Splst.swh", xml), 1); }
  std::string tree(const std::string& rel) const { return own_ / ("tree\\" + rel); }
};

struct SelectionCase {
  const char* arguments;
  int exitCode;
  std::vector<std::string> rows;  // in the printed order; none for an error
  const char* message;            // part of the output
};

TEST_F(SwhCleanLists, NamesPickRowsAndUsageErrorsExitWithTwo) {
  const SelectionCase cases[] = {
      {"--preview", 0, {"Temp files", "Logs", "Present Tool", "Mine"}, "4 of 4 rows previewed"},
      {"--preview --all", 0, {"Temp files", "Logs", "Not chosen", "Present Tool", "Mine"}, "Total: "},
      {"--preview NOT* l?gs", 0, {"Logs", "Not chosen"}, "Total: "},
      {"--preview *TOOL MINE", 0, {"Present Tool", "Mine"}, "Total: "},
      {"--preview \"Absent Tool\"", 2, {}, "Absent Tool names only plugins that are not installed here"},
      {"--preview Logs Nothing", 2, {}, "no spot or plugin is named Nothing"},
      {"--choose Nothing", 2, {}, "no spot or plugin is named Nothing"},
      {"--list Logs", 2, {}, "--list takes no NAME"},
      {"--wipe-all", 2, {}, "unknown option --wipe-all"},
  };
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE(c.arguments);
    ChildResult result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(NamesOf(RowsOf(result.output)), c.rows);
    EXPECT_TRUE(Has(result.output, c.message)) << result.output;
  }
  EXPECT_EQ(List(tree("temp")).size(), 4u) << "nothing was cleaned";
  EXPECT_EQ(List(tree("logs")).size(), 2u);
}

TEST_F(SwhCleanLists, CleanOfANamedRowCleansItAlone) {
  ChildResult preview = Run("--preview logs");
  ChildResult clean = Run("--clean logs");
  EXPECT_EQ(clean.exitCode, 0) << clean.output;
  ASSERT_EQ(RowsOf(preview.output).size(), 1u);
  ASSERT_EQ(RowsOf(clean.output).size(), 1u);
  const PrintedRow row = RowsOf(clean.output)[0];
  EXPECT_EQ(row.files, "2");
  EXPECT_EQ(row.size, "3.91 KB");
  EXPECT_EQ(row.status, "Cleaned");
  EXPECT_EQ(RowsOf(preview.output)[0].size, row.size);
  EXPECT_TRUE(List(tree("logs")).empty());
  EXPECT_EQ(List(tree("temp")).size(), 4u);
  EXPECT_TRUE(Has(clean.output, "Total: 2 files, 0 keys, 3.91 KB; 1 of 1 rows cleaned")) << clean.output;
}

TEST_F(SwhCleanLists, ListShowsChoicesAndChooseWritesThemByName) {
  ChildResult list = Run("--list");
  EXPECT_EQ(list.exitCode, 0);
  for (const char* line : {"[x] Temp files", "[ ] Not chosen", "[x] Present Tool", "[x] Absent Tool", "[x] Mine"})
    EXPECT_TRUE(Has(list.output, line)) << line << "\n" << list.output;
  const std::vector<std::string> lines = Lines(list.output);
  auto lineOf = [&](const std::string& name) {
    for (const std::string& l : lines)
      if (Has(l, "] " + name + " ")) return l;
    return std::string();
  };
  EXPECT_TRUE(Has(lineOf("Logs"), "folders"));
  EXPECT_TRUE(Has(lineOf("Present Tool"), " installed"));
  EXPECT_TRUE(Has(lineOf("Absent Tool"), "not installed"));

  ChildResult choose = Run("--choose \"not chosen\" \"absent tool\"");
  EXPECT_EQ(choose.exitCode, 0);
  EXPECT_TRUE(Has(choose.output, "spot Not chosen: now chosen")) << choose.output;
  EXPECT_TRUE(Has(choose.output, "plugin Absent Tool: already chosen"));
  EXPECT_TRUE(Has(choose.output, "1 changed"));
  ChildResult unchoose = Run("--unchoose *tool MINE");
  EXPECT_EQ(unchoose.exitCode, 0);
  EXPECT_TRUE(Has(unchoose.output, "custom plugin Mine: now not chosen")) << unchoose.output;
  EXPECT_TRUE(Has(unchoose.output, "3 changed"));

  EXPECT_TRUE(Has(ReadDataFile(own_ / "data\\Splst.swh"), "name=\"Not chosen\" ToBeCleaned=\"1\""));
  EXPECT_TRUE(Has(ReadDataFile(own_ / "data\\Plglst.swh"), "Name=\"Absent Tool\" ToBeCleaned=\"0\""));
  EXPECT_TRUE(Has(ReadDataFile(own_ / "data\\CutmPlg.swh"), "Name=\"Mine\" ToBeCleaned=\"0\""));
  EXPECT_EQ(NamesOf(RowsOf(Run("--preview").output)),
            (std::vector<std::string>{"Temp files", "Logs", "Not chosen"}));
}

TEST_F(SwhCleanLists, StoppedRunLeavesRowsPendingAndExitsWithOne) {
  // As Ctrl+C would: the stop is asked for before the run's first row.
  ScopedHandle stop;
  ChildResult result = Run("--clean", [&](DWORD pid) {
    stop.reset(CreateEventA(nullptr, TRUE, TRUE, ConsoleStopEventName(pid).c_str()));
  });
  ASSERT_TRUE(stop.valid());
  EXPECT_EQ(result.exitCode, 1);
  const std::vector<PrintedRow> rows = RowsOf(result.output);
  ASSERT_EQ(rows.size(), 4u) << result.output;
  for (const PrintedRow& row : rows) EXPECT_EQ(row.status, "Pending") << row.name;
  EXPECT_TRUE(Has(result.output, "0 of 4 rows cleaned, stopped")) << result.output;
  EXPECT_EQ(List(tree("temp")).size(), 4u);
}

TEST_F(SwhCleanLists, CorruptSpotListIsAnsweredNoAndEndsWithOne) {
  WriteSpotList("<cleaningspots Version=\"3\"></cleaningspots>");
  ChildResult result = Run("--clean");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(Has(result.output, "Configuration file corrupt, download new file now ? [answered No]"))
      << result.output;
  EXPECT_TRUE(Has(result.output, "cannot work without the Configuration file"));
  EXPECT_TRUE(RowsOf(result.output).empty());
}

// What a run could change, read without WinINet (which would map the cache
// index files into this process): every file of C: with its size and
// last write, every value of HKEY_CURRENT_USER with its data.
using Snapshot = std::map<std::string, std::string>;

void SnapshotFiles(const std::string& folder, const std::string& skip, Snapshot& out) {
  WIN32_FIND_DATAA fd;
  ScopedFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &fd));
  if (!find.valid()) return;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    const std::string full = folder + "\\" + name;
    if (EqualsNoCase(full, skip)) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out[full + "\\"] = "";
      // A link may lead out of the prefix (Wine links shell folders to the
      // Linux home): never entered.
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) SnapshotFiles(full, skip, out);
      continue;
    }
    out[full] = std::to_string(fd.nFileSizeLow) + " " + std::to_string(fd.ftLastWriteTime.dwLowDateTime) + ":" +
                std::to_string(fd.ftLastWriteTime.dwHighDateTime);
  } while (FindNextFileA(find.get(), &fd));
}

// Named "HKEY_CURRENT_USER\\key\\" and "HKEY_CURRENT_USER\\key : value".
void SnapshotKey(const std::string& path, Snapshot& out) {
  ScopedHKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return;
  const std::string shown = "HKEY_CURRENT_USER" + (path.empty() ? "" : "\\" + path);
  out[shown + "\\"] = "";
  std::vector<char> name(16384);
  std::vector<BYTE> data(1 << 16);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    LONG rc = RegEnumValueA(key.get(), i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) continue;
    out[shown + " : " + std::string(name.data(), nameSize)] =
        std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data.data()), dataSize);
  }
  std::vector<std::string> children;
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExA(key.get(), i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    children.emplace_back(name.data(), nameSize);
  }
  for (const std::string& child : children) SnapshotKey(path.empty() ? child : path + "\\" + child, out);
}

Snapshot TakeSnapshot(const std::string& skip) {
  Snapshot out;
  SnapshotFiles("C:", skip, out);
  SnapshotKey("", out);
  return out;
}

// "+x", "-x", "~x" for what was added, removed or changed.
std::vector<std::string> Changes(const Snapshot& before, const Snapshot& after) {
  std::vector<std::string> changes;
  for (const auto& [name, value] : before) {
    auto it = after.find(name);
    if (it == after.end()) changes.push_back("-" + name);
    else if (it->second != value) changes.push_back("~" + name);
  }
  for (const auto& entry : after)
    if (!before.count(entry.first)) changes.push_back("+" + entry.first);
  return changes;
}

// The targets of the --verbose lines that start with `verb` and a space.
std::vector<std::string> Targets(const std::string& output, const std::string& verb) {
  std::vector<std::string> targets;
  const std::string prefix = "    " + verb + " ";
  for (const std::string& line : Lines(output))
    if (line.compare(0, prefix.size(), prefix) == 0) targets.push_back(line.substr(prefix.size()));
  return targets;
}

// Wine's name of a Windows path, for XDG_DATA_HOME; empty on Windows.
std::string UnixPathOf(const std::string& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return std::string();
  char* name = unixName(Wide(path).c_str());
  if (name == nullptr) return std::string();
  std::string text = name;
  HeapFree(GetProcessHeap(), 0, name);
  return text;
}

// A row whose clean acts on what an earlier row already removed, which a
// preview cannot know: the History row before empties the container of
// the visited entries. For it the clean shows at most what the preview did.
const std::set<std::string> kRowsAfterOwnActions = {"Visited Pages and Cache Index"};

TEST_F(SwhClean, SeededPreviewMatchesTheCleanAndChangesNothing) {
  // Under Wine the shell empties the Linux trash of XDG_DATA_HOME. The
  // children get a trash of their own inside the prefix, with one item
  // whose disappearance shows that the clean emptied that one.
  const std::string xdg = UnixPathOf(own_ / "xdg");
  if (xdg.empty()) GTEST_SKIP() << "not under Wine: the clean would empty this machine's recycle bin";
  MakeDirs(own_ / "xdg\\Trash\\files");
  MakeDirs(own_ / "xdg\\Trash\\info");
  WriteBytes(own_ / "xdg\\Trash\\files\\canary.txt", 5);
  const std::string info = "[Trash Info]\nPath=/tmp/canary.txt\nDeletionDate=2026-01-01T00:00:00\n";
  ASSERT_TRUE(WriteExact(Wide(own_ / "xdg\\Trash\\info\\canary.txt.trashinfo"), info));
  environment_ = {{"XDG_DATA_HOME", xdg}};
  UseDataFolder(ProgramFolder());

  ChildResult seed = Run("--seed");
  ASSERT_EQ(seed.exitCode, 0) << seed.output;
  const Snapshot before = TakeSnapshot(own_.path());
  ChildResult preview = Run("--preview --all --verbose");
  const Snapshot afterPreview = TakeSnapshot(own_.path());
  const bool canaryAfterPreview = Exists(own_ / "xdg\\Trash\\files\\canary.txt");
  ChildResult again = Run("--preview --all --verbose");
  ChildResult clean = Run("--clean --all");
  ASSERT_EQ(preview.exitCode, 0) << preview.output;
  EXPECT_EQ(clean.exitCode, 0) << clean.output;

  EXPECT_EQ(Changes(before, afterPreview), std::vector<std::string>()) << "files and registry values";
  EXPECT_EQ(Targets(again.output, "delete entry"), Targets(preview.output, "delete entry")) << "URL cache entries";
  EXPECT_TRUE(canaryAfterPreview) << "a preview never empties the bin";
  const std::vector<std::string> entries = Targets(preview.output, "delete entry");
  EXPECT_GE(entries.size(), 6u) << "the seeded cookie and visited entries";

  const std::vector<PrintedRow> previewRows = RowsOf(preview.output), cleanRows = RowsOf(clean.output);
  ASSERT_EQ(NamesOf(cleanRows), NamesOf(previewRows));
  int filesSeen = 0;
  for (size_t i = 0; i < cleanRows.size(); ++i) {
    const PrintedRow &p = previewRows[i], &c = cleanRows[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(p.status, "Would clean");
    EXPECT_EQ(c.status, "Cleaned");
    if (kRowsAfterOwnActions.count(c.name)) {
      EXPECT_LE(std::stoi(c.files), std::stoi(p.files));
    } else {
      EXPECT_EQ(c.files, p.files);
      EXPECT_EQ(c.size, p.size);
    }
    if (!Has(p.files, "Keys")) filesSeen += std::stoi(p.files);
  }
  EXPECT_GE(filesSeen, 70) << "the seeded traces were found";

  // What the preview named for deletion is gone; the bin was emptied
  // through our trash.
  const std::vector<std::string> files = Targets(preview.output, "delete");
  EXPECT_GE(files.size(), 60u);
  for (const std::string& file : files) {
    if (file.rfind("C:\\", 0) == 0) {
      EXPECT_FALSE(Exists(file)) << file;
    }
  }
  std::set<std::string> keysBefore;
  for (const auto& entry : before) keysBefore.insert(ToUpperAscii(entry.first));
  for (const std::string& key : Targets(preview.output, "delete key")) {
    if (key.rfind("HKEY_CURRENT_USER\\", 0) == 0) {
      EXPECT_EQ(keysBefore.count(ToUpperAscii(key + "\\")), 1u) << key;
    }
  }
  EXPECT_FALSE(Exists(own_ / "xdg\\Trash\\files\\canary.txt")) << "the clean emptied the children's own trash";
}

}  // namespace
}  // namespace sh
