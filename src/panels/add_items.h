// What the three add dialogs of the custom plugin wizard (Add Folders, Add
// Files, Add Registry Keys) decide without Win32: the "?"-joined folder item
// texts, the paths they build, what the registry value list shows, and each
// dialog's "added" list with the result list(s) it stands for. The dialogs
// map their controls onto these; every message is told through IPrompt.
#pragma once

#include <string>
#include <vector>

#include "model/custom_plugin_file.h"
#include "toolkit/seams.h"

namespace sh {

extern const char kSelectFolderText[];       // "Please select a folder from the tree above"
extern const char kEnterMaskText[];          // "Please enter a mask"
extern const char kFolderAddedText[];        // "Folder already added, ..."
extern const char kSelectFilesText[];        // "Please select file(s) from the list"
extern const char kFilesPresentText[];       // "One or more files were already present ..."
extern const char kSelectKeyText[];          // "Please select a registry key from the tree above"
extern const char kKeyAddedText[];           // "Key already added in the list"
extern const char kSelectValuesText[];       // "Please select one or more values from the list and then add"
extern const char kNoKeySelectedText[];      // "No Key Selected"
extern const char kValuesAddedText[];        // "Some of the values were already added in the list, ..."
extern const char kRootKeyRefusedText[];     // a whole root is never a key item
extern const char kDefaultValueName[];       // "(Default)"

// "%s?%d?%d": the folder path (with its mask), Include and Delete Subfolders.
std::string FolderItemText(const CustomFolderItem& item);
// The inverse. The flags are the last two "?"-separated fields, so a mask
// that itself holds "?" (a one-character wildcard) keeps its path whole.
CustomFolderItem ParseFolderItemText(const std::string& text);

// `folder` without its trailing backslashes, one backslash, then `name`
// (a mask or a file name): C:\Temp\ + *.tmp = C:\Temp\*.tmp.
std::string JoinFolderPath(const std::string& folder, const std::string& name);
// A registry key path from its tree levels (root name first).
std::string JoinKeyPath(const std::vector<std::string>& levels);

// A registry key text that names a whole root (HKEY_CURRENT_USER, with or
// without trailing backslashes, or any text with nothing below its root):
// cleaning it would empty the root, so it is never a key item.
bool IsWholeRegistryRoot(const std::string& keyText);

// The value list's Name column: the name without surrounding spaces, or
// "(Default)" for the unnamed value.
std::string RegistryValueShownName(const std::string& name);
// The value list's Data column: strings as text (up to their first zero),
// 32-bit numbers as "0x%x", nothing for other types or for data longer than
// the 260 bytes the list shows.
enum class RegDataKind { kString, kNumber, kOther };
std::string RegistryValueDataText(RegDataKind kind, const std::string& bytes);

// Which control a refused addition puts the focus on.
enum class AddFocus { kNone, kTree, kMask, kFileList, kValueList };

// The Add Folders dialog's added list: one row per folder item.
class CAddedFolders {
 public:
  explicit CAddedFolders(const std::vector<std::string>& itemTexts);
  // "Add Selected Folder": `folder` is the tree's selection (empty: none).
  // True when a row was added; otherwise the reason was told and *focus
  // names the control to go to.
  bool Add(IPrompt& prompt, const std::string& folder, const std::string& mask, bool include, bool deleteSub,
           AddFocus* focus);
  // Deletes the rows whose flag is set (rows past the flags stay).
  void Remove(const std::vector<bool>& ticked);
  void RemoveAll() { rows_.clear(); }
  const std::vector<CustomFolderItem>& rows() const { return rows_; }
  // The result handed back to the wizard.
  std::vector<std::string> ItemTexts() const;

 private:
  std::vector<CustomFolderItem> rows_;
};

// The Add Files dialog's added list: one full path per row.
class CAddedFiles {
 public:
  explicit CAddedFiles(std::vector<std::string> paths) : rows_(std::move(paths)) {}
  // "Add" (`names` the selected files) and "Add All Files" (every file of
  // the list, no selection needed: nothing to add is no message). Paths
  // already listed are skipped and told once. The number of rows added.
  int Add(IPrompt& prompt, const std::string& folder, const std::vector<std::string>& names, bool selectionNeeded,
          AddFocus* focus);
  void Remove(const std::vector<bool>& ticked);
  void RemoveAll() { rows_.clear(); }
  const std::vector<std::string>& rows() const { return rows_; }

 private:
  std::vector<std::string> rows_;
};

// The Add Registry Keys dialog's added list: keys and values in one list,
// told apart by the row's kind.
class CAddedRegistry {
 public:
  struct Row {
    std::string text;
    bool value = false;
  };
  // The keys first, then the values.
  CAddedRegistry(const std::vector<std::string>& keys, const std::vector<std::string>& values);
  // "Add Registry Key": `keyPath` empty when no key is selected.
  bool AddKey(IPrompt& prompt, const std::string& keyPath, AddFocus* focus);
  // "Add Registry Value": `shownNames` the selected rows' names as the value
  // list shows them. The number of rows added.
  int AddValues(IPrompt& prompt, const std::string& keyPath, const std::vector<std::string>& shownNames,
                AddFocus* focus);
  void Remove(const std::vector<bool>& ticked);
  void RemoveAll() { rows_.clear(); }
  const std::vector<Row>& rows() const { return rows_; }
  std::vector<std::string> Keys() const;
  std::vector<std::string> Values() const;

 private:
  bool Listed(const std::string& text, bool value) const;
  std::vector<Row> rows_;
};

}  // namespace sh
