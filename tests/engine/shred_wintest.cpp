// Shredding and index.dat wiping on real files in the Wine prefix. The order
// of the writes is portable and tested natively (shred_test.cpp); here: that
// every write lands on the file at its offset, and the renames and deletes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "engine/action_executor_win.h"
#include "engine/wine_rig.h"
#include "support/win_fs.h"

namespace sh::test {
namespace {

class MemoryTarget : public IShredTarget {
 public:
  explicit MemoryTarget(std::string bytes) : bytes(std::move(bytes)) {}
  bool WriteAt(uint64_t offset, const uint8_t* data, size_t length) override {
    if (offset + length > bytes.size()) return false;
    std::memcpy(&bytes[offset], data, length);
    return true;
  }
  std::string bytes;
};

// What the overwrite means to leave: the same writes, applied to memory.
std::string Overwritten(const std::string& before, CShredPatterns& patterns) {
  MemoryTarget memory(before);
  OverwriteFileContents(memory, patterns, before.size(), 1);
  return memory.bytes;
}

// Opened with every sharing: the renames and the delete go ahead, and the
// data stays readable through this handle until it closes.
ScopedHandle HoldShared(const std::string& path) {
  return ScopedHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
}

std::string ReadAll(HANDLE file) {
  std::string out;
  char buffer[65536];
  DWORD n = 0;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
  return out;
}

// Bytes that are never zero, different from one offset to the next.
std::string Pattern(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(1 + i % 251);
  return data;
}

TEST(ShredFile, OverwritesRenamesThroughTheLettersAndDeletes) {
  for (size_t size : {1u, 200000u}) {
    ScratchDir dir("shred");
    const std::string path = dir / "secret.doc", before = Pattern(size);
    ASSERT_TRUE(WriteExact(Wide(path), before));
    ScopedHandle held = HoldShared(path);
    ASSERT_TRUE(held.valid());
    CShredPatterns patterns;

    EXPECT_TRUE(ShredFile(path, 1, patterns)) << size;

    // Wine removes a deleted name when its last handle closes.
    EXPECT_EQ(List(dir.path()), std::vector<std::string>{"ZZZZZZ.ZZZ"}) << "26 renames, the dot kept";
    EXPECT_EQ(Difference(ReadAll(held.get()), Overwritten(before, patterns)), "") << size;
    held.reset();
    EXPECT_TRUE(List(dir.path()).empty()) << size;
  }
}

TEST(ShredFile, FailedRenameLeavesTheLetterNameAndFails) {
  ScratchDir dir("blocked");
  const std::string before(10, 'r');
  WriteBytes(dir / "README", 10, 'r');
  MakeDirs(dir / "CCCCCC");  // the third rename finds its name taken
  CShredPatterns patterns;

  EXPECT_FALSE(ShredFile(dir / "README", 1, patterns));

  EXPECT_EQ(List(dir.path()), (std::vector<std::string>{"BBBBBB", "CCCCCC"}));
  EXPECT_EQ(Difference(ReadBytes(dir / "BBBBBB"), Overwritten(before, patterns)), "") << "overwritten before the renames";
}

TEST(DeleteTrackFile, ReadsTheShredSettingAtEveryCall) {
  ScratchDir dir("track");
  WinRig rig;
  int n = 0;
  for (bool shred : {false, true, false}) {
    rig.settings.values["Shred"] = shred ? "1" : "0";
    const std::string path = dir / ("file" + std::to_string(n++) + ".txt"), before = Pattern(3000);
    ASSERT_TRUE(WriteExact(Wide(path), before));
    ScopedHandle held = HoldShared(path);

    EXPECT_TRUE(rig.cleaners.executor().DeleteTrackFile(path)) << shred;

    EXPECT_EQ(ReadAll(held.get()) == before, !shred) << "shredded: " << shred;
  }
  EXPECT_FALSE(rig.cleaners.executor().DeleteTrackFile(dir / "missing.txt"));
}

// Sizes at the edges of the header and of the 10 000-byte writes; a file of
// 64 bytes or less is left as it is and counts as wiped.
TEST(WipeIndexDat, KeepsTheHeaderZeroesTheRestAndKeepsTheLength) {
  ScratchDir dir("wipe");
  for (size_t size : {0u, 10u, 64u, 65u, 10063u, 10064u, 10065u, 100000u}) {
    const std::string path = dir / ("index" + std::to_string(size) + ".dat"), before = Pattern(size);
    ASSERT_TRUE(WriteExact(Wide(path), before));
    EXPECT_TRUE(WipeIndexDat(path)) << size;
    const std::string after = ReadBytes(path);
    ASSERT_EQ(after.size(), size);
    const size_t kept = size < 64 ? size : 64;
    EXPECT_EQ(after.substr(0, kept), before.substr(0, kept)) << size;
    EXPECT_EQ(after.find_first_not_of('\0', kept), std::string::npos) << size;
  }
  EXPECT_FALSE(WipeIndexDat(dir / "missing.dat"));

  // Another name reaches the same data: never written.
  const std::string shared = dir / "index.dat", before = Pattern(5000);
  ASSERT_TRUE(WriteExact(Wide(shared), before));
  ASSERT_TRUE(CreateHardLinkA((dir / "other.dat").c_str(), shared.c_str(), nullptr));
  EXPECT_FALSE(WipeIndexDat(shared));
  EXPECT_EQ(Difference(ReadBytes(dir / "other.dat"), before), "");
}

}  // namespace
}  // namespace sh::test
