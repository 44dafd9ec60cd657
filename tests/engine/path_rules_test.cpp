#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/path_rules.h"
#include "engine/shred.h"
#include "settings/settings.h"

namespace sh {

// Lets EXPECT_EQ compare and print whole region lists.
bool operator==(const ByteRange& a, const ByteRange& b) { return a.offset == b.offset && a.length == b.length; }
std::ostream& operator<<(std::ostream& os, const ByteRange& r) {
  return os << "[" << r.offset << "+" << r.length << "]";
}

namespace {

TEST(PathRules, NormalizePath) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\WINDOWS\\.\\", "C:\\WINDOWS"}, {"c:/windows//system32/", "C:\\windows\\system32"},
      {"C:\\a\\.\\b\\\\..\\c\\", "C:\\a\\c"}, {"C:\\a\\..b\\c..", "C:\\a\\..b\\c.."},
      {"C:\\a\\b \\c.", "C:\\a\\b \\c."},  // kept for the exact-name path
      {"C:\\\\", "C:\\"}, {"C:\\a\\..", "C:\\"}, {"\\\\server\\\\share\\\\x", "\\\\server\\share\\x"},
      {"\\\\server\\share\\a\\..", "\\\\server\\share"}, {"//server/share/x", "\\\\server\\share\\x"},
      {"\\\\?\\c:\\x\\", "C:\\x"}, {"\\\\?\\unc\\srv\\sh\\x", "\\\\srv\\sh\\x"},
      // Refused: not absolute, climbing above the root, or not a real folder.
      {"", ""}, {"C:", ""}, {"C:x", ""}, {"C:..\\x", ""}, {"1:\\x", ""}, {"C:\\..\\Windows", ""},
      {"C:\\a\\..\\..\\b", ""}, {"C:\\...", ""}, {"C:\\a\\....\\b", ""}, {"relative\\x", ""}, {"\\x", ""},
      {":WINDIR:\\Temp", ""}, {"\\\\server", ""}, {"\\\\server\\", ""}, {"\\\\\\server\\share", ""},
      {"\\\\server\\share\\..", ""}, {"\\\\server\\..\\x", ""}, {"\\\\.\\C:\\x", ""}, {"\\\\?\\C:", ""},
      {"\\\\?\\UNC\\srv", ""},
  };
  for (const auto& [path, normal] : cases) {
    EXPECT_EQ(NormalizePath(path), normal) << path;
    EXPECT_EQ(NormalizePath(normal), normal) << "the guard normalises again what it holds: " << path;
  }
  // The Win32 call would stop at the NUL and act on "C:\Windows".
  EXPECT_EQ(NormalizePath(std::string("C:\\Windows\0\\..\\Temp", 20)), "");
}

// Never a path outside the folder or the folder itself.
TEST(PathRules, JoinPath) {
  const char* const cases[][3] = {
      {"C:\\", "x", "C:\\x"}, {"\\\\s\\sh", "x", "\\\\s\\sh\\x"}, {"C:\\a", "b.", "C:\\a\\b."}, {"C:\\a", "", ""},
      {"C:\\a", ".", ""},     {"C:\\a", "..", ""}, {"C:\\a", "..\\b", ""}, {"C:\\a", "b/c", ""}, {"", "x", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinPath(c[0], c[1]), c[2]) << c[0] << " + " << c[1];
  EXPECT_EQ(JoinPath("C:\\a", std::string("b\0c", 3)), "");
}

TEST(PathRules, MatchesMask) {
  const struct { const char* name; const char* mask; bool matches; } cases[] = {
      {"X.TMP", "*.tmp", true}, {"x.tmp", "*.TMP", true}, {".tmp", "*.tmp", true}, {"budget.tmpl", "*.tmp", false},
      {"budget.tmp.bak", "*.tmp", false}, {"a.tmp.tmp", "*.tmp", true}, {"README", "*.*", true}, {"README", "*", true},
      {"README", "*.", true}, {"a.b", "*.", false}, {"report", "report.*", true}, {"REPORT.", "report.*", true},
      {"reporter", "report.*", false}, {"~.tmp", "~*.tmp", true}, {"x~a.tmp", "~*.tmp", false},
      {"aBc", "A?C", true}, {"ac", "a?c", false}, {"abbc", "a?c", false}, {"index.da", "index.dat", false},
      {"aXXbc", "a*b", false}, {"abXb", "a*b", true}, {"no.dot", "", true}, {".", "*", false}, {"..", "*.*", false},
      // No folding beyond ASCII: the bytes of other letters are compared as they are.
      {"\xC4.tmp", "\xE4.tmp", false}, {"\xC4.tmp", "\xC4.TMP", true},
  };
  for (const auto& c : cases) EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " vs " << c.mask;
  // Backtracking into every star would never finish here.
  std::string mask;
  for (int i = 0; i < 40; ++i) mask += "*a";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(MatchesMask(std::string(20000, 'a'), mask + "*b"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(PathRules, ShredRegions) {
  using Ranges = std::vector<ByteRange>;
  const uint64_t kMax = ~uint64_t{0};
  const struct { const char* what; uint64_t size; std::optional<Ranges> allocated; Ranges expected; } cases[] = {
      {"plain file", 100, std::nullopt, {{0, 100}}}, {"plain empty file", 0, std::nullopt, {}},
      {"sparse, nothing allocated", 100, Ranges{}, {}}, {"sparse empty file", 0, Ranges{{0, 10}}, {}},
      {"sorted and merged", 100, Ranges{{60, 10}, {0, 30}, {20, 20}, {40, 5}}, {{0, 45}, {60, 10}}},
      {"clipped at size", 100, Ranges{{90, 64}}, {{90, 10}}},
      {"past size or empty dropped", 100, Ranges{{100, 5}, {5, 5}, {10, 0}}, {{5, 5}}},
      {"huge values do not wrap", 100, Ranges{{50, kMax}, {kMax, 10}}, {{50, 50}}},
  };
  for (const auto& c : cases) EXPECT_EQ(ShredRegions(c.size, c.allocated), c.expected) << c.what;
}

// Shredding: the writes, in order, over an in-memory file.
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
