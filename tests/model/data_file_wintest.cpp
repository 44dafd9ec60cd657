// The data files on the real file system of the prefix.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <string>

#include "model/data_file_win.h"
#include "model/memory_files.h"
#include "support/recorders.h"
#include "support/win_fs.h"

namespace sh {
namespace {

// Whatever an interrupted store left beside the list (a read-only hidden
// system file, a folder, a file held open) never stops the next store, which
// replaces the list whole; a folder is never emptied.
TEST(DataFileWin, StoresReplaceTheListWholeWhateverIsBesideIt) {
  CWinFileStore files;
  for (int stale = 0; stale < 3; ++stale) {
    SCOPED_TRACE(stale);
    test::ScratchDir dir("stale");
    const std::string path = dir / "Splst.swh", beside = path + ".new";
    ASSERT_EQ(WriteDataFile(files, path, "<longer text/>"), 1);
    if (stale == 1) test::MakeDirs(beside);
    test::WriteBytes(stale == 1 ? beside + "\\inside.txt" : beside, 100);
    const DWORD readOnlyHiddenSystem = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (stale == 0) SetFileAttributesA(beside.c_str(), readOnlyHiddenSystem);
    ScopedHandle held(stale == 2 ? CreateFileA(beside.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                 : nullptr);
    ASSERT_EQ(WriteDataFile(files, path, "<a/>"), 1);
    EXPECT_EQ(test::ReadBytes(path), std::string("\x9B\xC6\x88\x99"));  // "<a/>" scrambled
    EXPECT_EQ(test::List(dir.path()).size(), stale ? 2u : 1u);
    EXPECT_EQ(test::Exists(beside + "\\inside.txt"), stale == 1);
  }
  EXPECT_EQ(WriteDataFile(files, "C:\\no such folder\\Splst.swh", "<a/>"), 0);
}

// Through the temporary folder's text-mode stream (CR LF), which is left
// empty; without a temporary folder the user is told and the list is kept.
TEST(DataFileWin, SavedThroughTheTemporaryFolderOrTold) {
  test::ScratchDir dir("save"), temp("savetemp");
  char saved[MAX_PATH] = {};
  const bool had = GetEnvironmentVariableA("TMP", saved, MAX_PATH) != 0;
  test::MapSettings settings;
  test::FakeMachine machine;  // no macro is met here
  CWinFileStore files;
  test::ScriptedPrompt prompt;
  CWinDataFileLock lock;
  DataFileEnv env{files, machine, settings, prompt, lock};
  ASSERT_EQ(WriteDataFile(files, dir / "CutmPlg.swh", "<old/>"), 1);
  TiXmlDocument document;
  document.Parse("<CustomPlugins><Plugin Name=\"A\"><FILES /></Plugin></CustomPlugins>");
  SetEnvironmentVariableA("TMP", (dir / "no such folder\\").c_str());
  EXPECT_EQ(SaveDataDocument(env, document, dir / "CutmPlg.swh"), 0);
  EXPECT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(ReadDataFile(files, dir / "CutmPlg.swh"), "<old/>");
  SetEnvironmentVariableA("TMP", (temp.path() + "\\").c_str());
  EXPECT_EQ(SaveDataDocument(env, document, dir / "CutmPlg.swh"), 1);
  SetEnvironmentVariableA("TMP", had ? saved : nullptr);
  EXPECT_EQ(ReadDataFile(files, dir / "CutmPlg.swh"),
            "<CustomPlugins>\r\n    <Plugin Name=\"A\">\r\n        <FILES />\r\n    </Plugin>\r\n</CustomPlugins>\r\n");
  EXPECT_TRUE(test::List(temp.path()).empty());
  EXPECT_EQ(test::List(dir.path()).size(), 1u);
}

}  // namespace
}  // namespace sh
