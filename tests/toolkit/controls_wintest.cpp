// The thin control wrappers on real common controls.
#include <gtest/gtest.h>


#include "toolkit/controls_win.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

class ListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    list = CListView(host.AddChild(WC_LISTVIEWA, "", LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 300, 120, 1001));
    ASSERT_TRUE(list);
  }
  HostWindow host{650, 40, 320, 140};
  CListView list;
};

TEST_F(ListViewTest, ColumnsItemsTextsImagesAndData) {
  EXPECT_EQ(list.InsertColumn(0, "Items", 150), 0);
  EXPECT_EQ(list.InsertColumn(1, "Files", 60, LVCFMT_CENTER), 1);
  EXPECT_EQ(list.InsertColumn(2, "Size", 60, LVCFMT_CENTER), 2);
  EXPECT_EQ(list.ColumnCount(), 3);

  EXPECT_EQ(list.InsertItem(0, "Temporary files", 2, 0x1234), 0);
  EXPECT_EQ(list.InsertItem(1, "Cookies", 3, 0x5678), 1);
  EXPECT_EQ(list.InsertItem(1, "History"), 1) << "inserted before Cookies";
  EXPECT_EQ(list.Count(), 3);
  EXPECT_TRUE(list.SetItemText(0, 1, "12 Files"));
  EXPECT_TRUE(list.SetItemText(2, 2, "3.5 KB"));

  EXPECT_EQ(list.ItemText(0, 0), "Temporary files");
  EXPECT_EQ(list.ItemText(0, 1), "12 Files");
  EXPECT_EQ(list.ItemText(1, 0), "History");
  EXPECT_EQ(list.ItemText(2, 0), "Cookies");
  EXPECT_EQ(list.ItemText(2, 2), "3.5 KB");
  EXPECT_EQ(list.ItemText(1, 2), "");
  EXPECT_EQ(list.ItemData(0), 0x1234);
  EXPECT_EQ(list.ItemData(2), 0x5678);
  EXPECT_EQ(list.ItemImage(0), 2);
  EXPECT_EQ(list.ItemImage(2), 3);
  EXPECT_TRUE(list.SetItemImage(2, 5));
  EXPECT_EQ(list.ItemImage(2), 5);

  EXPECT_TRUE(list.DeleteItem(1));
  EXPECT_EQ(list.ItemText(1, 0), "Cookies");
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.ItemText(0, 0), "");
}

TEST_F(ListViewTest, RectanglesAndScrollingIntoView) {
  list.InsertColumn(0, "Items", 150);
  list.InsertColumn(1, "Status", 80);
  for (int i = 0; i < 40; ++i) list.InsertItem(i, "row " + std::to_string(i));
  RECT first, second, cell;
  ASSERT_TRUE(list.ItemRect(0, &first));
  ASSERT_TRUE(list.ItemRect(1, &second));
  EXPECT_GT(first.bottom, first.top);
  EXPECT_EQ(second.top, first.bottom) << "rows lie one under the other";
  ASSERT_TRUE(list.SubItemRect(0, 1, &cell));
  EXPECT_EQ(cell.left, 150);
  EXPECT_FALSE(list.ItemRect(99, &first));

  EXPECT_EQ(list.TopIndex(), 0);
  EXPECT_TRUE(list.EnsureVisible(35));
  EXPECT_GT(list.TopIndex(), 20);
  RECT shown;
  ASSERT_TRUE(list.ItemRect(35, &shown));
  RECT client = list.ClientRect();
  EXPECT_LE(shown.bottom, client.bottom);
  POINT inside = {shown.left + 5, (shown.top + shown.bottom) / 2};
  EXPECT_EQ(list.HitTest(inside), 35);
}

TEST_F(ListViewTest, CheckBoxesAndExtendedStyles) {
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
  EXPECT_TRUE(list.ExtendedStyle() & LVS_EX_CHECKBOXES);
  list.InsertColumn(0, "Items", 150);
  list.InsertItem(0, "a");
  list.InsertItem(1, "b");
  EXPECT_FALSE(list.IsChecked(0));
  list.SetChecked(1, true);
  EXPECT_TRUE(list.IsChecked(1));
  EXPECT_FALSE(list.IsChecked(0));
  list.SetChecked(1, false);
  EXPECT_FALSE(list.IsChecked(1));
  EXPECT_EQ(list.SelectedItem(), -1);
}

TEST(ButtonWrapper, CheckStateEnableAndClick) {
  HostWindow host(650, 200, 200, 80);
  CButton box(host.AddChild("BUTTON", "Shred", BS_AUTOCHECKBOX, 5, 5, 120, 20, 1200));
  EXPECT_FALSE(box.IsChecked());
  box.SetCheck(true);
  EXPECT_TRUE(box.IsChecked());
  EXPECT_EQ(box.CheckState(), BST_CHECKED);
  box.Click();  // as the user's click: toggles and notifies
  EXPECT_FALSE(box.IsChecked());
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, 1200);
  EXPECT_EQ(host.commands[0].code, BN_CLICKED);
  box.Enable(false);
  EXPECT_FALSE(box.IsEnabled());
  box.Enable(true);
  EXPECT_TRUE(box.IsEnabled());
  EXPECT_EQ(box.Text(), "Shred");
}

}  // namespace
}  // namespace sh::test
