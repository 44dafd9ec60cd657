// The three-bitmap navigation button on real BUTTON controls: size, faces,
// selection groups, the click target, the hand cursor, real painting.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "toolkit/skin_button_win.h"
#include "toolkit/gui_fixture.h"

namespace sh::test {
namespace {

constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kHover = RGB(0, 200, 0);
constexpr COLORREF kSelected = RGB(0, 0, 200);
constexpr int kWidth = 30, kHeight = 12;

class RecordingTarget : public ISkinButtonTarget {
 public:
  bool OnSkinButtonClicked(CSkinButton& button) override {
    clicked.push_back(button.id());
    // The button is not selected yet while the target decides.
    selectedDuringCall.push_back(button.selected());
    auto it = refuse.find(button.id());
    return it == refuse.end() || !it->second;
  }
  std::vector<int> clicked;
  std::vector<bool> selectedDuringCall;
  std::map<int, bool> refuse;
};

class SkinButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { PutCursorAway(); }

  // A BUTTON control at (x, y) of the host, taken over with solid faces.
  CSkinButton& Add(int id, int group, int x, int y) {
    HWND control = host.AddChild("BUTTON", "Clean", BS_PUSHBUTTON, x, y, 80, 25, id);
    buttons.push_back(std::make_unique<CSkinButton>(groups, target, group));
    CSkinButton& button = *buttons.back();
    EXPECT_TRUE(button.Create(control, MakeSolidBitmap(kWidth, kHeight, kNormal),
                              MakeSolidBitmap(kWidth, kHeight, kHover), MakeSolidBitmap(kWidth, kHeight, kSelected)));
    return button;
  }

  // The colour the button draws now (WM_PRINTCLIENT into a canvas).
  static COLORREF Printed(const CSkinButton& button) {
    Canvas canvas(kWidth + 4, kHeight + 4, RGB(255, 255, 255));
    SendMessageA(button.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.Pixel(kWidth, kHeight), RGB(255, 255, 255)) << "drew beyond its bitmap";
    EXPECT_EQ(canvas.Pixel(0, 0), canvas.Pixel(kWidth - 1, kHeight - 1));
    return canvas.Pixel(kWidth / 2, kHeight / 2);
  }

  // The colour on screen after the pending paint (WM_PAINT) has run.
  static COLORREF Painted(const CSkinButton& button) {
    UpdateWindow(button.hwnd());
    ScopedGetDc dc(button.hwnd());
    return GetPixel(dc.get(), 3, 3);
  }

  static void Press(const CSkinButton& button) { SendMessageA(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4)); }

  HostWindow host{40, 40, 400, 300};
  CSkinButtonGroups groups;  // outlives the buttons (declared first)
  RecordingTarget target;
  std::vector<std::unique_ptr<CSkinButton>> buttons;
};

TEST_F(SkinButtonTest, TakesTheNormalBitmapsSizeKeepingItsTopLeftAndBecomesOwnerDrawn) {
  CSkinButton& button = Add(1000, 1, 17, 23);
  RECT r = HostWindow::ChildRect(button.hwnd());
  EXPECT_EQ(r.left, 17);
  EXPECT_EQ(r.top, 23);
  EXPECT_EQ(r.right - r.left, kWidth);
  EXPECT_EQ(r.bottom - r.top, kHeight);
  EXPECT_EQ(GetWindowLongPtrA(button.hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(button.id(), 1000);
  EXPECT_EQ(button.group(), 1);
  EXPECT_FALSE(button.selected());
  EXPECT_EQ(button.face(), CSkinButton::Face::kNormal);
  EXPECT_EQ(Hex(Printed(button)), Hex(kNormal));
}

TEST_F(SkinButtonTest, CreateNeedsAButtonAndANormalBitmap) {
  CSkinButton button(groups, target, 1);
  EXPECT_FALSE(button.Create(nullptr, MakeSolidBitmap(2, 2, kNormal), ScopedBitmap(), ScopedBitmap()));
  HWND control = host.AddChild("BUTTON", "x", BS_PUSHBUTTON, 5, 5, 50, 20, 1009);
  EXPECT_FALSE(button.Create(control, ScopedBitmap(), MakeSolidBitmap(2, 2, kHover), ScopedBitmap()));
  EXPECT_EQ(GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_EQ(HostWindow::ChildRect(control).right, 55);
  // Resource ids that this program does not have: no normal bitmap.
  EXPECT_FALSE(button.Create(control, 64990, 64991, 64992));
}

TEST_F(SkinButtonTest, MissingHoverAndSelectedBitmapsFallBackToTheNormalOne) {
  CSkinButton button(groups, target, 1);
  HWND control = host.AddChild("BUTTON", "x", BS_PUSHBUTTON, 5, 5, 50, 20, 1008);
  ASSERT_TRUE(button.Create(control, MakeSolidBitmap(kWidth, kHeight, kNormal), ScopedBitmap(), ScopedBitmap()));
  button.Select();
  EXPECT_EQ(button.face(), CSkinButton::Face::kSelected);
  EXPECT_EQ(Hex(Printed(button)), Hex(kNormal));
}

TEST_F(SkinButtonTest, APressTheTargetAcceptsSelectsAndDeselectsTheRestOfTheGroupOnly) {
  CSkinButton& clean = Add(1000, 1, 0, 0);
  CSkinButton& control = Add(1002, 1, 0, 50);
  CSkinButton& items = Add(1003, 1, 0, 100);
  CSkinButton& elsewhere = Add(2000, 2, 100, 0);
  clean.Select();
  elsewhere.Select();
  ASSERT_TRUE(clean.selected());

  Press(control);

  EXPECT_EQ(target.clicked, std::vector<int>{1002});
  EXPECT_EQ(target.selectedDuringCall, std::vector<bool>{false});
  EXPECT_TRUE(control.selected());
  EXPECT_FALSE(clean.selected());
  EXPECT_FALSE(items.selected());
  EXPECT_TRUE(elsewhere.selected()) << "another group is not touched";
  EXPECT_EQ(groups.SelectedIn(1), &control);
  EXPECT_EQ(groups.SelectedIn(2), &elsewhere);
  EXPECT_EQ(Hex(Printed(control)), Hex(kSelected));
  EXPECT_EQ(Hex(Printed(clean)), Hex(kNormal));
  EXPECT_EQ(Hex(Printed(elsewhere)), Hex(kSelected));
}

TEST_F(SkinButtonTest, ARefusedPressKeepsTheSelectionAsItWas) {
  CSkinButton& clean = Add(1000, 1, 0, 0);
  CSkinButton& control = Add(1002, 1, 0, 50);
  clean.Select();
  target.refuse[1002] = true;

  Press(control);

  EXPECT_EQ(target.clicked, std::vector<int>{1002}) << "the target is asked all the same";
  EXPECT_FALSE(control.selected());
  EXPECT_TRUE(clean.selected());
  EXPECT_EQ(Hex(Printed(control)), Hex(kNormal));
}

TEST_F(SkinButtonTest, RepeatedPressesAndDoubleClicksAskTheTargetEveryTimeAndSendNoCommand) {
  CSkinButton& clean = Add(1000, 1, 0, 0);
  Press(clean);
  SendMessageA(clean.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  // The button class turns a quick second press into a double click.
  SendMessageA(clean.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageA(clean.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  EXPECT_EQ(target.clicked, (std::vector<int>{1000, 1000}));
  EXPECT_EQ(target.selectedDuringCall, (std::vector<bool>{false, true}));
  EXPECT_TRUE(clean.selected());
  Pump(20);
  EXPECT_TRUE(host.commands.empty()) << "the target alone hears of a press";
  EXPECT_NE(GetCapture(), clean.hwnd());
}

TEST_F(SkinButtonTest, SelectByTheProgramHasTheSameGroupEffectWithoutAskingTheTarget) {
  CSkinButton& clean = Add(1000, 1, 0, 0);
  CSkinButton& cookies = Add(1004, 1, 0, 50);
  clean.Select();
  cookies.Select();
  EXPECT_TRUE(target.clicked.empty());
  EXPECT_TRUE(cookies.selected());
  EXPECT_FALSE(clean.selected());
  cookies.Deselect();
  EXPECT_EQ(groups.SelectedIn(1), nullptr);
}

TEST_F(SkinButtonTest, HoverFaceWhileTheMouseIsOverItAndBackAfterItLeaves) {
  CSkinButton& clean = Add(1000, 1, 20, 20);
  PutCursorAt(clean.hwnd(), 5, 5);
  SendMessageA(clean.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(clean.hover());
  EXPECT_EQ(clean.face(), CSkinButton::Face::kHover);
  EXPECT_EQ(Hex(Painted(clean)), Hex(kHover));

  // The leave notification that the move asked for arrives once the
  // pointer is elsewhere.
  PutCursorAway();
  EXPECT_TRUE(PumpUntil([&] { return !clean.hover(); }, 2000));
  EXPECT_EQ(Hex(Painted(clean)), Hex(kNormal));

  // Selected wins over hover.
  PutCursorAt(clean.hwnd(), 5, 5);
  SendMessageA(clean.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  clean.Select();
  EXPECT_TRUE(clean.hover());
  EXPECT_EQ(clean.face(), CSkinButton::Face::kSelected);
  EXPECT_EQ(Hex(Painted(clean)), Hex(kSelected));
  PutCursorAway();
}

TEST_F(SkinButtonTest, DeselectedButtonsArePaintedAgain) {
  CSkinButton& clean = Add(1000, 1, 0, 0);
  CSkinButton& items = Add(1003, 1, 0, 50);
  clean.Select();
  EXPECT_EQ(Hex(Painted(clean)), Hex(kSelected));
  Press(items);
  // No explicit invalidation by the test: the group repaints the old one.
  EXPECT_EQ(Hex(Painted(clean)), Hex(kNormal));
  EXPECT_EQ(Hex(Painted(items)), Hex(kSelected));
}

TEST_F(SkinButtonTest, TheCursorOverItIsTheHand) {
  CSkinButton& clean = Add(1000, 1, 0, 0);
  // Wine and this test program: no cursor resource 132 here, so the
  // system's hand. (The program's own cursor 132 is not shown by this run.)
  HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
  ASSERT_NE(hand, nullptr);
  EXPECT_EQ(LoadSkinHandCursor(GetModuleHandleA("kernel32.dll")), hand);
  EXPECT_EQ(clean.cursor(), LoadSkinHandCursor());
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  LRESULT handled = SendMessageA(clean.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(clean.hwnd()),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_TRUE(handled);
  EXPECT_EQ(GetCursor(), clean.cursor());
}

TEST_F(SkinButtonTest, ButtonsLeaveTheRegistryWhenTheyGoAndOutliveTheirControls) {
  Add(1000, 1, 0, 0);
  Add(1002, 1, 0, 50);
  EXPECT_EQ(groups.size(), 2u);
  buttons.back()->Select();
  buttons.pop_back();
  EXPECT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups.SelectedIn(1), nullptr);
  Press(*buttons.front());  // the group walk does not meet the destroyed one
  EXPECT_TRUE(buttons.front()->selected());

  // The control going first: the button forgets it and keeps its state.
  CSkinButton& clean = *buttons.front();
  DestroyWindow(clean.hwnd());
  EXPECT_EQ(clean.hwnd(), nullptr);
  EXPECT_EQ(clean.id(), 0);
  clean.Deselect();
  clean.Select();
  EXPECT_TRUE(clean.selected());
}

}  // namespace
}  // namespace sh::test
