// The folder walk on real files in the Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include "engine/win_cleaners_win.h"
#include "support/recorders.h"
#include "support/win_fs.h"

namespace sh {
namespace {

using namespace sh::test;

struct Walk {
  MapSettings settings;
  ScriptedPrompt prompt;
  CWinSpotCleaners cleaners{settings, prompt};
  RecordingLog log;
  RecordingProgress progress;
  ScriptedControl control;
  CCleanRunContext context{&log, &progress, &control, 0};
  int count = 0;
  double size = 0;

  void Folder(const std::string& path, const std::string& mask, int include, int deleteSubs) {
    context.includeSubFolders = include;
    context.deleteSubFolders = deleteSubs;
    cleaners.CleanFolder(context, path, mask, count, size);
  }
};

TEST(FolderWalk, MaskDecidesWhichSubfoldersAreEntered) {
  ScratchDir dir("mask");
  MakeDirs(dir / "cache");
  MakeDirs(dir / "old.tmp");
  WriteBytes(dir / "a.tmp", 100);
  WriteBytes(dir / "keep.txt", 5);
  WriteBytes(dir / "cache\\b.tmp", 7);
  WriteBytes(dir / "old.tmp\\c.tmp", 11);
  WriteBytes(dir / "old.tmp\\d.log", 13);

  Walk w;
  w.Folder(dir.path(), "*.tmp", 1, 0);
  EXPECT_EQ(List(dir.path()), (std::vector<std::string>{"cache", "keep.txt", "old.tmp"}));
  EXPECT_EQ(List(dir / "cache"), (std::vector<std::string>{"b.tmp"})) << "cache does not match *.tmp";
  EXPECT_EQ(List(dir / "old.tmp"), (std::vector<std::string>{"d.log"})) << "old.tmp matches and is entered";
  // a.tmp, the folder old.tmp, c.tmp
  EXPECT_EQ(w.count, 3);
  EXPECT_EQ(w.size, 111);
  EXPECT_EQ(w.progress.Cell(0, kFilesColumn), "3");
  EXPECT_EQ(w.progress.Cell(0, kSizeColumn), "111 bytes");
  EXPECT_EQ(w.control.files, 2) << "a pause after every file, none after a folder";
  EXPECT_TRUE(w.log.Has("Deleting : " + dir.path() + "\\a.tmp \r\n"));
}

TEST(FolderWalk, SubfoldersCountEvenWhenNotEnteredAndAreRemovedWhenAsked) {
  ScratchDir dir("subs");
  MakeDirs(dir / "one\\two");
  WriteBytes(dir / "one\\two\\x.dat", 3);
  WriteBytes(dir / "top.dat", 3);

  Walk flat;
  flat.Folder(dir.path(), "*.*", 0, 0);
  EXPECT_EQ(flat.count, 2) << "the file and the folder one";
  EXPECT_TRUE(Exists(dir / "one\\two\\x.dat"));

  Walk deep;
  deep.Folder(dir.path() + "\\\\\\", "*.*", 1, 1);  // trailing backslashes
  EXPECT_TRUE(List(dir.path()).empty());
  EXPECT_TRUE(Exists(dir.path())) << "the entry's own folder stays without DeleteRootDir";
  EXPECT_TRUE(deep.log.Has("Cleaning Directory : " + dir.path() + "\\one\\two \r\n"));
  EXPECT_TRUE(deep.log.Has("Cleaning Directory : " + dir.path() + "\\one \r\n"));
}

TEST(FolderWalk, WildcardPathIsSearchedUnchanged) {
  ScratchDir dir("wild");
  WriteBytes(dir / "a.log", 1);
  WriteBytes(dir / "b.txt", 1);
  Walk w;
  w.Folder(dir.path() + "\\*.log", "*.txt", 0, 0);
  EXPECT_EQ(List(dir.path()), (std::vector<std::string>{"b.txt"}));
}

TEST(FolderWalk, ExclusionsReadOnlyAndFilesInUse) {
  ScratchDir dir("special");
  WriteBytes(dir / "desktop.ini", 10);
  WriteBytes(dir / "Index.DAT", 10);
  WriteBytes(dir / "ro.txt", 10);
  SetFileAttributesA((dir / "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteBytes(dir / "busy.txt", 20);
  HANDLE busy = CreateFileA((dir / "busy.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(busy, INVALID_HANDLE_VALUE);

  Walk w;
  AddExclusion(w.context, "desktop.ini");
  AddExclusion(w.context, "index.dat");
  w.Folder(dir.path(), "*.*", 0, 0);
  CloseHandle(busy);

  EXPECT_EQ(List(dir.path()), (std::vector<std::string>{"Index.DAT", "busy.txt", "desktop.ini"}));
  EXPECT_EQ(w.count, 2) << "excluded files are not counted; the busy one is";
  EXPECT_EQ(w.size, 30);
  EXPECT_EQ(w.control.files, 4) << "excluded files still get the pause";
  EXPECT_TRUE(w.log.Has("Could Not Delete : " + dir.path() + "\\busy.txt \r\n"));
  EXPECT_TRUE(w.log.Has("Deleting : " + dir.path() + "\\ro.txt \r\n"));
  // Nothing is scheduled for restart for an ordinary file.
  EXPECT_FALSE(w.log.All().find("Reboot") != std::string::npos);
}

TEST(FolderWalk, WipeNameIsWipedInPlaceNotDeleted) {
  ScratchDir dir("wipe");
  std::string data(300, 'h');
  WriteBytes(dir / "index.dat", 300, 'h');
  WriteBytes(dir / "other.dat", 5);
  Walk w;
  AddExclusion(w.context, "desktop.ini");
  w.context.wipeName = "index.dat";
  w.Folder(dir.path(), "*.*", 0, 0);
  EXPECT_EQ(List(dir.path()), (std::vector<std::string>{"index.dat"}));
  std::string after = ReadBytes(dir / "index.dat");
  ASSERT_EQ(after.size(), 300u);
  EXPECT_EQ(after.substr(0, 64), std::string(64, 'h'));
  EXPECT_EQ(after.substr(64), std::string(236, '\0'));
  EXPECT_EQ(w.count, 2);
  EXPECT_TRUE(w.log.Has("Wiping Index.dat: " + dir.path() + "\\index.dat \r\n"));
}

TEST(FolderWalk, AbortStopsEveryLevelButTheParentStillRemovesTheChild) {
  ScratchDir dir("abort");
  MakeDirs(dir / "sub");
  for (int i = 0; i < 5; ++i) WriteBytes(dir / ("sub\\f" + std::to_string(i)), 1);
  Walk w;
  w.control.onFile = [&](int n) {
    if (n == 2) w.control.running = false;
  };
  w.Folder(dir.path(), "*.*", 1, 1);
  EXPECT_EQ(w.control.files, 2) << "the walk stopped before its next entry";
  EXPECT_EQ(List(dir / "sub").size(), 3u);
  EXPECT_TRUE(w.log.Has("Cleaning Directory : " + dir.path() + "\\sub \r\n"))
      << "the level above still tries to remove the stopped child";
  EXPECT_TRUE(Exists(dir / "sub")) << "not empty, so it stays";
}

TEST(FolderWalk, RelativePathsAndUnexpandedMacrosAreNeverWalked) {
  ScratchDir dir("relative");
  WriteBytes(dir / "victim.txt", 1);
  char cwd[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  SetCurrentDirectoryA(dir.path().c_str());
  Walk w;
  for (const char* path : {":IE_Cache:\\", "\\", ".", "victim.txt", ""}) w.Folder(path, "*.*", 1, 1);
  SetCurrentDirectoryA(cwd);
  EXPECT_TRUE(Exists(dir / "victim.txt"));
  EXPECT_EQ(w.count, 0);
  EXPECT_TRUE(w.log.Has("Skipped (not a folder to walk) : :IE_Cache:\\ \r\n"));
}

TEST(FolderWalk, CleanFoldersRunsEntriesWithTheirFlagsAndRemovesRoots) {
  ScratchDir dir("entries");
  MakeDirs(dir / "gone\\deep");
  WriteBytes(dir / "gone\\deep\\x", 1);
  MakeDirs(dir / "stays");
  WriteBytes(dir / "stays\\busy", 1);
  HANDLE busy = CreateFileA((dir / "stays\\busy").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);

  auto spot = CreateSpot("s", 1);
  spot->AddFolder(dir / "gone", "", 1, 1, 0);
  spot->AddFolder(dir / "stays", "*.*", 1, 0, 0);
  Walk w;
  w.cleaners.CleanFolders(*spot, w.context);
  CloseHandle(busy);
  EXPECT_EQ(spot->Folders[0].Mask, "*.*") << "an empty mask becomes *.* and stays so";
  EXPECT_TRUE(w.log.Has("Cleaning : Path = " + dir.path() + "\\gone , Mask = *.* \r\n"));
  // IncludeSubFolders without DeleteSubFolders: deep stays, so gone stays too.
  EXPECT_TRUE(Exists(dir / "gone\\deep"));
  EXPECT_FALSE(Exists(dir / "gone\\deep\\x"));
  EXPECT_TRUE(Exists(dir / "stays\\busy")) << "a folder holding an undeletable file stays, silently";
  EXPECT_EQ(w.progress.Cell(0, kFilesColumn), "3") << "one count for the whole spot";

  auto again = CreateSpot("again", 1);
  again->AddFolder(dir / "gone", "*.*", 1, 1, 1);
  Walk w2;
  w2.cleaners.CleanFolders(*again, w2.context);
  EXPECT_FALSE(Exists(dir / "gone"));
}

TEST(FolderWalk, AbortBetweenFolderEntries) {
  ScratchDir dir("between");
  WriteBytes(dir / "a", 1);
  WriteBytes(dir / "b", 1);
  auto spot = CreateSpot("s", 1);
  spot->AddFolder(dir.path(), "a", 0, 0, 0);
  spot->AddFolder(dir.path(), "b", 0, 0, 0);
  Walk w;
  w.control.onFile = [&](int) { w.control.running = false; };
  w.cleaners.CleanFolders(*spot, w.context);
  EXPECT_FALSE(Exists(dir / "a"));
  EXPECT_TRUE(Exists(dir / "b"));
}

// Found.* folders sit at drive roots; the prefix's C: is scratch space.
TEST(FolderWalk, FoundFoldersAtTheRootAreEmptiedAndRemoved) {
  MakeDirs("C:\\found.000\\sub");
  WriteBytes("C:\\found.000\\file0000.chk", 2048);
  WriteBytes("C:\\found.000\\sub\\x", 10);
  MakeDirs("C:\\found.001");
  WriteBytes("C:\\found.txt", 1);
  MakeDirs("C:\\notfound");
  WriteBytes("C:\\notfound\\y", 1);

  Walk w;
  auto spot = CreateSpot("found", 1);
  w.cleaners.CleanFoundFolders(*spot, w.context);
  EXPECT_FALSE(Exists("C:\\found.000"));
  EXPECT_FALSE(Exists("C:\\found.001"));
  EXPECT_FALSE(Exists("C:\\found.txt"));
  EXPECT_TRUE(Exists("C:\\notfound\\y"));
  EXPECT_TRUE(w.log.Has("Cleaning folder (C:\\found.*)\r\n"));
  // Wine lists only C: here (the project removes Z:, the host's root).
  std::vector<std::string> roots = LocalDriveRoots();
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots[0], "C:\\");
  for (const auto& r : roots) EXPECT_NE(r, "Z:\\") << "the host's file system must not be reachable";
  RemoveTree("C:\\notfound");
}

TEST(FolderWalk, DriveRootIsNeverWalkedIntoItsFolders) {
  MakeDirs("C:\\shroot-probe");
  WriteBytes("C:\\shroot-probe\\precious.doc", 1);
  WriteBytes("C:\\shroot-junk.tmpx", 1);
  WriteBytes("C:\\keep-shroot.ini", 1);
  Walk w;
  w.Folder("C:\\", "shroot-*", 1, 1);
  w.Folder("C:\\*", "*.*", 1, 1);    // a bare wildcard at the root is the root itself
  w.Folder("C:\\\\", "*.*", 0, 0);  // and is never emptied wholesale
  EXPECT_TRUE(Exists("C:\\keep-shroot.ini"));
  EXPECT_TRUE(Exists("C:\\shroot-probe\\precious.doc"));
  EXPECT_TRUE(Exists("C:\\shroot-probe")) << "not removed either";
  EXPECT_FALSE(Exists("C:\\shroot-junk.tmpx")) << "the root's own matching files are cleaned";
  EXPECT_TRUE(Exists("C:\\windows\\system32")) << "nothing below the root was entered";
  RemoveTree("C:\\shroot-probe");
  DeleteFileA("C:\\keep-shroot.ini");
}

// A stored location that was not found can leave a spot pointing at the
// Windows folder or the profile: those are never emptied or entered.
TEST(FolderWalk, SystemAndProfileFoldersAreNeverEmptiedOrEntered) {
  char windows[MAX_PATH + 1] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  char profile[MAX_PATH + 1] = {};
  ASSERT_TRUE(GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH));
  const std::string win = windows, prof = profile;
  MakeDirs(prof + "\\shtest-docs");
  WriteBytes(prof + "\\shtest-docs\\thesis.doc", 1);
  WriteBytes(prof + "\\shtest-profile.txt", 1);
  WriteBytes(win + "\\shtest-setup.log", 1);

  Walk w;
  w.Folder(win, "*.*", 1, 1);
  w.Folder(win + "\\", "*", 1, 1);
  w.Folder(prof, "*.*", 1, 1);
  w.Folder(prof + "\\*.*", "*.*", 1, 1);
  EXPECT_TRUE(Exists(win + "\\system32"));
  EXPECT_TRUE(Exists(win + "\\shtest-setup.log"));
  EXPECT_TRUE(Exists(prof + "\\shtest-docs\\thesis.doc"));
  EXPECT_TRUE(Exists(prof + "\\shtest-profile.txt"));
  EXPECT_EQ(w.count, 0);

  // A named mask may still clean the folder's own matching files.
  w.Folder(win, "shtest-*.log", 1, 1);
  EXPECT_FALSE(Exists(win + "\\shtest-setup.log"));
  RemoveTree(prof + "\\shtest-docs");
  DeleteFileA((prof + "\\shtest-profile.txt").c_str());
}

// Wine 8 shows a Unix symbolic link to a folder as DIRECTORY|REPARSE_POINT,
// which is what a junction looks like on Windows. Windows code cannot make
// one here (CreateSymbolicLinkA reports success and creates nothing), so
// tools/run-tests.sh lays C:\shfixture\links\walk\link -> ..\target.
// RemoveDirectoryA on such a link fails under Wine, so removing the link
// itself cannot be shown here.
TEST(FolderWalk, LinksAreNeverEntered) {
  const std::string walk = "C:\\shfixture\\links\\walk";
  if (!Exists(walk + "\\link")) GTEST_SKIP() << "link fixture not laid (run through tools/run-tests.sh)";
  DWORD attributes = GetFileAttributesA((walk + "\\link").c_str());
  ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  Walk w;
  w.Folder(walk, "*.*", 1, 1);
  EXPECT_TRUE(Exists("C:\\shfixture\\links\\target\\keep.txt")) << "the link's target was emptied";
  EXPECT_TRUE(w.log.Has("Link Not Entered : " + walk + "\\link \r\n"));
  EXPECT_EQ(w.count, 2) << "the link counts as a folder, plus the one file beside it";
  EXPECT_FALSE(Exists(walk + "\\plain.tmp"));
}

}  // namespace
}  // namespace sh
