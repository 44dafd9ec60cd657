#include "panels/add_dialogs_win.h"

#include <shellapi.h>

#include "paths/reg_path.h"
#include "paths/reg_path_win.h"
#include "res/resource.h"
#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

constexpr LPARAM kChildrenRead = 1;
constexpr const char* kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};
// Registry tree images: a key, and the key that is selected.
constexpr int kKeyImage = 0, kOpenKeyImage = 1;

bool IsNotify(const NMHDR* header, UINT ansi, UINT wide) { return header->code == ansi || header->code == wide; }

// The rows of a list view that are selected, by their first column's text.
std::vector<std::string> SelectedTexts(const CListView& list) {
  std::vector<std::string> texts;
  const int rows = static_cast<int>(list.Send(LVM_GETITEMCOUNT));
  for (int row = 0; row < rows; ++row)
    if (list.IsSelected(row)) texts.push_back(list.ItemText(row, 0));
  return texts;
}

void PrepareAddedList(CListView& list) {
  list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
}

}  // namespace

ScopedImageList IconImageList(std::initializer_list<int> iconIds) {
  ScopedImageList images(CcImageListCreate(16, 16, ILC_COLOR32 | ILC_MASK, static_cast<int>(iconIds.size()), 0));
  if (!images) return images;
  for (int id : iconIds) {
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
    CcImageListAddIcon(images.get(), icon);
    if (icon) DestroyIcon(icon);
  }
  return images;
}

std::vector<bool> CAddDialogBase::TickedRows() const {
  std::vector<bool> ticked;
  const int rows = static_cast<int>(added_.Send(LVM_GETITEMCOUNT));
  for (int row = 0; row < rows; ++row)
    ticked.push_back(((added_.Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK) >> 12) & 0xF) == 2);
  return ticked;
}

bool CAddDialogBase::OnCommand(int id, int, HWND) {
  if (id == IDOK || id == IDCANCEL) {
    End(id);
    return true;
  }
  return false;
}

// --- Add Folders -------------------------------------------------------------

CAddFoldersDlg::CAddFoldersDlg(IPrompt& prompt, const std::vector<std::string>& itemTexts)
    : CAddDialogBase(IDD_ADD_FOLDERS, prompt), folders_(itemTexts) {}

BOOL CAddFoldersDlg::OnInit() {
  tree_.Bind(Item(IDC_ADD_FOLDER_TREE));
  added_ = CListView(Item(IDC_ADD_LIST));
  // Owned by the list once set (it has no shared-image-list style).
  added_.SetImageList(IconImageList({IDI_DRIVE, IDI_FOLDER_CLOSED, IDI_KIND_FOLDER}).release(), LVSIL_SMALL);
  added_.InsertColumn(0, "Folder Name", 300);
  added_.InsertColumn(1, "Include Subfolders", 110);
  added_.InsertColumn(2, "Delete Subfolders", 110);
  PrepareAddedList(added_);
  SetItemText(IDC_ADD_MASK, "*.*");
  SendMessageA(Item(IDC_ADD_MASK), EM_LIMITTEXT, MAX_PATH, 0);
  FillAdded();
  return TRUE;
}

void CAddFoldersDlg::FillAdded() {
  added_.DeleteAllItems();
  int row = 0;
  for (const CustomFolderItem& item : folders_.rows()) {
    added_.InsertItem(row, item.path, 1);
    added_.SetItemText(row, 1, item.includeSubFolders ? "Yes" : "No");
    added_.SetItemText(row, 2, item.deleteSubFolders ? "Yes" : "No");
    ++row;
  }
}

bool CAddFoldersDlg::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case IDC_ADD_INCLUDE_SUB: {
      const bool on = IsDlgButtonChecked(hwnd_, IDC_ADD_INCLUDE_SUB) == BST_CHECKED;
      if (!on) CheckDlgButton(hwnd_, IDC_ADD_DELETE_SUB, BST_UNCHECKED);
      EnableWindow(Item(IDC_ADD_DELETE_SUB), on);
      return true;
    }
    case IDC_ADD_SELECTED: {
      AddFocus focus = AddFocus::kNone;
      if (folders_.Add(prompt_, tree_.SelectedPath(), ItemText(IDC_ADD_MASK),
                       IsDlgButtonChecked(hwnd_, IDC_ADD_INCLUDE_SUB) == BST_CHECKED,
                       IsDlgButtonChecked(hwnd_, IDC_ADD_DELETE_SUB) == BST_CHECKED, &focus))
        FillAdded();
      if (focus == AddFocus::kTree) FocusOn(IDC_ADD_FOLDER_TREE);
      if (focus == AddFocus::kMask) FocusOn(IDC_ADD_MASK);
      return true;
    }
    case IDC_ADD_REMOVE:
      folders_.Remove(TickedRows());
      FillAdded();
      return true;
    case IDC_ADD_REMOVE_ALL:
      folders_.RemoveAll();
      FillAdded();
      return true;
    default:
      return CAddDialogBase::OnCommand(id, code, control);
  }
}

bool CAddFoldersDlg::OnNotify(int id, NMHDR* header, LRESULT* result) {
  if (id == IDC_ADD_FOLDER_TREE && IsNotify(header, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDINGW)) {
    tree_.OnExpanding(*reinterpret_cast<NMTREEVIEWA*>(header));
    *result = FALSE;
    return true;
  }
  return false;
}

// --- Add Files ---------------------------------------------------------------

CAddFilesDlg::CAddFilesDlg(IPrompt& prompt, std::vector<std::string> paths)
    : CAddDialogBase(IDD_ADD_FILES, prompt), files_(std::move(paths)) {}

BOOL CAddFilesDlg::OnInit() {
  tree_.Bind(Item(IDC_ADD_FILE_TREE));
  fileList_ = CListView(Item(IDC_ADD_FILE_LIST));
  fileList_.InsertColumn(0, "Name", 300);
  // The shell's own small icons: the list is made to share, never destroy, them.
  SHFILEINFOA info = {};
  const DWORD_PTR shellImages =
      SHGetFileInfoA("file.txt", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
  if (shellImages != 0) fileList_.SetImageList(reinterpret_cast<HIMAGELIST>(shellImages), LVSIL_SMALL);
  fileList_.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  added_ = CListView(Item(IDC_ADD_LIST));
  added_.InsertColumn(0, "Name", 500);
  PrepareAddedList(added_);
  FillAdded();
  return TRUE;
}

void CAddFilesDlg::FillAdded() {
  added_.DeleteAllItems();
  int row = 0;
  for (const std::string& path : files_.rows()) added_.InsertItem(row++, path);
}

void CAddFilesDlg::FillFileList() {
  fileList_.DeleteAllItems();
  folder_ = tree_.SelectedPath();
  if (folder_.empty()) return;
  const std::string folder = StripTrailing(folder_, '\\');
  WIN32_FIND_DATAA found = {};
  ScopedFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &found));
  if (!find) return;
  int row = 0;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;  // dot entries too
    SHFILEINFOA info = {};
    SHGetFileInfoA((folder + "\\" + found.cFileName).c_str(), 0, &info, sizeof info,
                   SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    fileList_.InsertItem(row++, found.cFileName, info.iIcon);
  } while (FindNextFileA(find.get(), &found));
}

void CAddFilesDlg::AddFiles(bool selectedOnly) {
  std::vector<std::string> names;
  if (selectedOnly) {
    names = SelectedTexts(fileList_);
  } else {
    const int rows = static_cast<int>(fileList_.Send(LVM_GETITEMCOUNT));
    for (int row = 0; row < rows; ++row) names.push_back(fileList_.ItemText(row, 0));
  }
  AddFocus focus = AddFocus::kNone;
  if (files_.Add(prompt_, folder_, names, selectedOnly, &focus) > 0) FillAdded();
  if (focus == AddFocus::kFileList) FocusOn(IDC_ADD_FILE_LIST);
}

bool CAddFilesDlg::OnCommand(int id, int code, HWND control) {
  switch (id) {
    case IDC_ADD_SELECTED: AddFiles(true); return true;
    case IDC_ADD_ALL_FILES: AddFiles(false); return true;
    case IDC_ADD_REMOVE:
      files_.Remove(TickedRows());
      FillAdded();
      return true;
    case IDC_ADD_REMOVE_ALL:
      files_.RemoveAll();
      FillAdded();
      return true;
    default:
      return CAddDialogBase::OnCommand(id, code, control);
  }
}

bool CAddFilesDlg::OnNotify(int id, NMHDR* header, LRESULT* result) {
  if (id != IDC_ADD_FILE_TREE) return false;
  if (IsNotify(header, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDINGW)) {
    tree_.OnExpanding(*reinterpret_cast<NMTREEVIEWA*>(header));
    *result = FALSE;
    return true;
  }
  if (IsNotify(header, TVN_SELCHANGEDA, TVN_SELCHANGEDW)) {
    FillFileList();
    *result = 0;
    return true;
  }
  return false;
}

// --- Add Registry Keys -------------------------------------------------------

CAddRegistryDlg::CAddRegistryDlg(IPrompt& prompt, const std::vector<std::string>& keys,
                                 const std::vector<std::string>& values)
    : CAddDialogBase(IDD_ADD_REGISTRY, prompt), registry_(keys, values) {}

BOOL CAddRegistryDlg::OnInit() {
  tree_ = CTreeView(Item(IDC_ADD_KEY_TREE));
  treeImages_ = IconImageList({IDI_FOLDER_CLOSED, IDI_KIND_FOLDER});
  tree_.SetImageList(treeImages_.get());
  for (const char* root : kRoots) {
    HTREEITEM item = tree_.Insert(TVI_ROOT, root, kKeyImage, kOpenKeyImage, 0, TVI_LAST, 1);
    ReadSubKeys(item);
  }
  values_ = CListView(Item(IDC_ADD_VALUE_LIST));
  values_.InsertColumn(0, "Name", 100);
  values_.InsertColumn(1, "Data", 100);
  values_.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  added_ = CListView(Item(IDC_ADD_KEYS_LIST));
  added_.InsertColumn(0, "Name", 500);
  PrepareAddedList(added_);
  FillAdded();
  return TRUE;
}

std::string CAddRegistryDlg::KeyPath(HTREEITEM item) const {
  std::vector<std::string> levels;
  for (HTREEITEM i = item; i != nullptr; i = tree_.Parent(i)) levels.insert(levels.begin(), tree_.ItemText(i));
  return JoinKeyPath(levels);
}

void CAddRegistryDlg::ReadSubKeys(HTREEITEM item) {
  tree_.SetItemData(item, kChildrenRead);
  const std::string path = KeyPath(item);
  ScopedHKey key;
  const std::string sub = SubKeyFromPath(path);
  int count = 0;
  if (RegOpenKeyExA(RootKeyHandle(RootKeyFromPath(path)), sub.empty() ? nullptr : sub.c_str(), 0,
                    KEY_ENUMERATE_SUB_KEYS, key.Receive()) == ERROR_SUCCESS) {
    char name[256] = {};  // a key name is at most 255 characters
    for (DWORD i = 0;; ++i) {
      DWORD length = sizeof name;
      const LONG read = RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (read == ERROR_MORE_DATA) continue;
      if (read != ERROR_SUCCESS) break;
      // Each key shows its button until it is opened and found empty.
      tree_.Insert(item, std::string(name, length), kKeyImage, kOpenKeyImage, 0, TVI_SORT, 1);
      ++count;
    }
  }
  if (count == 0) tree_.SetChildren(item, 0);
}

void CAddRegistryDlg::FillValues(const std::string& keyPath) {
  values_.DeleteAllItems();
  ScopedHKey key;
  const std::string sub = SubKeyFromPath(keyPath);
  if (RegOpenKeyExA(RootKeyHandle(RootKeyFromPath(keyPath)), sub.empty() ? nullptr : sub.c_str(), 0,
                    KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
    return;
  std::vector<char> name(16384);  // the longest value name
  int row = 0;
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(name.size());
    DWORD type = 0, size = 0;
    const LONG read = RegEnumValueA(key.get(), i, name.data(), &length, nullptr, &type, nullptr, &size);
    if (read != ERROR_SUCCESS) break;
    const std::string valueName(name.data(), length);
    // Only data that fits the shown 260 bytes is read at all.
    std::string data;
    if (size <= 260) {
      data.assign(size, '\0');
      DWORD got = size;
      if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, nullptr,
                           reinterpret_cast<BYTE*>(data.empty() ? nullptr : &data[0]), &got) != ERROR_SUCCESS)
        data.clear();
      data.resize(got <= size ? got : 0);
    } else {
      data.assign(261, '\0');
    }
    const RegDataKind kind = type == REG_SZ || type == REG_EXPAND_SZ ? RegDataKind::kString
                             : type == REG_DWORD                      ? RegDataKind::kNumber
                                                                      : RegDataKind::kOther;
    values_.InsertItem(row, RegistryValueShownName(valueName));
    values_.SetItemText(row, 1, RegistryValueDataText(kind, data));
    ++row;
  }
}

bool CAddRegistryDlg::SelectKeyPath(const std::string& keyPath) {
  std::vector<std::string> levels;
  size_t start = 0;
  for (size_t slash; (slash = keyPath.find('\\', start)) != std::string::npos; start = slash + 1)
    levels.push_back(keyPath.substr(start, slash - start));
  levels.push_back(keyPath.substr(start));
  HTREEITEM item = tree_.FindChild(TVI_ROOT, levels[0]);
  for (size_t i = 1; item != nullptr && i < levels.size(); ++i) {
    if (tree_.ItemData(item) != kChildrenRead) ReadSubKeys(item);
    tree_.Expand(item);
    item = tree_.FindChild(item, levels[i]);
  }
  return item != nullptr && tree_.Select(item);
}

void CAddRegistryDlg::FillAdded() {
  added_.DeleteAllItems();
  int row = 0;
  for (const CAddedRegistry::Row& r : registry_.rows()) {
    added_.InsertItem(row, r.text);
    // The row's data tells a key (0) from a value (1).
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row++;
    item.lParam = r.value ? 1 : 0;
    added_.Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

bool CAddRegistryDlg::OnCommand(int id, int code, HWND control) {
  AddFocus focus = AddFocus::kNone;
  HTREEITEM selected = tree_.Selection();
  const std::string keyPath = selected ? KeyPath(selected) : std::string();
  switch (id) {
    case IDC_ADD_KEY:
      if (registry_.AddKey(prompt_, keyPath, &focus)) FillAdded();
      break;
    case IDC_ADD_VALUE:
      if (registry_.AddValues(prompt_, keyPath, SelectedTexts(values_), &focus) > 0) FillAdded();
      break;
    case IDC_ADD_REMOVE:
      registry_.Remove(TickedRows());
      FillAdded();
      return true;
    case IDC_ADD_REMOVE_ALL:
      registry_.RemoveAll();
      FillAdded();
      return true;
    default:
      return CAddDialogBase::OnCommand(id, code, control);
  }
  if (focus == AddFocus::kTree) FocusOn(IDC_ADD_KEY_TREE);
  if (focus == AddFocus::kValueList) FocusOn(IDC_ADD_VALUE_LIST);
  return true;
}

bool CAddRegistryDlg::OnNotify(int id, NMHDR* header, LRESULT* result) {
  if (id != IDC_ADD_KEY_TREE) return false;
  const auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
  if (IsNotify(header, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDINGW)) {
    if ((change->action & TVE_EXPAND) && tree_.ItemData(change->itemNew.hItem) != kChildrenRead)
      ReadSubKeys(change->itemNew.hItem);
    *result = FALSE;
    return true;
  }
  if (IsNotify(header, TVN_SELCHANGEDA, TVN_SELCHANGEDW)) {
    HTREEITEM item = change->itemNew.hItem;
    if (tree_.ItemData(item) != kChildrenRead) ReadSubKeys(item);
    FillValues(KeyPath(item));
    *result = 0;
    return true;
  }
  return false;
}

}  // namespace sh
