// The pre-scan before a data file's text reaches the parser: the depth the
// parser would recurse to is found first, so a text nested too deep is
// refused rather than overflowing the stack.
#include "model/data_file.h"

#include <tinyxml.h>

#include "model/parser_depth.h"

namespace sh {

namespace {

// The parser recurses once per element level (and so do printing, copying
// and destroying a document). No data file nests deeper than a handful of
// levels; anything deeper than this is refused before it is parsed.
constexpr int kMaxNesting = 100;

}  // namespace

bool ParseDataText(const std::string& text, TiXmlDocument& document) {
  if (text.empty() || ParserNestingDepth(text, kMaxNesting) > kMaxNesting) return false;
  // The parser may step up to three bytes past the end of a text that ends
  // inside a multi-byte sequence: give it zeros to land on.
  std::string padded = text;
  padded.append(8, '\0');
  document.Parse(padded.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  return !document.Error() && document.RootElement() != nullptr;
}

}  // namespace sh
