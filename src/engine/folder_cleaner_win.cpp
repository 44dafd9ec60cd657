// Folder walks: folder entries, the Cookies and History folders, found.*
// folders at drive roots.
#include <windows.h>

#include "engine/win_cleaners_win.h"
#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

// "*", "*.*", "*." and the like: at a drive root such a pattern means the
// root itself, not a set of named folders.
bool IsOnlyWildcards(const std::string& name) {
  return !name.empty() && name.find_first_not_of("*?.") == std::string::npos;
}

}  // namespace

std::vector<std::string> LocalDriveRoots() {
  std::vector<std::string> roots;
  char buffer[512];
  DWORD n = GetLogicalDriveStringsA(sizeof buffer, buffer);
  if (n == 0 || n >= sizeof buffer) return roots;
  for (const char* p = buffer; *p != '\0'; p += lstrlenA(p) + 1) {
    UINT type = GetDriveTypeA(p);
    if (type == DRIVE_CDROM || type == DRIVE_REMOVABLE || type == DRIVE_REMOTE) continue;
    roots.emplace_back(p);
  }
  return roots;
}

void CWinSpotCleaners::CleanFolders(CCleaningSpot& spot, CCleanRunContext& context) {
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
    if (context.deleteRootDir && IsAbsolutePath(entry.Path) && !IsDriveRoot(entry.Path))
      RemoveDirectoryA(entry.Path.c_str());
  }
}

void CWinSpotCleaners::CleanFolder(CCleanRunContext& context, const std::string& path, const std::string& mask,
                                   int& count, double& size) {
  // An unexpanded macro or a relative path would clean whatever the current
  // drive or folder is: such a path is never walked.
  if (!IsAbsolutePath(path)) {
    context.Log(logline::FolderEntrySkipped(path));
    return;
  }
  std::string pattern, folder;
  bool atRoot;
  if (path.find('*') != std::string::npos) {
    pattern = path;
    size_t slash = path.find_last_of('\\');
    folder = path.substr(0, slash);
    atRoot = IsDriveRoot(folder) && IsOnlyWildcards(path.substr(slash + 1));
  } else {
    folder = StripTrailing(path, '\\');
    pattern = folder + "\\" + mask;
    atRoot = IsDriveRoot(folder);
  }
  // A drive root is never walked into its subfolders: only its own files
  // that match the mask are cleaned.
  const bool descend = context.includeSubFolders != 0 && !atRoot;
  const bool removeSubs = context.deleteSubFolders != 0 && !atRoot;

  WIN32_FIND_DATAA found;
  ScopedFindHandle search(FindFirstFileA(pattern.c_str(), &found));
  if (!search.valid()) return;
  do {
    if (!context.Running()) break;
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string full = folder + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ++count;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // A junction or symbolic link: walking it would empty its target.
        // Removing it removes only the link.
        context.Log(logline::LinkNotEntered(full));
        if (removeSubs) {
          context.Log(logline::CleaningDirectory(full));
          RemoveDirectoryA(full.c_str());
        }
        continue;
      }
      if (descend) {
        CleanFolder(context, full, mask, count, size);
        if (removeSubs) {
          context.Log(logline::CleaningDirectory(full));
          RemoveDirectoryA(full.c_str());
        }
      }
      continue;
    }
    if (!IsExcludedFile(context, full)) {
      size += static_cast<double>(found.nFileSizeLow);
      ++count;
      ShowFilesAndSize(context, count, size);
      if (!context.wipeName.empty() && EqualsNoCase(name, context.wipeName)) {
        context.Log(logline::WipingIndexDat(full));
        if (!WipeIndexDat(full)) {
          MoveFileExA(full.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
          context.Log(logline::RebootDeleting(full));
        }
      } else {
        DWORD attributes = GetFileAttributesA(full.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
          DWORD cleared = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
          SetFileAttributesA(full.c_str(), cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL);
        }
        context.Log(deleter_.DeleteTrackFile(full) ? logline::Deleting(full) : logline::CouldNotDelete(full));
      }
    }
    context.control->PauseAfterFile();
  } while (FindNextFileA(search.get(), &found));
}

void CWinSpotCleaners::CleanFoundFolders(CCleaningSpot&, CCleanRunContext& context) {
  int count = 0;
  double size = 0;
  for (const std::string& root : LocalDriveRoots()) {
    std::string pattern = StripTrailing(root, '\\') + "\\found.*";
    context.Log(logline::CleaningFoundFolder(pattern));
    context.deleteRootDir = context.deleteSubFolders = context.includeSubFolders = 1;
    CleanFolder(context, pattern, "*.*", count, size);
  }
}

std::string CWinSpotCleaners::WindowsFolder() {
  char buffer[MAX_PATH + 1] = {};
  UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
  return (n == 0 || n > MAX_PATH) ? std::string() : std::string(buffer, n);
}

}  // namespace sh
