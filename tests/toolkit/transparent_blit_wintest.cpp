// Transparent drawing through a one-bit mask, read back pixel by pixel.
#include <gtest/gtest.h>

#include "toolkit/bitmap_win.h"
#include "toolkit/transparent_blit_win.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

constexpr COLORREF kKey = kTitleButtonKeyColour;

// Destination pattern: every pixel differs from its neighbours.
COLORREF Backdrop(int x, int y) { return RGB((x * 7) & 0xFF, (y * 11) & 0xFF, (x + y) & 0xFF); }

// Bitmap pattern: a key-colour frame one pixel wide and a key-colour
// diagonal, the rest in colours near the key (which must not be
// transparent) and far from it.
COLORREF Sprite(int x, int y) {
  if (x == 0 || y == 0 || x == 19 || y == 9 || x == y) return kKey;
  if (x == 5) return RGB(61, 62, 124);  // one step off the key
  if (x == 6) return RGB(60, 62, 125);
  return RGB(200, 10 + x, 10 + y);
}

TEST(TransparentBlit, KeyPixelsShowTheDestinationAndOthersTheBitmap) {
  EXPECT_EQ(kKey, RGB(60, 62, 124));
  Canvas canvas(40, 30, Backdrop);
  ScopedBitmap sprite = MakeBitmap(20, 10, Sprite);
  ASSERT_TRUE(DrawTransparentBitmap(canvas.dc(), 5, 7, sprite.get(), kKey));
  int kept = 0, drawn = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      bool inside = x >= 5 && x < 25 && y >= 7 && y < 17;
      COLORREF expected = Backdrop(x, y);
      if (inside && Sprite(x - 5, y - 7) != kKey) {
        expected = Sprite(x - 5, y - 7);
        ++drawn;
      } else if (inside) {
        ++kept;
      }
      ASSERT_EQ(Hex(canvas.Pixel(x, y)), Hex(expected)) << "at " << x << "," << y;
    }
  EXPECT_GT(kept, 50);
  EXPECT_GT(drawn, 100);
}

TEST(TransparentBlit, TheBitmapItselfIsLeftUnchanged) {
  Canvas canvas(30, 20, RGB(1, 2, 3));
  ScopedBitmap sprite = MakeBitmap(20, 10, Sprite);
  std::vector<COLORREF> before = BitmapPixels(sprite.get());
  ASSERT_TRUE(DrawTransparentBitmap(canvas.dc(), 0, 0, sprite.get(), kKey));
  EXPECT_EQ(BitmapPixels(sprite.get()), before);
  // Drawn a second time over a different destination: same bitmap pixels.
  Canvas other(30, 20, RGB(250, 250, 250));
  ASSERT_TRUE(DrawTransparentBitmap(other.dc(), 0, 0, sprite.get(), kKey));
  EXPECT_EQ(Hex(other.Pixel(0, 0)), Hex(RGB(250, 250, 250)));
  EXPECT_EQ(Hex(other.Pixel(3, 4)), Hex(Sprite(3, 4)));
}

TEST(TransparentBlit, AllKeyBitmapChangesNothingAndNoKeyCopiesAll) {
  Canvas canvas(12, 12, Backdrop);
  ScopedBitmap allKey = MakeSolidBitmap(12, 12, kKey);
  ASSERT_TRUE(DrawTransparentBitmap(canvas.dc(), 0, 0, allKey.get(), kKey));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(canvas.Pixel(x, y), Backdrop(x, y)) << x << "," << y;
  ScopedBitmap opaque = MakeSolidBitmap(12, 12, RGB(0, 0, 0));  // black is a colour like any other
  ASSERT_TRUE(DrawTransparentBitmap(canvas.dc(), 0, 0, opaque.get(), kKey));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) ASSERT_EQ(canvas.Pixel(x, y), RGB(0, 0, 0)) << x << "," << y;
}

TEST(TransparentBlit, AnotherKeyColourWorksTheSameWay) {
  Canvas canvas(4, 1, RGB(9, 9, 9));
  ScopedBitmap sprite = MakeBitmap(4, 1, [](int x, int) { return x % 2 ? RGB(0, 255, 0) : RGB(60, 62, 124); });
  ASSERT_TRUE(DrawTransparentBitmap(canvas.dc(), 0, 0, sprite.get(), RGB(0, 255, 0)));
  EXPECT_EQ(canvas.Pixel(0, 0), RGB(60, 62, 124));
  EXPECT_EQ(canvas.Pixel(1, 0), RGB(9, 9, 9));
  EXPECT_EQ(canvas.Pixel(2, 0), RGB(60, 62, 124));
  EXPECT_EQ(canvas.Pixel(3, 0), RGB(9, 9, 9));
}

TEST(TransparentBlit, NothingToDrawIsAFailureThatLeavesTheDestination) {
  Canvas canvas(5, 5, RGB(7, 7, 7));
  EXPECT_FALSE(DrawTransparentBitmap(canvas.dc(), 0, 0, nullptr, kKey));
  ScopedBitmap sprite = MakeSolidBitmap(2, 2, RGB(1, 1, 1));
  EXPECT_FALSE(DrawTransparentBitmap(nullptr, 0, 0, sprite.get(), kKey));
  EXPECT_EQ(canvas.Pixel(2, 2), RGB(7, 7, 7));
}

TEST(BitmapHelpers, SizeDrawAndMissingResource) {
  ScopedBitmap sprite = MakeSolidBitmap(17, 9, RGB(4, 5, 6));
  SIZE size = BitmapSize(sprite.get());
  EXPECT_EQ(size.cx, 17);
  EXPECT_EQ(size.cy, 9);
  EXPECT_EQ(BitmapSize(nullptr).cx, 0);
  Canvas canvas(20, 20, RGB(255, 255, 255));
  ASSERT_TRUE(DrawBitmap(canvas.dc(), 2, 3, sprite.get()));
  EXPECT_EQ(canvas.Pixel(2, 3), RGB(4, 5, 6));
  EXPECT_EQ(canvas.Pixel(18, 11), RGB(4, 5, 6));
  EXPECT_EQ(canvas.Pixel(19, 12), RGB(255, 255, 255));
  EXPECT_EQ(canvas.Pixel(1, 3), RGB(255, 255, 255));
  // A module without that bitmap, and an id no module of ours uses.
  EXPECT_FALSE(LoadBitmapResource(129, GetModuleHandleA("kernel32.dll")).valid());
  EXPECT_FALSE(LoadBitmapResource(64999).valid());
}

}  // namespace
}  // namespace sh::test
