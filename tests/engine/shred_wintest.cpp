// Shredding real files in the Wine prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include "engine/file_deleter_win.h"
#include "support/recorders.h"
#include "support/win_fs.h"

namespace sh {
namespace {

using namespace sh::test;

// A hard link keeps the file's data reachable after the shredder deleted its
// name, so the overwrite can be checked byte by byte.
std::string ShredAndReadThroughLink(const std::string& path, size_t size, int cycles, CShredPatterns& patterns,
                                    bool* shredded) {
  WriteBytes(path, size, 'q');
  std::string link = path + ".link";
  if (!CreateHardLinkA(link.c_str(), path.c_str(), nullptr)) return "no hard link";
  *shredded = ShredFile(path, cycles, patterns);
  std::string data = ReadBytes(link);
  DeleteFileA(link.c_str());
  return data;
}

TEST(ShredFile, OverwritesEveryByteThenRenamesAndDeletes) {
  ScratchDir dir("shred");
  CShredPatterns patterns;
  for (size_t size : {0u, 1u, 200000u}) {
    bool ok = false;
    std::string data = ShredAndReadThroughLink(dir / "secret.doc", size, 1, patterns, &ok);
    EXPECT_TRUE(ok) << size;
    ASSERT_EQ(data.size(), size);
    if (size == 0) continue;
    ASSERT_TRUE(patterns.ready());
    const uint8_t* random = patterns.block(2);
    // The last byte first, then regions of one block from offset 0: each
    // byte ends as the random block at its offset within its region.
    EXPECT_EQ(static_cast<uint8_t>(data[size - 1]), random[0]);
    for (size_t i = 0; i + 1 < size; ++i)
      ASSERT_EQ(static_cast<uint8_t>(data[i]), random[i % kShredBlockSize]) << "byte " << i;
    EXPECT_EQ(List(dir.path()), (std::vector<std::string>{})) << "no letter-named file is left";
  }
}

TEST(ShredFile, TwentySixRenamesKeepDots) {
  ScratchDir dir("rename");
  WriteBytes(dir / "report.doc", 3);
  std::string path = dir / "report.doc";
  ASSERT_TRUE(RenameForShred(path));
  EXPECT_EQ(path, dir / "ZZZZZZ.ZZZ");
  EXPECT_EQ(List(dir.path()), (std::vector<std::string>{"ZZZZZZ.ZZZ"}));

  WriteBytes(dir / ".hidden", 1);
  std::string hidden = dir / ".hidden";
  ASSERT_TRUE(RenameForShred(hidden));
  EXPECT_EQ(hidden, dir / ".ZZZZZZ");
}

TEST(ShredFile, FailedRenameLeavesTheLetterNameAndReportsFailure) {
  ScratchDir dir("blocked");
  WriteBytes(dir / "README", 10);
  MakeDirs(dir / "CCCCCC");  // the third rename finds its name taken
  std::string path = dir / "README";
  EXPECT_FALSE(RenameForShred(path));
  EXPECT_EQ(path, dir / "README") << "the path is unchanged on failure";
  EXPECT_TRUE(Exists(dir / "BBBBBB"));

  CShredPatterns patterns;
  WriteBytes(dir / "README", 10, 'r');
  EXPECT_FALSE(ShredFile(dir / "README", 1, patterns));
  EXPECT_TRUE(Exists(dir / "BBBBBB")) << "it keeps the letter name it reached";
  EXPECT_NE(ReadBytes(dir / "BBBBBB"), std::string(10, 'r')) << "its data was overwritten";
}

TEST(ShredFile, MissingOrLockedFilesAreNeitherWrittenNorDeleted) {
  ScratchDir dir("locked");
  CShredPatterns patterns;
  EXPECT_FALSE(ShredFile(dir / "missing.txt", 1, patterns));
  WriteBytes(dir / "open.txt", 50, 'o');
  HANDLE h = CreateFileA((dir / "open.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(ShredFile(dir / "open.txt", 1, patterns));
  CloseHandle(h);
  EXPECT_EQ(ReadBytes(dir / "open.txt"), std::string(50, 'o'));
}

TEST(DeleteTrackFile, ReadsTheShredSettingAtEveryCall) {
  ScratchDir dir("track");
  MapSettings settings;
  CFileDeleter deleter(settings);
  WriteBytes(dir / "plain.txt", 100);
  EXPECT_TRUE(deleter.DeleteTrackFile(dir / "plain.txt"));
  EXPECT_FALSE(deleter.patterns().ready()) << "no shredding while Shred is off";

  settings.values["Shred"] = "1";
  settings.values["ShredMethod"] = "4";
  WriteBytes(dir / "shred.txt", 100);
  EXPECT_TRUE(deleter.DeleteTrackFile(dir / "shred.txt"));
  EXPECT_TRUE(deleter.patterns().ready());
  EXPECT_TRUE(List(dir.path()).empty());
  EXPECT_FALSE(deleter.DeleteTrackFile(dir / "gone.txt"));
}

TEST(WipeIndexDat, KeepsTheHeaderZeroesTheRestAndTheLength) {
  ScratchDir dir("wipe");
  for (size_t size : {0u, 10u, 63u, 64u, 65u, 100000u}) {
    std::string path = dir / ("index" + std::to_string(size) + ".dat");
    WriteBytes(path, size, 'i');
    EXPECT_TRUE(WipeIndexDat(path)) << size;
    std::string after = ReadBytes(path);
    ASSERT_EQ(after.size(), size);
    size_t kept = size < 64 ? size : 64;
    EXPECT_EQ(after.substr(0, kept), std::string(kept, 'i')) << "short files are left as they are";
    if (size > 64) {
      EXPECT_EQ(after.substr(64), std::string(size - 64, '\0'));
    }
  }
  EXPECT_FALSE(WipeIndexDat(dir / "missing.dat"));
}

}  // namespace
}  // namespace sh
