// The two-bitmap title button on a real BUTTON control: size, transparent
// drawing with the key colour, hover both ways, press flag and BN_CLICKED.
#include <gtest/gtest.h>

#include "toolkit/hover_bitmap_button_win.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

constexpr COLORREF kKey = RGB(60, 62, 124);
constexpr COLORREF kNormalInk = RGB(250, 250, 0);
constexpr COLORREF kHoverInk = RGB(0, 250, 250);
constexpr COLORREF kHostColour = RGB(0, 128, 128);
constexpr int kWidth = 65, kHeight = 20;

// A title-button face: key-colour corners (5 x 5) and rim row 0, ink
// elsewhere.
ScopedBitmap Face(COLORREF ink) {
  return MakeBitmap(kWidth, kHeight, [ink](int x, int y) {
    bool corner = (x < 5 || x >= kWidth - 5) && (y < 5 || y >= kHeight - 5);
    return corner || y == 0 ? kKey : ink;
  });
}
bool IsKeyPixel(int x, int y) { return ((x < 5 || x >= kWidth - 5) && (y < 5 || y >= kHeight - 5)) || y == 0; }

COLORREF Skin(int x, int y) { return RGB(x * 3 & 0xFF, 100 + y, 77); }

class HoverButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PutCursorAway();
    control = host.AddChild("BUTTON", "Exit", BS_PUSHBUTTON, 300, 12, 90, 30, 1055);
  }
  void Attach() {
    ASSERT_TRUE(button.Attach(control));
    ASSERT_TRUE(button.SetBitmaps(Face(kNormalInk), Face(kHoverInk)));
  }
  // Draws the button (WM_PRINTCLIENT) over a canvas that holds a skin.
  void ExpectDrawn(COLORREF ink) {
    Canvas canvas(kWidth, kHeight, Skin);
    SendMessageA(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        ASSERT_EQ(Hex(canvas.Pixel(x, y)), Hex(IsKeyPixel(x, y) ? Skin(x, y) : ink)) << x << "," << y;
  }

  HostWindow host{40, 360, 420, 120, kHostColour};
  HWND control = nullptr;
  CHoverBitmapButton button;
};

TEST_F(HoverButtonTest, SetBitmapsResizesToTheNormalBitmapKeepingTheTopLeftCorner) {
  Attach();
  RECT r = HostWindow::ChildRect(control);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 12);
  EXPECT_EQ(r.right - r.left, kWidth);
  EXPECT_EQ(r.bottom - r.top, kHeight);
  EXPECT_EQ(GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(button.key(), kKey);
}

TEST_F(HoverButtonTest, BitmapsSetBeforeTheControlIsAttachedSizeItOnAttach) {
  ASSERT_TRUE(button.SetBitmaps(Face(kNormalInk), ScopedBitmap()));
  EXPECT_EQ(HostWindow::ChildRect(control).right, 390) << "no window yet: nothing moved";
  ASSERT_TRUE(button.Attach(control));
  RECT r = HostWindow::ChildRect(control);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.right - r.left, kWidth);
  EXPECT_FALSE(button.SetBitmaps(ScopedBitmap(), Face(kHoverInk)));
  EXPECT_FALSE(button.SetBitmaps(64980, 64980)) << "resources this program does not have";
}

TEST_F(HoverButtonTest, KeyColourPixelsShowWhatIsBeneath) {
  Attach();
  ExpectDrawn(kNormalInk);
}

TEST_F(HoverButtonTest, OneBitmapServesBothStates) {
  ASSERT_TRUE(button.Attach(control));
  ASSERT_TRUE(button.SetBitmaps(Face(kNormalInk), ScopedBitmap()));
  PutCursorAt(control, 30, 10);
  SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
  ASSERT_TRUE(button.hover());
  ExpectDrawn(kNormalInk);
  PutCursorAway();
}

TEST_F(HoverButtonTest, MovingOntoTheButtonAndOffAgainSwitchesTheBitmapBothWays) {
  Attach();
  PutCursorAt(control, 30, 10);
  SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
  EXPECT_TRUE(button.hover());
  ExpectDrawn(kHoverInk);

  PutCursorAway();
  ASSERT_TRUE(PumpUntil([&] { return !button.hover(); }, 2000)) << "no WM_MOUSELEAVE arrived";
  ExpectDrawn(kNormalInk);

  // A second round works as well: the leave request is made again.
  PutCursorAt(control, 30, 10);
  SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
  EXPECT_TRUE(button.hover());
  PutCursorAway();
  EXPECT_TRUE(PumpUntil([&] { return !button.hover(); }, 2000));
}

TEST_F(HoverButtonTest, AMoveWithTheLeftButtonHeldIsDropped) {
  Attach();
  PutCursorAt(control, 30, 10);
  EXPECT_EQ(SendMessageA(control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 10)), 0);
  EXPECT_FALSE(button.hover());
  ExpectDrawn(kNormalInk);
  PutCursorAway();
}

TEST_F(HoverButtonTest, EraseDrawsNothingAndReportsDone) {
  Attach();
  Canvas canvas(kWidth, kHeight, Skin);
  EXPECT_NE(SendMessageA(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0), 0);
  for (int y = 0; y < kHeight; y += 3)
    for (int x = 0; x < kWidth; x += 3) ASSERT_EQ(canvas.Pixel(x, y), Skin(x, y)) << x << "," << y;
}

TEST_F(HoverButtonTest, PressAndReleaseSetThePressedFlagAndClickTheParent) {
  Attach();
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
  EXPECT_TRUE(button.pressed());
  ExpectDrawn(kNormalInk);  // the drawing does not depend on it
  SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
  EXPECT_FALSE(button.pressed());
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, 1055);
  EXPECT_EQ(host.commands[0].code, BN_CLICKED);
}

TEST_F(HoverButtonTest, OnScreenTheKeyColourShowsTheParentsBackground) {
  Attach();
  InvalidateRect(host.hwnd(), nullptr, TRUE);
  UpdateWindow(host.hwnd());
  UpdateWindow(control);
  ScopedGetDc dc(control);
  EXPECT_EQ(Hex(GetPixel(dc.get(), 1, 1)), Hex(kHostColour));
  EXPECT_EQ(Hex(GetPixel(dc.get(), kWidth - 2, kHeight - 2)), Hex(kHostColour));
  EXPECT_EQ(Hex(GetPixel(dc.get(), 30, 10)), Hex(kNormalInk));
}

}  // namespace
}  // namespace sh::test
