// The Win32 executor and the machine's ports on the real file system of the
// Wine prefix, through the real cleaners. What a walk may reach is decided
// portably (spot_cleaner_test.cpp); here: that the calls reach exactly the
// file the decider named, and what the executor checks on the open file
// before it writes or deletes.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "engine/action_executor_win.h"
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
    EXPECT_TRUE(Exists(probe)) << shortName;
    EXPECT_TRUE(rig.report.acted.empty()) << shortName << ": " << rig.report.acted.front();
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

}  // namespace
}  // namespace sh::test
