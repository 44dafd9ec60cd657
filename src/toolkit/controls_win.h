// Thin, non-owning wrappers over common controls: a push button or check
// box, and a list view in report mode. Each only forwards messages; the
// control belongs to its dialog.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "toolkit/window_win.h"

namespace sh {

class CButton : public CWindow {
 public:
  CButton() = default;
  explicit CButton(HWND hwnd) : CWindow(hwnd) {}
  // BST_CHECKED / BST_UNCHECKED / BST_INDETERMINATE.
  int CheckState() const { return static_cast<int>(Send(BM_GETCHECK)); }
  bool IsChecked() const { return CheckState() == BST_CHECKED; }
  void SetCheck(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED); }
  void Enable(bool enable) const { EnableWindow(hwnd_, enable); }
  bool IsEnabled() const { return IsWindowEnabled(hwnd_) != 0; }
  // Sends BN_CLICKED to the parent as a real click does.
  void Click() const { Send(BM_CLICK); }
};

// A list view. Texts are ANSI; indexes are zero-based; -1 means failure.
class CListView : public CWindow {
 public:
  CListView() = default;
  explicit CListView(HWND hwnd) : CWindow(hwnd) {}

  // Inserts column `index` with its heading, width (pixels) and format
  // (LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_RIGHT); the new column's index.
  int InsertColumn(int index, const std::string& heading, int width, int format = LVCFMT_LEFT) const;
  int ColumnCount() const;
  // Inserts an item with its text, image index (-1: none) and item data;
  // the new item's index.
  int InsertItem(int index, const std::string& text, int image = -1, LPARAM data = 0) const;
  bool SetItemText(int item, int column, const std::string& text) const;
  // The text of a cell; empty when there is none. Texts longer than
  // kMaxItemText characters are cut.
  std::string ItemText(int item, int column) const;
  LPARAM ItemData(int item) const;
  int ItemImage(int item) const;
  bool SetItemImage(int item, int image) const;
  bool DeleteItem(int item) const { return Send(LVM_DELETEITEM, static_cast<WPARAM>(item)) != 0; }
  bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }
  int Count() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
  // The item's rectangle (LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL) in client
  // coordinates; false when the item does not exist.
  bool ItemRect(int item, RECT* rect, int code = LVIR_BOUNDS) const;
  // The rectangle of one cell (column > 0: a subitem).
  bool SubItemRect(int item, int column, RECT* rect, int code = LVIR_BOUNDS) const;
  bool EnsureVisible(int item, bool partialOk = false) const {
    return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk ? TRUE : FALSE) != 0;
  }
  int TopIndex() const { return static_cast<int>(Send(LVM_GETTOPINDEX)); }
  void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
  DWORD ExtendedStyle() const { return static_cast<DWORD>(Send(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
  // Sets the image list of a kind (LVSIL_SMALL...); the previous one.
  HIMAGELIST SetImageList(HIMAGELIST images, int kind = LVSIL_SMALL) const {
    return reinterpret_cast<HIMAGELIST>(Send(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(images)));
  }
  bool IsChecked(int item) const;
  void SetChecked(int item, bool checked) const;
  int SelectedItem() const {
    return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
  }
  // The item under a client point, or -1.
  int HitTest(POINT point) const;

  static constexpr size_t kMaxItemText = 1024;
};

}  // namespace sh
