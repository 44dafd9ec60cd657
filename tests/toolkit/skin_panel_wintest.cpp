// The panel base on a real child dialog: its background is the part of the
// skin under it, read back pixel by pixel.
#include <gtest/gtest.h>

#include "toolkit/gui_fixture.h"
#include "toolkit/skin_panel_win.h"

namespace sh::test {
namespace {

// Every pixel of the skin tells where it lies.
COLORREF SkinAt(int x, int y) { return RGB(x % 251, y % 241, (x / 251) * 60 + (y / 241) * 20 + 3); }

using SkinPanel = GuiTest;

// The panel's (0, 0) shows the skin at (155, 107), drawn through a buffer of
// the clip box: a clipped and scrolled DC gets exactly its visible part.
TEST_F(SkinPanel, EraseCopiesTheSkinUnderThePanelIntoTheClipBoxOnly) {
  CSkinPanel panel(0, MakeBitmap(745, 545, SkinAt));
  ASSERT_TRUE(CreateInMemory(panel, host.hwnd(), WS_CHILD | WS_VISIBLE | DS_CONTROL, 30, 20, 120, 90));
  // Device (0, 0) shows client point (10, 5); the clip is client (30, 20) to
  // the panel's far corner (120, 90).
  Canvas part(120, 90);
  SetViewportOrgEx(part.dc(), -10, -5, nullptr);
  IntersectClipRect(part.dc(), 30, 20, 120, 90);
  EXPECT_EQ(SendMessageA(panel.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(part.dc()), 0), 1);
  SelectClipRgn(part.dc(), nullptr);
  SetViewportOrgEx(part.dc(), 0, 0, nullptr);
  for (int y = 0; y < 90; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool inside = x >= 20 && x < 110 && y >= 15 && y < 85;
      ASSERT_EQ(part.Pixel(x, y), inside ? SkinAt(165 + x, 112 + y) : RGB(255, 255, 255)) << x << "," << y;
    }
}

}  // namespace
}  // namespace sh::test
