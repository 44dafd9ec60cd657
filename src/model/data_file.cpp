#include "model/data_file.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

#include "toolkit/text.h"

namespace sh {

const char kSaveErrorText[] = "Error occuered while Saving";
const char kTempDataFileName[] = "~swhtmp.tmp";

void ScrambleBytes(char* buffer, size_t n) {
  for (size_t i = 0; i < n; ++i) buffer[i] = static_cast<char>(static_cast<unsigned char>(buffer[i]) ^ DataFileKey);
}

void ScrambleBytes(std::string& bytes) {
  if (!bytes.empty()) ScrambleBytes(&bytes[0], bytes.size());
}

std::string ReadDataFile(IFileStore& files, const std::string& path) {
  std::string bytes;
  if (!files.ReadAll(path, bytes) || bytes.empty()) return std::string();
  ScrambleBytes(bytes);
  size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

int WriteDataFile(IFileStore& files, const std::string& path, const std::string& text) {
  std::string bytes = text;
  ScrambleBytes(bytes);
  // Never truncate the target in place: a failure half-way would leave a
  // list cut short, and the program does not run without its spot list.
  const std::string beside = path + ".new";
  if (!files.WriteAll(beside, bytes) || !files.Replace(beside, path)) {
    files.Remove(beside);
    return 0;
  }
  return 1;
}

namespace {

// The parser recurses once per element level (and so do printing, copying
// and destroying a document). No data file nests deeper than a handful of
// levels; anything deeper than this is refused before it is parsed.
constexpr int kMaxNesting = 100;

bool StartsWith(const std::string& text, size_t at, const char* prefix) {
  return text.compare(at, std::strlen(prefix), prefix) == 0;
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix) {
  size_t n = std::strlen(prefix);
  if (text.size() - at < n) return false;
  for (size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(text[at + i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

// The parser's test for the start of an element name.
bool StartsElementName(unsigned char c) { return c >= 127 || std::isalpha(c) || c == '_'; }

// How many bytes the parser takes for a lead byte in a UTF-8 document.
size_t Utf8SequenceLength(unsigned char c) {
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 1;
}

size_t SkipSpace(const std::string& text, size_t at) {
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  return at;
}

// `name = "value"` at `at` (name compared without case); the value is
// returned through `value` and the position after the closing quote.
size_t ReadPseudoAttribute(const std::string& text, size_t at, const char* name, std::string& value) {
  if (!StartsWithNoCase(text, at, name)) return std::string::npos;
  at = SkipSpace(text, at + std::strlen(name));
  if (at >= text.size() || text[at] != '=') return std::string::npos;
  at = SkipSpace(text, at + 1);
  if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) return std::string::npos;
  size_t end = text.find(text[at], at + 1);
  if (end == std::string::npos) return std::string::npos;
  value = text.substr(at + 1, end - at - 1);
  if (value.find_first_of("<>\"'") != std::string::npos) return std::string::npos;
  return end + 1;
}

// A declaration in the plain form `<?xml version=".." encoding=".."?>`
// (standalone optional) naming an encoding other than UTF-8.
bool IsPlainLegacyDeclaration(const std::string& text, size_t at) {
  std::string version, encoding, standalone;
  size_t p = SkipSpace(text, at + 5);
  if (p == at + 5) return false;
  p = ReadPseudoAttribute(text, p, "version", version);
  if (p == std::string::npos) return false;
  size_t q = SkipSpace(text, p);
  if (q == p) return false;
  p = ReadPseudoAttribute(text, q, "encoding", encoding);
  if (p == std::string::npos) return false;
  q = SkipSpace(text, p);
  if (q != p && StartsWithNoCase(text, q, "standalone")) {
    p = ReadPseudoAttribute(text, q, "standalone", standalone);
    if (p == std::string::npos) return false;
    q = SkipSpace(text, p);
  }
  if (!StartsWith(text, q, "?>")) return false;
  return !encoding.empty() && !EqualsNoCase(encoding, "UTF-8") && !EqualsNoCase(encoding, "UTF8");
}

// Only a document in UTF-8 (byte order mark, or a declaration that names
// UTF-8 or no encoding) reads multi-byte sequences, in which a lead byte
// takes the bytes after it along. Anything but a plain legacy declaration
// counts as possibly UTF-8.
bool MayReadAsUtf8(const std::string& text) {
  if (StartsWith(text, 0, "\xEF\xBB\xBF")) return true;
  for (size_t i = text.find("<?"); i != std::string::npos; i = text.find("<?", i + 1))
    if (StartsWithNoCase(text, i, "<?xml") && !IsPlainLegacyDeclaration(text, i)) return true;
  return false;
}

// Walks the markup the way the parser finds it and measures the nesting.
// Where the parser's view could differ from this walk (a '<' inside markup
// or inside quotes, a quote, '<' or '>' that a multi-byte sequence may
// swallow) the text is refused: the walk must never see fewer open
// elements than the parser.
bool NestingWithinLimit(const std::string& text) {
  const bool utf8 = MayReadAsUtf8(text);
  size_t shadowEnd = 0;  // bytes before this may belong to a multi-byte sequence
  // Follows lead bytes; false when a byte that matters is in a shadow.
  auto step = [&](size_t at) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    if (!utf8) return true;
    if ((c == '<' || c == '>' || c == '"' || c == '\'') && at < shadowEnd) return false;
    if (at >= shadowEnd) shadowEnd = at + Utf8SequenceLength(c);
    return true;
  };
  int depth = 0;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    if (!step(i)) return false;
    if (text[i] != '<') {
      ++i;
      continue;
    }
    if (StartsWith(text, i, "<!--") || StartsWith(text, i, "<![CDATA[")) {
      const bool comment = text[i + 2] == '-';
      size_t end = text.find(comment ? "-->" : "]]>", i + (comment ? 4 : 9));
      if (end == std::string::npos) return true;  // unterminated: the parser stops there
      // Both end at the first terminator; a lead byte inside must not reach it.
      for (size_t k = i + 1; k < end + 3; ++k)
        if (!step(k)) return false;
      i = end + 3;
      continue;
    }
    const bool closing = i + 1 < n && text[i + 1] == '/';
    const bool element = i + 1 < n && StartsElementName(static_cast<unsigned char>(text[i + 1]));
    // The '>' that ends this markup outside quotes; a '<' before it means
    // the parser may read this part differently.
    size_t j = i + 1;
    char quote = 0;
    char previous = 0;
    for (; j < n; ++j) {
      if (!step(j)) return false;
      char ch = text[j];
      if (ch == '<') return false;
      if (quote) {
        if (ch == quote) quote = 0;
        continue;
      }
      if (ch == '"' || ch == '\'') quote = ch;
      else if (ch == '>') break;
      previous = ch;
    }
    if (j >= n) return true;  // unterminated: the parser stops here too
    if (closing) {
      if (depth > 0) --depth;
    } else if (element && previous != '/') {
      if (++depth > kMaxNesting) return false;
    }
    i = j + 1;
  }
  return true;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

void Indent(int depth, std::string& out) { out.append(static_cast<size_t>(depth) * 4, ' '); }

// The print layout of the library's Print(FILE*) functions, node by node;
// texts are taken up to a zero byte as "%s" takes them.
void AppendNode(const TiXmlNode& node, int depth, std::string& out) {
  switch (node.Type()) {
    case TiXmlNode::TINYXML_ELEMENT: {
      const TiXmlElement& element = *node.ToElement();
      Indent(depth, out);
      out += '<';
      out += element.Value();
      for (const TiXmlAttribute* a = element.FirstAttribute(); a; a = a->Next()) {
        out += ' ';
        std::string attribute;
        a->Print(nullptr, depth, &attribute);
        out += attribute.c_str();
      }
      const TiXmlNode* first = element.FirstChild();
      if (first == nullptr) {
        out += " />";
      } else if (first == element.LastChild() && first->ToText()) {
        out += '>';
        AppendNode(*first, depth + 1, out);
        out += "</";
        out += element.Value();
        out += '>';
      } else {
        out += '>';
        for (const TiXmlNode* child = first; child; child = child->NextSibling()) {
          if (!child->ToText()) out += '\n';
          AppendNode(*child, depth + 1, out);
        }
        out += '\n';
        Indent(depth, out);
        out += "</";
        out += element.Value();
        out += '>';
      }
      break;
    }
    case TiXmlNode::TINYXML_COMMENT:
      Indent(depth, out);
      out += "<!--";
      out += node.Value();
      out += "-->";
      break;
    case TiXmlNode::TINYXML_UNKNOWN:
      Indent(depth, out);
      out += '<';
      out += node.Value();
      out += '>';
      break;
    case TiXmlNode::TINYXML_TEXT: {
      const TiXmlText& text = *node.ToText();
      if (text.CDATA()) {
        out += '\n';
        Indent(depth, out);
        out += "<![CDATA[";
        out += text.Value();
        out += "]]>\n";
      } else {
        std::string encoded;
        TiXmlBase::EncodeString(text.ValueStr(), &encoded);
        out += encoded.c_str();
      }
      break;
    }
    case TiXmlNode::TINYXML_DECLARATION: {
      std::string declaration;
      node.ToDeclaration()->Print(nullptr, depth, &declaration);
      out += declaration.c_str();
      break;
    }
    case TiXmlNode::TINYXML_DOCUMENT:
      for (const TiXmlNode* child = node.FirstChild(); child; child = child->NextSibling()) {
        AppendNode(*child, depth, out);
        out += '\n';
      }
      break;
    default:
      break;
  }
}

}  // namespace

std::string PrintDocumentText(const TiXmlDocument& document) {
  std::string out;
  AppendNode(document, 0, out);
  return out;
}

bool ParseDataText(const std::string& text, TiXmlDocument& document) {
  if (text.empty() || !NestingWithinLimit(text)) return false;
  // The parser may step up to three bytes past the end of a text that ends
  // inside a multi-byte sequence: give it zeros to land on.
  std::string padded = text;
  padded.append(8, '\0');
  document.Parse(padded.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  return !document.Error() && document.RootElement() != nullptr;
}

bool ReadDataDocument(IFileStore& files, const std::string& path, TiXmlDocument& document) {
  return ParseDataText(ReadDataFile(files, path), document);
}

bool PrintDocumentToTextFile(const TiXmlDocument& document, const std::string& path) {
  const std::string text = PrintDocumentText(document);
  std::unique_ptr<std::FILE, FileCloser> stream(std::fopen(path.c_str(), "w"));
  if (!stream) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), stream.get()) == text.size();
  ok = std::fflush(stream.get()) == 0 && !std::ferror(stream.get()) && ok;
  return std::fclose(stream.release()) == 0 && ok;
}

int SaveDataDocument(DataFileEnv& env, const TiXmlDocument& document, const std::string& path) {
  int stored = 0;
  bool tempFailed = false;
  {
    std::lock_guard<CDataFileLock> hold(env.lock);
    const std::string temp = StripTrailing(env.files.TempFolder(), '\\') + "\\" + kTempDataFileName;
    std::string text;
    if (!env.files.PrintDocument(document, temp) || !env.files.ReadAll(temp, text)) {
      tempFailed = true;
    } else {
      stored = WriteDataFile(env.files, path, text);
    }
    env.files.Remove(temp);
  }
  // Told after the lock is given back: the box dispatches messages, and a
  // store started from one of them must not wait on this one.
  if (tempFailed) {
    PromptRequest request;
    request.text = kSaveErrorText;
    request.kind = PromptKind::kOk;
    env.prompt.Ask(request);
  }
  return stored;
}

}  // namespace sh
