// Generated markup against the library itself: the depth pre-scan must see
// every text as the parser does, and the printer must write what the
// library's own print writes. Seeded and bounded; run under the sanitizers
// natively.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "model/data_file.h"
#include "model/parser_depth.h"

namespace sh {
namespace {

std::string LibraryPrint(const TiXmlDocument& document) {
  std::FILE* f = std::tmpfile();
  if (f == nullptr) return "(no temporary file)";
  document.Print(f);
  std::string text(static_cast<size_t>(std::ftell(f)), '\0');
  std::rewind(f);
  text.resize(std::fread(&text[0], 1, text.size(), f));
  std::fclose(f);
  return text;
}

// Element nesting of what the library built: a parse that gave up keeps the
// elements it had entered, so this is how deep it went.
int TreeDepth(const TiXmlNode& node) {
  int deepest = 0;
  for (const TiXmlNode* child = node.FirstChild(); child; child = child->NextSibling())
    deepest = std::max(deepest, TreeDepth(*child));
  return deepest + (node.ToElement() ? 1 : 0);
}

template <size_t N>
const char* Pick(const char* const (&list)[N], std::mt19937& rng) {
  return list[rng() % N];
}

TEST(GeneratedMarkup, PreScanAndPrinterAgreeWithTheLibrary) {
  static const char* const kStarts[] = {"", "\xEF\xBB\xBF", "<?xml version=\"1.0\"?>", "<?xml encoding='&#x55;TF-8'?>",
                                        "<?xml version='1.0' encoding='windows-1252'?>",
                                        " \r\n<!-- c --><?xml encoding=\"latin1\" standalone='yes'?><!DOCTYPE x>"};
  // Mostly well-formed nesting, so that parses go deep before anything ends
  // them; then pieces that move the parser's view of where markup starts.
  static const char* const kNesting[] = {"<a>", "<a>", "<b x='1'>", "</a>", "</b>", "<a/>", " ", "\n", "text"};
  static const char* const kPieces[] = {
      "<b y=\"<\"/>", "<c d=\"&#x\">", "&#x", "x;", "&#", "#;", "&amp;", "&", "\"", "'", "<", ">", "/>", "=",
      "<?xml version='1.0'?>", "<?xml encoding=\"UTF-8\"?>", "<?xml x='>'?>", "<!--", "-->", "<![CDATA[", "]]>",
      "<!DOCTYPE d '>'>", "<!", "\xE2", "\xC3\xA9", "\xEF\xBB\xBF", "\xF0", "\xE9", "<a b=", "</a >", "< a>", "<_u>",
      "</_u>", "<?pi ?>", "x=1 ", "<a x=1>", "<a x=\"1\" x=\"2\">", "</A>", "<e q='say \"hi\"' r=\"&lt;&apos;\"/>",
      "<!-- note -->", "<![CDATA[raw <stuff>]]>", "<t>only text &amp; more</t>"};
  std::mt19937 rng(20240611);
  int parsedWhole = 0, deep = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text = Pick(kStarts, rng);
    for (int n = 1 + static_cast<int>(rng() % 60); n > 0; --n)
      text += rng() % 6 ? Pick(kNesting, rng) : Pick(kPieces, rng);
    TiXmlDocument library, ours;
    library.Parse((text + std::string(8, '\0')).c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    const int depth = TreeDepth(library);
    ASSERT_EQ(ParserNestingDepth(text, 1000), depth) << text;
    // A whole document parses here too and prints as the library prints it.
    const bool whole = !library.Error() && library.RootElement() != nullptr;
    ASSERT_EQ(ParseDataText(text, ours), whole) << text;
    ASSERT_EQ(whole ? PrintDocumentText(ours) : "", whole ? LibraryPrint(library) : "") << text;
    parsedWhole += whole ? 1 : 0;
    deep += depth >= 4 ? 1 : 0;
  }
  // Both outcomes, and real depth, or the comparison proves little.
  EXPECT_GT(parsedWhole, 100) << deep;
  EXPECT_GT(deep, 300) << parsedWhole;
}

}  // namespace
}  // namespace sh
