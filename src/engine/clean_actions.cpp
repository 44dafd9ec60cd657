#include "engine/clean_actions.h"

#include "paths/reg_path.h"

namespace sh {

const char* ActionVerb(ActionKind kind) {
  switch (kind) {
    case ActionKind::kDeleteFile: return "delete";
    case ActionKind::kWipeIndexDat: return "wipe";
    case ActionKind::kDeleteAtReboot: return "delete at restart";
    case ActionKind::kRemoveFolder: return "remove folder";
    case ActionKind::kRecycleFile: return "empty from bin";
    case ActionKind::kEmptyRecycleBin: return "empty recycle bin";
    case ActionKind::kDeleteKey: return "delete key";
    case ActionKind::kCreateKey: return "create key";
    case ActionKind::kDeleteValue: return "delete value";
    case ActionKind::kSetStringValue: return "set value";
    case ActionKind::kDeleteCacheEntry: return "delete entry";
    case ActionKind::kClearHistory: return "clear history";
    case ActionKind::kWidenFormStore: return "open form store";
    case ActionKind::kRestoreFormStore: return "close form store";
    case ActionKind::kWipeFreeSpace: return "wipe free space";
  }
  return "?";
}

std::string ActionTarget(const CleanAction& action) {
  switch (action.kind) {
    case ActionKind::kDeleteKey:
    case ActionKind::kCreateKey:
      return RootKeyToName(action.root) + "\\" + action.path;
    case ActionKind::kDeleteValue:
    case ActionKind::kSetStringValue:
      return RootKeyToName(action.root) + "\\" + action.path + " : " + action.value;
    default:
      return action.path;
  }
}

}  // namespace sh
