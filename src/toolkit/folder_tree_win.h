// The folder tree of the add dialogs: the drives ("C:\"), the machine's
// shared folders ("\\COMPUTER\share") and their folders
// with the shell's small icons, each level read the first time it opens. A
// thin wrapper over the dialog's tree view; the parent hands it the
// expanding notification.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "toolkit/tree_view_win.h"

namespace sh {

// The machine's own disk shares as "\\COMPUTER\share", special ones (C$,
// ADMIN$) left out; empty when the network functions cannot tell.
std::vector<std::string> LocalDiskShares();

class CFolderTree : public CTreeView {
 public:
  // Takes the control, gives it the shell's small icons and fills the
  // drives afresh.
  void Bind(HWND tree);
  void Refresh();
  // TVN_ITEMEXPANDING: the folders below the item, read once.
  void OnExpanding(const NMTREEVIEWA& change);
  // The full path of an item ("C:\" for a drive, "C:\Temp" below it);
  // empty for none.
  std::string FullPath(HTREEITEM item) const;
  std::string SelectedPath() const { return FullPath(Selection()); }
  // Opens the levels of `path` one by one and selects its folder; false
  // when a level is not in the tree.
  bool SelectPath(const std::string& path);

 private:
  void ReadChildren(HTREEITEM item);

  int folderImage_ = 0, openFolderImage_ = 0;
};

}  // namespace sh
