// The program's resources as the code finds them by number, in this test
// program's own module (it links the same resource object as
// SweepHarbor.exe): the sizes the code is bound to and the colours the skin's
// region and the transparent drawing key on.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "res/resource.h"
#include "toolkit/bitmap_win.h"
#include "toolkit/transparent_blit_win.h"
#include "ui/main/skin_region.h"

namespace sh {
namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// The navigation buttons are placed at 130 by 43 and the marks go into a
// list of 16-pixel images; the other bitmaps size their windows. Where the
// code keys a colour out (the skin's is cut out of the window, the title
// buttons' and the marks' are drawn transparent), the corner has it.
TEST(Resources, BitmapsHaveTheSizesAndKeyColoursTheCodeUses) {
  const struct {
    std::vector<int> ids;
    int width, height;  // 0: any
    COLORREF key;
  } all[] = {
      {{IDB_SKIN}, 0, 0, kSkinKeyColour},
      {{IDB_CLEAN_NORMAL, IDB_CLEAN_HOVER, IDB_CLEAN_SELECTED, IDB_CONTROL_NORMAL, IDB_CONTROL_HOVER,
        IDB_CONTROL_SELECTED, IDB_ITEMS_NORMAL, IDB_ITEMS_HOVER, IDB_ITEMS_SELECTED, IDB_COOKIES_NORMAL,
        IDB_COOKIES_HOVER, IDB_COOKIES_SELECTED, IDB_PLUGINS_NORMAL, IDB_PLUGINS_HOVER, IDB_PLUGINS_SELECTED},
       130, 43, CLR_INVALID},
      {{IDB_EXIT, IDB_MINIMIZE, IDB_HELP}, 0, 0, kTitleButtonKeyColour},
      {{IDB_PENDING, IDB_DONE}, 16, 16, RGB(0, 0, 0)},
  };
  ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
  for (const auto& b : all)
    for (int id : b.ids) {
      ScopedBitmap bitmap = LoadBitmapResource(id);
      const SIZE size = BitmapSize(bitmap.get());
      EXPECT_TRUE(size.cx > 0 && (b.width == 0 || (size.cx == b.width && size.cy == b.height))) << id;
      ScopedSelectObject select(dc.get(), bitmap.get());
      if (b.key != CLR_INVALID) {
        EXPECT_EQ(GetPixel(dc.get(), 0, 0), b.key) << id;
      }
    }
}

// Every icon, dialog, menu and string the code loads by number is there (the
// sizes the code is bound to are the bitmaps' above); the hand cursor is 32
// pixels with its hot spot at the fingertip.
TEST(Resources, EveryResourceTheCodeLoadsIsThere) {
  const std::pair<LPCSTR, std::vector<int>> all[] = {
      {RT_GROUP_ICON, {IDI_MAIN, IDI_KIND_FOLDER, IDI_KIND_REGISTRY, IDI_KIND_RECYCLE, IDI_KIND_INTERNET, IDI_PLUGIN}},
      {RT_DIALOG, {IDD_MAIN, IDD_CLEANLIST, IDD_COOKIES, IDD_CONTROLPANEL, IDD_CHOOSEITEMS, IDD_PLUGINS}},
      {RT_MENU, {IDR_TRAYMENU}},
  };
  for (const auto& [type, ids] : all)
    for (int id : ids) EXPECT_NE(FindResourceA(Module(), MAKEINTRESOURCEA(id), type), nullptr) << id;
  for (int id : {IDS_COL_ITEMS, IDS_COL_FILES, IDS_COL_SIZE, IDS_COL_STATUS, IDS_START_CLEANING, IDS_ABORT,
                 IDS_REGISTRY_ERROR, IDS_PENDING, IDS_START_CLEANING_IDLE, IDS_CLOSE_CONFIRM}) {
    char text[16] = {};
    EXPECT_GT(LoadStringA(Module(), id, text, sizeof text), 0) << id;
  }
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(LoadCursorA(Module(), MAKEINTRESOURCEA(IDC_HANDCURSOR)), &info));
  BITMAP bm{};
  GetObjectA(info.hbmMask, sizeof bm, &bm);
  EXPECT_TRUE(!info.fIcon && bm.bmWidth == 32 && info.xHotspot == 11 && info.yHotspot == 1);
  for (HBITMAP b : {info.hbmColor, info.hbmMask}) DeleteObject(b);
}

}  // namespace
}  // namespace sh
