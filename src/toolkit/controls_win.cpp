#include "toolkit/controls_win.h"

#include <vector>

namespace sh {

int CListView::InsertColumn(int index, const std::string& heading, int width, int format) const {
  std::string text = heading;
  LVCOLUMNA column = {};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  column.fmt = format;
  column.cx = width;
  column.pszText = &text[0];
  column.iSubItem = index;
  return static_cast<int>(Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int CListView::InsertItem(int index, const std::string& text, int image) const {
  std::string copy = text;
  LVITEMA item = {};
  item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = index;
  item.pszText = &copy[0];
  item.iImage = image;
  return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListView::SetItemText(int item, int column, const std::string& text) const {
  std::string copy = text;
  LVITEMA cell = {};
  cell.iSubItem = column;
  cell.pszText = &copy[0];
  return Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell)) != 0;
}

std::string CListView::ItemText(int item, int column) const {
  std::vector<char> buffer(kMaxItemText + 1, '\0');
  LVITEMA cell = {};
  cell.iSubItem = column;
  cell.pszText = buffer.data();
  cell.cchTextMax = static_cast<int>(buffer.size());
  LRESULT n = Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
  if (n <= 0) return std::string();
  buffer.back() = '\0';
  return std::string(cell.pszText);
}

int CListView::ItemImage(int item) const {
  LVITEMA entry = {};
  entry.mask = LVIF_IMAGE;
  entry.iItem = item;
  return Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry)) ? entry.iImage : -1;
}

bool CListView::ItemRect(int item, RECT* rect, int code) const {
  RECT r = {};
  r.left = code;
  if (!Send(LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r))) return false;
  *rect = r;
  return true;
}

bool CListView::SubItemRect(int item, int column, RECT* rect, int code) const {
  RECT r = {};
  r.top = column;
  r.left = code;
  if (!Send(LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r))) return false;
  *rect = r;
  return true;
}

}  // namespace sh
