// The recycle-bin cleaner on real Recycled folders: on C: of the test
// prefix, and on scratch folders standing in for further drives.
#include <gtest/gtest.h>

#include "engine/win_cleaners_win.h"
#include "support/recorders.h"
#include "support/win_fs.h"

namespace sh::test {
namespace {

// The drive list as given; the shell's empty is only counted (under Wine it
// would empty the host's trash of the run).
class RecordingRecycleShell : public IRecycleBinShell {
 public:
  explicit RecordingRecycleShell(std::vector<std::string> roots) : roots(std::move(roots)) {}
  std::vector<std::string> DriveRoots() override { return roots; }
  void EmptyRecycleBin() override { ++emptied; }
  std::vector<std::string> roots;
  int emptied = 0;
};

struct RecycleRun {
  explicit RecycleRun(std::vector<std::string> roots) : shell(std::move(roots)) {}
  CSpotCleanerSeams Seams() {
    CSpotCleanerSeams seams;
    seams.recycleShell = &shell;
    return seams;
  }
  void Clean() {
    CCleaningSpot spot("Recycle Bin", 1);
    cleaners.CleanRecycleBin(spot, context);
  }
  RecordingRecycleShell shell;
  MapSettings settings;
  ScriptedPrompt prompt;
  RecordingLog log;
  RecordingProgress progress;
  ScriptedControl control;
  CWinSpotCleaners cleaners{settings, prompt, Seams()};
  CCleanRunContext context{&log, &progress, &control, 0};
};

size_t SizeOf(const std::string& path) { return ReadBytes(path).size(); }

// A bin as the shell of the time kept it: an index, desktop.ini in every
// folder, deleted files, and a deleted folder with files of its own.
void SeedBin(const std::string& bin, const std::string& index) {
  MakeDirs(bin + "\\Dc2\\sub");
  WriteBytes(bin + "\\" + index, 820, 'i');
  WriteBytes(bin + "\\desktop.ini", 65, 'd');
  WriteBytes(bin + "\\Dc2\\desktop.ini", 65, 'd');
  WriteBytes(bin + "\\Dc1.txt", 100);
  WriteBytes(bin + "\\Dc2\\report.doc", 2000);
  WriteBytes(bin + "\\Dc2\\sub\\notes.txt", 3000);
}

// C:\Recycled made by the test and removed at its end.
class DriveCBin {
 public:
  DriveCBin() : existed_(Exists("C:\\Recycled")) {}
  ~DriveCBin() {
    if (!existed_) RemoveTree("C:\\Recycled");
  }
  bool existed() const { return existed_; }

 private:
  bool existed_;
};

TEST(RecycleBin, RecycledFolderOnDriveC) {
  DriveCBin drive;
  if (drive.existed()) GTEST_SKIP() << "C:\\Recycled belongs to the system here";
  SeedBin("C:\\Recycled", "INFO2");
  RecycleRun run(LocalDriveRoots());
  ASSERT_FALSE(run.shell.roots.empty());
  EXPECT_EQ(run.shell.roots[0], "C:\\");

  run.Clean();

  EXPECT_EQ(ReadBytes("C:\\Recycled\\INFO2"), std::string(820, 'i'));
  EXPECT_EQ(ReadBytes("C:\\Recycled\\desktop.ini"), std::string(65, 'd'));
  EXPECT_EQ(ReadBytes("C:\\Recycled\\Dc2\\desktop.ini"), std::string(65, 'd'));
  for (const char* path : {"C:\\Recycled\\Dc1.txt", "C:\\Recycled\\Dc2\\report.doc",
                           "C:\\Recycled\\Dc2\\sub\\notes.txt"}) {
    EXPECT_TRUE(Exists(path)) << path;
    EXPECT_EQ(SizeOf(path), 0u) << path;
    EXPECT_TRUE(run.log.Has(std::string("Deleting : ") + path + " \r\n")) << path;
  }
  EXPECT_EQ(run.log.lines.size(), 3u);
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "3");
  EXPECT_EQ(run.progress.Cell(0, kSizeColumn), "4.98 KB");
  EXPECT_EQ(run.control.files, 3);
  EXPECT_EQ(run.shell.emptied, 1);
}

TEST(RecycleBin, DriveWithoutIndexEndsTheDriveLoop) {
  ScratchDir first("bin-first"), second("bin-second");
  MakeDirs(first / "Recycled");  // a bin folder, but no INFO or INFO2
  WriteBytes(first / "Recycled\\old.txt", 10);
  SeedBin(second / "Recycled", "INFO2");
  RecycleRun run({first.path() + "\\", second.path() + "\\"});

  run.Clean();

  EXPECT_EQ(SizeOf(first / "Recycled\\old.txt"), 10u);
  EXPECT_EQ(SizeOf(second / "Recycled\\Dc1.txt"), 100u);
  EXPECT_TRUE(run.log.lines.empty());
  EXPECT_EQ(run.shell.emptied, 1);
}

// INFO is taken before INFO2, so INFO2 is then an ordinary file; every
// drive with an index is walked, totals shared.
TEST(RecycleBin, InfoBeforeInfo2AndTotalsOverDrives) {
  ScratchDir first("bin-info"), second("bin-info2");
  SeedBin(first / "Recycled", "INFO");
  WriteBytes(first / "Recycled\\INFO2", 30);
  SeedBin(second / "Recycled", "INFO2");
  RecycleRun run({first.path() + "\\", second.path()});

  run.Clean();

  EXPECT_EQ(SizeOf(first / "Recycled\\INFO"), 820u);
  EXPECT_EQ(SizeOf(first / "Recycled\\INFO2"), 0u);
  EXPECT_EQ(SizeOf(second / "Recycled\\INFO2"), 820u);
  EXPECT_EQ(SizeOf(second / "Recycled\\Dc2\\sub\\notes.txt"), 0u);
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "7");
  EXPECT_EQ(run.progress.Cell(0, kSizeColumn), "9.99 KB");  // 2 * 5100 + 30
}

TEST(RecycleBin, AbortStopsTheWalkButTheBinIsStillEmptied) {
  ScratchDir drive("bin-abort");
  SeedBin(drive / "Recycled", "INFO2");
  RecycleRun run({drive.path() + "\\"});
  run.control.onFile = [&](int) { run.control.running = false; };

  run.Clean();

  EXPECT_EQ(run.control.files, 1);
  EXPECT_EQ(run.log.lines.size(), 1u);
  int untouched = 0;
  for (const char* name : {"Dc1.txt", "Dc2\\report.doc", "Dc2\\sub\\notes.txt"})
    if (SizeOf(drive / (std::string("Recycled\\") + name)) != 0) ++untouched;
  EXPECT_EQ(untouched, 2);
  EXPECT_EQ(run.shell.emptied, 1);
}

// A file another program holds (without delete sharing) cannot be deleted
// but is cut to nothing by the placeholder.
TEST(RecycleBin, FileInUseIsCutToZeroLength) {
  ScratchDir drive("bin-inuse");
  SeedBin(drive / "Recycled", "INFO2");
  const std::string busy = drive / "Recycled\\Dc1.txt";
  HANDLE held = CreateFileA(busy.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  RecycleRun run({drive.path() + "\\"});

  run.Clean();
  CloseHandle(held);

  EXPECT_TRUE(Exists(busy));
  EXPECT_EQ(SizeOf(busy), 0u);
  EXPECT_EQ(run.progress.Cell(0, kFilesColumn), "3");
}

}  // namespace
}  // namespace sh::test
