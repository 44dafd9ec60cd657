// Path and name rules of the walk: one lexical spelling for every path, the
// folder guard's containment test, file masks, and the regions a shred
// writes. Pure text and arithmetic, no file system, so every rule is checked
// natively.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sh {

// Lexical normal form of a Windows path, the one spelling the folder guard and the walk compare:
// '/' becomes '\'; runs of separators collapse to one, except the two that open a UNC path ("\\server\share");
// "." components go; ".." removes the component before it but never climbs above the root
// (the drive "C:\" or "\\server\share"); trailing separators go, except that a drive root keeps its one ("C:\").
// The drive letter is upper-cased; other case is kept (compare with EqualsNoCase / IsSameOrInside).
// A "\\?\" prefix ("\\?\C:\x", "\\?\UNC\server\share\x") is removed first.
// Returns "" when the path is not absolute (no "X:\" drive and not "\\server\share"), when it is empty,
// when a UNC path lacks its server or share, or when ".." would climb above the root ("C:\..\Windows" -> "" : refused, not clamped).
// Also "" for a drive-relative "C:foo". A component made only of dots beyond "." and ".." ("...") is refused ("").
// Also refused: a server or share that is only dots ("\\.\C:\x", a device path) and a path holding a NUL
// character (the Win32 call would stop there and reach another file).
std::string NormalizePath(const std::string& path);

// True when `path` equals `folder` or lies below it, both normal forms, case-insensitively,
// on whole components ("C:\Windows2" is not inside "C:\Windows"; everything is inside "C:\").
// False when either is "" (a refused path contains nothing and is inside nothing).
bool IsSameOrInside(const std::string& path, const std::string& folder);

// The name after the last backslash of a normal form ("" for a root).
std::string LastComponent(const std::string& normalPath);
// The parent of a normal form ("C:\a\b" -> "C:\a", "C:\a" -> "C:\", "C:\" -> "", "\\s\sh\a" -> "\\s\sh", "\\s\sh" -> "").
std::string ParentPath(const std::string& normalPath);
// Joins a normal form and one name ("C:\" + "x" -> "C:\x", "C:\a" + "x" -> "C:\a\x").
// "" when the folder is "" or the name is not one name ("", ".", "..", holding a separator or a NUL),
// so that a join never leaves the folder or names the folder itself.
std::string JoinPath(const std::string& folder, const std::string& name);

// A file mask matched against a file's long name only, the way the data files mean it:
// '*' any run of characters (also none), '?' exactly one character; case-insensitive (ASCII letters; other bytes compared exactly);
// "*" and "*.*" match every name, also names without a dot; a mask ending in ".*" also matches the name without that
// extension ("report.*" matches "report"); a mask ending in a single "." after a non-dot ("*.") matches only names
// without a dot. An empty mask matches every name (the walk reads empty as "*.*"). Never matches "." or "..".
// Linear-ish for long names: the greedy-star algorithm, never exponential backtracking.
bool MatchesMask(const std::string& name, const std::string& mask);

// True for the names the found.* cleaner may remove at a drive root: "found." followed by exactly three decimal
// digits, any case of letters ("FOUND.000", "found.123"); false for "found", "found.txt", "found.photos", "found.1234", "found.00".
bool IsFoundFolderName(const std::string& name);


// Shredding of a sparse file writes only what the disk already holds. Given the file's size and, for a sparse file,
// its allocated ranges (offset, length; any order, may overlap, may reach past the size), the regions to overwrite,
// sorted, merged, clipped to [0,size). For a file that is not sparse pass std::nullopt: one region [0,size) (none when size is 0).
// Touching ranges merge into one; empty ranges and ranges starting at or past the size are dropped.
struct ByteRange {
  uint64_t offset;
  uint64_t length;
};
std::vector<ByteRange> ShredRegions(uint64_t size, const std::optional<std::vector<ByteRange>>& allocated);

}  // namespace sh
