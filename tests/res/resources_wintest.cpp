// The program's resources as the code finds them by number, in this test
// program's own module (it links the same resource object as
// SweepHarbor.exe): the sizes the code is bound to, the colours the skin's
// region and the transparent drawing key on, and the manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"

namespace sh {
namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// A 24-bit bitmap resource read back pixel by pixel, top row first.
struct Pixels {
  int width = 0, height = 0;
  std::vector<COLORREF> colours;
  COLORREF At(int x, int y) const { return colours[static_cast<size_t>(y) * width + x]; }
};

Pixels LoadPixels(int id) {
  Pixels px;
  HBITMAP bmp =
      static_cast<HBITMAP>(LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  DIBSECTION ds{};
  if (bmp && GetObjectA(bmp, sizeof ds, &ds) == sizeof ds && ds.dsBm.bmBitsPixel == 24) {
    px.width = ds.dsBm.bmWidth;
    px.height = ds.dsBm.bmHeight;
    for (int y = 0; y < px.height; ++y) {
      const auto* row = static_cast<const BYTE*>(ds.dsBm.bmBits) +
                        static_cast<size_t>(ds.dsBmih.biHeight > 0 ? px.height - 1 - y : y) * ds.dsBm.bmWidthBytes;
      for (int x = 0; x < px.width; ++x) px.colours.push_back(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
    }
  }
  if (bmp) DeleteObject(bmp);
  return px;
}

// Bitmaps at the sizes the code draws them. Where the code keys a colour
// out (the window's region is the skin's non-green pixels; the title
// buttons and the marks are drawn transparent), that colour lies in the
// corners only, rounded by at most `corner` pixels, and most of it shows.
TEST(Resources, BitmapsHaveTheirSizesAndKeyColoursOnlyInTheCorners) {
  const COLORREF kNone = CLR_INVALID, kTitleKey = RGB(60, 62, 124), kBlack = RGB(0, 0, 0);
  const struct {
    std::vector<int> ids;
    int width, height;
    COLORREF key;
    int corner;
  } all[] = {
      {{IDB_SKIN}, 745, 545, RGB(0, 255, 0), 16},
      {{IDB_HOME}, 573, 425, kNone, 0},
      {{IDB_CLEAN_NORMAL, IDB_CLEAN_HOVER, IDB_CLEAN_SELECTED, IDB_CONTROL_NORMAL, IDB_CONTROL_HOVER,
        IDB_CONTROL_SELECTED, IDB_ITEMS_NORMAL, IDB_ITEMS_HOVER, IDB_ITEMS_SELECTED, IDB_COOKIES_NORMAL,
        IDB_COOKIES_HOVER, IDB_COOKIES_SELECTED, IDB_PLUGINS_NORMAL, IDB_PLUGINS_HOVER, IDB_PLUGINS_SELECTED},
       130, 43, kNone, 0},
      {{IDB_EXIT, IDB_MINIMIZE, IDB_HELP}, 65, 20, kTitleKey, 0},
      {{IDB_PENDING, IDB_DONE}, 16, 16, kBlack, 0},
  };
  for (const auto& b : all) {
    for (int id : b.ids) {
      SCOPED_TRACE(id);
      const Pixels px = LoadPixels(id);
      ASSERT_EQ(px.width * 1000 + px.height, b.width * 1000 + b.height) << "24 bits a pixel, width and height";
      if (b.key == kNone) continue;
      for (auto [x, y] : {std::pair{0, 0}, {px.width - 1, 0}, {0, px.height - 1}, {px.width - 1, px.height - 1}})
        EXPECT_EQ(px.At(x, y), b.key) << x << "," << y;
      int keyed = 0, holes = 0;
      for (int y = 0; y < px.height; ++y) {
        for (int x = 0; x < px.width; ++x) {
          const bool cross = (x >= b.corner && x < px.width - b.corner) || (y >= b.corner && y < px.height - b.corner);
          keyed += px.At(x, y) == b.key;
          holes += b.corner && cross && px.At(x, y) == b.key;
        }
      }
      EXPECT_EQ(holes, 0);
      EXPECT_NE(px.At(px.width / 2, px.height / 2), b.key);
      EXPECT_LT(keyed, px.width * px.height * 2 / 3) << "most of the picture must show";
    }
  }
}

TEST(Resources, IconsDialogsMenuAndStringsHaveTheirSizes) {
  enum Kind { kIcon, kCursor, kDialog, kMenu, kString };
  const struct {
    Kind kind;
    std::vector<int> ids;
    int width, height;
  } all[] = {
      {kIcon, {IDI_MAIN, IDI_KIND_FOLDER, IDI_KIND_REGISTRY, IDI_KIND_RECYCLE, IDI_KIND_INTERNET, IDI_PLUGIN}, 16, 32},
      {kCursor, {IDC_HANDCURSOR}, 11, 1},  // 32 pixels, the hot spot at the fingertip
      {kDialog, {IDD_MAIN}, 497, 335},     // in dialog units
      {kDialog, {IDD_CLEANLIST, IDD_COOKIES, IDD_CONTROLPANEL}, 369, 251},
      {kDialog, {IDD_CHOOSEITEMS}, 362, 150},
      {kDialog, {IDD_PLUGINS}, 366, 281},
      {kMenu, {IDR_TRAYMENU}, 11, ID_TRAY_OPEN},  // items; the double click takes the command at position 0
      {kString,
       {IDS_COL_ITEMS, IDS_COL_FILES, IDS_COL_SIZE, IDS_COL_STATUS, IDS_START_CLEANING, IDS_ABORT, IDS_REGISTRY_ERROR,
        IDS_PENDING, IDS_START_CLEANING_IDLE, IDS_CLOSE_CONFIRM},
       0, 0},
  };
  for (const auto& r : all) {
    for (int id : r.ids) {
      SCOPED_TRACE(id);
      if (r.kind == kIcon) {
        for (int size : {r.width, r.height}) {
          HANDLE icon = LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0);
          EXPECT_NE(icon, nullptr) << size;
          DestroyIcon(static_cast<HICON>(icon));
        }
      } else if (r.kind == kCursor) {
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(LoadCursorA(Module(), MAKEINTRESOURCEA(id)), &info));
        BITMAP bm{};
        GetObjectA(info.hbmMask, sizeof bm, &bm);
        EXPECT_TRUE(!info.fIcon && bm.bmWidth == 32);
        EXPECT_TRUE(info.xHotspot == DWORD(r.width) && info.yHotspot == DWORD(r.height));
        for (HBITMAP b : {info.hbmColor, info.hbmMask}) DeleteObject(b);
      } else if (r.kind == kDialog) {  // DLGTEMPLATEEX: cx, cy after version, ids, styles, count, x, y
        HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
        const auto* data = res ? static_cast<const WORD*>(LockResource(LoadResource(Module(), res))) : nullptr;
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data[1], 0xFFFF);
        EXPECT_EQ(data[11] * 1000 + data[12], r.width * 1000 + r.height);
      } else if (r.kind == kMenu) {
        HMENU menu = LoadMenuA(Module(), MAKEINTRESOURCEA(id));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), r.width);
        EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 0), static_cast<UINT>(r.height));
        DestroyMenu(menu);
      } else {
        char text[16] = {};
        EXPECT_GT(LoadStringA(Module(), id, text, sizeof text), 0);
      }
    }
  }
}

TEST(Resources, ManifestAsksForCommonControls6AsInvoker) {
  HRSRC res = FindResourceA(Module(), MAKEINTRESOURCEA(IDR_MANIFEST), MAKEINTRESOURCEA(24));
  ASSERT_NE(res, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(Module(), res))),
                             SizeofResource(Module(), res));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

}  // namespace
}  // namespace sh
