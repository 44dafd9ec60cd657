#include "model/parser_depth.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace sh {

namespace {

// Positions stand for the parser's pointers; this one for its null pointer,
// after which nothing more is parsed.
constexpr size_t kNull = std::string::npos;

enum class Encoding { kUnknown, kUtf8, kLegacy };

enum class NodeKind { kDeclaration, kComment, kCdata, kUnknown, kElement };

// The library's character classes: every byte from 127 up counts as a
// letter, the rest is the C library's (its locale, as the parser's).
bool IsAlpha(unsigned char c) { return c >= 127 || std::isalpha(c); }
bool IsAlphaNum(unsigned char c) { return c >= 127 || std::isalnum(c); }
bool IsWhiteSpace(unsigned char c) { return std::isspace(c) != 0; }

// How many bytes a UTF-8 document's character takes from its lead byte.
size_t Utf8Length(unsigned char c) {
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 1;
}

// The ASCII tag compared without case at the start of `text`; a byte from
// 128 up never equals an ASCII letter, in any encoding.
bool StartsNoCase(const char* text, const char* tag) {
  for (; *tag; ++text, ++tag) {
    unsigned char c = static_cast<unsigned char>(*text);
    if (c == 0 || c >= 128 || std::tolower(c) != std::tolower(static_cast<unsigned char>(*tag))) return false;
  }
  return true;
}

class ParseWalk {
 public:
  explicit ParseWalk(const std::string& text) : s_(text.c_str()), n_(std::strlen(text.c_str())) {}

  int Run(int limit) {
    if (At(0) == 0) return 0;
    if (At(0) == 0xEF && At(1) == 0xBB && At(2) == 0xBF) encoding_ = Encoding::kUtf8;
    std::vector<std::string> open;  // the elements being read, outermost first
    int deepest = 0;
    size_t p = SkipWhiteSpace(0);
    while (!End(p)) {
      if (!open.empty() && At(p) != '<') {
        p = Text(p);
      } else if (!open.empty() && Equal(p, "</", false)) {
        p = EndTag(p, open.back());
        open.pop_back();
      } else if (At(p) != '<') {
        break;  // text outside every element: the document ends here
      } else {
        switch (Identify(p)) {
          case NodeKind::kDeclaration: {
            std::string encoding;
            p = Declaration(p, &encoding);
            // Only the document's first declaration decides.
            if (open.empty() && encoding_ == Encoding::kUnknown) DecideEncoding(encoding);
            break;
          }
          case NodeKind::kComment: p = Comment(p); break;
          case NodeKind::kCdata: p = Cdata(p); break;
          case NodeKind::kUnknown: p = Unknown(p); break;
          case NodeKind::kElement: {
            deepest = std::max(deepest, static_cast<int>(open.size()) + 1);
            if (deepest > limit) return deepest;
            std::string name;
            bool empty = false;
            p = StartTag(p, &name, &empty);
            if (p != kNull && !empty) open.push_back(name);
            break;
          }
        }
      }
      // The parser skips white space after every node, at every level.
      p = SkipWhiteSpace(p);
    }
    return deepest;
  }

 private:
  // The byte at a position; zeros past the end, where the parser may step
  // over a multi-byte sequence cut short.
  unsigned char At(size_t p) const { return p < n_ ? static_cast<unsigned char>(s_[p]) : 0; }
  // The parser's `!p || !*p`.
  bool End(size_t p) const { return p == kNull || At(p) == 0; }

  // StringEqual: the tag at p (a prefix test).
  bool Equal(size_t p, const char* tag, bool ignoreCase) const {
    if (End(p)) return false;
    if (ignoreCase) return StartsNoCase(s_ + p, tag);
    size_t len = std::strlen(tag);
    return n_ - p >= len && std::memcmp(s_ + p, tag, len) == 0;
  }

  size_t SkipWhiteSpace(size_t p) const {
    if (End(p)) return kNull;
    while (At(p)) {
      // A UTF-8 document skips byte order marks (and two non-characters) as
      // white space, wherever white space may stand.
      if (encoding_ == Encoding::kUtf8 && At(p) == 0xEF &&
          ((At(p + 1) == 0xBB && At(p + 2) == 0xBF) || (At(p + 1) == 0xBF && (At(p + 2) == 0xBE || At(p + 2) == 0xBF)))) {
        p += 3;
      } else if (IsWhiteSpace(At(p))) {
        ++p;
      } else {
        break;
      }
    }
    return p;
  }

  size_t ReadName(size_t p, std::string* name) const {
    if (End(p) || !(IsAlpha(At(p)) || At(p) == '_')) return kNull;
    size_t start = p;
    while (At(p) && (IsAlphaNum(At(p)) || std::strchr("_-.:", At(p)))) ++p;
    if (name) name->assign(s_ + start, p - start);
    return p;
  }

  // One character of a text or attribute value, its decoded byte appended to
  // `value` (when given) where the encoding is single-byte.
  size_t GetChar(size_t p, std::string* value) const {
    size_t len = encoding_ == Encoding::kUtf8 ? Utf8Length(At(p)) : 1;
    if (len == 1 && At(p) == '&') return Entity(p, value);
    if (value) value->append(s_ + p, std::min(len, n_ - p));
    return p + len;
  }

  // A character reference runs to the next ';' wherever it is, and is taken
  // when everything between it and the nearest 'x' (or '#') before it is a
  // digit: "&#x" ... "x;" swallows whatever lies between, markup included.
  size_t Entity(size_t p, std::string* value) const {
    if (At(p + 1) == '#' && At(p + 2)) {
      const bool hex = At(p + 2) == 'x';
      if (hex && !At(p + 3)) return kNull;
      const char* semicolon = static_cast<const char*>(std::memchr(s_ + p + 2, ';', n_ - p - 2));
      if (semicolon == nullptr) return kNull;
      const size_t end = static_cast<size_t>(semicolon - s_);
      unsigned long code = 0, scale = 1;
      for (size_t q = end - 1; At(q) != (hex ? 'x' : '#'); --q, scale *= hex ? 16 : 10) {
        unsigned char c = At(q);
        if (std::isdigit(c)) code += scale * (c - '0');
        else if (hex && c >= 'a' && c <= 'f') code += scale * (c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F') code += scale * (c - 'A' + 10);
        else return kNull;
      }
      // Only the single-byte decoding is ever looked at (a declaration's
      // encoding, read before any encoding is known).
      if (value) value->push_back(static_cast<char>(code));
      return end + 1;
    }
    static const struct {
      const char* text;
      char ch;
    } kNamed[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& named : kNamed) {
      if (Equal(p, named.text, false)) {
        if (value) value->push_back(named.ch);
        return p + std::strlen(named.text);
      }
    }
    return p + 1;  // a lone '&' is dropped from the value
  }

  // A quoted attribute value from after its opening quote: up to the same
  // quote, character by character, and past it.
  size_t ReadQuoted(size_t p, unsigned char quote, std::string* value) const {
    while (!End(p) && At(p) != quote) p = GetChar(p, value);
    if (!End(p)) ++p;
    return End(p) ? kNull : p;
  }

  size_t Attribute(size_t p, std::string* name, std::string* value) const {
    p = SkipWhiteSpace(p);
    if (End(p)) return kNull;
    p = ReadName(p, name);
    p = SkipWhiteSpace(p);
    if (End(p) || At(p) != '=') return kNull;
    p = SkipWhiteSpace(p + 1);
    if (End(p)) return kNull;
    if (At(p) == '"' || At(p) == '\'') return ReadQuoted(p + 1, At(p), value);
    // Unquoted: up to white space, '/' or '>'; a quote in it is an error.
    for (; !End(p) && !IsWhiteSpace(At(p)) && At(p) != '/' && At(p) != '>'; ++p) {
      if (At(p) == '"' || At(p) == '\'') return kNull;
      if (value) value->push_back(static_cast<char>(At(p)));
    }
    return p;
  }

  NodeKind Identify(size_t p) const {
    if (Equal(p, "<?xml", true)) return NodeKind::kDeclaration;
    if (Equal(p, "<!--", false)) return NodeKind::kComment;
    if (Equal(p, "<![CDATA[", false)) return NodeKind::kCdata;
    if (Equal(p, "<!", false)) return NodeKind::kUnknown;
    if (IsAlpha(At(p + 1)) || At(p + 1) == '_') return NodeKind::kElement;
    return NodeKind::kUnknown;
  }

  // The declaration's own loop: its three attributes are read as
  // attributes (quotes honoured), anything else up to white space or '>'.
  size_t Declaration(size_t p, std::string* encoding) const {
    p += 5;
    while (!End(p)) {
      if (At(p) == '>') return p + 1;
      p = SkipWhiteSpace(p);
      if (End(p)) break;
      if (Equal(p, "version", true) || Equal(p, "standalone", true)) {
        p = Attribute(p, nullptr, nullptr);
      } else if (Equal(p, "encoding", true)) {
        encoding->clear();
        p = Attribute(p, nullptr, encoding);
      } else {
        while (At(p) && At(p) != '>' && !IsWhiteSpace(At(p))) ++p;
      }
    }
    return kNull;
  }

  void DecideEncoding(const std::string& value) {
    const char* text = value.c_str();  // the parser reads it up to a zero
    encoding_ = *text == 0 || StartsNoCase(text, "UTF-8") || StartsNoCase(text, "UTF8") ? Encoding::kUtf8
                                                                                          : Encoding::kLegacy;
  }

  size_t Comment(size_t p) const {
    p += 4;
    while (At(p) && !Equal(p, "-->", false)) ++p;
    return At(p) ? p + 3 : p;
  }

  size_t Cdata(size_t p) const {
    p += 9;
    while (At(p) && !Equal(p, "]]>", false)) ++p;
    if (At(p)) p += 3;
    return At(p) ? p : kNull;  // nothing after it: the parser gives up
  }

  size_t Unknown(size_t p) const {
    ++p;
    while (At(p) && At(p) != '>') ++p;
    return At(p) ? p + 1 : p;
  }

  // Text inside an element, white space condensed (the library's default):
  // up to the next '<' outside a character, which is where it stops.
  size_t Text(size_t p) const {
    p = SkipWhiteSpace(p);
    while (!End(p) && At(p) != '<') p = IsWhiteSpace(At(p)) ? p + 1 : GetChar(p, nullptr);
    if (!End(p)) ++p;
    return End(p) ? kNull : p - 1;
  }

  // From '<' to after the start tag's '>'; `empty` for "/>".
  size_t StartTag(size_t p, std::string* name, bool* empty) const {
    p = ReadName(SkipWhiteSpace(p + 1), name);
    if (End(p)) return kNull;
    std::vector<std::string> attributes;
    while (true) {
      p = SkipWhiteSpace(p);
      if (End(p)) return kNull;
      if (At(p) == '/') {
        *empty = true;
        return At(p + 1) == '>' ? p + 2 : kNull;
      }
      if (At(p) == '>') return p + 1;
      std::string attribute;
      p = Attribute(p, &attribute, nullptr);
      if (End(p)) return kNull;
      // The parser refuses an attribute named twice.
      if (std::find(attributes.begin(), attributes.end(), attribute) != attributes.end()) return kNull;
      attributes.push_back(attribute);
    }
  }

  // "</name", white space, '>': the innermost element's end, or the end of
  // the parse.
  size_t EndTag(size_t p, const std::string& name) const {
    const std::string tag = "</" + name;
    if (!Equal(p, tag.c_str(), false)) return kNull;
    p = SkipWhiteSpace(p + tag.size());
    return !End(p) && At(p) == '>' ? p + 1 : kNull;
  }

  const char* s_;
  size_t n_;
  Encoding encoding_ = Encoding::kUnknown;
};

}  // namespace

int ParserNestingDepth(const std::string& text, int limit) { return ParseWalk(text).Run(limit); }

}  // namespace sh
