// A thin, non-owning wrapper over a tree view. It only forwards messages;
// the control belongs to its dialog.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "toolkit/window_win.h"

namespace sh {

class CTreeView : public CWindow {
 public:
  CTreeView() = default;
  explicit CTreeView(HWND hwnd) : CWindow(hwnd) {}

  // Inserts below `parent` (TVI_ROOT) after `after` (TVI_LAST, TVI_SORT...).
  // `children` 1 shows the expand button before the children are known.
  HTREEITEM Insert(HTREEITEM parent, const std::string& text, int image, int selectedImage, LPARAM data = 0,
                   HTREEITEM after = TVI_LAST, int children = 0) const {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = data;
    insert.item.cChildren = children;
    return reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  bool Delete(HTREEITEM item) const { return Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }
  bool DeleteAll() const { return Delete(TVI_ROOT); }
  HTREEITEM Next(HTREEITEM item, UINT how) const {
    return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  }
  HTREEITEM Root() const { return Next(nullptr, TVGN_ROOT); }
  HTREEITEM Child(HTREEITEM item) const { return Next(item, TVGN_CHILD); }
  HTREEITEM Sibling(HTREEITEM item) const { return Next(item, TVGN_NEXT); }
  HTREEITEM Parent(HTREEITEM item) const { return Next(item, TVGN_PARENT); }
  HTREEITEM Selection() const { return Next(nullptr, TVGN_CARET); }
  bool Select(HTREEITEM item) const { return Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0; }
  bool Expand(HTREEITEM item, UINT how = TVE_EXPAND) const {
    return Send(TVM_EXPAND, how, reinterpret_cast<LPARAM>(item)) != 0;
  }
  int Count() const { return static_cast<int>(Send(TVM_GETCOUNT)); }
  // Texts longer than kMaxItemText characters are cut.
  std::string ItemText(HTREEITEM item) const {
    char buffer[kMaxItemText + 1] = {};
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = static_cast<int>(sizeof buffer);
    return Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) ? std::string(buffer) : std::string();
  }
  LPARAM ItemData(HTREEITEM item) const {
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    return Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) ? tv.lParam : 0;
  }
  void SetItemData(HTREEITEM item, LPARAM data) const {
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM;
    tv.hItem = item;
    tv.lParam = data;
    Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  }
  void SetChildren(HTREEITEM item, int children) const {
    TVITEMA tv = {};
    tv.mask = TVIF_CHILDREN;
    tv.hItem = item;
    tv.cChildren = children;
    Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  }
  int ItemImage(HTREEITEM item, bool selected = false) const {
    TVITEMA tv = {};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    if (!Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return -1;
    return selected ? tv.iSelectedImage : tv.iImage;
  }
  // The first child of `parent` (TVI_ROOT for the top) whose text equals
  // `text` ignoring case; null when none.
  HTREEITEM FindChild(HTREEITEM parent, const std::string& text) const {
    for (HTREEITEM i = parent == TVI_ROOT ? Root() : Child(parent); i != nullptr; i = Sibling(i))
      if (lstrcmpiA(ItemText(i).c_str(), text.c_str()) == 0) return i;
    return nullptr;
  }
  HIMAGELIST SetImageList(HIMAGELIST images, int kind = TVSIL_NORMAL) const {
    return reinterpret_cast<HIMAGELIST>(Send(TVM_SETIMAGELIST, static_cast<WPARAM>(kind),
                                             reinterpret_cast<LPARAM>(images)));
  }

  static constexpr size_t kMaxItemText = 1024;
};

}  // namespace sh
