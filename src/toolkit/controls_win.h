// A thin, non-owning wrapper over a list view in report mode. It only
// forwards messages; the control belongs to its dialog.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "toolkit/window_win.h"

namespace sh {

// Texts are ANSI; indexes are zero-based; -1 means failure.
class CListView : public CWindow {
 public:
  CListView() = default;
  explicit CListView(HWND hwnd) : CWindow(hwnd) {}

  // Inserts column `index` with its heading, width (pixels) and format
  // (LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_RIGHT); the new column's index.
  int InsertColumn(int index, const std::string& heading, int width, int format = LVCFMT_LEFT) const;
  int ColumnCount() const;
  // Inserts an item with its text and image index (-1: none); the new
  // item's index.
  int InsertItem(int index, const std::string& text, int image = -1) const;
  bool SetItemText(int item, int column, const std::string& text) const;
  // The text of a cell; empty when there is none. Texts longer than
  // kMaxItemText characters are cut.
  std::string ItemText(int item, int column) const;
  int ItemImage(int item) const;
  bool IsSelected(int item) const {
    return (Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) & LVIS_SELECTED) != 0;
  }
  bool DeleteAllItems() const { return Send(LVM_DELETEALLITEMS) != 0; }
  // The item's rectangle (LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL) in client
  // coordinates; false when the item does not exist.
  bool ItemRect(int item, RECT* rect, int code = LVIR_BOUNDS) const;
  // The rectangle of one cell (column > 0: a subitem).
  bool SubItemRect(int item, int column, RECT* rect, int code = LVIR_BOUNDS) const;
  bool EnsureVisible(int item, bool partialOk = false) const {
    return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), partialOk ? TRUE : FALSE) != 0;
  }
  void SetExtendedStyle(DWORD style) const { Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }
  // Sets the image list of a kind (LVSIL_SMALL...); the previous one.
  HIMAGELIST SetImageList(HIMAGELIST images, int kind = LVSIL_SMALL) const {
    return reinterpret_cast<HIMAGELIST>(
        Send(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(images)));
  }

  static constexpr size_t kMaxItemText = 1024;
};

}  // namespace sh
