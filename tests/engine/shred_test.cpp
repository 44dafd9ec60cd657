#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/shred.h"
#include "settings/settings.h"

namespace sh {
namespace {

// An in-memory file that records every write as (offset, length, pattern).
class MemoryFile : public IShredTarget {
 public:
  MemoryFile(size_t size, const CShredPatterns& patterns) : data(size, 0x55), patterns_(patterns) {}
  bool WriteAt(uint64_t offset, const uint8_t* bytes, size_t length) override {
    if (failAt >= 0 && static_cast<int>(writes.size()) == failAt) return false;
    int pattern = -1;
    for (int b = 0; b < 3; ++b)
      if (bytes == patterns_.block(b)) pattern = b;
    writes.push_back({static_cast<int64_t>(offset), length, pattern});
    for (size_t i = 0; i < length; ++i) {
      size_t at = static_cast<size_t>(offset) + i;
      if (at >= data.size()) ++outside;
      else data[at] = bytes[i];
    }
    return true;
  }
  struct WriteRec {
    int64_t offset;
    size_t length;
    int pattern;
  };
  std::vector<uint8_t> data;
  std::vector<WriteRec> writes;
  int outside = 0;
  int failAt = -1;

 private:
  const CShredPatterns& patterns_;
};

TEST(Shred, PatternBlocksAreZerosOnesAndRandom) {
  CShredPatterns patterns;
  ASSERT_TRUE(patterns.Ensure());
  size_t nonZeroRandom = 0;
  for (size_t i = 0; i < kShredBlockSize; ++i) {
    ASSERT_EQ(patterns.block(0)[i], 0x00);
    ASSERT_EQ(patterns.block(1)[i], 0xFF);
    if (patterns.block(2)[i] != 0) ++nonZeroRandom;
  }
  EXPECT_GT(nonZeroRandom, kShredBlockSize / 2);
  const uint8_t* first = patterns.block(2);
  ASSERT_TRUE(patterns.Ensure());
  EXPECT_EQ(patterns.block(2), first) << "blocks are made once and kept";
}

class FailingPatterns : public CShredPatterns {
 public:
  int calls = 0;
  bool failing = true;  // the third block of every attempt fails

 protected:
  std::unique_ptr<uint8_t[]> AllocateBlock() override {
    ++calls;
    if (failing && calls % 3 == 0) return nullptr;
    return CShredPatterns::AllocateBlock();
  }
};

TEST(Shred, PatternSetupIsAllOrNothingAndRetried) {
  FailingPatterns patterns;
  EXPECT_FALSE(patterns.Ensure());
  EXPECT_FALSE(patterns.ready());
  EXPECT_EQ(patterns.block(0), nullptr) << "no block is kept after a failed setup";
  MemoryFile file(10, patterns);
  EXPECT_EQ(OverwriteFileContents(file, patterns, 10, 1), OverwriteResult::kFailed);
  EXPECT_TRUE(file.writes.empty());
  patterns.failing = false;
  EXPECT_TRUE(patterns.Ensure()) << "the next call tries again";
  EXPECT_EQ(patterns.calls, 9);
}

TEST(Shred, EmptyFileIsNotWritten) {
  CShredPatterns patterns;
  MemoryFile file(0, patterns);
  EXPECT_EQ(OverwriteFileContents(file, patterns, 0, 35), OverwriteResult::kDone);
  EXPECT_TRUE(file.writes.empty());
}

TEST(Shred, OneByteFileGetsOnlyTheLastByteStep) {
  CShredPatterns patterns;
  MemoryFile file(1, patterns);
  ASSERT_EQ(OverwriteFileContents(file, patterns, 1, 2), OverwriteResult::kDone);
  ASSERT_EQ(file.writes.size(), 6u);  // 3 x cycles writes of 1 byte
  for (size_t i = 0; i < file.writes.size(); ++i) {
    EXPECT_EQ(file.writes[i].offset, 0);
    EXPECT_EQ(file.writes[i].length, 1u);
    EXPECT_EQ(file.writes[i].pattern, static_cast<int>(i % 3));
  }
  EXPECT_EQ(file.data[0], patterns.block(2)[0]);
}

TEST(Shred, RegionSequenceOf200000ByteFile) {
  CShredPatterns patterns;
  MemoryFile file(200000, patterns);
  ASSERT_EQ(OverwriteFileContents(file, patterns, 200000, 1), OverwriteResult::kDone);
  struct Expect {
    int64_t offset;
    size_t length;
  };
  const Expect regions[] = {{199999, 1}, {0, 65536}, {65536, 65536}, {131072, 65536}, {196608, 3391}};
  ASSERT_EQ(file.writes.size(), 15u);
  for (size_t r = 0; r < 5; ++r)
    for (int p = 0; p < 3; ++p) {
      const auto& w = file.writes[r * 3 + static_cast<size_t>(p)];
      EXPECT_EQ(w.offset, regions[r].offset) << "region " << r;
      EXPECT_EQ(w.length, regions[r].length) << "region " << r;
      EXPECT_EQ(w.pattern, p) << "zeros, then 0xFF, then random";
    }
  EXPECT_EQ(file.outside, 0);
  // Every byte ends as the random pattern of its region.
  EXPECT_EQ(file.data[199999], patterns.block(2)[0]);
  EXPECT_EQ(file.data[65536 + 7], patterns.block(2)[7]);
  EXPECT_EQ(file.data[196608 + 3390], patterns.block(2)[3390]);
}

TEST(Shred, CyclesRepeatEachRegionInPlace) {
  CShredPatterns patterns;
  MemoryFile file(70000, patterns);
  ASSERT_EQ(OverwriteFileContents(file, patterns, 70000, 35), OverwriteResult::kDone);
  // (last byte + two regions) x 35 cycles x 3 patterns
  EXPECT_EQ(file.writes.size(), 3u * 35 * 3);
  for (const auto& w : file.writes) {
    EXPECT_GE(w.offset, 0);
    EXPECT_LE(w.offset + static_cast<int64_t>(w.length), 70000);
  }
  EXPECT_EQ(file.outside, 0);
}

TEST(Shred, FailedWriteStopsTheOverwrite) {
  CShredPatterns patterns;
  MemoryFile file(100, patterns);
  file.failAt = 4;
  EXPECT_EQ(OverwriteFileContents(file, patterns, 100, 1), OverwriteResult::kFailed);
  EXPECT_EQ(file.writes.size(), 4u);
  EXPECT_FALSE(OverwriteRegion(file, patterns, 0, kShredBlockSize + 1, 1)) << "a region is at most one block";
}

TEST(Shred, AbortBetweenBlocksStopsTheOverwrite) {
  CShredPatterns patterns;
  MemoryFile file(5 * kShredBlockSize, patterns);
  int asked = 0;
  EXPECT_EQ(OverwriteFileContents(file, patterns, file.data.size(), 1, [&] { return ++asked < 3; }),
            OverwriteResult::kStopped);
  EXPECT_EQ(asked, 3) << "asked before every block";
  EXPECT_EQ(file.writes.size(), 3u * 3) << "the last byte and two blocks";
}

TEST(Shred, SparseFileIsWrittenOnlyWhereItHoldsData) {
  CShredPatterns patterns;
  MemoryFile file(1 << 20, patterns);
  const std::vector<ByteRange> held = ShredRegions(1 << 20, std::vector<ByteRange>{{4096, 70000}, {900000, 10}});
  ASSERT_EQ(OverwriteRanges(file, patterns, held, 1), OverwriteResult::kDone);
  uint64_t written = 0;
  for (const auto& w : file.writes) {
    const bool inside = (w.offset >= 4096 && w.offset + static_cast<int64_t>(w.length) <= 4096 + 70000) ||
                        (w.offset >= 900000 && w.offset + static_cast<int64_t>(w.length) <= 900010);
    EXPECT_TRUE(inside) << "write at " << w.offset;
    written += w.length;
  }
  EXPECT_EQ(written, 3u * 70010) << "every held byte three times";
}

TEST(Shred, MethodsGiveCycles) {
  EXPECT_EQ(ShredCyclesForMethod(1), 1);
  EXPECT_EQ(ShredCyclesForMethod(2), 1);
  EXPECT_EQ(ShredCyclesForMethod(3), 35) << "NSA uses as many cycles as Gutmann";
  EXPECT_EQ(ShredCyclesForMethod(4), 35);
  EXPECT_EQ(ShredCyclesForMethod(0), 1);
  EXPECT_EQ(ShredCyclesForMethod(-7), 1);
}

TEST(Shred, LetterNamesKeepDots) {
  EXPECT_EQ(ShredLetterName("report.doc", 'A'), "AAAAAA.AAA");
  EXPECT_EQ(ShredLetterName("README", 'Z'), "ZZZZZZ");
  EXPECT_EQ(ShredLetterName(".hidden", 'B'), ".BBBBBB");
  EXPECT_EQ(ShredLetterName("a.b.c", 'Q'), "Q.Q.Q");
}

}  // namespace
}  // namespace sh
