#include "engine/wide_path_win.h"

#include <vector>

#include "engine/path_rules.h"

namespace sh {
namespace {

// Characters below 0x80 are the same in every ANSI code page (single-byte,
// DBCS and UTF-8 alike): such text is copied as it is, without a
// conversion call. Walks and deletes meet mostly such names, once per file.
template <typename Char>
bool IsAscii(const Char* text, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (static_cast<unsigned>(text[i]) >= 0x80) return false;
  return true;
}

}  // namespace

std::wstring ExactWidePath(const std::string& path) {
  const std::string normal = NormalizePath(path);
  if (normal.empty()) return std::wstring();
  // "\\server\share\..." becomes "\\?\UNC\server\share\...".
  const bool unc = normal.compare(0, 2, "\\\\") == 0;
  const wchar_t* const prefix = unc ? L"\\\\?\\UNC\\" : L"\\\\?\\";
  const char* const text = normal.data() + (unc ? 2 : 0);
  const int length = static_cast<int>(normal.size()) - (unc ? 2 : 0);
  std::wstring wide(prefix);
  const size_t start = wide.size();
  if (IsAscii(text, static_cast<size_t>(length))) {
    wide.append(text, text + length);
    return wide;
  }
  const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
  if (n <= 0) return std::wstring();
  wide.resize(start + static_cast<size_t>(n));
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, length, &wide[start], n);
  return wide;
}

std::string NarrowName(const wchar_t* name, bool& exact) {
  exact = true;
  // One pass copies what is ASCII (nearly every name), and finds the end.
  size_t ascii = 0;
  while (name[ascii] != L'\0' && static_cast<unsigned>(name[ascii]) < 0x80) ++ascii;
  std::string narrow(ascii, '\0');
  for (size_t i = 0; i < ascii; ++i) narrow[i] = static_cast<char>(name[i]);
  if (name[ascii] == L'\0') return narrow;
  const int length = lstrlenW(name);
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, length, nullptr, 0, nullptr, &usedDefault);
  if (n <= 0) {
    exact = false;
    return "?";
  }
  narrow.assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, length, &narrow[0], n, nullptr, &usedDefault);
  if (usedDefault) exact = false;
  return narrow;
}

}  // namespace sh
