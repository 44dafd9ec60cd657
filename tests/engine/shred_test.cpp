#include "engine/shred.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings.h"

namespace sh {
namespace {

// An in-memory file: what each byte holds, and the patterns written to it in
// turn ("012" for one cycle of zeros, 0xFF, random).
class MemoryFile : public IShredTarget {
 public:
  MemoryFile(size_t size, const CShredPatterns& patterns) : data(size, 0x55), passes(size), patterns_(patterns) {}
  bool WriteAt(uint64_t offset, const uint8_t* bytes, size_t length) override {
    if (calls++ == failAt) return false;
    const char pattern = bytes == patterns_.block(0) ? '0' : bytes == patterns_.block(1) ? '1' : '2';
    for (size_t i = 0; i < length; ++i) {
      if (offset + i >= data.size()) return ++outside, true;
      data[offset + i] = bytes[i];
      passes[offset + i] += pattern;
    }
    return true;
  }
  std::vector<uint8_t> data;
  std::vector<std::string> passes;
  int calls = 0, failAt = -1, outside = 0;

 private:
  const CShredPatterns& patterns_;
};

// Every byte gets zeros, 0xFF and random bytes, `cycles` times, nothing past
// the end: the last byte first (as a region of its own), then the rest in
// blocks from offset 0.
TEST(Shred, EveryByteIsOverwrittenInTurnAndNothingBeyond) {
  CShredPatterns patterns;
  ASSERT_TRUE(patterns.Ensure());
  size_t nonZeroRandom = 0;
  for (size_t i = 0; i < kShredBlockSize; ++i) {
    ASSERT_EQ(patterns.block(0)[i], 0x00);
    ASSERT_EQ(patterns.block(1)[i], 0xFF);
    nonZeroRandom += patterns.block(2)[i] != 0;
  }
  EXPECT_GT(nonZeroRandom, kShredBlockSize / 2);
  for (const auto& [size, cycles] : {std::pair<size_t, int>{0, 35}, {1, 2}, {65536, 1}, {65537, 1}, {200000, 2}}) {
    SCOPED_TRACE(size);
    MemoryFile file(size, patterns);
    ASSERT_EQ(OverwriteFileContents(file, patterns, size, cycles), OverwriteResult::kDone);
    std::string turns;
    for (int c = 0; c < cycles; ++c) turns += "012";
    for (size_t i = 0; i < size; ++i) {
      ASSERT_EQ(file.passes[i], turns) << "byte " << i;
      ASSERT_EQ(file.data[i], patterns.block(2)[i + 1 == size ? 0 : i % kShredBlockSize]) << "byte " << i;
    }
    EXPECT_EQ(file.outside, 0);
  }
}

TEST(Shred, FailedWriteOrAbortStopsTheOverwrite) {
  CShredPatterns patterns;
  MemoryFile failing(100, patterns);
  failing.failAt = 4;
  EXPECT_EQ(OverwriteFileContents(failing, patterns, 100, 1), OverwriteResult::kFailed);
  EXPECT_EQ(failing.calls, 5);
  EXPECT_FALSE(OverwriteRegion(failing, patterns, 0, kShredBlockSize + 1, 1)) << "a region is at most one block";
  MemoryFile file(5 * kShredBlockSize, patterns);
  int asked = 0;
  EXPECT_EQ(OverwriteFileContents(file, patterns, file.data.size(), 1, [&] { return ++asked < 3; }),
            OverwriteResult::kStopped);
  EXPECT_EQ(file.calls, 3 * 3) << "the last byte and two blocks, asked before every block";
}

TEST(Shred, SparseFileIsWrittenOnlyWhereItHoldsData) {
  CShredPatterns patterns;
  MemoryFile file(200000, patterns);
  ASSERT_EQ(
      OverwriteRanges(file, patterns, ShredRegions(200000, std::vector<ByteRange>{{4096, 70000}, {150000, 10}}), 1),
      OverwriteResult::kDone);
  for (size_t i = 0; i < file.passes.size(); ++i) {
    const bool held = (i >= 4096 && i < 4096 + 70000) || (i >= 150000 && i < 150010);
    ASSERT_EQ(file.passes[i], held ? "012" : "") << "byte " << i;
  }
}

TEST(Shred, MethodsAndLetterNames) {
  for (const auto& [method, cycles] : {std::pair<int, int>{1, 1}, {2, 1}, {3, 35}, {4, 35}, {0, 1}, {-7, 1}})
    EXPECT_EQ(ShredCyclesForMethod(method), cycles) << method;  // NSA uses as many cycles as Gutmann
  EXPECT_EQ(ShredLetterName("report.doc", 'A'), "AAAAAA.AAA");
  EXPECT_EQ(ShredLetterName(".hidden", 'B'), ".BBBBBB");
}

}  // namespace
}  // namespace sh
