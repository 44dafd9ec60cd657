#include "toolkit/text.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <mbstring.h>
#endif

namespace sh {

bool EqualsNoCase(const std::string& a, const std::string& b) {
  // Case folding keeps each character's byte count in the code pages the
  // system runs on (one byte, or a lead and trail byte): names of other
  // lengths differ, and most comparisons end here without the locale.
  if (a.size() != b.size()) return false;
#ifdef _WIN32
  return _mbsicmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                  reinterpret_cast<const unsigned char*>(b.c_str())) == 0;
#else
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
#endif
}

std::string ToUpperAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string StripTrailing(std::string text, char ch) {
  while (!text.empty() && text.back() == ch) text.pop_back();
  return text;
}

std::string StripLeading(std::string text, char ch) {
  size_t n = 0;
  while (n < text.size() && text[n] == ch) ++n;
  return text.substr(n);
}

std::string TrimWhite(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}

std::string FileNamePart(const std::string& path) {
  size_t pos = path.find_last_of('\\');
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  std::string out;
  size_t start = 0;
  for (size_t pos; (pos = text.find(from, start)) != std::string::npos; start = pos + from.size()) {
    out.append(text, start, pos - start);
    out += to;
  }
  if (start == 0) return;
  out.append(text, start, std::string::npos);
  text.swap(out);
}

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, args);
    out.assign(buf.data(), static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

}  // namespace sh
