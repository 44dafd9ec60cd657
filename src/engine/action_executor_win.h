// The one place a run changes the machine: every action a decider yields is
// carried out here. What it checks on the open file before it writes:
//  - a file with more than one name (a hard link) or that is a reparse
//    point is never overwritten: only the name found is removed;
//  - a file another program holds open for writing is never overwritten:
//    it is opened for shredding without write sharing, and when that fails
//    it stays as it is ("Could Not Delete");
//  - a sparse file is overwritten only where it holds data;
//  - every name is used exactly as the walk found it (wide calls with the
//    "\\?\" prefix: no trimming of a trailing space or dot, no 260 limit).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/clean_actions.h"
#include "engine/clean_run.h"
#include "engine/free_space.h"
#include "engine/shred.h"
#include "engine/special_stores_win.h"
#include "engine/url_cache.h"
#include "settings/settings.h"

namespace sh {

// True when the file was overwritten `cycles` times (or, for a file with
// other names or a link, left unwritten), renamed through the 26 letter
// names and deleted. On a failed delete the file gets its first name back.
// `keepGoing` is asked between blocks; when it says stop, the overwriting
// ends and the file is still renamed and deleted (it was chosen to go).
bool ShredFile(const std::string& path, int cycles, CShredPatterns& patterns, const KeepGoing& keepGoing = nullptr);
// Renames the file 26 times (A... to Z...); on success `path` holds the last
// name; on a failure `path` is unchanged.
bool RenameForShred(std::string& path);
// Overwrites everything after the first 64 bytes with zeros in writes of at
// most 10 000 bytes; the length stays. A file of 64 bytes or less is left
// alone and counts as wiped. A file with other names is never written.
bool WipeIndexDat(const std::string& path);

class CWinActionExecutor : public IActionExecutor {
 public:
  CWinActionExecutor(ISettingsStore& settings, IUrlCache& cache, IUrlHistory& history, IRecycleBinShell& shell,
                     IFreeSpaceDisk& freeSpace)
      : settings_(settings), cache_(cache), history_(history), shell_(shell), freeSpace_(freeSpace) {}

  ActionResult Execute(const CleanAction& action) override;

  // Asked (at most every 100 ms) between the blocks of a long shred, so
  // that Abort is heard within a second.
  void BindRunControl(IRunControl* control) override { control_ = control; }

  // Deletes one file the way the user asked: reads Shred (and ShredMethod)
  // at every call.
  bool DeleteTrackFile(const std::string& path);
  CShredPatterns& patterns() { return patterns_; }

 private:
  bool RecycleFile(const std::string& path);
  // Only a drive the disk's own list has: whatever the action names.
  bool WipeDriveFreeSpace(const std::string& root);
  bool KeepGoing();

  ISettingsStore& settings_;
  IUrlCache& cache_;
  IUrlHistory& history_;
  IRecycleBinShell& shell_;
  IFreeSpaceDisk& freeSpace_;
  IRunControl* control_ = nullptr;
  DWORD lastAsked_ = 0;
  CShredPatterns patterns_;
  std::vector<BYTE> formStoreDacl_;  // between kWidenFormStore and kRestoreFormStore
};

}  // namespace sh
