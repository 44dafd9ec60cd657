// The web-link static as the main window sets it up, on a real STATIC
// control of a dialog: colours through the dialog's reflection and hover, a
// click that opens or reports its failure
// (the browser fallback read from a classes root of the test's own: the
// prefix's HKEY_CLASSES_ROOT is never touched).
#include <gtest/gtest.h>

#include "support/fake_shell.h"
#include "support/recorders.h"
#include "support/registry_guard.h"
#include "toolkit/gui_fixture.h"
#include "toolkit/link_static_win.h"

namespace sh::test {
namespace {

constexpr COLORREF kLink = RGB(200, 0, 0), kVisited = RGB(0, 150, 0), kHover = RGB(0, 0, 200);
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
  link.SetColours(kLink, kVisited, kHover);
  ASSERT_TRUE(link.Attach(control));
  EXPECT_EQ(CWindow(control).Text(), "Lumivale Home");
  EXPECT_EQ(link.TooltipText(), kAddress);

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
  PutCursorAt(control, 3, 3);
  SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(painted(), onPicture(kHover));
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
  PutCursorAt(control, 3, 3);
  SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
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

}  // namespace
}  // namespace sh::test
