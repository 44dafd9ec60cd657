// Small text helpers shared by the portable core and the Win32 layer.
#pragma once

#include <string>

namespace sh {

// Whole-string comparison without regard to case. On Windows it is the
// multi-byte aware comparison of the C runtime (file names in the ANSI code
// page); elsewhere ASCII case folding.
bool EqualsNoCase(const std::string& a, const std::string& b);

std::string ToUpperAscii(std::string text);
std::string StripTrailing(std::string text, char ch);
std::string StripLeading(std::string text, char ch);
std::string TrimWhite(const std::string& text);
// Text after the last backslash (whole text when there is none).
std::string FileNamePart(const std::string& path);
// Replaces every occurrence of `from` (non-empty) by `to`, left to right.
void ReplaceAll(std::string& text, const std::string& from, const std::string& to);
// printf-style formatting into a std::string (no fixed buffer to overrun).
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace sh
