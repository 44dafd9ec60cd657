// The three-bitmap navigation button on real BUTTON controls: its size, the
// face on screen in each state, the hand cursor, selection in groups.
#include <gtest/gtest.h>

#include <list>

#include "toolkit/gui_fixture.h"
#include "toolkit/skin_button_win.h"

namespace sh::test {
namespace {

constexpr COLORREF kNormal = RGB(200, 0, 0), kHover = RGB(0, 200, 0), kSelected = RGB(0, 0, 200);

struct RecordingTarget : ISkinButtonTarget {
  bool OnSkinButtonClicked(CSkinButton& button) override {
    asked.push_back(button.id());
    return true;
  }
  std::vector<int> asked;
};

using SkinButton = GuiTest;

TEST_F(SkinButton, ShowsItsFaceForEachStateAndAPressClearsOnlyItsOwnGroup) {
  RecordingTarget target;
  CSkinButtonGroups groups;  // outlives the buttons
  std::list<CSkinButton> buttons;
  // A BUTTON control taken over with solid 30 x 12 faces.
  auto add = [&](int id, int group, int y) -> CSkinButton& {
    buttons.emplace_back(groups, target, group);
    auto face = [](COLORREF colour) { return MakeBitmap(30, 12, [colour](int, int) { return colour; }); };
    EXPECT_TRUE(buttons.back().Create(host.AddChild("BUTTON", "Clean", BS_PUSHBUTTON, 17, y, 80, 25, id),
                                      face(kNormal), face(kHover), face(kSelected)));
    return buttons.back();
  };
  // The far corner of the button on screen, once pending paints ran.
  auto shown = [](const CSkinButton& button) {
    UpdateWindow(button.hwnd());
    return GetPixel(ScopedGetDc(button.hwnd()).get(), 29, 11);
  };
  CSkinButton& clean = add(1000, 1, 10);
  const RECT r = ChildRect(clean.hwnd());
  EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}), std::vector<LONG>({17, 10, 17 + 30, 10 + 12}));
  EXPECT_EQ(shown(clean), kNormal);
  PutCursorAt(clean.hwnd(), 5, 5);
  SendMessageA(clean.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(shown(clean), kHover);
  SendMessageA(clean.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(clean.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadSkinHandCursor());
  PutCursorAway();  // the leave notification the move asked for arrives
  EXPECT_TRUE(PumpUntil([&] { return !clean.hover(); }));
  EXPECT_EQ(shown(clean), kNormal);
  PutCursorAt(clean.hwnd(), 5, 5);
  SendMessageA(clean.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  clean.Select();
  EXPECT_EQ(shown(clean), kSelected) << "selected wins over hover";
  PutCursorAway();
  EXPECT_TRUE(PumpUntil([&] { return !clean.hover(); }));

  CSkinButton& items = add(1003, 1, 50);
  CSkinButton& elsewhere = add(2000, 2, 90);
  elsewhere.Select();
  SendMessageA(items.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  SendMessageA(clean.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));  // a quick second press
  SendMessageA(items.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  EXPECT_EQ(target.asked, (std::vector<int>{1003, 1000, 1003}));
  EXPECT_EQ(shown(items), kSelected);
  EXPECT_EQ(shown(clean), kNormal) << "the deselected one is repainted";
  EXPECT_EQ(shown(elsewhere), kSelected);
}

}  // namespace
}  // namespace sh::test
