// The two-bitmap title button on a real BUTTON control: its size, the
// transparent drawing through a one-bit mask (pixels of the key colour show
// what lies beneath, every other colour is drawn), hover both ways, a click.
#include <gtest/gtest.h>

#include "toolkit/gui_fixture.h"
#include "toolkit/hover_bitmap_button_win.h"

namespace sh::test {
namespace {

constexpr COLORREF kKey = RGB(60, 62, 124), kNormalInk = RGB(250, 250, 0), kHoverInk = RGB(0, 250, 250);
constexpr int kWidth = 65, kHeight = 20;

// Key-colour corners, top row and a diagonal; colours one step off the key,
// and black, which are all drawn; ink elsewhere.
COLORREF FacePixel(int x, int y, COLORREF ink) {
  if (((x < 5 || x >= kWidth - 5) && (y < 5 || y >= kHeight - 5)) || y == 0 || x == y + 20) return kKey;
  if (x == 10 || x == 11) return x == 10 ? RGB(61, 62, 124) : RGB(60, 62, 125);
  return x == 12 ? RGB(0, 0, 0) : ink;
}
ScopedBitmap Face(COLORREF ink) {
  return MakeBitmap(kWidth, kHeight, [ink](int x, int y) { return FacePixel(x, y, ink); });
}
COLORREF Beneath(int x, int y) { return RGB(x * 3 & 0xFF, 100 + y, 77); }

using HoverBitmapButton = GuiTest;

TEST_F(HoverBitmapButton, DrawsItsHoverBitmapTransparentlyWhileThePointerIsOverIt) {
  HWND control = host.AddChild("BUTTON", "Exit", BS_PUSHBUTTON, 300, 12, 90, 30, 1055);
  CHoverBitmapButton button;
  ASSERT_TRUE(button.Attach(control));
  ASSERT_TRUE(button.SetBitmaps(Face(kNormalInk), Face(kHoverInk)));
  EXPECT_EQ(ChildRect(control).right, 300 + kWidth);
  EXPECT_EQ(ChildRect(control).bottom, 12 + kHeight);
  // On screen the key colour shows the dialog's background.
  RedrawWindow(host.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(GetPixel(ScopedGetDc(control).get(), 1, 1), GetPixel(ScopedGetDc(host.hwnd()).get(), 5, 5));
  EXPECT_EQ(GetPixel(ScopedGetDc(control).get(), 40, 10), kNormalInk);

  // Drawn (WM_PRINTCLIENT) over a canvas, every pixel compared.
  auto expectDrawn = [&](COLORREF ink) {
    Canvas canvas(kWidth, kHeight, Beneath);
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const COLORREF face = FacePixel(x, y, ink);
        ASSERT_EQ(canvas.Pixel(x, y), face == kKey ? Beneath(x, y) : face) << x << "," << y;
      }
  };
  auto moveOnto = [&] {
    PutCursorAt(control, 30, 10);
    SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
  };
  for (int round = 0; round < 2; ++round) {  // the leave request is made again each time
    moveOnto();
    expectDrawn(kHoverInk);
    PutCursorAway();
    ASSERT_TRUE(PumpUntil([&] { return !button.hover(); })) << "no WM_MOUSELEAVE arrived";
    expectDrawn(kNormalInk);  // the bitmaps are left as they were
  }

  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
  SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
  EXPECT_EQ(host.commands, (std::vector<std::pair<int, int>>{{1055, BN_CLICKED}}));
}

}  // namespace
}  // namespace sh::test
