// What a cleaner decides to do, one action at a time, and who carries it
// out. The deciders (spot_cleaner.h) are portable and never touch the
// system; an executor acts (the Win32 one) or only counts (the preview).
#pragma once

#include <cstdint>
#include <string>

#include "model/catalog.h"

namespace sh {

enum class ActionKind {
  kDeleteFile,        // path: delete (shredded first when the user asked)
  kWipeIndexDat,      // path: zero everything after the first 64 bytes
  kDeleteAtReboot,    // path: delete at the next restart
  kRemoveFolder,      // path: an empty folder, or a link to a folder (the link only)
  kRecycleFile,       // path: delete, then leave an empty file of that name for the shell's empty
  kEmptyRecycleBin,   // the shell empties every bin
  kDeleteKey,         // root, path: one key whose subkeys are gone
  kCreateKey,         // root, path: created again, empty
  kDeleteValue,       // root, path, value
  kSetStringValue,    // root, path, value = text: in an existing key only
  kDeleteCacheEntry,  // path: a URL-cache source name
  kClearHistory,      // the browser's URL history object
  kWidenFormStore,    // path: the stored-form-entries key named by the user's SID; its access list is widened
  kRestoreFormStore,  // path: the same key gets its former access list back
  kWipeFreeSpace,     // path: a fixed drive's root; bytes: its free space before
};

struct CleanAction {
  ActionKind kind = ActionKind::kDeleteFile;
  std::string path;
  uint64_t bytes = 0;       // files: the length the walk found
  uint32_t attributes = 0;  // files: the attributes the walk found
  RegRoot root = RegRoot::kNone;
  std::string value;        // registry value name
  std::string text;         // kSetStringValue: the data
};

enum class ActionResult { kDone, kFailed };

class IRunControl;

class IActionExecutor {
 public:
  virtual ~IActionExecutor() = default;
  virtual ActionResult Execute(const CleanAction& action) = 0;
  // The run whose actions follow, asked during one long action (a shred)
  // whether to go on; null after the run.
  virtual void BindRunControl(IRunControl* control) { (void)control; }
};

// Does nothing and reports every action done: what a run would do, with
// the same rows, counts and sizes, and nothing changed.
class CPreviewExecutor : public IActionExecutor {
 public:
  ActionResult Execute(const CleanAction&) override { return ActionResult::kDone; }
};

// "delete", "wipe", "remove folder", ...: how the console names an action.
const char* ActionVerb(ActionKind kind);
// What the action is on: a path, "ROOT\key", "ROOT\key : value".
std::string ActionTarget(const CleanAction& action);

}  // namespace sh
