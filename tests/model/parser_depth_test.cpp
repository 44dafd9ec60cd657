#include "model/parser_depth.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <random>
#include <string>

namespace sh {
namespace {

// Element nesting of what the library built; a parse that gave up keeps the
// elements it had entered, so this is how deep it went.
int TreeDepth(const TiXmlNode& node) {
  int deepest = 0;
  for (const TiXmlNode* child = node.FirstChild(); child; child = child->NextSibling())
    deepest = std::max(deepest, TreeDepth(*child));
  return deepest + (node.ToElement() ? 1 : 0);
}

int LibraryDepth(const std::string& text, bool* whole = nullptr) {
  TiXmlDocument document;
  std::string padded = text + std::string(8, '\0');
  document.Parse(padded.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  if (whole) *whole = !document.Error();
  return TreeDepth(document);
}

std::string Repeat(const std::string& part, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += part;
  return out;
}

struct DepthCase {
  const char* what;
  std::string text;
  int depth;
};

TEST(ParserNestingDepth, FollowsTheParsersViewOfMarkup) {
  const DepthCase cases[] = {
      {"'<' and '>' in quoted values", "<r><s name=\"Logs < 1 day\" b='>'/><s c=\"<s>\"></s></r>", 2},
      {"a character reference swallows end tags", "<r>" + Repeat("<a>&#x</a>x;", 5), 6},
      {"... inside an attribute too", "<r>" + Repeat("<a b=\"&#x\"></a>x;\">", 5), 6},
      {"a declaration's quotes hide an end tag", Repeat("<a><?xml version='></a>'?>", 5), 5},
      {"... in its own three attributes only", "<?xml standalone='>' x='><r>'?><a><b/></a>", 3},
      {"a UTF-8 lead byte swallows '</'", "<?xml version=\"1.0\"?>" + Repeat("<a>\xE2</a>", 5), 5},
      {"the same bytes in a legacy document", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>" +
                                                  Repeat("<a>\xE2</a>", 5), 1},
      {"an attribute named twice ends the parse", "<r a=\"1\" a=\"2\"><b><b/></b></r>", 1},
  };
  for (const DepthCase& c : cases) {
    EXPECT_EQ(ParserNestingDepth(c.text, 1000), c.depth) << c.what;
    EXPECT_EQ(LibraryDepth(c.text), c.depth) << c.what << " (the library itself)";
  }
}

// Texts made of pieces that move the parser's view of markup, compared with
// the library on every one of them.
TEST(ParserNestingDepth, SameAsTheLibraryOnGeneratedTexts) {
  static const char* const kStarts[] = {"", "\xEF\xBB\xBF", "<?xml version=\"1.0\"?>",
                                        "<?xml version='1.0' encoding='windows-1252'?>", "<?xml encoding=\"&#x55;TF-8\"?>",
                                        " \r\n<!-- c --><?xml encoding=\"latin1\" ?>"};
  // Mostly well-formed nesting, so that parses go deep before anything
  // ends them; then the pieces that move the parser's view.
  static const char* const kNesting[] = {"<a>", "<a>", "<b x='1'>", "</a>", "</b>", "<a/>", " ", "\n", "text"};
  static const char* const kPieces[] = {
      "<b y=\"<\"/>", "<c d=\"&#x\">", "&#x", "x;", "&#", "#;", "&amp;", "&", "\"", "'", "<", ">", "/>", "=",
      "<?xml version='1.0'?>", "<?xml encoding=\"UTF-8\"?>", "<?xml x='>'?>", "<!--", "-->", "<![CDATA[", "]]>",
      "<!DOCTYPE d '>'>", "<!", "\xE2", "\xC3\xA9", "\xEF\xBB\xBF", "\xF0", "\xE9", "<a b=", "</a >", "< a>", "<_u>",
      "</_u>", "<?pi ?>", "x=1 ", "<a x=1>", "<a x=\"1\" x=\"2\">", "</A>"};
  std::mt19937 random(20240611);
  auto below = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
  int parsedWhole = 0, deep = 0;
  for (int round = 0; round < 4000; ++round) {
    std::string text = kStarts[below(sizeof kStarts / sizeof kStarts[0])];
    for (size_t n = 1 + below(60); n > 0; --n)
      text += below(6) ? kNesting[below(sizeof kNesting / sizeof kNesting[0])]
                       : kPieces[below(sizeof kPieces / sizeof kPieces[0])];
    bool whole = false;
    const int library = LibraryDepth(text, &whole);
    ASSERT_EQ(ParserNestingDepth(text, 1000), library) << text;
    parsedWhole += whole ? 1 : 0;
    deep += library >= 4 ? 1 : 0;
  }
  // Both outcomes, and real depth, or the comparison proves little.
  EXPECT_GT(parsedWhole, 100) << deep;
  EXPECT_GT(deep, 400) << parsedWhole;
}

}  // namespace
}  // namespace sh
