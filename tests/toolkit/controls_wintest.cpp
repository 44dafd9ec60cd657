// The toolkit's controls on real windows. The three-bitmap navigation
// button on real BUTTON controls: its size, the face on screen in each
// state, the hand cursor, selection in groups.
#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "res/resource.h"
#include "support/fake_shell.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "toolkit/bitmap_win.h"
#include "toolkit/gui_fixture.h"
#include "toolkit/hover_bitmap_button_win.h"
#include "toolkit/link_static_win.h"
#include "toolkit/skin_button_win.h"
#include "toolkit/transparent_blit_win.h"
#include "ui/main/skin_region.h"

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
  MovePointerOnto(clean.hwnd(), 5, 5);
  EXPECT_EQ(shown(clean), kHover);
  SendMessageA(clean.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(clean.hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadSkinHandCursor());
  PutCursorAway();  // the leave notification the move asked for arrives
  EXPECT_TRUE(PumpUntil([&] { return !clean.hover(); }));
  EXPECT_EQ(shown(clean), kNormal);
  MovePointerOnto(clean.hwnd(), 5, 5);
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

// The two-bitmap title button on a real BUTTON control: its size, the
// transparent drawing through a one-bit mask (pixels of the key colour show
// what lies beneath, every other colour is drawn), hover both ways, a click.
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
  for (int round = 0; round < 2; ++round) {  // the leave request is made again each time
    MovePointerOnto(control, 30, 10);
    expectDrawn(kHoverInk);
    PutCursorAway();
    ASSERT_TRUE(PumpUntil([&] { return !button.hover(); })) << "no WM_MOUSELEAVE arrived";
    expectDrawn(kNormalInk);  // the bitmaps are left as they were
  }

  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
  SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
  EXPECT_EQ(host.commands, (std::vector<std::pair<int, int>>{{1055, BN_CLICKED}}));
}

// The web-link static as the main window sets it up, on a real STATIC
// control of a dialog: colours through the dialog's reflection and hover, a
// click that opens or reports its failure (the browser fallback read from a
// classes root of the test's own: the prefix's HKEY_CLASSES_ROOT is never
// touched).
constexpr COLORREF kLink = RGB(200, 0, 0), kVisited = RGB(0, 150, 0), kLinkHover = RGB(0, 0, 200);
constexpr char kAddress[] = "http://www.lumivale.example/";

using LinkStatic = GuiTest;

TEST_F(LinkStatic, ShowsItsStateOpensItsAddressAndNamesTheCodeOfAFailedOpen) {
  const std::string root = "Software\\SweepHarborTest\\LinkClasses";
  RegistryGuard guard;
  ScopedHKey classes = guard.Create(HKEY_CURRENT_USER, root);
  FakeShell shell;
  ScriptedPrompt prompt;
  HWND control = host.AddChild("STATIC", "Lumivale Home", SS_NOTIFY, 5, 5, 300, 40);
  CLinkStatic link(shell, prompt, LinkSystem{classes.get(), std::string()});
  link.SetURL(kAddress);
  link.SetColours(kLink, kVisited, kLinkHover);
  ASSERT_TRUE(link.Attach(control));
  EXPECT_EQ(link.TooltipText(), kAddress) << "the tooltip made, with the address";

  // How the dialog has a static paint its text: the colour, then
  // " transparent" and " hollow" for the background mode and brush.
  auto painted = [&] {
    Canvas canvas(4, 4);
    const auto brush = SendMessageA(host.hwnd(), WM_CTLCOLORSTATIC, WPARAM(canvas.dc()), LPARAM(control));
    return std::to_string(GetTextColor(canvas.dc())) + (GetBkMode(canvas.dc()) == TRANSPARENT ? " transparent" : "") +
           (HGDIOBJ(brush) == GetStockObject(HOLLOW_BRUSH) ? " hollow" : "");
  };
  auto onPicture = [](COLORREF colour) { return std::to_string(colour) + " transparent hollow"; };
  EXPECT_EQ(painted(), onPicture(kLink));
  MovePointerOnto(control, 3, 3);
  EXPECT_EQ(painted(), onPicture(kLinkHover));
  SendMessageA(control, WM_TIMER, CLinkStatic::kHoverTimerId, 0);
  EXPECT_TRUE(link.over()) << "the pointer is still inside";
  PutCursorAway();  // the hover timer notices
  ASSERT_TRUE(PumpUntil([&] { return !link.over(); }));
  EXPECT_EQ(painted(), onPicture(kLink));

  // Clicks: the shell fails and no browser is registered; then a registered
  // browser's command fails too; then the shell opens the address.
  auto click = [&] { SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3)); };
  shell.openCode = 4;
  click();
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, "Unable to open hyperlink:\n\nUnknown Error (4) occurred.");
  EXPECT_EQ(prompt.asked[0].icon, PromptIcon::kWarning);
  guard.SetString(HKEY_CURRENT_USER, root + "\\.htm", "", "shtest.page");
  guard.SetString(HKEY_CURRENT_USER, root + "\\shtest.page\\shell\\open\\command", "", "\"C:\\b.exe\" -nohome \"%1\"");
  shell.runCode = 29;
  click();
  EXPECT_EQ(shell.ran, std::vector<std::string>{"\"C:\\b.exe\" -nohome  http://www.lumivale.example/"});
  ASSERT_EQ(prompt.asked.size(), 2u);
  EXPECT_EQ(prompt.asked[1].text, "Unable to open hyperlink:\n\nThe DDE transaction failed.");
  EXPECT_EQ(painted(), onPicture(kLink)) << "not visited";
  shell.openCode = 42;
  MovePointerOnto(control, 3, 3);
  click();
  EXPECT_EQ(shell.opened, std::vector<std::string>(3, kAddress));
  EXPECT_EQ(shell.shows, std::vector<int>(4, SW_SHOWNORMAL));
  EXPECT_EQ(painted(), onPicture(kVisited)) << "visited, and a click ends the hover";
  EXPECT_EQ(prompt.asked.size(), 2u);

  HWND tip = link.tooltip();
  DestroyWindow(control);  // the control going first: the link forgets it, the tooltip goes
  EXPECT_EQ(link.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(tip));
}

// The program's resources as the code finds them by number, in this test
// program's own module (it links the same resource object as
// SweepHarbor.exe): the sizes the code is bound to and the colours the skin's
// region and the transparent drawing key on.
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
}  // namespace sh::test
