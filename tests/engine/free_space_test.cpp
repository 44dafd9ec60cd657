// The free-space wipe over a drive in memory: filled to the byte, then as it
// was, whatever ends the fill. On a real drive: tools/tests/free-space-wipe.sh.
#include "engine/free_space.h"

#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <set>

#include "engine/path_rules.h"

namespace sh {
namespace {

// Sizes only. A write that does not fit writes nothing (as NTFS), one past
// a part's limit fails (as FAT32), an open file cannot be deleted; `refused`
// bytes of the free space take no write.
struct MemoryDrive : IFreeSpaceDisk {
  MemoryDrive(uint64_t size, int failAt, uint64_t refuse) : capacity(size), refused(refuse), failWrite(failAt) {}
  struct Fill : IFillFile {
    Fill(MemoryDrive& d, std::string p) : drive(d), path(std::move(p)) {
      drive.files[path] = 0;
      drive.open.insert(path);
    }
    ~Fill() override { drive.open.erase(path); }
    FillWrite Append(const uint8_t*, size_t length, size_t& written) override {
      if (++drive.writes == drive.failWrite || drive.files[path] + length > kFillPartLimit) return FillWrite::kFailed;
      if (length + drive.refused > drive.Free()) return FillWrite::kDiskFull;
      drive.files[path] += written = length;
      return FillWrite::kWritten;
    }
    bool Flush() override { return true; }
    MemoryDrive& drive;
    const std::string path;
  };
  uint64_t Free() {
    return std::accumulate(files.begin(), files.end(), capacity, [](uint64_t n, auto& f) { return n - f.second; });
  }
  std::vector<std::string> FixedDriveRoots() override { return {"X:\\"}; }
  bool FreeBytes(const std::string&, uint64_t& bytes) override { return freeRead = bytes = Free(), true; }
  bool MakeFolder(const std::string& path) override { return folders.insert(path), true; }
  bool RemoveFolder(const std::string& path) override { return FilesIn(path).empty() && folders.erase(path); }
  std::unique_ptr<IFillFile> CreateFill(const std::string& path) override {
    return files.count(path) || !folders.count(ParentPath(path)) ? nullptr : std::make_unique<Fill>(*this, path);
  }
  bool RemoveFile(const std::string& path) override { return !open.count(path) && files.erase(path); }
  std::vector<std::string> FilesIn(const std::string& folder) override {
    std::vector<std::string> names;
    for (const auto& file : files)
      if (ParentPath(file.first) == folder) names.push_back(LastComponent(file.first));
    return names;
  }
  uint64_t capacity, refused, freeRead = UINT64_MAX;
  int failWrite, writes = 0;
  std::map<std::string, uint64_t> files;
  std::set<std::string> folders, open;
};

TEST(FreeSpaceWipe, FillsTheDriveToTheByteThenLeavesItAsItWas) {
  CShredPatterns patterns;
  const std::vector<uint8_t> block = MakeFillBlock(patterns);
  ASSERT_EQ(block.size(), kFillBlockSize);
  for (size_t i = 0; i < block.size(); ++i) ASSERT_EQ(block[i], patterns.block(2)[i % kShredBlockSize]) << i;
  const std::string folder = "X:\\SweepHarbor.freespace";
  const uint64_t odd = 3 * kFillBlockSize + 777, big = 2 * kFillPartLimit + 5;
  // In the folder after a crash, 1000 bytes each: the wipe's files, then the user's.
  const std::vector<std::string> crash = {"wipe00000.tmp", "WIPE00007.TMP", "notes.txt", "wipe0001.tmp"};
  struct Case {
    const char* what;
    uint64_t capacity, refused;
    int stopAt, failWrite;
    bool afterCrash;
    OverwriteResult result;
    uint64_t written;
  } const cases[] = {
      {"filled", odd, 0, 0, 0, false, OverwriteResult::kDone, odd},
      {"in parts", big, 0, 0, 0, false, OverwriteResult::kDone, big},
      {"stopped", odd, 0, 3, 0, false, OverwriteResult::kStopped, 2 * kFillBlockSize},
      {"write error", odd, 0, 0, 2, false, OverwriteResult::kFailed, kFillBlockSize},
      {"full with room left", odd, kShredBlockSize, 0, 0, false, OverwriteResult::kFailed, odd - kShredBlockSize},
      {"after a crash", odd, 0, 0, 0, true, OverwriteResult::kDone, odd - 2000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryDrive drive(c.capacity, c.failWrite, c.refused);
    const std::vector<std::string> left(crash.begin() + (c.afterCrash ? 2 : 4), crash.end());
    for (const std::string& name : c.afterCrash ? crash : left) drive.files[JoinPath(folder, name)] = 1000;
    if (c.afterCrash) drive.folders.insert(folder);
    int asked = 0;
    const FreeSpaceWipe wipe = WipeFreeSpace(drive, "X:\\", block, [&] { return !c.stopAt || ++asked < c.stopAt; });
    EXPECT_EQ(wipe.result, c.result);
    EXPECT_EQ(wipe.written, c.written);
    EXPECT_TRUE(c.result != OverwriteResult::kDone || drive.freeRead == 0) << "full before the files went";
    EXPECT_EQ(drive.FilesIn(folder), left);
    EXPECT_EQ(drive.files.size() + drive.folders.size(), left.size() + !left.empty());
  }
}

}  // namespace
}  // namespace sh
