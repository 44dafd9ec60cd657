// The custom plugin wizard's three modal add dialogs: Add Folders (181),
// Add Files (184) and Add Registry Keys (185). Each is given the wizard's
// items of its kind, shows them in its "added" list and hands the whole list
// back after OK. The decisions are in panels/add_items.h.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "panels/add_items.h"
#include "toolkit/common_controls_win.h"
#include "toolkit/controls_win.h"
#include "toolkit/folder_tree_win.h"
#include "toolkit/seams.h"
#include "toolkit/tree_view_win.h"
#include "toolkit/window_win.h"

namespace sh {

// Runs an add dialog: modally for the program; tests script it.
class IAddDialogRunner {
 public:
  virtual ~IAddDialogRunner() = default;
  virtual INT_PTR Run(CDialog& dialog, HWND owner) = 0;
};

class CModalAddDialogRunner : public IAddDialogRunner {
 public:
  INT_PTR Run(CDialog& dialog, HWND owner) override { return dialog.DoModal(owner); }
};

// A 16 x 16 image list of these icon resources, in this order.
ScopedImageList IconImageList(std::initializer_list<int> iconIds);

// What the three dialogs share: the added list with its check boxes, the
// prompt, Remove, Remove All, OK and Cancel.
class CAddDialogBase : public CDialog {
 public:
  const CListView& added_list() const { return added_; }

 protected:
  CAddDialogBase(int templateId, IPrompt& prompt) : CDialog(templateId), prompt_(prompt) {}
  // The ticked rows of the added list, top to bottom.
  std::vector<bool> TickedRows() const;
  void FocusOn(int id) const { SetFocus(Item(id)); }
  // OK and Cancel end the dialog; a panel's Enter never reaches here.
  bool OnCommand(int id, int code, HWND control) override;

  IPrompt& prompt_;
  CListView added_;
};

class CAddFoldersDlg : public CAddDialogBase {
 public:
  // `itemTexts`: "%s?%d?%d" texts (path, Include, Delete Subfolders).
  CAddFoldersDlg(IPrompt& prompt, const std::vector<std::string>& itemTexts);
  std::vector<std::string> Result() const { return folders_.ItemTexts(); }
  CFolderTree& tree() { return tree_; }

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(int id, NMHDR* header, LRESULT* result) override;

 private:
  void FillAdded();

  CAddedFolders folders_;
  CFolderTree tree_;
};

class CAddFilesDlg : public CAddDialogBase {
 public:
  CAddFilesDlg(IPrompt& prompt, std::vector<std::string> paths);
  std::vector<std::string> Result() const { return files_.rows(); }
  CFolderTree& tree() { return tree_; }
  const CListView& file_list() const { return fileList_; }

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(int id, NMHDR* header, LRESULT* result) override;

 private:
  // The selected folder's own files.
  void FillFileList();
  void AddFiles(bool selectedOnly);
  void FillAdded();

  CAddedFiles files_;
  CFolderTree tree_;
  CListView fileList_;
  std::string folder_;  // the folder the file list shows
};

class CAddRegistryDlg : public CAddDialogBase {
 public:
  CAddRegistryDlg(IPrompt& prompt, const std::vector<std::string>& keys, const std::vector<std::string>& values);
  std::vector<std::string> KeysResult() const { return registry_.Keys(); }
  std::vector<std::string> ValuesResult() const { return registry_.Values(); }
  const CTreeView& tree() const { return tree_; }
  const CListView& value_list() const { return values_; }
  // Opens the tree down to `keyPath` and selects it (tests); false when a
  // level is missing.
  bool SelectKeyPath(const std::string& keyPath);

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(int id, NMHDR* header, LRESULT* result) override;

 private:
  std::string KeyPath(HTREEITEM item) const;
  void ReadSubKeys(HTREEITEM item);
  void FillValues(const std::string& keyPath);
  void FillAdded();

  CAddedRegistry registry_;
  CTreeView tree_;
  CListView values_;
  ScopedImageList treeImages_;
};

}  // namespace sh
