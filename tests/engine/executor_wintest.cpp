// The Win32 executor and the machine's ports on the real file system and
// registry of the Wine prefix, through the real cleaners. What a walk may reach is decided
// portably (spot_cleaner_test.cpp); here: that the calls reach exactly the
// file the decider named, and what the executor checks on the open file
// before it writes or deletes.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/child_process.h"
#include "engine/action_executor_win.h"
#include "engine/browser_windows_win.h"
#include "engine/machine_ports_win.h"
#include "engine/wine_rig.h"
#include "paths/known_locations_win.h"
#include "support/win_fs.h"

namespace sh::test {
namespace {

// Names the walk meets, and the ones it must leave: "doc" by an exclusion,
// "desktop.ini" as every ordinary spot does.
TEST(ExecutorOnWine, EveryNameIsReachedExactlyAsListed) {
  struct Case {
    const char* what;
    const char* mask;
    std::vector<std::wstring> names, kept;
  };
  const Case cases[] = {
      // The ANSI calls would trim the space or the dot and reach the neighbour.
      {"trailing space or dot", "*.*", {L"desktop.ini", L"desktop.ini ", L"doc", L"doc."}, {L"desktop.ini", L"doc"}},
      // FindFirstFile("*.tmp") matches budget.tmpl through its short name.
      {"long names only", "*.tmp", {L"a.tmp", L"budget.tmpl", L"B.TMP"}, {L"budget.tmpl"}},
      // Code page 1252 has no spelling for it: no ANSI name reaches the file.
      {"no ANSI spelling", "*.*", {L"\u4e2d.txt", L"plain.txt"}, {L"\u4e2d.txt"}},
  };
  for (const Case& c : cases) {
    ScratchDir dir("names");
    for (const std::wstring& name : c.names) ASSERT_TRUE(WriteExact(Wide(dir.path()) + L"\\" + name, "data"));
    CCleaningSpot spot("names", 1);
    spot.AddFolder(dir.path(), c.mask, 0, 0, 0);
    WinRig rig;
    AddExclusion(rig.context, "doc");
    rig.Clean(spot);
    EXPECT_EQ(ListExact(Wide(dir.path())), c.kept) << c.what;
  }
}

TEST(ExecutorOnWine, PathPast260CharactersIsWalkedAndDeleted) {
  ScratchDir dir("long");
  std::string folder = dir.path();
  for (char letter : {'a', 'b', 'c'}) {
    folder += "\\" + std::string(90, letter);
    ASSERT_TRUE(CreateDirectoryW(Exact(Wide(folder)).c_str(), nullptr));
  }
  ASSERT_TRUE(WriteExact(Wide(folder + "\\deep.tmp"), "deep"));
  WinRig rig;
  rig.CleanFolder(dir.path(), "*.*", 1);
  EXPECT_TRUE(ListExact(Wide(dir.path())).empty()) << "the file and its folders went";
}

// Wine makes hashed short names (C:\PROG~FBU); the decider compares the long
// spelling the port asks of the file system.
TEST(ExecutorOnWine, ShortSpellingOfAProtectedFolderIsNeverWalked) {
  int probed = 0;
  for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PERSONAL, CSIDL_STARTMENU}) {
    const std::string folder = GetSpecialFolder(csidl), probe = folder + "\\shtest-probe.tmp";
    char shortName[MAX_PATH + 1] = {};
    const DWORD n = GetShortPathNameA(folder.c_str(), shortName, MAX_PATH);
    if (n == 0 || n > MAX_PATH || EqualsNoCase(shortName, folder)) continue;
    ++probed;
    WriteBytes(probe, 5);
    WinRig rig;
    rig.CleanFolder(shortName, "*.*", 0);
    EXPECT_TRUE(Exists(probe)) << shortName << ": " << rig.report.acted.front();
    DeleteFileA(probe.c_str());
  }
  ASSERT_GT(probed, 0) << "no protected folder has a short name of its own here";
}

// A file with other names, links and files in use: the executor neither
// writes data another name can reach, nor the data a program is working on.
TEST(ExecutorOnWine, ShredNeverReachesDataBeyondTheName) {
  const struct { const char* what; std::string name; bool shred, held, nameGoes; } cases[] = {
      {"read-only file", "ro.txt", true, false, true},
      // nNumberOfLinks is 2 under Wine too: only the cleaned name goes.
      {"hard link to a kept letter", "letter-link.txt", true, false, true},
      // Laid from Linux by tools/run-tests.sh (CreateSymbolicLinkA does nothing
      // under Wine). Wine shows it as an ordinary file whose delete removes the
      // target; with Shred on, the executor sees through
      // GetFinalPathNameByHandleW that the open file lives elsewhere, and
      // neither writes nor deletes. (On Windows the link carries the reparse
      // mark and a delete removes the link only.)
      {"link to a file, made from Linux", "link.txt", true, false, false},
      // Held as fopen holds it (read and write, shared for both): Wine answers
      // the shredder's open without write sharing with error 32. Sharing is
      // checked handle by handle, so a handle of this process stands for
      // another program's.
      {"held open by another program, shredded", "open.doc", true, true, false},
      {"held open by another program, deleted", "open.doc", false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir("safety");
    const bool linked = c.name == "link.txt", hardLinked = c.name == "letter-link.txt";
    const std::string fixture = "C:\\shfixture\\filelink\\";
    const std::string walk = linked ? fixture + "walk" : dir / "walk", file = walk + "\\" + c.name;
    // Where its data lives.
    const std::string home = linked ? fixture + "target\\keep.txt" : hardLinked ? dir / "letter.txt" : file;
    MakeDirs(walk);
    if (!linked) WriteBytes(home, 3000, 'L');
    ASSERT_TRUE(!hardLinked || CreateHardLinkA(file.c_str(), home.c_str(), nullptr));
    if (c.name == "ro.txt") SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(Exists(file)) << "fixture missing: run through tools/run-tests.sh";
    const std::string before = ReadBytes(home);
    ScopedHandle holder(c.held ? CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)
                               : nullptr);
    ASSERT_EQ(holder.valid(), c.held);
    WinRig rig(c.shred);

    rig.CleanFolder(walk, "*.*", 0);

    EXPECT_EQ(Exists(file), !c.nameGoes);
    if (home != file || !c.nameGoes) {
      EXPECT_EQ(Difference(ReadBytes(home), before), "");
    }
  }
}

// Wine shows a Unix link to a folder as DIRECTORY|REPARSE_POINT, as Windows
// shows a junction; tools/run-tests.sh lays
// C:\shfixture\links\walk\link -> ..\target. RemoveDirectory on such a link
// fails under Wine, so removing the link itself cannot be shown here.
TEST(ExecutorOnWine, LinkToAFolderIsNeverEntered) {
  const std::string walk = "C:\\shfixture\\links\\walk";
  ASSERT_TRUE(GetFileAttributesA((walk + "\\link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)
      << "link fixture missing: run through tools/run-tests.sh";
  WinRig rig;
  rig.CleanFolder(walk, "*.*", 1);
  EXPECT_TRUE(Exists("C:\\shfixture\\links\\target\\keep.txt")) << "the link's target was emptied";
  EXPECT_FALSE(Exists(walk + "\\plain.tmp"));
}

// Registry entries of a spot on real keys, through the real cleaners. Which
// keys a spot may touch, what happens to a key that cannot go, and the
// counts are tested natively (spot_cleaner_test.cpp).
const HKEY kUser = HKEY_CURRENT_USER;
const RegRoot kUserRoot = RegRoot::kCurrentUser;

TEST(RegistryOnWine, KeysAreEmptiedAndMadeAgainValuesDeleted) {
  const std::string scratch = "Software\\shtest-registry-" + std::to_string(GetCurrentProcessId());
  const std::string target = scratch + "\\Target", typed = scratch + "\\Typed";
  RegistryGuard guard;  // removes the scratch key again
  guard.SetString(kUser, target, "", "default");
  guard.SetString(kUser, target, "MRUList", "ab");
  guard.SetString(kUser, target + "\\One\\Two\\Three", "y", "2");
  for (const char* name : {"", "url1", "url2"}) guard.SetString(kUser, typed, name, "http://a/");
  guard.SetString(kUser, typed + "\\Child", "c", "kept");
  guard.SetString(kUser, scratch + "\\Sibling", "keep", "me");
  CCleaningSpot spot("Recent documents", 1);
  spot.AddRegKey(kUserRoot, target);
  spot.AddRegKey(kUserRoot, scratch + "\\Missing\\Deeper");
  spot.AddRegValue(kUserRoot, typed, "");  // the key's default value
  spot.AddRegValue(kUserRoot, typed, "url1");
  WinRig rig;

  rig.Clean(spot);

  EXPECT_TRUE(KeyExists(kUser, target));
  EXPECT_TRUE(Names(kUser, target).empty());
  EXPECT_TRUE(Names(kUser, target, false).empty());
  EXPECT_FALSE(KeyExists(kUser, scratch + "\\Missing")) << "a missing key is never created";
  EXPECT_EQ(Names(kUser, typed, false), std::vector<std::string>{"url2"});
  EXPECT_EQ(ReadValue(kUser, typed + "\\Child", "c"), "kept");
  EXPECT_EQ(ReadValue(kUser, scratch + "\\Sibling", "keep"), "me");
  EXPECT_EQ(rig.report.outcomes[0].keys, 3);
}

// The protected folders are the shell's answer; between runs it is kept only
// while the shell's folder keys are unchanged, so a folder moved while the
// program runs is protected at its new place from the next run on.
TEST(CleanEnvironment, ProtectedFoldersFollowAFolderMovedBetweenRuns) {
  MapSettings settings;
  CWinCleanEnvironment environment(settings, true);
  ScratchDir moved("moved documents");
  const auto has = [&moved](const std::vector<std::string>& folders) {
    return std::any_of(folders.begin(), folders.end(),
                       [&moved](const std::string& f) { return EqualsNoCase(f, moved.path()); });
  };
  ASSERT_FALSE(has(environment.ProtectedFolders()));
  {
    RegistryGuard guard;
    guard.SetRaw(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                 "Personal", REG_EXPAND_SZ, moved.path() + std::string(1, '\0'));
    EXPECT_TRUE(has(environment.ProtectedFolders()));
  }
  EXPECT_FALSE(has(environment.ProtectedFolders()));
}

// Shredding and index.dat wiping on real files. The order of the writes is
// portable (path_rules_test.cpp); here: that every write lands on the file at its
// offset, and the renames and deletes.

// What the overwrite leaves (path_rules_test.cpp): the random pattern, its block
// laid from offset 0, the last byte written first as a region of its own.
std::string Overwritten(size_t size, CShredPatterns& patterns) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = char(patterns.block(2)[i + 1 == size ? 0 : i % kShredBlockSize]);
  return bytes;
}

// Bytes that are never zero, different from one offset to the next.
std::string Pattern(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(1 + i % 251);
  return data;
}

// Through the executor, which reads the Shred setting at every file: with it
// on, the data is overwritten, the name taken through the 26 letter names
// (the dot kept) and deleted; with it off, only deleted.
TEST(ShredFile, OverwritesRenamesThroughTheLettersAndDeletes) {
  WinRig rig;
  for (const auto& [size, shred] : {std::pair<size_t, bool>{1, true}, {200000, true}, {3000, false}}) {
    SCOPED_TRACE(size);
    ScratchDir dir("shred");
    const std::string path = dir / "secret.doc", before = Pattern(size);
    ASSERT_TRUE(WriteExact(Wide(path), before));
    // Opened with every sharing: the renames and the delete go ahead, and the
    // data stays readable through this handle until it closes.
    ScopedHandle held(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    rig.settings.values["Shred"] = shred ? "1" : "0";

    EXPECT_TRUE(rig.cleaners.executor().DeleteTrackFile(path));

    // Wine removes a deleted name when its last handle closes.
    EXPECT_EQ(List(dir.path()), std::vector<std::string>{shred ? "ZZZZZZ.ZZZ" : "secret.doc"});
    EXPECT_EQ(Difference(ReadAll(held.get()), shred ? Overwritten(size, rig.cleaners.executor().patterns()) : before),
              "");
    held.reset();
    EXPECT_TRUE(List(dir.path()).empty());
  }
  EXPECT_FALSE(rig.cleaners.executor().DeleteTrackFile("C:\\shtest-missing\\x.txt"));
}

// Sizes at the edges of the header and of the 10 000-byte writes; a file of
// 64 bytes or less is left as it is and counts as wiped. A file another name
// reaches is never written.
TEST(WipeIndexDat, KeepsTheHeaderZeroesTheRestAndKeepsTheLength) {
  ScratchDir dir("wipe");
  for (size_t size : {0u, 10u, 64u, 65u, 10063u, 10064u, 10065u, 100000u}) {
    const std::string path = dir / ("index" + std::to_string(size) + ".dat"), before = Pattern(size);
    ASSERT_TRUE(WriteExact(Wide(path), before));
    EXPECT_TRUE(WipeIndexDat(path)) << size;
    const size_t kept = size < 64 ? size : 64;
    EXPECT_EQ(Difference(ReadBytes(path), before.substr(0, kept) + std::string(size - kept, '\0')), "") << size;
  }
  EXPECT_FALSE(WipeIndexDat(dir / "missing.dat"));
  const std::string shared = dir / "index.dat", before = Pattern(5000);
  ASSERT_TRUE(WriteExact(Wide(shared), before));
  ASSERT_TRUE(CreateHardLinkA((dir / "other.dat").c_str(), shared.c_str(), nullptr));
  EXPECT_FALSE(WipeIndexDat(shared));
  EXPECT_EQ(Difference(ReadBytes(dir / "other.dat"), before), "");
}

// The pre-run check for open browser and folder windows on the real system,
// with stand-ins in processes of their own: a shell (taskbar, a folder window
// and a browser window) and a browser that ignores the request to close.
constexpr char kStandInVariable[] = "SH_STANDIN_WINDOWS";

size_t WindowsOf(DWORD pid, const char* className) {
  size_t n = 0;
  DWORD owner = 0;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, className, nullptr)) != nullptr;)
    n += GetWindowThreadProcessId(w, &owner) && owner == pid;
  return n;
}

// This program's DISABLED_BrowserWindowStandIn test, which makes top-level
// windows of the comma-separated `classes`.
ChildLaunch StandIn(const char* classes) {
  return TestsInChild("DISABLED_BrowserWindowStandIn.*", {{kStandInVariable, classes}});
}

TEST(BrowserWindowsOnWine, YesClosesWindowsAndEndsOnlyAStubbornBrowserOutsideTheShell) {
  Process shell(StandIn("Shell_TrayWnd,CabinetWClass,IEFrame")), browser(StandIn("IEFrame"));
  ASSERT_TRUE(PumpUntil([&] {
    return WindowsOf(shell.Id(), "Shell_TrayWnd") + WindowsOf(shell.Id(), "CabinetWClass") +
               WindowsOf(shell.Id(), "IEFrame") + WindowsOf(browser.Id(), "IEFrame") == 4;
  }));
  ScriptedPrompt prompt;
  prompt.answers = {PromptAnswer::kYes};
  CWinBrowserWindows windows(prompt);
  // Only the stand-ins' windows may be asked to close or have their
  // processes ended: none of the prefix's own programs.
  const std::vector<BrowserWindow> found = windows.FindBrowserWindows();
  ASSERT_EQ(found.size(), 3u) << "a browser or folder window of another program is open";
  CloseBrowserWindows(windows, false);
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, kCloseBrowserQuestion);
  // The shell runs on with its browser window; its folder window closed when
  // asked. The browser outside it was ended, with exit code 0.
  EXPECT_EQ(WindowsOf(shell.Id(), "IEFrame"), 1u);
  EXPECT_EQ(WindowsOf(shell.Id(), "CabinetWClass"), 0u);
  EXPECT_EQ(browser.ExitCode(), 0);
}

// Only folder windows close when asked.
LRESULT CALLBACK StandInProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (msg == WM_CLOSE && std::string(name) != "CabinetWClass") return 0;
  return DefWindowProcA(window, msg, wParam, lParam);
}

// The child half of the test above: hosts its windows for a minute at most.
TEST(DISABLED_BrowserWindowStandIn, HostsItsWindows) {
  std::istringstream list(ChildEnvironment(kStandInVariable));
  if (list.str().empty()) GTEST_SKIP() << "a child only";
  for (std::string name; std::getline(list, name, ',');) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name.c_str();
    RegisterClassA(&wc);
    ASSERT_TRUE(CreateWindowExA(0, wc.lpszClassName, "stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, wc.hInstance, nullptr))
        << name;
  }
  PumpUntil([] { return false; }, 60000);
}

}  // namespace
}  // namespace sh::test
