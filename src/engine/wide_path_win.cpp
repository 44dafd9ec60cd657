#include "engine/wide_path_win.h"

#include <vector>

#include "engine/path_rules.h"

namespace sh {

std::wstring ExactWidePath(const std::string& path) {
  const std::string normal = NormalizePath(path);
  if (normal.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, normal.data(), static_cast<int>(normal.size()),
                                    nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, normal.data(), static_cast<int>(normal.size()), &wide[0], n);
  if (wide.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + wide.substr(2);
  return L"\\\\?\\" + wide;
}

std::string NarrowName(const wchar_t* name, bool& exact) {
  exact = true;
  const int length = lstrlenW(name);
  if (length == 0) return std::string();
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, length, nullptr, 0, nullptr, &usedDefault);
  if (n <= 0) {
    exact = false;
    return "?";
  }
  std::string narrow(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, length, &narrow[0], n, nullptr, &usedDefault);
  if (usedDefault) exact = false;
  return narrow;
}

}  // namespace sh
