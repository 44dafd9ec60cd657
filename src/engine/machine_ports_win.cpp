#include "engine/machine_ports_win.h"

#include <windows.h>
#include <shlobj.h>

#include <array>
#include <cstdint>

#include "engine/cookie_ignore.h"
#include "engine/path_rules.h"
#include "engine/special_stores_win.h"
#include "engine/wide_path_win.h"
#include "paths/known_locations_win.h"
#include "paths/reg_path_win.h"
#include "toolkit/platform_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

ListResult CWinFileSystemView::List(const std::string& folder, const std::function<bool(const FsEntry&)>& visit) {
  const std::wstring wide = ExactWidePath(folder);
  if (wide.empty()) return ListResult::kFailed;
  const std::wstring pattern = wide + (wide.back() == L'\\' ? L"*" : L"\\*");
  WIN32_FIND_DATAW found;
  ScopedFindHandle search(FindFirstFileW(pattern.c_str(), &found));
  if (!search.valid()) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ListResult::kMissing;
    // A drive root lists no "." entry: an empty one finds nothing at all.
    return error == ERROR_FILE_NOT_FOUND && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ListResult::kListed
                                                                                    : ListResult::kFailed;
  }
  do {
    if (std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0) continue;
    FsEntry entry;
    entry.name = NarrowName(found.cFileName, entry.spellable);
    entry.attributes = found.dwFileAttributes;
    entry.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    if (!visit(entry)) break;
  } while (FindNextFileW(search.get(), &found));
  return ListResult::kListed;
}

std::string CWinFileSystemView::LongPath(const std::string& path) {
  // Each component's long name as its folder lists it, on exact spellings.
  // (GetLongPathNameW does the same, but Wine hands a "\\?\" path back
  // unexpanded, and without the prefix a trailing space or dot is trimmed.)
  const std::string normal = NormalizePath(path);
  if (normal.empty() || normal.find_first_of("*?") != std::string::npos) return path;
  // A generated short name always has a '~' (PROGRA~1, and Wine's hashed
  // PROG~FBU); a name without one is its own long name. Only an
  // administrator can set another short name by hand.
  if (normal.find('~') == std::string::npos) return normal;
  std::vector<std::string> names;
  std::string resolved = normal;
  for (std::string up = ParentPath(resolved); !up.empty(); resolved = up, up = ParentPath(resolved))
    names.push_back(LastComponent(resolved));
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    if (name->find('~') == std::string::npos) {
      resolved = JoinPath(resolved, *name);
      continue;
    }
    const std::wstring wide = ExactWidePath(JoinPath(resolved, *name));
    WIN32_FIND_DATAW found;
    ScopedFindHandle search(wide.empty() ? INVALID_HANDLE_VALUE : FindFirstFileW(wide.c_str(), &found));
    if (!search.valid()) return path;
    bool exact = true;
    const std::string longName = NarrowName(found.cFileName, exact);
    if (!exact) return path;
    resolved = JoinPath(resolved, longName);
  }
  return resolved;
}

bool CWinFileSystemView::FileExists(const std::string& path) {
  const std::wstring wide = ExactWidePath(path);
  return !wide.empty() && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CWinFileSystemView::FileLength(const std::string& path, uint64_t& length) {
  const std::wstring wide = ExactWidePath(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (wide.empty() || !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return false;
  length = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

bool CWinRegistryView::KeyExists(RegRoot root, const std::string& key) {
  HKEY handle = RootKeyHandle(root);
  ScopedHKey opened;
  return handle != nullptr && RegOpenKeyExA(handle, key.c_str(), 0, KEY_READ, opened.Receive()) == ERROR_SUCCESS;
}

bool CWinRegistryView::ValueExists(RegRoot root, const std::string& key, const std::string& value) {
  HKEY handle = RootKeyHandle(root);
  ScopedHKey opened;
  if (handle == nullptr || RegOpenKeyExA(handle, key.c_str(), 0, KEY_QUERY_VALUE, opened.Receive()) != ERROR_SUCCESS)
    return false;
  const LONG result = RegQueryValueExA(opened.get(), value.c_str(), nullptr, nullptr, nullptr, nullptr);
  return result == ERROR_SUCCESS || result == ERROR_MORE_DATA;
}

bool CWinRegistryView::SubKeys(RegRoot root, const std::string& key, std::vector<std::string>& names) {
  names.clear();
  HKEY handle = RootKeyHandle(root);
  ScopedHKey opened;
  if (handle == nullptr ||
      RegOpenKeyExA(handle, key.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, opened.Receive()) != ERROR_SUCCESS)
    return false;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(opened.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return true;
}

CWinCleanEnvironment::CWinCleanEnvironment(ISettingsStore& settings, std::optional<bool> ntFamily)
    : settings_(settings), ntFamily_(ntFamily.has_value() ? *ntFamily : PlatformIsNtFamily()) {}

std::vector<std::string> CWinCleanEnvironment::DriveRoots() { return LocalDriveRoots(); }

namespace {

// The shell names its folders from these keys; moving a folder (Documents
// to another drive, say) writes the new place here. Zero when missing.
uint64_t ShellFoldersStamp(HKEY root) {
  ScopedHKey key;
  if (RegOpenKeyExA(root, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0,
                    KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
    return 0;
  FILETIME written = {};
  if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, &written) != ERROR_SUCCESS)
    return 0;
  return (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

}  // namespace

std::vector<std::string> CWinCleanEnvironment::ProtectedFolders() {
  // Every run asks; the shell is asked again only when a folder may have
  // moved since the last answer (18 shell queries against two key reads).
  const std::array<uint64_t, 2> stamps = {ShellFoldersStamp(HKEY_CURRENT_USER), ShellFoldersStamp(HKEY_LOCAL_MACHINE)};
  if (!protectedRead_ || stamps != protectedStamps_) {
    protected_ = ReadProtectedFolders();
    protectedStamps_ = stamps;
    protectedRead_ = true;
  }
  return protected_;
}

std::vector<std::string> CWinCleanEnvironment::ReadProtectedFolders() {
  const std::string profile = GetSpecialFolder(CSIDL_PROFILE);
  const size_t slash = profile.find_last_of('\\');
  std::vector<std::string> folders = {
      GetWindowsFolder(),
      GetSystemFolder(),
      GetSpecialFolder(CSIDL_PROGRAM_FILES),
      GetSpecialFolder(CSIDL_PROGRAM_FILES_COMMON),
      profile,
      // The folder that holds every user's profile.
      slash != std::string::npos && slash > 2 ? profile.substr(0, slash) : std::string(),
      GetSpecialFolder(CSIDL_PERSONAL),
      GetSpecialFolder(CSIDL_DESKTOPDIRECTORY),
      GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY),
      GetSpecialFolder(CSIDL_COMMON_DOCUMENTS),
      GetSpecialFolder(CSIDL_MYPICTURES),
      GetSpecialFolder(CSIDL_MYMUSIC),
      GetSpecialFolder(CSIDL_MYVIDEO),
      GetSpecialFolder(CSIDL_FAVORITES),
      GetSpecialFolder(CSIDL_APPDATA),
      GetSpecialFolder(CSIDL_LOCAL_APPDATA),
      GetLocalLowFolder(),  // empty on XP
      GetSpecialFolder(CSIDL_COMMON_APPDATA),
      GetSpecialFolder(CSIDL_STARTMENU),
      GetSpecialFolder(CSIDL_COMMON_STARTMENU),
  };
  return folders;
}

std::string CWinCleanEnvironment::WindowsFolder() { return GetWindowsFolder(); }
std::string CWinCleanEnvironment::CookiesFolder() { return GetSpecialFolder(CSIDL_COOKIES); }
std::string CWinCleanEnvironment::HistoryFolder() { return GetSpecialFolder(CSIDL_HISTORY); }
std::string CWinCleanEnvironment::UserSidText() { return CurrentUserSidText(); }

std::string CWinCleanEnvironment::LogonName() {
  char name[260] = {};
  DWORD length = sizeof name;
  return GetUserNameA(name, &length) ? std::string(name) : std::string();
}

bool CWinCleanEnvironment::IsCookieIgnored(const std::string& sourceName) {
  return sh::IsCookieIgnored(settings_, sourceName);
}

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

}  // namespace sh
