// The web-link static as the main window sets it up, on a real STATIC
// control of a dialog: colours through the dialog's reflection, hover with
// its underline, the background, a click that opens or reports its failure
// (the browser fallback read from a classes root of the test's own: the
// prefix's HKEY_CLASSES_ROOT is never touched).
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "support/fake_shell.h"
#include "support/recorders.h"
#include "toolkit/gui_fixture.h"
#include "toolkit/link_static_win.h"

namespace sh::test {
namespace {

constexpr COLORREF kLink = RGB(200, 0, 0), kVisited = RGB(0, 150, 0), kHover = RGB(0, 0, 200);
constexpr char kAddress[] = "http://www.lumivale.example/";

using LinkStatic = GuiTest;

TEST_F(LinkStatic, ShowsItsStateOpensItsAddressAndNamesTheCodeOfAFailedOpen) {
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\SweepHarborTest");
  ScopedHKey classes;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\SweepHarborTest\\LinkClasses", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  classes.Receive(), nullptr);
  FakeShell shell;
  ScriptedPrompt prompt;
  ScopedFont font(CreateFontA(-15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
  HWND control = host.AddChild("STATIC", "Lumivale Home", SS_NOTIFY, 5, 5, 300, 40);
  HWND plain = host.AddChild("STATIC", "plain", 0, 5, 60, 300, 40);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  CLinkStatic link(shell, prompt, LinkSystem{classes.get(), std::string()});
  link.SetURL(kAddress);
  link.SetColours(kLink, kVisited, kHover);
  link.SetAutoSize(false);
  ASSERT_TRUE(link.Attach(control));
  EXPECT_EQ(CWindow(control).Text(), "Lumivale Home");
  EXPECT_EQ(link.TooltipText(), kAddress);
  EXPECT_EQ(ChildRect(control).right, 5 + 300) << "auto size off";

  // How the dialog has a static paint its text: the colour, then
  // " transparent" and " hollow" for the background mode and brush.
  auto asked = [&](HWND which) {
    Canvas canvas(4, 4);
    const auto brush = SendMessageA(host.hwnd(), WM_CTLCOLORSTATIC, WPARAM(canvas.dc()), LPARAM(which));
    return std::to_string(GetTextColor(canvas.dc())) + (GetBkMode(canvas.dc()) == TRANSPARENT ? " transparent" : "") +
           (HGDIOBJ(brush) == GetStockObject(HOLLOW_BRUSH) ? " hollow" : "");
  };
  auto onPicture = [](COLORREF colour) { return std::to_string(colour) + " transparent hollow"; };
  // The link's font as "face height", with " underlined" when it is.
  auto fontNow = [&] {
    LOGFONTA f = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof f, &f);
    return std::string(f.lfFaceName) + " " + std::to_string(f.lfHeight) + (f.lfUnderline ? " underlined" : "");
  };
  EXPECT_EQ(asked(plain).find("hollow"), std::string::npos) << "a static that is no link gets the usual answer";
  EXPECT_EQ(asked(control), onPicture(kLink));
  EXPECT_EQ(fontNow(), "Tahoma -15");
  PutCursorAt(control, 3, 3);
  SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(asked(control), onPicture(kHover));
  EXPECT_EQ(fontNow(), "Tahoma -15 underlined");
  SendMessageA(control, WM_TIMER, CLinkStatic::kHoverTimerId, 0);
  EXPECT_TRUE(link.over()) << "the pointer is still inside";
  PutCursorAway();  // the hover timer notices
  ASSERT_TRUE(PumpUntil([&] { return !link.over(); }));
  EXPECT_EQ(fontNow(), "Tahoma -15");
  EXPECT_EQ(asked(control), onPicture(kLink));

  // The background: what the painter draws, else the button face.
  Canvas canvas(310, 45, RGB(9, 9, 9));
  link.SetBackgroundPainter([](HDC dc, HWND) { return BitBlt(dc, 7, 7, 1, 1, nullptr, 0, 0, BLACKNESS) != 0; });
  SendMessageA(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  EXPECT_EQ(canvas.Pixel(7, 7), RGB(0, 0, 0));
  EXPECT_EQ(canvas.Pixel(8, 8), RGB(9, 9, 9)) << "no fill over the painter's work";
  link.SetBackgroundPainter([](HDC, HWND) { return false; });
  SendMessageA(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0);
  EXPECT_EQ(canvas.Pixel(299, 39), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.Pixel(300, 0), RGB(9, 9, 9));

  // Clicks: the shell fails and no browser is registered; then a registered
  // browser's command fails too; then the shell opens the address.
  auto click = [&] { SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3)); };
  shell.openCode = 4;
  click();
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, "Unable to open hyperlink:\n\nUnknown Error (4) occurred.");
  EXPECT_EQ(prompt.asked[0].icon, PromptIcon::kWarning);
  for (const auto& [subKey, text] : {std::pair<std::string, std::string>{".htm", "shtest.page"},
                                     {"shtest.page\\shell\\open\\command", "\"C:\\b.exe\" -nohome \"%1\""}}) {
    ScopedHKey key;
    RegCreateKeyExA(classes.get(), subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
  }
  shell.runCode = 29;
  click();
  EXPECT_EQ(shell.ran, std::vector<std::string>{"\"C:\\b.exe\" -nohome  http://www.lumivale.example/"});
  ASSERT_EQ(prompt.asked.size(), 2u);
  EXPECT_EQ(prompt.asked[1].text, "Unable to open hyperlink:\n\nThe DDE transaction failed.");
  EXPECT_EQ(asked(control), onPicture(kLink)) << "not visited";
  shell.openCode = 42;
  PutCursorAt(control, 3, 3);
  SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  click();
  EXPECT_EQ(shell.opened, std::vector<std::string>(3, kAddress));
  EXPECT_EQ(shell.shows, std::vector<int>(4, SW_SHOWNORMAL));
  EXPECT_EQ(asked(control), onPicture(kVisited)) << "visited, and a click ends the hover";
  EXPECT_EQ(prompt.asked.size(), 2u);

  HWND tip = link.tooltip();
  DestroyWindow(control);  // the control going first: the link forgets it, the tooltip goes
  EXPECT_EQ(link.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(tip));
  SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\SweepHarborTest");
}

}  // namespace
}  // namespace sh::test
