// Folder walks: folder entries, the Cookies and History folders, found.*
// folders at drive roots.
#include <windows.h>
#include <shlobj.h>

#include "engine/win_cleaners_win.h"
#include "paths/known_locations_win.h"
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

namespace {

// Folders whose own files and subfolders belong to the system or to the
// user's work. A stored location that could not be found (TMP unset makes
// the temporary folder the Windows folder, an empty token leaves its parent)
// must never turn a spot into a walk of one of these.
bool IsProtectedFolder(const std::string& folder) {
  const std::string f = StripTrailing(folder, '\\');
  const std::string profile = GetSpecialFolder(CSIDL_PROFILE);
  const size_t slash = profile.find_last_of('\\');
  const std::string candidates[] = {
      GetWindowsFolder(),
      GetSystemFolder(),
      GetSpecialFolder(CSIDL_PROGRAM_FILES),
      profile,
      // The folder that holds every user's profile.
      slash != std::string::npos && slash > 2 ? profile.substr(0, slash) : std::string(),
      GetSpecialFolder(CSIDL_PERSONAL),
      GetSpecialFolder(CSIDL_DESKTOPDIRECTORY),
      GetSpecialFolder(CSIDL_COMMON_DOCUMENTS),
      GetSpecialFolder(CSIDL_APPDATA),
      GetSpecialFolder(CSIDL_LOCAL_APPDATA),
      GetSpecialFolder(CSIDL_COMMON_APPDATA),
  };
  for (const std::string& c : candidates)
    if (!c.empty() && EqualsNoCase(f, c)) return true;
  return false;
}

// The walk below one folder or search pattern.
void Walk(CCleanRunContext& context, CFileDeleter& deleter, const std::string& path, const std::string& mask,
          int& count, double& size, bool topLevel) {
  const bool isPattern = path.find('*') != std::string::npos;
  std::string folder, name, pattern;
  if (isPattern) {
    size_t slash = path.find_last_of('\\');
    folder = path.substr(0, slash);
    name = path.substr(slash + 1);
    pattern = path;
  } else {
    folder = StripTrailing(path, '\\');
    name = mask;
    pattern = folder + "\\" + mask;
  }
  // A drive root or a protected folder is never walked into its subfolders,
  // and never emptied wholesale: only a named mask (*.log) may clean some of
  // its own files. A named pattern there (found.*) picks folders by name and
  // is walked as usual.
  const bool special = IsDriveRoot(folder) || (topLevel && IsProtectedFolder(folder));
  const bool atRoot = special && (!isPattern || IsOnlyWildcards(name));
  if (atRoot && IsOnlyWildcards(name)) {
    context.Log(logline::FolderEntrySkipped(path));
    return;
  }
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
        Walk(context, deleter, full, mask, count, size, false);
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
        // The search has just read the attributes; asking again would cost a
        // second look-up per file.
        DWORD attributes = found.dwFileAttributes;
        if (attributes & FILE_ATTRIBUTE_READONLY) {
          DWORD cleared = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
          SetFileAttributesA(full.c_str(), cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL);
        }
        context.Log(deleter.DeleteTrackFile(full) ? logline::Deleting(full) : logline::CouldNotDelete(full));
      }
    }
    context.control->PauseAfterFile();
  } while (FindNextFileA(search.get(), &found));
}

}  // namespace

void CWinSpotCleaners::CleanFolder(CCleanRunContext& context, const std::string& path, const std::string& mask,
                                   int& count, double& size) {
  // An unexpanded macro or a relative path would clean whatever the current
  // drive or folder is: such a path is never walked.
  if (!IsAbsolutePath(path)) {
    context.Log(logline::FolderEntrySkipped(path));
    return;
  }
  Walk(context, deleter_, path, mask, count, size, true);
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

std::string CWinSpotCleaners::WindowsFolder() { return GetWindowsFolder(); }

}  // namespace sh
