#include "engine/spot_cleaner.h"

#include "engine/path_rules.h"
#include "engine/registry_cleaner.h"
#include "engine/special_stores.h"
#include "paths/reg_path.h"
#include "toolkit/text.h"

namespace sh {
namespace {

const char kCookiePrefix[] = "cookie:";
const char kVisitedPrefix[] = "visited:";

// Deeper than any real tree; a deeper one is reported, not walked, so that
// a hostile tree cannot exhaust the stack.
constexpr int kMaxDepth = 256;

// "*", "*.*", "*." and the like: at a drive root or a protected folder such
// a mask means the folder itself, not a set of named files.
bool IsOnlyWildcards(const std::string& name) {
  return name.empty() || name.find_first_not_of("*?.") == std::string::npos;
}

bool IsDirectory(const FsEntry& e) { return (e.attributes & kAttrDirectory) != 0; }
bool IsLink(const FsEntry& e) { return (e.attributes & kAttrReparsePoint) != 0; }

CleanAction PathAction(ActionKind kind, const std::string& path) {
  CleanAction a;
  a.kind = kind;
  a.path = path;
  return a;
}

CleanAction KeyAction(ActionKind kind, RegRoot root, const std::string& key) {
  CleanAction a;
  a.kind = kind;
  a.root = root;
  a.path = key;
  return a;
}

}  // namespace

// One walk's settings, fixed at its top level.
struct CSpotCleaner::Walk {
  std::string mask;    // the mask of every level below the top
  bool descend = false;
  bool removeSubs = false;
  int& count;
  double& size;
};

bool IsSharedRegistryKey(const std::string& subKey) {
  // Compared on whole components, without regard to case or separators.
  std::vector<std::string> parts;
  std::string part;
  for (char c : subKey + "\\") {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(ToUpperAscii(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (parts.size() <= 1) return true;
  static const char* const kShared[][2] = {
      {"SOFTWARE", "MICROSOFT"}, {"SOFTWARE", "CLASSES"}, {"SOFTWARE", "POLICIES"}, {"SOFTWARE", "WOW6432NODE"},
      {"SYSTEM", "CURRENTCONTROLSET"}, {"SYSTEM", "CONTROLSET001"}, {"SYSTEM", "CONTROLSET002"}};
  if (parts.size() == 2)
    for (const auto& shared : kShared)
      if (parts[0] == shared[0] && parts[1] == shared[1]) return true;
  // Software\Microsoft\Windows and its CurrentVersion hold every program's
  // start-up, uninstall and shell settings.
  if (parts.size() >= 3 && parts.size() <= 5 && parts[0] == "SOFTWARE" && parts[1] == "MICROSOFT" &&
      (parts[2] == "WINDOWS" || parts[2] == "WINDOWS NT" || parts[2] == "INTERNET EXPLORER")) {
    if (parts.size() == 3) return true;
    if (parts[3] == "CURRENTVERSION" &&
        (parts.size() == 4 || parts[4] == "EXPLORER" || parts[4] == "INTERNET SETTINGS" || parts[4] == "RUN" ||
         parts[4] == "UNINSTALL" || parts[4] == "POLICIES"))
      return true;
    if (parts[2] == "INTERNET EXPLORER" && parts.size() == 4 && parts[3] == "MAIN") return true;
  }
  return false;
}

ActionResult CSpotCleaner::Act(CCleanRunContext& context, const CleanAction& action, int files, double size) {
  ActionResult result = executor_->Execute(action);
  context.report->ItemActed(context.row, action, result, files, size);
  return result;
}

std::string CSpotCleaner::ResolveFolder(const std::string& path) {
  std::string normal = NormalizePath(path);
  if (normal.empty()) return normal;
  // 8.3 names: C:\PROGRA~1 is Program Files. The long spelling is asked of
  // the file system and brought to the normal form again.
  std::string longPath = NormalizePath(ports_.files.LongPath(normal));
  return longPath.empty() ? normal : longPath;
}

bool CSpotCleaner::IsProtectedFolder(const std::string& normalFolder) {
  if (!protectedRead_) {
    protected_.clear();
    for (const std::string& folder : ports_.environment.ProtectedFolders()) {
      std::string normal = ResolveFolder(folder);
      if (!normal.empty()) protected_.push_back(normal);
    }
    protectedRead_ = true;
  }
  for (const std::string& p : protected_)
    if (EqualsNoCase(normalFolder, p)) return true;
  return false;
}

void CSpotCleaner::CleanFolders(CCleaningSpot& spot, CCleanRunContext& context) {
  int count = 0;
  double size = 0;
  for (CFolderEntry& entry : spot.Folders) {
    if (!context.Running()) break;
    if (entry.Mask.empty()) entry.Mask = "*.*";
    context.deleteRootDir = entry.DeleteRootDir;
    context.deleteSubFolders = entry.DeleteSubFolders;
    context.includeSubFolders = entry.IncludeSubFolders;
    context.Log(logline::FolderEntry(entry.Path, entry.Mask));
    CleanFolder(context, entry.Path, entry.Mask, count, size);
    // A path with a wildcard was never walked: its folder is not removed.
    if (context.deleteRootDir && entry.Path.find_first_of("*?") == std::string::npos) {
      const std::string folder = ResolveFolder(entry.Path);
      // Never a root or a protected folder, whatever the entry asks.
      if (!folder.empty() && !ParentPath(folder).empty() && !IsProtectedFolder(folder))
        Act(context, PathAction(ActionKind::kRemoveFolder, folder), count, size);
    }
  }
}

void CSpotCleaner::CleanFolder(CCleanRunContext& context, const std::string& path, const std::string& mask,
                               int& count, double& size) {
  std::string folderText = path, pattern = mask;
  if (path.find('*') != std::string::npos) {
    const size_t slash = path.find_last_of("\\/");
    folderText = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    pattern = path.substr(slash == std::string::npos ? 0 : slash + 1);
  }
  // An unexpanded macro, a relative path or a wildcard in a folder name
  // would reach whatever the current folder is: never walked.
  const std::string folder = folderText.find_first_of("*?") == std::string::npos ? ResolveFolder(folderText) : "";
  if (folder.empty()) {
    context.Log(logline::FolderEntrySkipped(path));
    return;
  }
  // A drive root or a protected folder is never walked into its
  // subfolders, and never emptied wholesale: only a named mask (*.log) may
  // clean some of its own files.
  const bool special = ParentPath(folder).empty() || IsProtectedFolder(folder);
  if (special && IsOnlyWildcards(pattern)) {
    context.Log(logline::FolderEntrySkipped(path));
    return;
  }
  Walk walk{mask.empty() ? "*.*" : mask, context.includeSubFolders != 0 && !special,
            context.deleteSubFolders != 0 && !special, count, size};
  WalkFolder(context, walk, folder, pattern.empty() ? "*.*" : pattern, 0);
}

void CSpotCleaner::WalkFolder(CCleanRunContext& context, Walk& walk, const std::string& folder,
                              const std::string& pattern, int depth) {
  const ListResult listed = ports_.files.List(folder, [&](const FsEntry& entry) {
    if (!context.Running()) return false;
    if (!MatchesMask(entry.name, pattern)) return true;
    std::string full = JoinPath(folder, entry.name);
    if (IsDirectory(entry)) {
      ++walk.count;
      ShowFilesAndSize(context, walk.count, walk.size);
      if (IsLink(entry)) {
        // A junction or symbolic link: walking it would empty its target.
        // Removing it removes only the link.
        context.Log(logline::LinkNotEntered(full));
        if (walk.removeSubs && !entry.spellable) {
          context.Log(logline::CouldNotDelete(full));
        } else if (walk.removeSubs) {
          context.Log(logline::CleaningDirectory(full));
          Act(context, PathAction(ActionKind::kRemoveFolder, full), walk.count, walk.size);
        }
        return true;
      }
      if (!walk.descend) return true;
      if (!entry.spellable || depth + 1 >= kMaxDepth || IsProtectedFolder(full)) {
        context.Log(logline::FolderEntrySkipped(full));
        return true;
      }
      WalkFolder(context, walk, full, walk.mask, depth + 1);
      if (walk.removeSubs) {
        context.Log(logline::CleaningDirectory(full));
        Act(context, PathAction(ActionKind::kRemoveFolder, full), walk.count, walk.size);
      }
      return true;
    }
    ActOnFile(context, walk, std::move(full), entry);
    return true;
  });
  // A folder that exists but cannot be read is said, never passed over.
  if (listed == ListResult::kFailed) context.Log(logline::CouldNotDelete(JoinPath(folder, pattern)));
}

void CSpotCleaner::ActOnFile(CCleanRunContext& context, Walk& walk, std::string path, const FsEntry& entry) {
  if (!IsExcludedName(context, entry.name)) {
    walk.size += static_cast<double>(static_cast<uint32_t>(entry.size));
    ++walk.count;
    ShowFilesAndSize(context, walk.count, walk.size);
    CleanAction action;
    action.path = std::move(path);
    const std::string& full = action.path;
    action.bytes = entry.size;
    action.attributes = entry.attributes;
    if (!entry.spellable) {
      context.Log(logline::CouldNotDelete(full));
    } else if (!context.wipeName.empty() && EqualsNoCase(entry.name, context.wipeName)) {
      context.Log(logline::WipingIndexDat(full));
      action.kind = ActionKind::kWipeIndexDat;
      if (Act(context, action, walk.count, walk.size) != ActionResult::kDone) {
        Act(context, PathAction(ActionKind::kDeleteAtReboot, full), walk.count, walk.size);
        context.Log(logline::RebootDeleting(full));
      }
    } else {
      const bool done = Act(context, action, walk.count, walk.size) == ActionResult::kDone;
      if (context.Logging()) context.Log(done ? logline::Deleting(full) : logline::CouldNotDelete(full));
    }
  }
  context.control->PauseAfterFile();
}

void CSpotCleaner::CleanFoundFolders(CCleanRunContext& context) {
  int count = 0;
  double size = 0;
  for (const std::string& rootText : ports_.environment.DriveRoots()) {
    const std::string root = NormalizePath(rootText);
    if (root.empty() || !ParentPath(root).empty()) continue;
    context.Log(logline::CleaningFoundFolder(StripTrailing(root, '\\') + "\\found.*"));
    context.deleteRootDir = context.deleteSubFolders = context.includeSubFolders = 1;
    // Only what chkdsk leaves: found.000, found.001... A look-alike
    // (found.photos, a file named found) is the user's.
    Walk walk{"*.*", true, true, count, size};
    ports_.files.List(root, [&](const FsEntry& entry) {
      if (!context.Running()) return false;
      if (!IsFoundFolderName(entry.name)) return true;
      const std::string full = JoinPath(root, entry.name);
      if (!IsDirectory(entry)) {
        ActOnFile(context, walk, full, entry);
        return true;
      }
      ++count;
      if (IsLink(entry)) {
        context.Log(logline::LinkNotEntered(full));
      } else {
        WalkFolder(context, walk, full, "*.*", 1);
      }
      context.Log(logline::CleaningDirectory(full));
      Act(context, PathAction(ActionKind::kRemoveFolder, full), count, size);
      return true;
    });
  }
}

bool CSpotCleaner::FreeSpaceChosen() {
  return freeSpaceDisk_ != nullptr && settings_ != nullptr && CSettings(*settings_).CleanFreeSpace() != 0;
}

void CSpotCleaner::CleanFreeSpace(CCleanRunContext& context) {
  if (freeSpaceDisk_ == nullptr) return;
  int drives = 0;
  double size = 0;
  for (const std::string& root : freeSpaceDisk_->FixedDriveRoots()) {
    if (!context.Running()) break;
    uint64_t free = 0;
    if (!freeSpaceDisk_->FreeBytes(root, free)) continue;  // no drive there now
    ++drives;
    size += static_cast<double>(free);
    ShowFilesAndSize(context, drives, size);
    context.Log(logline::WipingFreeSpace(root));
    CleanAction action = PathAction(ActionKind::kWipeFreeSpace, root);
    action.bytes = free;
    Act(context, action, drives, size);
  }
}

void CSpotCleaner::CleanRecycleBin(CCleanRunContext& context) {
  int count = 0;
  double size = 0;
  for (const std::string& rootText : ports_.environment.DriveRoots()) {
    const std::string root = NormalizePath(rootText);
    if (root.empty()) continue;
    const std::string folder = RecycledFolder(root);
    std::string indexFile = RecycledIndexInfo(folder);
    if (!ports_.files.FileExists(indexFile)) {
      indexFile = RecycledIndexInfo2(folder);
      // A drive without a bin index ends the drive loop.
      if (!ports_.files.FileExists(indexFile)) break;
    }
    WalkRecycled(context, folder, indexFile, count, size, 0);
  }
  Act(context, PathAction(ActionKind::kEmptyRecycleBin, std::string()), count, size);
}

void CSpotCleaner::WalkRecycled(CCleanRunContext& context, const std::string& folder, const std::string& indexFile,
                                int& count, double& size, int depth) {
  const std::string desktopIni = JoinPath(folder, "desktop.ini");
  ports_.files.List(folder, [&](const FsEntry& entry) {
    if (!context.Running()) return false;
    const std::string full = JoinPath(folder, entry.name);
    if (IsDirectory(entry)) {
      // A junction in the bin would lead the walk to its live target.
      if (!IsLink(entry) && entry.spellable && depth + 1 < kMaxDepth)
        WalkRecycled(context, full, indexFile, count, size, depth + 1);
      return true;
    }
    if (EqualsNoCase(full, indexFile) || EqualsNoCase(full, desktopIni)) return true;
    size += static_cast<double>(static_cast<uint32_t>(entry.size));
    ++count;
    ShowFilesAndSize(context, count, size);
    context.Log(logline::Deleting(full));
    if (entry.spellable) {
      CleanAction action = PathAction(ActionKind::kRecycleFile, full);
      action.bytes = entry.size;
      action.attributes = entry.attributes;
      Act(context, action, count, size);
    }
    context.control->PauseAfterFile();
    return true;
  });
}

bool CSpotCleaner::DeleteKeyTree(CCleanRunContext& context, RegRoot root, const std::string& key, int depth) {
  std::vector<std::string> children;
  if (depth < kMaxDepth && ports_.registry.SubKeys(root, key, children)) {
    for (const std::string& child : children) {
      const std::string path = key + "\\" + child;
      if (!DeleteKeyTree(context, root, path, depth + 1)) context.Log(logline::CouldNotDeleteKey(root, path));
    }
  }
  return Act(context, KeyAction(ActionKind::kDeleteKey, root, key), context.shownFiles, context.shownSize) ==
         ActionResult::kDone;
}

bool CSpotCleaner::CleanRegistryKey(CCleanRunContext& context, RegRoot root, const std::string& subKey) {
  if (root == RegRoot::kNone) {
    ports_.prompt.Ask(InvalidKeyPrompt(subKey));
    return false;
  }
  // Refused before anything is read: an empty or root-like key would empty
  // the hive itself.
  const std::string key = StripTrailing(StripLeading(subKey, '\\'), '\\');
  if (!IsUsableSubKey(key) || IsSharedRegistryKey(key) || key.find("\\\\") != std::string::npos) {
    context.Log(logline::KeySkipped(root, subKey));
    return false;
  }
  if (!ports_.registry.KeyExists(root, key)) return false;
  if (!DeleteKeyTree(context, root, key, 0)) {
    context.Log(logline::CouldNotDeleteKey(root, key));
    return false;
  }
  Act(context, KeyAction(ActionKind::kCreateKey, root, key), context.shownFiles, context.shownSize);
  return true;
}

void CSpotCleaner::CleanRegistry(CCleaningSpot& spot, CCleanRunContext& context) {
  int cleaned = 0;
  for (const CRegKeyEntry& entry : spot.RegKeys) {
    context.Log(logline::RegKey(entry.Root, entry.SubKey));
    if (CleanRegistryKey(context, entry.Root, entry.SubKey)) ++cleaned;
  }
  for (const CRegValueEntry& entry : spot.RegValues) {
    context.Log(logline::RegValue(entry.Root, entry.SubKey, entry.ValueName));
    if (entry.Root == RegRoot::kNone) {
      ports_.prompt.Ask(InvalidValuePrompt(entry.SubKey, entry.ValueName));
      continue;
    }
    if (!ports_.registry.ValueExists(entry.Root, entry.SubKey, entry.ValueName)) continue;
    CleanAction action = KeyAction(ActionKind::kDeleteValue, entry.Root, entry.SubKey);
    action.value = entry.ValueName;
    if (Act(context, action, context.shownFiles, context.shownSize) == ActionResult::kDone) ++cleaned;
  }
  // The Files column belongs to the files when the spot has folder entries;
  // a registry-only spot shows how many of its entries were cleaned.
  if (spot.Folders.empty()) context.keys = cleaned;
  context.control->PumpMessages();
}

void CSpotCleaner::CleanCookieCache(CCleanRunContext& context) {
  int count = 0;
  uint32_t bytes = 0;
  UrlCacheEntry entry;
  for (bool more = ports_.urlCache.First(kCookiePrefix, entry); more && context.Running();) {
    if (!ports_.environment.IsCookieIgnored(entry.sourceName)) {
      ++count;
      uint64_t length = 0;
      if (!entry.localFileName.empty() && ports_.files.FileLength(entry.localFileName, length))
        bytes += static_cast<uint32_t>(length);
      ShowFilesAndSize(context, count, bytes);
      // A deleted entry takes its file along: the Cookies folder walk that
      // follows must not count it again (a preview would, a clean cannot).
      if (Act(context, PathAction(ActionKind::kDeleteCacheEntry, entry.sourceName), count, bytes) ==
              ActionResult::kDone &&
          !entry.localFileName.empty())
        AddExclusion(context, FileNamePart(entry.localFileName));
    }
    more = ports_.urlCache.Next(entry);
    // An entry is no file: the window stays alive without the 10 ms pause,
    // which would add 50 s to 5,000 entries.
    context.control->PumpMessages();
  }
}

void CSpotCleaner::CleanVisitedCache(CCleanRunContext& context) {
  int count = 0;
  UrlCacheEntry entry;
  for (bool more = ports_.urlCache.First(kVisitedPrefix, entry); more && context.Running();) {
    ++count;
    ShowFilesAndSize(context, count, 0);
    Act(context, PathAction(ActionKind::kDeleteCacheEntry, entry.sourceName), count, 0);
    more = ports_.urlCache.Next(entry);
    context.control->PumpMessages();  // no file pause, as for cookies
  }
}

void CSpotCleaner::ClearUrlHistory(CCleanRunContext& context) {
  Act(context, PathAction(ActionKind::kClearHistory, std::string()), context.shownFiles, context.shownSize);
}

std::vector<std::string> CSpotCleaner::IgnoredCookieFiles() {
  std::vector<std::string> files;
  bool anyIgnored = false;
  UrlCacheEntry entry;
  for (bool more = ports_.urlCache.First(kCookiePrefix, entry); more; more = ports_.urlCache.Next(entry)) {
    if (!ports_.environment.IsCookieIgnored(entry.sourceName)) continue;
    anyIgnored = true;
    if (!entry.localFileName.empty()) files.push_back(FileNamePart(entry.localFileName));
  }
  // The cookies' entries live in the folder's index.dat: deleting it would
  // drop the entries of the kept cookies along with the rest.
  if (anyIgnored) files.push_back("index.dat");
  return files;
}

void CSpotCleaner::CleanAutoComplete(CCleanRunContext& context) {
  auto setDisplayString = [&](RegRoot root, const std::string& key) {
    CleanAction action = KeyAction(ActionKind::kSetStringValue, root, key);
    action.value = kDisplayStringName;
    action.text = kDisplayStringValue;
    Act(context, action, context.shownFiles, context.shownSize);
  };
  // Step A: the store named by the user's SID, whose access list may not
  // let the user delete it. Every failure here is silent.
  const std::string sid = ports_.environment.NtFamily() ? ports_.environment.UserSidText() : std::string();
  if (!sid.empty()) {
    const std::string store = FormStoreKey(sid);
    const CleanAction widen = PathAction(ActionKind::kWidenFormStore, sid);
    if (Act(context, widen, context.shownFiles, context.shownSize) == ActionResult::kDone) {
      CleanRegistryKey(context, RegRoot::kCurrentUser, store);
      setDisplayString(RegRoot::kCurrentUser, store);
    }
    Act(context, PathAction(ActionKind::kRestoreFormStore, sid), context.shownFiles, context.shownSize);
  }
  // Step B: the store named by the logon name, in the user's hive or else
  // the machine's.
  const std::string name = ports_.environment.LogonName();
  if (name.empty() || name.find('\\') != std::string::npos) return;
  const std::string path = FormStoreKey(name);
  for (RegRoot root : {RegRoot::kCurrentUser, RegRoot::kLocalMachine}) {
    if (CleanRegistryKey(context, root, path)) {
      context.Log(logline::CleanedFormStore(root, path));
      setDisplayString(root, path);
      return;
    }
  }
}

}  // namespace sh
