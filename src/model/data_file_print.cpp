// The printer of the data files: the library's print layout built in
// memory, and the text stream the store prints through.
#include "model/data_file.h"

#include <tinyxml.h>

#include <cstdio>
#include <memory>

namespace sh {

namespace {

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

bool PrintDocumentToTextFile(const TiXmlDocument& document, const std::string& path) {
  const std::string text = PrintDocumentText(document);
  std::unique_ptr<std::FILE, FileCloser> stream(std::fopen(path.c_str(), "w"));
  if (!stream) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), stream.get()) == text.size();
  ok = std::fflush(stream.get()) == 0 && !std::ferror(stream.get()) && ok;
  return std::fclose(stream.release()) == 0 && ok;
}

}  // namespace sh
