#include "toolkit/folder_tree_win.h"

#include <shellapi.h>

#include <vector>

#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

constexpr LPARAM kChildrenRead = 1;

// The system image list's index for a path (or, with `generic`, for any
// folder, without touching the disk); 0 when the shell cannot tell.
int ShellIcon(const std::string& path, bool generic, bool open, HIMAGELIST* list = nullptr) {
  SHFILEINFOA info = {};
  UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
  if (generic) flags |= SHGFI_USEFILEATTRIBUTES;
  const DWORD_PTR images = SHGetFileInfoA(path.c_str(), generic ? FILE_ATTRIBUTE_DIRECTORY : 0, &info, sizeof info,
                                          flags);
  if (list != nullptr) *list = reinterpret_cast<HIMAGELIST>(images);
  return images != 0 ? info.iIcon : 0;
}

// NetShareEnum's level-1 record and its entry points, bound at run time:
// netapi32 is needed only here, and only when an add dialog opens.
struct ShareInfo1 {
  LPWSTR name;
  DWORD type;
  LPWSTR remark;
};
using NetShareEnumCall = DWORD(WINAPI*)(LPWSTR, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD, LPDWORD);
using NetApiBufferFreeCall = DWORD(WINAPI*)(LPVOID);
constexpr DWORD kDiskShare = 0;              // STYPE_DISKTREE
constexpr DWORD kSpecialShare = 0x80000000;  // STYPE_SPECIAL: C$, ADMIN$ and the like
constexpr DWORD kAllRecords = 0xFFFFFFFF;    // MAX_PREFERRED_LENGTH

}  // namespace

std::vector<std::string> LocalDiskShares() {
  std::vector<std::string> shares;
  char system[MAX_PATH + 1] = {};
  const UINT n = GetSystemDirectoryA(system, MAX_PATH);
  char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD computerSize = sizeof computer;
  if (n == 0 || n >= MAX_PATH || !GetComputerNameA(computer, &computerSize)) return shares;
  // By full path: never a netapi32.dll from the program's own folder.
  ScopedLibrary netapi(LoadLibraryA((std::string(system) + "\\netapi32.dll").c_str()));
  if (!netapi) return shares;
  NetShareEnumCall enumerate = nullptr;
  NetApiBufferFreeCall release = nullptr;
  if (!BindProc(netapi.get(), "NetShareEnum", enumerate) || !BindProc(netapi.get(), "NetApiBufferFree", release))
    return shares;
  LPBYTE buffer = nullptr;
  DWORD read = 0, total = 0, resume = 0;
  if (enumerate(nullptr, 1, &buffer, kAllRecords, &read, &total, &resume) != 0 || buffer == nullptr) {
    if (buffer != nullptr) release(buffer);
    return shares;
  }
  const auto* info = reinterpret_cast<const ShareInfo1*>(buffer);
  for (DWORD i = 0; i < read; ++i) {
    if ((info[i].type & 0xFF) != kDiskShare || (info[i].type & kSpecialShare) || info[i].name == nullptr) continue;
    char name[256] = {};
    if (WideCharToMultiByte(CP_ACP, 0, info[i].name, -1, name, sizeof name, nullptr, nullptr) > 0)
      shares.push_back(std::string("\\\\") + computer + "\\" + name);
  }
  release(buffer);
  return shares;
}

void CFolderTree::Bind(HWND tree) {
  Attach(tree);
  HIMAGELIST shellImages = nullptr;
  folderImage_ = ShellIcon("folder", true, false, &shellImages);
  openFolderImage_ = ShellIcon("folder", true, true);
  // The system's list is shared: a tree view never destroys its lists.
  if (shellImages != nullptr) SetImageList(shellImages);
  Refresh();
}

void CFolderTree::Refresh() {
  DeleteAll();
  char drives[4 * 26 + 2] = {};
  const DWORD n = GetLogicalDriveStringsA(sizeof drives - 1, drives);
  if (n == 0 || n >= sizeof drives) return;
  for (const char* d = drives; *d != '\0'; d += lstrlenA(d) + 1) {
    const UINT type = GetDriveTypeA(d);
    if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) continue;
    const std::string name = Format("%c:\\", d[0]);
    const int icon = ShellIcon(name, false, false);
    Insert(TVI_ROOT, name, icon, icon, 0, TVI_LAST, 1);
  }
  // The machine's own shared folders, as "\\COMPUTER\share", after the
  // drives; their folders open like a drive's.
  for (const std::string& share : LocalDiskShares()) {
    const int icon = ShellIcon(share, false, false);
    Insert(TVI_ROOT, share, icon, icon, 0, TVI_LAST, 1);
  }
}

void CFolderTree::OnExpanding(const NMTREEVIEWA& change) {
  if ((change.action & TVE_EXPAND) && ItemData(change.itemNew.hItem) != kChildrenRead)
    ReadChildren(change.itemNew.hItem);
}

void CFolderTree::ReadChildren(HTREEITEM item) {
  SetItemData(item, kChildrenRead);
  const std::string folder = FullPath(item);
  WIN32_FIND_DATAA found = {};
  ScopedFindHandle find(FindFirstFileA((StripTrailing(folder, '\\') + "\\*").c_str(), &found));
  int count = 0;
  if (find) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
      if (lstrcmpA(found.cFileName, ".") == 0 || lstrcmpA(found.cFileName, "..") == 0) continue;
      // Each folder shows its button until it is opened and found empty.
      Insert(item, found.cFileName, folderImage_, openFolderImage_, 0, TVI_SORT, 1);
      ++count;
    } while (FindNextFileA(find.get(), &found));
  }
  if (count == 0) SetChildren(item, 0);
}

std::string CFolderTree::FullPath(HTREEITEM item) const {
  std::vector<std::string> levels;
  for (HTREEITEM i = item; i != nullptr; i = Parent(i)) levels.push_back(ItemText(i));
  std::string path;
  for (auto it = levels.rbegin(); it != levels.rend(); ++it)
    path = path.empty() ? *it : StripTrailing(path, '\\') + "\\" + *it;
  return path;
}

bool CFolderTree::SelectPath(const std::string& path) {
  std::vector<std::string> levels;
  size_t start = 0;
  for (size_t slash; (slash = path.find('\\', start)) != std::string::npos; start = slash + 1)
    levels.push_back(path.substr(start, slash - start));
  levels.push_back(path.substr(start));
  if (levels.empty() || levels[0].empty()) return false;
  HTREEITEM item = FindChild(TVI_ROOT, levels[0] + "\\");
  for (size_t i = 1; item != nullptr && i < levels.size(); ++i) {
    if (levels[i].empty()) continue;
    if (ItemData(item) != kChildrenRead) ReadChildren(item);
    Expand(item);
    item = FindChild(item, levels[i]);
  }
  return item != nullptr && Select(item);
}

}  // namespace sh
