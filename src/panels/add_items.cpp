#include "panels/add_items.h"

#include <cstring>

#include "paths/reg_path.h"
#include "toolkit/text.h"

namespace sh {

const char kSelectFolderText[] = "Please select a folder from the tree above";
const char kEnterMaskText[] = "Please enter a mask";
const char kFolderAddedText[] =
    "Folder already added, if you want to change the folder option delete this entry and add again";
const char kSelectFilesText[] = "Please select file(s) from the list";
const char kFilesPresentText[] =
    "One or more files were already present in the added files list, they have not been added";
const char kSelectKeyText[] = "Please select a registry key from the tree above";
const char kKeyAddedText[] = "Key already added in the list";
const char kSelectValuesText[] = "Please select one or more values from the list and then add";
const char kNoKeySelectedText[] = "No Key Selected";
const char kValuesAddedText[] = "Some of the values were already added in the list, they have not been added";
const char kRootKeyRefusedText[] =
    "A whole registry root cannot be added as a key: cleaning it would empty the entire root.\n"
    "Please select a key below it.";
const char kDefaultValueName[] = "(Default)";

namespace {

void Tell(IPrompt& prompt, const char* text) {
  PromptRequest request;
  request.text = text;
  prompt.Ask(request);
}

// Keeps the rows whose flag is clear; rows past the flags stay.
template <typename T>
void RemoveFlagged(std::vector<T>& rows, const std::vector<bool>& ticked) {
  std::vector<T> kept;
  for (size_t i = 0; i < rows.size(); ++i)
    if (i >= ticked.size() || !ticked[i]) kept.push_back(std::move(rows[i]));
  rows = std::move(kept);
}

}  // namespace

std::string FolderItemText(const CustomFolderItem& item) {
  return Format("%s?%d?%d", item.path.c_str(), item.includeSubFolders ? 1 : 0, item.deleteSubFolders ? 1 : 0);
}

CustomFolderItem ParseFolderItemText(const std::string& text) {
  CustomFolderItem item;
  const size_t second = text.rfind('?');
  const size_t first = second == std::string::npos || second == 0 ? std::string::npos : text.rfind('?', second - 1);
  if (first == std::string::npos) {
    item.path = text.substr(0, text.find('?'));
    return item;
  }
  item.path = text.substr(0, first);
  item.includeSubFolders = text.compare(first + 1, second - first - 1, "1") == 0;
  item.deleteSubFolders = text.compare(second + 1, std::string::npos, "1") == 0;
  return item;
}

std::string JoinFolderPath(const std::string& folder, const std::string& name) {
  return StripTrailing(folder, '\\') + "\\" + name;
}

std::string JoinKeyPath(const std::vector<std::string>& levels) {
  std::string path;
  for (const std::string& level : levels) path += (path.empty() ? "" : "\\") + level;
  return path;
}

bool IsWholeRegistryRoot(const std::string& keyText) {
  return !IsUsableSubKey(SubKeyFromPath(keyText));
}

std::string RegistryValueShownName(const std::string& name) {
  const size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return kDefaultValueName;
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

std::string RegistryValueDataText(RegDataKind kind, const std::string& bytes) {
  constexpr size_t kShownBytes = 260;
  if (bytes.size() > kShownBytes) return std::string();
  if (kind == RegDataKind::kString) return std::string(bytes.c_str());
  if (kind == RegDataKind::kNumber && bytes.size() == 4) {
    unsigned number = 0;
    std::memcpy(&number, bytes.data(), 4);
    return Format("0x%x", number);
  }
  return std::string();
}

CAddedFolders::CAddedFolders(const std::vector<std::string>& itemTexts) {
  for (const std::string& text : itemTexts) rows_.push_back(ParseFolderItemText(text));
}

bool CAddedFolders::Add(IPrompt& prompt, const std::string& folder, const std::string& mask, bool include,
                        bool deleteSub, AddFocus* focus) {
  *focus = AddFocus::kNone;
  if (folder.empty()) {
    Tell(prompt, kSelectFolderText);
    *focus = AddFocus::kTree;
    return false;
  }
  const std::string trimmedMask = TrimWhite(mask);
  if (trimmedMask.empty()) {
    Tell(prompt, kEnterMaskText);
    *focus = AddFocus::kMask;
    return false;
  }
  const std::string path = JoinFolderPath(folder, trimmedMask);
  for (const CustomFolderItem& row : rows_)
    if (EqualsNoCase(row.path, path)) {
      Tell(prompt, kFolderAddedText);
      return false;
    }
  // Subfolders are deleted only where they are walked.
  rows_.push_back(CustomFolderItem{path, include, include && deleteSub});
  return true;
}

void CAddedFolders::Remove(const std::vector<bool>& ticked) { RemoveFlagged(rows_, ticked); }

std::vector<std::string> CAddedFolders::ItemTexts() const {
  std::vector<std::string> texts;
  for (const CustomFolderItem& row : rows_) texts.push_back(FolderItemText(row));
  return texts;
}

int CAddedFiles::Add(IPrompt& prompt, const std::string& folder, const std::vector<std::string>& names,
                     bool selectionNeeded, AddFocus* focus) {
  *focus = AddFocus::kNone;
  if (names.empty()) {
    if (selectionNeeded) {
      Tell(prompt, kSelectFilesText);
      *focus = AddFocus::kFileList;
    }
    return 0;
  }
  int added = 0;
  bool skipped = false;
  for (const std::string& name : names) {
    const std::string path = JoinFolderPath(folder, name);
    bool listed = false;
    for (const std::string& row : rows_) listed = listed || EqualsNoCase(row, path);
    if (listed) {
      skipped = true;
      continue;
    }
    rows_.push_back(path);
    ++added;
  }
  if (skipped) Tell(prompt, kFilesPresentText);
  return added;
}

void CAddedFiles::Remove(const std::vector<bool>& ticked) { RemoveFlagged(rows_, ticked); }

CAddedRegistry::CAddedRegistry(const std::vector<std::string>& keys, const std::vector<std::string>& values) {
  for (const std::string& key : keys) rows_.push_back(Row{key, false});
  for (const std::string& value : values) rows_.push_back(Row{value, true});
}

bool CAddedRegistry::Listed(const std::string& text, bool value) const {
  for (const Row& row : rows_)
    if (row.value == value && EqualsNoCase(row.text, text)) return true;
  return false;
}

bool CAddedRegistry::AddKey(IPrompt& prompt, const std::string& keyPath, AddFocus* focus) {
  *focus = AddFocus::kNone;
  if (keyPath.empty()) {
    Tell(prompt, kSelectKeyText);
    *focus = AddFocus::kTree;
    return false;
  }
  if (IsWholeRegistryRoot(keyPath)) {
    Tell(prompt, kRootKeyRefusedText);
    *focus = AddFocus::kTree;
    return false;
  }
  if (Listed(keyPath, false)) {
    Tell(prompt, kKeyAddedText);
    return false;
  }
  rows_.push_back(Row{keyPath, false});
  return true;
}

int CAddedRegistry::AddValues(IPrompt& prompt, const std::string& keyPath,
                              const std::vector<std::string>& shownNames, AddFocus* focus) {
  *focus = AddFocus::kNone;
  if (shownNames.empty()) {
    Tell(prompt, kSelectValuesText);
    *focus = AddFocus::kValueList;
    return 0;
  }
  if (keyPath.empty()) {
    Tell(prompt, kNoKeySelectedText);
    *focus = AddFocus::kTree;
    return 0;
  }
  int added = 0;
  bool skipped = false;
  for (const std::string& name : shownNames) {
    const std::string text = keyPath + "\\" + name;
    if (Listed(text, true)) {
      skipped = true;
      continue;
    }
    rows_.push_back(Row{text, true});
    ++added;
  }
  if (skipped) Tell(prompt, kValuesAddedText);
  return added;
}

void CAddedRegistry::Remove(const std::vector<bool>& ticked) { RemoveFlagged(rows_, ticked); }

std::vector<std::string> CAddedRegistry::Keys() const {
  std::vector<std::string> keys;
  for (const Row& row : rows_)
    if (!row.value) keys.push_back(row.text);
  return keys;
}

std::vector<std::string> CAddedRegistry::Values() const {
  std::vector<std::string> values;
  for (const Row& row : rows_)
    if (row.value) values.push_back(row.text);
  return values;
}

}  // namespace sh
