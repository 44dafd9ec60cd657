// The list-view wrapper on a real list view: the columns, images, selection
// and geometry the Clean list draws its rows with, and scrolling a row into
// view (the rows' texts show in the main window's tests).
#include <gtest/gtest.h>

#include "toolkit/controls_win.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

using ListView = GuiTest;

TEST_F(ListView, RowsCellsImagesSelectionAndScrolling) {
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  CListView list(host.AddChild(WC_LISTVIEWA, "", LVS_REPORT, 0, 0, 300, 120));
  for (int column : {0, 1}) EXPECT_EQ(list.InsertColumn(column, "Items", 150), column);
  EXPECT_EQ(list.ColumnCount(), 2);
  for (int row = 0; row < 40; ++row) EXPECT_EQ(list.InsertItem(row, "row " + std::to_string(row), row % 3), row);
  EXPECT_TRUE(list.SetItemText(35, 1, "3.5 KB"));
  EXPECT_EQ(list.ItemText(35, 0) + "|" + list.ItemText(35, 1) + "|" + list.ItemText(34, 1), "row 35|3.5 KB|");
  EXPECT_EQ(list.ItemImage(35), 2);
  ListView_SetItemState(list.hwnd(), 35, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_TRUE(list.IsSelected(35));
  EXPECT_FALSE(list.IsSelected(34));

  RECT row = {}, cell = {};
  ASSERT_TRUE(list.ItemRect(35, &row) && list.SubItemRect(35, 1, &cell));
  EXPECT_EQ(cell.left, row.left + 150) << "the second column's cell";
  EXPECT_GT(row.bottom, list.ClientRect().bottom) << "below the shown rows";
  EXPECT_TRUE(list.EnsureVisible(35));
  ASSERT_TRUE(list.ItemRect(35, &row));
  EXPECT_LE(row.bottom, list.ClientRect().bottom);
  EXPECT_FALSE(list.ItemRect(99, &row));
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_FALSE(list.ItemRect(0, &row));
}

}  // namespace
}  // namespace sh::test
