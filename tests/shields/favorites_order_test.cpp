#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "shields/favorites_order.h"

namespace sh {
namespace {

void Put32(std::string& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i) & 0xFF);
}
void Put16(std::string& b, uint16_t v) { b += static_cast<char>(v & 0xFF), b += static_cast<char>(v >> 8); }
void PutWide(std::string& b, const std::string& ascii) {
  for (char c : ascii) Put16(b, static_cast<uint16_t>(c));
  Put16(b, 0);
}

// One entry as the browser stores it: size, position, item id size and
// type, a gap to the short name, the name, then an extension block with
// the long name 20 bytes in.
std::string Entry(uint32_t position, uint16_t type, const std::string& shortName, const std::string& longName = "") {
  std::string body;
  Put32(body, position);
  Put16(body, 0);
  Put16(body, type);
  body += std::string(10, '\0');
  if (type & 0x4) {
    PutWide(body, shortName);
  } else {
    body += shortName + '\0';
    if ((shortName.size() + 1) % 2) body += '\0';
  }
  if (!longName.empty()) {
    body += std::string(20, 'x');
    PutWide(body, longName);
  }
  std::string e;
  Put32(e, static_cast<uint32_t>(body.size() + 4));
  return e + body;
}

std::string Value(uint32_t count, const std::vector<std::string>& entries) {
  std::string v(16, 'h');
  Put32(v, count);
  for (const std::string& e : entries) v += e;
  return v;
}

std::string Narrow(const std::u16string& w) { return std::string(w.begin(), w.end()); }

std::vector<std::string> Paths(const std::string& value, std::vector<FolderEntry> disk = {}) {
  FavoritesSources s{"C:\\Fav", value, std::move(disk), true, Narrow, [](const std::string& p) { return p + "#"; }};
  std::vector<std::string> out;
  for (const FavoriteItem& f : ListFavorites(s)) out.push_back(f.path + (f.isFile ? "" : "/"));
  return out;
}

TEST(MenuOrder, ListingsFromCraftedValues) {
  struct Case {
    const char* what;
    std::string value;
    std::vector<std::string> paths;
  };
  const Case cases[] = {
      {"by position, long names, folders", Value(3, {Entry(2, 2, "NEWS~1.URL", "News.url"), Entry(0, 0, "Links"),
                                                  Entry(1, 6, "Mail.url")}),
       {"C:\\Fav\\Links/", "C:\\Fav\\Mail.url", "C:\\Fav\\News.url"}},
      {"no stored position: the sequence number", Value(2, {Entry(0xFFFFFFFB, 2, "b.url"), Entry(0xFFFFFFFB, 2, "a.url")}),
       {"C:\\Fav\\b.url", "C:\\Fav\\a.url"}},
      {"position past the count", Value(2, {Entry(5, 2, "far.url"), Entry(0, 2, "near.url")}), {"C:\\Fav\\near.url"}},
      {"size 0 ends the walk", Value(2, {std::string(4, '\0') + "junk", Entry(0, 2, "a.url")}), {}},
      {"entry past the end", Value(1, {Entry(0, 2, "a.url").substr(0, 20)}), {}},
      {"no terminator inside the entry", Value(2, {Entry(0, 2, "a.url").substr(0, 27).replace(0, 1, "\x1b"), Entry(1, 2, "b.url")}),
       {"C:\\Fav\\b.url"}},
      {"names that lead out of the folder", Value(3, {Entry(0, 2, "..\\..\\boot.ini"), Entry(1, 2, "C:x"), Entry(2, 2, "..")}),
       {}},
      {"a path too long", Value(1, {Entry(0, 2, std::string(260, 'n'))}), {}},
      {"count 0", Value(0, {Entry(0, 2, "a.url")}), {}},
      {"too short for a count", "short", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Paths(c.value), c.paths);
  }
}

TEST(MenuOrder, TheFolderFollowsTheMenuOrder) {
  const std::string value = Value(1, {Entry(0, 2, "b.url")});
  EXPECT_EQ(Paths(value, {{".", true}, {"..", true}, {"desktop.INI", false}, {"B.URL", false}, {"a.url", false},
                          {"Links", true}}),
            (std::vector<std::string>{"C:\\Fav\\b.url", "C:\\Fav\\a.url", "C:\\Fav\\Links/"}));
  FavoritesSources s{"C:\\Fav\\", value, {}, false, Narrow, [](const std::string&) { return std::string(3000, 'u'); }};
  const std::vector<FavoriteItem> list = ListFavorites(s);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].url.size(), 2083u);
}

// Random damage to a valid value never reads outside it (the sanitizers
// watch) and never yields a path outside the folder.
TEST(MenuOrder, MutatedValuesStayInsideTheirBytesAndTheFolder) {
  const std::string good = Value(3, {Entry(2, 2, "NEWS~1.URL", "News.url"), Entry(0, 6, "a.url"), Entry(1, 0, "Links")});
  std::mt19937 random(20261207);
  for (int round = 0; round < 20000; ++round) {
    std::string v = good;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) v[random() % v.size()] = static_cast<char>(random());
    if (round % 7 == 0) v.resize(random() % v.size());
    for (const std::string& path : Paths(v)) {
      ASSERT_EQ(path.rfind("C:\\Fav\\", 0), 0u);
      ASSERT_EQ(path.find_first_of("\\/:", 7), path.back() == '/' ? path.size() - 1 : std::string::npos) << path;
    }
  }
}

}  // namespace
}  // namespace sh
