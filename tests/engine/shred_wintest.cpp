// Shredding and index.dat wiping on real files in the Wine prefix. The order
// of the writes is portable (shred_test.cpp); here: that every write lands
// on the file at its offset, and the renames and deletes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "engine/action_executor_win.h"
#include "engine/wine_rig.h"
#include "support/win_fs.h"

namespace sh::test {
namespace {

// What the overwrite means to leave: the same writes, applied to memory.
std::string Overwritten(std::string bytes, CShredPatterns& patterns) {
  struct Memory : IShredTarget {
    std::string& bytes;
    explicit Memory(std::string& b) : bytes(b) {}
    bool WriteAt(uint64_t offset, const uint8_t* data, size_t length) override {
      std::memcpy(&bytes[offset], data, length);
      return true;
    }
  } memory(bytes);
  OverwriteFileContents(memory, patterns, bytes.size(), 1);
  return bytes;
}

// Opened with every sharing: the renames and the delete go ahead, and the
// data stays readable through this handle until it closes.
ScopedHandle HoldShared(const std::string& path) {
  return ScopedHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
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
    ScopedHandle held = HoldShared(path);
    rig.settings.values["Shred"] = shred ? "1" : "0";

    EXPECT_TRUE(rig.cleaners.executor().DeleteTrackFile(path));

    // Wine removes a deleted name when its last handle closes.
    EXPECT_EQ(List(dir.path()), std::vector<std::string>{shred ? "ZZZZZZ.ZZZ" : "secret.doc"});
    EXPECT_EQ(Difference(ReadAll(held.get()), shred ? Overwritten(before, rig.cleaners.executor().patterns()) : before),
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

}  // namespace
}  // namespace sh::test
