#include "engine/path_rules.h"

#include <algorithm>
#include <string_view>

namespace sh {

namespace {

// ASCII only on purpose: the C runtime's isalpha/tolower follow the locale,
// and a drive letter or a mask must not change meaning with the code page.
bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return true;
}

bool OnlyDots(std::string_view s) { return !s.empty() && s.find_first_not_of('.') == std::string_view::npos; }

// The next component starting at `pos` after skipping any run of separators;
// `pos` ends just past it. Empty when the text is used up.
std::string_view NextComponent(std::string_view text, size_t& pos) {
  while (pos < text.size() && text[pos] == '\\') ++pos;
  size_t start = pos;
  while (pos < text.size() && text[pos] != '\\') ++pos;
  return text.substr(start, pos - start);
}

bool IsNormalDriveRoot(const std::string& p) { return p.size() == 3 && p[1] == ':' && p[2] == '\\'; }

bool IsNormalUncRoot(const std::string& p) {
  if (p.size() < 5 || p[0] != '\\' || p[1] != '\\') return false;
  size_t sep = p.find('\\', 2);
  return sep != std::string::npos && p.find('\\', sep + 1) == std::string::npos;
}

bool IsNormalRoot(const std::string& p) { return IsNormalDriveRoot(p) || IsNormalUncRoot(p); }

// '*' and '?' over the whole name, ASCII case folded. The greedy form keeps
// only the latest star to fall back to: an earlier star could never match
// more than the latest one already lets through, so the cost stays about
// name length times mask length instead of exploding with the star count.
bool GlobMatch(std::string_view name, std::string_view mask) {
  size_t n = 0, m = 0;
  size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && (mask[m] == '?' || FoldAscii(mask[m]) == FoldAscii(name[n]))) {
      ++m;
      ++n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}


// Empty, "." or "..": never a name to join or match.
bool IsDotName(const std::string& name) {
  const size_t n = name.size();
  return n == 0 || (name[0] == '.' && (n == 1 || (n == 2 && name[1] == '.')));
}

}  // namespace

std::string NormalizePath(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return "";
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');

  if (p.compare(0, 4, "\\\\?\\") == 0) {
    if (p.size() >= 8 && EqualsNoCaseAscii(std::string_view(p).substr(4, 4), "UNC\\")) {
      p = "\\\\" + p.substr(8);
    } else {
      p.erase(0, 4);
      // "\\?\" before anything but a drive is no spelling we produce; a
      // guess here could turn it into some server's share.
      if (!p.empty() && p[0] == '\\') return "";
    }
  }

  std::string root;
  size_t pos = 0;
  bool drive = false;
  if (p.size() >= 2 && IsAsciiLetter(p[0]) && p[1] == ':') {
    if (p.size() < 3 || p[2] != '\\') return "";  // "C:" and "C:foo" follow the drive's current folder
    root = {UpperAscii(p[0]), ':'};
    pos = 3;
    drive = true;
  } else if (p.size() >= 3 && p[0] == '\\' && p[1] == '\\' && p[2] != '\\') {
    pos = 2;
    std::string_view server = NextComponent(p, pos);
    std::string_view share = NextComponent(p, pos);
    // "\\.\" is the device namespace, and a share of dots would climb back
    // to the server: neither is a folder the walk may start from.
    if (server.empty() || share.empty() || OnlyDots(server) || OnlyDots(share)) return "";
    root = "\\\\";
    root.append(server).append("\\").append(share);
  } else {
    return "";  // relative, "\x" on the current drive, or an unexpanded ":MACRO:\"
  }

  std::vector<std::string_view> parts;
  for (std::string_view part = NextComponent(p, pos); !part.empty(); part = NextComponent(p, pos)) {
    if (part == ".") continue;
    if (part == "..") {
      // Clamping would quietly aim at another folder than the data file
      // meant; refusing makes the entry do nothing.
      if (parts.empty()) return "";
      parts.pop_back();
      continue;
    }
    // Win32 trims "..." to nothing, so it would name the parent.
    if (OnlyDots(part)) return "";
    parts.push_back(part);
  }

  std::string out = root;
  if (drive && parts.empty()) return out + "\\";
  for (std::string_view part : parts) out.append("\\").append(part);
  return out;
}

bool IsSameOrInside(const std::string& path, const std::string& folder) {
  if (path.empty() || folder.empty() || path.size() < folder.size()) return false;
  std::string_view head = std::string_view(path).substr(0, folder.size());
  if (!EqualsNoCaseAscii(head, folder)) return false;
  // "C:\" already ends on a separator; any other folder must be followed by
  // one so that "C:\Windows2" stays outside "C:\Windows".
  return path.size() == folder.size() || folder.back() == '\\' || path[folder.size()] == '\\';
}

std::string LastComponent(const std::string& normalPath) {
  if (normalPath.empty() || IsNormalRoot(normalPath)) return "";
  size_t sep = normalPath.find_last_of('\\');
  return sep == std::string::npos ? "" : normalPath.substr(sep + 1);
}

std::string ParentPath(const std::string& normalPath) {
  if (normalPath.empty() || IsNormalRoot(normalPath)) return "";
  size_t sep = normalPath.find_last_of('\\');
  if (sep == std::string::npos) return "";
  // The parent of "C:\a" is the drive root, which keeps its separator.
  if (sep == 2 && normalPath[1] == ':') return normalPath.substr(0, 3);
  return normalPath.substr(0, sep);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  // Asked once per file of every walk: plain comparisons, no searches.
  if (folder.empty() || IsDotName(name)) return "";
  for (char c : name)
    if (c == '\\' || c == '/' || c == '\0') return "";
  std::string joined;
  joined.reserve(folder.size() + 1 + name.size());
  joined += folder;
  if (folder.back() != '\\') joined += '\\';
  joined += name;
  return joined;
}

bool MatchesMask(const std::string& name, const std::string& mask) {
  if (IsDotName(name)) return false;
  std::string_view m(mask);
  if (m.empty() || m == "*" || m == "*.*") return true;
  const size_t k = m.size();
  // "*." is the old way of saying "no extension".
  if (k >= 2 && m[k - 1] == '.' && m[k - 2] != '.')
    return name.find('.') == std::string::npos && GlobMatch(name, m.substr(0, k - 1));
  if (GlobMatch(name, m)) return true;
  // "report.*" also takes "report": an empty extension is still one.
  return k >= 2 && m.substr(k - 2) == ".*" && GlobMatch(name, m.substr(0, k - 2));
}

bool IsFoundFolderName(const std::string& name) {
  if (name.size() != 9 || !EqualsNoCaseAscii(std::string_view(name).substr(0, 6), "found.")) return false;
  return std::all_of(name.begin() + 6, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}


std::vector<ByteRange> ShredRegions(uint64_t size, const std::optional<std::vector<ByteRange>>& allocated) {
  std::vector<ByteRange> out;
  if (size == 0) return out;
  if (!allocated) {
    out.push_back({0, size});
    return out;
  }
  std::vector<ByteRange> clipped;
  clipped.reserve(allocated->size());
  for (const ByteRange& r : *allocated) {
    if (r.length == 0 || r.offset >= size) continue;
    // Compared against the room left so that offset + length cannot wrap.
    uint64_t length = r.length > size - r.offset ? size - r.offset : r.length;
    clipped.push_back({r.offset, length});
  }
  std::sort(clipped.begin(), clipped.end(),
            [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });
  for (const ByteRange& r : clipped) {
    if (!out.empty() && r.offset <= out.back().offset + out.back().length) {
      uint64_t end = std::max(out.back().offset + out.back().length, r.offset + r.length);
      out.back().length = end - out.back().offset;
    } else {
      out.push_back(r);
    }
  }
  return out;
}

}  // namespace sh
