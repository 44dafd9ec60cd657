// Deleting one file the way the user asked: plainly, or shredded first.
#pragma once

#include <string>

#include "engine/shred.h"
#include "settings/settings.h"

namespace sh {

// True when the file was overwritten `cycles` times, renamed through the 26
// letter names and deleted. On a failed delete the file gets its first name
// back (its data already overwritten).
bool ShredFile(const std::string& path, int cycles, CShredPatterns& patterns);
// Renames the file 26 times (A... to Z...); on success `path` holds the last
// name; on a failure `path` is unchanged.
bool RenameForShred(std::string& path);
// Overwrites everything after the first 64 bytes with zeros in writes of at
// most 10 000 bytes; the length stays. A file of 64 bytes or less is left
// alone and counts as wiped (nothing of it is browsing data to remove).
bool WipeIndexDat(const std::string& path);

class CFileDeleter {
 public:
  explicit CFileDeleter(ISettingsStore& settings) : settings_(settings) {}
  // Reads Shred (and ShredMethod) at every call.
  bool DeleteTrackFile(const std::string& path);
  CShredPatterns& patterns() { return patterns_; }

 private:
  ISettingsStore& settings_;
  CShredPatterns patterns_;
};

}  // namespace sh
