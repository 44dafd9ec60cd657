// The panel base on a real child dialog made from a template in memory:
// its background is the skin under it, read back pixel by pixel.
#include <gtest/gtest.h>

#include "toolkit/skin_panel_win.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

constexpr int kSkinWidth = 745, kSkinHeight = 545;
constexpr int kPanelWidth = 120, kPanelHeight = 90;

// Every pixel of the skin tells where it lies.
COLORREF SkinAt(int x, int y) { return RGB(x % 251, y % 241, (x / 251) * 60 + (y / 241) * 20 + 3); }

class TestPanel : public CSkinPanel {
 public:
  explicit TestPanel(ScopedBitmap skin) : CSkinPanel(0, std::move(skin)) {}
  int otherMessages = 0;

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    if (msg == WM_USER + 5) {
      ++otherMessages;
      *result = 77;
      return true;
    }
    return CSkinPanel::OnMessage(msg, wParam, lParam, result);
  }
};

void ExpectSkinPixel(COLORREF got, int skinX, int skinY) {
  ASSERT_EQ(Hex(got), Hex(SkinAt(skinX, skinY))) << "skin point " << skinX << "," << skinY;
}

class SkinPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryDialogTemplate dialog(WS_CHILD | WS_VISIBLE | DS_CONTROL, 60, 40);
    ASSERT_TRUE(panel.CreateIndirect(host.hwnd(), dialog.get()));
    panel.Move(30, 20, kPanelWidth, kPanelHeight);
  }
  static void ExpectSkin(COLORREF got, int skinX, int skinY) { ExpectSkinPixel(got, skinX, skinY); }

  HostWindow host{420, 40, 300, 200};
  TestPanel panel{MakeBitmap(kSkinWidth, kSkinHeight, SkinAt)};
};

TEST_F(SkinPanelTest, EraseCopiesTheSkinFromTheOffsetAndReportsItErased) {
  EXPECT_EQ(kSkinPanelOrigin.x, 155);
  EXPECT_EQ(kSkinPanelOrigin.y, 107);
  Canvas canvas(kPanelWidth, kPanelHeight, RGB(255, 255, 255));
  EXPECT_EQ(SendMessageA(panel.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0), 1);
  EXPECT_FALSE(panel.first_erase());
  for (int y = 0; y < kPanelHeight; ++y)
    for (int x = 0; x < kPanelWidth; ++x) ExpectSkin(canvas.Pixel(x, y), 155 + x, 107 + y);
}

TEST(SkinPanel, TheFirstEraseMakesTheSkinDc) {
  HostWindow host(420, 260, 200, 120);
  TestPanel panel{MakeBitmap(kSkinWidth, kSkinHeight, SkinAt)};
  MemoryDialogTemplate dialog(WS_CHILD | DS_CONTROL, 40, 30);  // hidden: nothing paints it
  ASSERT_TRUE(panel.CreateIndirect(host.hwnd(), dialog.get()));
  EXPECT_TRUE(panel.first_erase());
  Canvas canvas(10, 10);
  SendMessageA(panel.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  EXPECT_FALSE(panel.first_erase());
  ExpectSkinPixel(canvas.Pixel(9, 9), 164, 116);
}

TEST_F(SkinPanelTest, OnlyTheClipBoxIsPainted) {
  Canvas canvas(kPanelWidth, kPanelHeight, RGB(255, 255, 255));
  IntersectClipRect(canvas.dc(), 30, 20, 70, 50);
  SendMessageA(panel.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  SelectClipRgn(canvas.dc(), nullptr);
  for (int y = 0; y < kPanelHeight; y += 2)
    for (int x = 0; x < kPanelWidth; x += 2) {
      bool inside = x >= 30 && x < 70 && y >= 20 && y < 50;
      if (inside) ExpectSkin(canvas.Pixel(x, y), 155 + x, 107 + y);
      else ASSERT_EQ(canvas.Pixel(x, y), RGB(255, 255, 255)) << x << "," << y;
    }
}

TEST_F(SkinPanelTest, AScrolledDeviceContextShowsTheSkinUnderTheVisiblePart) {
  // The DC's origin moved as a scrolled view moves it: device (0, 0) shows
  // client point (10, 5), which lies over skin point (165, 112).
  Canvas canvas(60, 40, RGB(255, 255, 255));
  SetViewportOrgEx(canvas.dc(), -10, -5, nullptr);
  SendMessageA(panel.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  SetViewportOrgEx(canvas.dc(), 0, 0, nullptr);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ExpectSkin(canvas.Pixel(x, y), 165 + x, 112 + y);
}

TEST_F(SkinPanelTest, TheSkinDcIsMadeOnceAndServesLaterErases) {
  Canvas first(20, 20);
  SendMessageA(panel.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(first.dc()), 0);
  Canvas second(kPanelWidth, kPanelHeight, RGB(0, 0, 0));
  EXPECT_TRUE(panel.PaintSkin(second.dc()));
  ExpectSkin(second.Pixel(0, 0), 155, 107);
  ExpectSkin(second.Pixel(kPanelWidth - 1, kPanelHeight - 1), 155 + kPanelWidth - 1, 107 + kPanelHeight - 1);
}

TEST_F(SkinPanelTest, OnScreenThePanelShowsTheSkinWhereverItIsPlaced) {
  UpdateWindow(panel.hwnd());
  {
    ScopedGetDc dc(panel.hwnd());
    ExpectSkin(GetPixel(dc.get(), 0, 0), 155, 107);
    ExpectSkin(GetPixel(dc.get(), 50, 40), 205, 147);
    ExpectSkin(GetPixel(dc.get(), kPanelWidth - 1, kPanelHeight - 1), 155 + kPanelWidth - 1, 107 + kPanelHeight - 1);
  }
  // Moved and partly repainted: still the skin from (155, 107) on.
  panel.Move(0, 0, kPanelWidth, kPanelHeight);
  RECT part = {40, 30, 80, 60};
  InvalidateRect(panel.hwnd(), &part, TRUE);
  UpdateWindow(panel.hwnd());
  ScopedGetDc dc(panel.hwnd());
  ExpectSkin(GetPixel(dc.get(), 45, 35), 200, 142);
  ExpectSkin(GetPixel(dc.get(), 5, 5), 160, 112);
}

TEST_F(SkinPanelTest, OtherMessagesStayTheDerivedPanels) {
  EXPECT_EQ(SendMessageA(panel.hwnd(), WM_USER + 5, 0, 0), 77);
  EXPECT_EQ(panel.otherMessages, 1);
}

TEST(SkinPanel, WithoutASkinNothingIsDrawnButTheEraseIsStillReported) {
  HostWindow host(420, 260, 200, 120);
  TestPanel panel{ScopedBitmap()};
  MemoryDialogTemplate dialog(WS_CHILD | WS_VISIBLE | DS_CONTROL, 40, 30);
  ASSERT_TRUE(panel.CreateIndirect(host.hwnd(), dialog.get()));
  Canvas canvas(30, 30, RGB(1, 2, 3));
  EXPECT_FALSE(panel.PaintSkin(canvas.dc()));
  EXPECT_EQ(SendMessageA(panel.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0), 1);
  EXPECT_EQ(canvas.Pixel(10, 10), RGB(1, 2, 3));
  // The resource constructor in a program without bitmap 129 behaves alike.
  CSkinPanel fromResources(0);
  EXPECT_EQ(fromResources.skin() != nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(129), MAKEINTRESOURCEA(2)) != nullptr);
}

}  // namespace
}  // namespace sh::test
