// How deep TinyXML's parser would nest while reading a text, found out
// before it reads it.
//
// The parser recurses once per element level (and printing, copying and
// destroying a document recurse again), so a text nested deep enough
// overflows the stack. Any shortcut (counting tags, honouring quotes) sees
// some texts differently from the parser: entities, multi-byte sequences and
// declarations move its view of where markup starts. So this walk takes the
// parser's own steps over the text, position for position, and gives up
// where it gives up, without building anything and without recursion.
// It follows TinyXML 2.6.2, the version both builds use (Debian's library
// natively, Debian's sources on Windows); a test compares the two on
// generated texts.
#pragma once

#include <string>

namespace sh {

// The deepest element nesting the parser enters on `text` (read up to its
// first zero byte) with the default encoding, counting no further than
// limit + 1.
int ParserNestingDepth(const std::string& text, int limit);

}  // namespace sh
