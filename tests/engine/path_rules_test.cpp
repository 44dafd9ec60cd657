#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/path_rules.h"

namespace sh {

// Lets EXPECT_EQ compare and print whole region lists.
bool operator==(const ByteRange& a, const ByteRange& b) { return a.offset == b.offset && a.length == b.length; }
std::ostream& operator<<(std::ostream& os, const ByteRange& r) { return os << "[" << r.offset << "+" << r.length << "]"; }

namespace {

struct TextCase { const char* a; const char* b; const char* expected; };
struct PairCase { const char* a; const char* b; bool expected; };
struct NameCase { const char* name; bool expected; };

TEST(PathRules, NormalizePath) {
  const TextCase cases[] = {
      {"C:\\WINDOWS\\.\\", "", "C:\\WINDOWS"},
      {"C:\\WINDOWS\\..\\WINDOWS", "", "C:\\WINDOWS"},
      {"c:/windows//system32/", "", "C:\\windows\\system32"},
      {"C:\\Documents and Settings\\bob\\Desktop\\.", "", "C:\\Documents and Settings\\bob\\Desktop"},
      {"C:\\Documents and Settings\\bob\\Desktop\\..\\Desktop", "", "C:\\Documents and Settings\\bob\\Desktop"},
      {"C:\\a\\.\\b\\\\..\\c\\", "", "C:\\a\\c"},
      {"C:\\a\\..b\\c..", "dots inside a name", "C:\\a\\..b\\c.."},
      {"C:\\a\\b \\c.", "kept for the exact-name path", "C:\\a\\b \\c."},
      {"C:\\", "", "C:\\"}, {"C:\\\\", "", "C:\\"}, {"C:\\a\\..", "", "C:\\"},
      {"\\\\server\\profiles\\bob\\AppData", "", "\\\\server\\profiles\\bob\\AppData"},
      {"\\\\server\\\\share\\\\x", "", "\\\\server\\share\\x"},
      {"\\\\server\\share\\", "", "\\\\server\\share"},
      {"\\\\server\\share\\a\\..", "", "\\\\server\\share"},
      {"//server/share/x", "", "\\\\server\\share\\x"},
      {"\\\\?\\C:\\x\\", "", "C:\\x"}, {"\\\\?\\c:\\x", "", "C:\\x"},
      {"\\\\?\\UNC\\srv\\sh\\x", "", "\\\\srv\\sh\\x"}, {"\\\\?\\unc\\srv\\sh", "", "\\\\srv\\sh"},
      // Refused: not absolute, climbing above the root, or not a real folder.
      {"", "", ""}, {"C:", "", ""}, {"C:x", "", ""}, {"C:..\\x", "", ""}, {"1:\\x", "", ""},
      {"C:\\..", "", ""}, {"C:\\..\\Windows", "", ""}, {"C:\\a\\..\\..\\b", "", ""},
      {"C:\\...", "", ""}, {"C:\\a\\....\\b", "", ""},
      {"relative\\x", "", ""}, {"\\x", "", ""}, {"\\", "", ""}, {":WINDIR:\\Temp", "", ""},
      {"\\\\server", "", ""}, {"\\\\server\\", "", ""}, {"\\\\\\server\\share", "", ""},
      {"\\\\server\\share\\..", "", ""}, {"\\\\server\\..\\x", "", ""}, {"\\\\.\\C:\\x", "", ""},
      {"\\\\?\\", "", ""}, {"\\\\?\\C:", "", ""}, {"\\\\?\\UNC\\srv", "", ""}, {"\\\\?\\\\\\srv\\sh", "", ""},
  };
  for (const TextCase& c : cases) EXPECT_EQ(NormalizePath(c.a), c.expected) << c.a << " " << c.b;
  // The Win32 call would stop at the NUL and act on "C:\Windows".
  EXPECT_EQ(NormalizePath(std::string("C:\\Windows\0\\..\\Temp", 20)), "");
}

TEST(PathRules, NormalFormIsStable) {
  // The guard normalises again what it already holds; that must not move it.
  for (const char* p : {"C:\\", "C:\\a\\b", "\\\\s\\sh", "\\\\s\\sh\\x y", "C:\\a\\b.", "C:\\..x"}) {
    std::string once = NormalizePath(p);
    ASSERT_FALSE(once.empty()) << p;
    EXPECT_EQ(NormalizePath(once), once) << p;
  }
}

TEST(PathRules, IsSameOrInside) {
  const PairCase cases[] = {
      {"C:\\Windows", "C:\\Windows", true},       {"c:\\windows\\System32", "C:\\WINDOWS", true},
      {"C:\\Windows\\a\\b", "C:\\Windows", true}, {"C:\\Windows2", "C:\\Windows", false},
      {"C:\\Windows.old\\x", "C:\\Windows", false}, {"C:\\Win", "C:\\Windows", false},
      {"C:\\Windows", "C:\\Windows\\System32", false},
      {"C:\\anything\\deep", "C:\\", true}, {"C:\\", "C:\\", true}, {"c:\\x", "C:\\", true}, {"D:\\x", "C:\\", false},
      {"\\\\s\\sh\\a", "\\\\s\\sh", true}, {"\\\\s\\sh", "\\\\S\\SH", true}, {"\\\\s\\sh2", "\\\\s\\sh", false},
      {"\\\\s\\sh", "C:\\", false},
      // A refused path is inside nothing and holds nothing.
      {"C:\\x", "", false}, {"", "C:\\", false}, {"", "", false},
  };
  for (const PairCase& c : cases) EXPECT_EQ(IsSameOrInside(c.a, c.b), c.expected) << c.a << " in " << c.b;
}

TEST(PathRules, LastComponentAndParent) {
  const TextCase cases[] = {  // path, last, parent
      {"C:\\a\\b", "b", "C:\\a"}, {"C:\\a", "a", "C:\\"}, {"C:\\", "", ""},
      {"\\\\s\\sh\\a\\b", "b", "\\\\s\\sh\\a"}, {"\\\\s\\sh\\a", "a", "\\\\s\\sh"}, {"\\\\s\\sh", "", ""},
      {"", "", ""},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(LastComponent(c.a), c.b) << c.a;
    EXPECT_EQ(ParentPath(c.a), c.expected) << c.a;
  }
  for (const char* p : {"C:\\a", "C:\\a\\b\\c.txt", "\\\\s\\sh\\a", "\\\\s\\sh\\a\\b"})
    EXPECT_EQ(JoinPath(ParentPath(p), LastComponent(p)), p);
}

TEST(PathRules, JoinPath) {
  const TextCase cases[] = {
      {"C:\\", "x", "C:\\x"}, {"C:\\a", "x", "C:\\a\\x"}, {"\\\\s\\sh", "x", "\\\\s\\sh\\x"},
      {"C:\\a", "b.", "C:\\a\\b."},
      // Never a path outside the folder or the folder itself.
      {"C:\\a", "", ""}, {"C:\\a", ".", ""}, {"C:\\a", "..", ""}, {"C:\\a", "..\\b", ""}, {"C:\\a", "b/c", ""},
      {"", "x", ""},
  };
  for (const TextCase& c : cases) EXPECT_EQ(JoinPath(c.a, c.b), c.expected) << c.a << " + " << c.b;
}

TEST(PathRules, MatchesMask) {
  const PairCase cases[] = {  // name, mask
      {"x.tmp", "*.tmp", true}, {"X.TMP", "*.tmp", true}, {"x.tmp", "*.TMP", true}, {".tmp", "*.tmp", true},
      {"budget.tmpl", "*.tmp", false}, {"budget.tmp.bak", "*.tmp", false}, {"a.tmp.tmp", "*.tmp", true},
      {"README", "*.*", true}, {"README", "*", true}, {"a.b", "*.*", true},
      {"README", "*.", true}, {"a.b", "*.", false},
      {"report", "report.*", true}, {"report.doc", "report.*", true}, {"REPORT.", "report.*", true},
      {"reporter", "report.*", false}, {"report", "rep*.*", true},
      {"~wrl0001.tmp", "~*.tmp", true}, {"~.tmp", "~*.tmp", true}, {"x~a.tmp", "~*.tmp", false},
      {"abc", "a?c", true}, {"aBc", "A?C", true}, {"a.c", "a?c", true}, {"ac", "a?c", false}, {"abbc", "a?c", false},
      {"index.dat", "INDEX.DAT", true}, {"index.da", "index.dat", false},
      {"aXXb", "a*b", true}, {"aXXbc", "a*b", false}, {"abXb", "a*b", true},
      {"anything", "", true}, {"no.dot", "", true},
      {".", "*", false}, {"..", "*.*", false}, {"..", "", false},
      // No folding beyond ASCII: the bytes of other letters are compared as they are.
      {"\xC4.tmp", "\xE4.tmp", false}, {"\xC4.tmp", "\xC4.TMP", true},
  };
  for (const PairCase& c : cases) EXPECT_EQ(MatchesMask(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(PathRules, MatchesMaskStaysFastWithManyStars) {
  // Backtracking into every star would never finish here.
  const std::string name(20000, 'a');
  std::string mask;
  for (int i = 0; i < 40; ++i) mask += "*a";
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(MatchesMask(name, mask + "*b"));
  EXPECT_TRUE(MatchesMask(name + "b", mask + "*b"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(PathRules, IsFoundFolderName) {
  const NameCase cases[] = {
      {"FOUND.000", true},    {"found.123", true},    {"Found.999", true},   {"found", false},
      {"found.txt", false},   {"found.photos", false}, {"found.1234", false}, {"found.00", false},
      {"found.0a0", false},   {"foundx000", false},   {"xfound.000", false}, {"", false},
  };
  for (const NameCase& c : cases) EXPECT_EQ(IsFoundFolderName(c.name), c.expected) << c.name;
}


TEST(PathRules, ShredRegions) {
  using Ranges = std::vector<ByteRange>;
  const uint64_t kMax = ~uint64_t{0};
  struct Case { const char* what; uint64_t size; std::optional<Ranges> allocated; Ranges expected; };
  const Case cases[] = {
      {"plain file", 100, std::nullopt, {{0, 100}}},
      {"plain empty file", 0, std::nullopt, {}},
      {"sparse, nothing allocated", 100, Ranges{}, {}},
      {"sparse empty file", 0, Ranges{{0, 10}}, {}},
      {"sorted", 100, Ranges{{60, 10}, {0, 10}}, {{0, 10}, {60, 10}}},
      {"overlap merges", 100, Ranges{{0, 30}, {20, 20}, {25, 5}}, {{0, 40}}},
      {"touching merges", 100, Ranges{{10, 10}, {20, 10}}, {{10, 20}}},
      {"clipped at size", 100, Ranges{{90, 64}}, {{90, 10}}},
      {"past size dropped", 100, Ranges{{100, 5}, {200, 5}, {5, 5}}, {{5, 5}}},
      {"empty range dropped", 100, Ranges{{10, 0}}, {}},
      {"huge length does not wrap", 100, Ranges{{50, kMax}}, {{50, 50}}},
      {"huge offset does not wrap", 100, Ranges{{kMax, 10}, {0, 1}}, {{0, 1}}},
  };
  for (const Case& c : cases) EXPECT_EQ(ShredRegions(c.size, c.allocated), c.expected) << c.what;
}

}  // namespace
}  // namespace sh
