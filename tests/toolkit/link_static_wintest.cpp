// The web-link static on real STATIC controls: set-up, fonts, colours by
// state through a reflecting parent, hover timer, cursor, auto size, click
// with its error box, and the open fallback through registry keys of the
// test's own (the prefix's HKEY_CLASSES_ROOT is never touched).
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/recorders.h"
#include "toolkit/gui_fixture.h"
#include "toolkit/link_static_win.h"

namespace sh::test {
namespace {

// A classes root of the test's own under HKEY_CURRENT_USER, removed at the
// end.
class ScratchClasses {
 public:
  ScratchClasses() : path_("Software\\SweepHarborTest\\LinkClasses" + std::to_string(GetCurrentProcessId())) {
    SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root_.Receive(),
                    nullptr);
  }
  ~ScratchClasses() {
    root_.reset();
    SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    SHDeleteEmptyKeyA(HKEY_CURRENT_USER, "Software\\SweepHarborTest");
  }
  HKEY root() const { return root_.get(); }
  void SetDefault(const std::string& subKey, const std::string& text) const {
    ScopedHKey key;
    RegCreateKeyExA(root_.get(), subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
  }
  // A browser registered the way the shell registers one.
  void RegisterBrowser(const std::string& command) const {
    SetDefault(".htm", "shtest.page");
    SetDefault("shtest.page\\shell\\open\\command", command);
  }

 private:
  std::string path_;
  ScopedHKey root_;
};

class FakeShell : public IShellLauncher {
 public:
  int ShellOpen(const std::string& target, int show) override {
    opened.push_back(target);
    shows.push_back(show);
    return openCode;
  }
  int RunProgram(const std::string& commandLine, int show) override {
    ran.push_back(commandLine);
    shows.push_back(show);
    return runCode;
  }
  int openCode = 42;
  int runCode = 33;
  std::vector<std::string> opened, ran;
  std::vector<int> shows;
};

LOGFONTA FontOf(HWND control) {
  LOGFONTA font = {};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  GetObjectA(handle ? static_cast<HGDIOBJ>(handle) : GetStockObject(SYSTEM_FONT), sizeof font, &font);
  return font;
}

SIZE TextExtent(HWND control, const std::string& text) {
  ScopedGetDc dc(control);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  ScopedSelectObject selected(dc.get(), font);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PutCursorAway();
    font.reset(CreateFontA(-15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
  }
  HWND AddStatic(const char* text, DWORD style, int x = 20, int y = 30, int width = 300, int height = 40) {
    HWND control = host.AddChild("STATIC", text, style, x, y, width, height, 1087);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    return control;
  }
  // The text colour and brush that the parent hands the static when it
  // paints: the host reflects the request to the link.
  COLORREF AskedColour(HWND control, HBRUSH* brush = nullptr) {
    Canvas canvas(4, 4);
    SetTextColor(canvas.dc(), RGB(1, 1, 1));
    LRESULT answer = SendMessageA(host.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.dc()),
                                  reinterpret_cast<LPARAM>(control));
    if (brush) *brush = reinterpret_cast<HBRUSH>(answer);
    EXPECT_EQ(GetBkMode(canvas.dc()), TRANSPARENT);
    return GetTextColor(canvas.dc());
  }
  void Hover(HWND control) {
    PutCursorAt(control, 3, 3);
    SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  }

  HostWindow host{20, 520, 600, 200};
  ScopedFont font;
  ScratchClasses classes;
  FakeShell shell;
  ScriptedPrompt prompt;
  CLinkStatic link{shell, prompt, LinkSystem{classes.root(), std::string()}};
};

TEST_F(LinkTest, SetUpTakesTheTextAsAddressAddsNotifyAndMakesTheTooltip) {
  HWND control = AddStatic("http://www.lumivale.example/", SS_LEFT);
  ASSERT_TRUE(link.Attach(control));
  EXPECT_EQ(link.url(), "http://www.lumivale.example/");
  EXPECT_TRUE(GetWindowLongPtrA(control, GWL_STYLE) & SS_NOTIFY);
  ASSERT_NE(link.tooltip(), nullptr);
  // Asked for with the link as parent, the tooltip is owned by the link's
  // top-level window (owners are always top-level).
  EXPECT_EQ(GetWindow(link.tooltip(), GW_OWNER), GetAncestor(control, GA_ROOT));
  EXPECT_EQ(link.TooltipText(), "http://www.lumivale.example/");
  link.SetURL("http://www.lumivale.example/support.htm");
  EXPECT_EQ(link.TooltipText(), "http://www.lumivale.example/support.htm");
  EXPECT_EQ(link.underline(), CLinkStatic::kUnderlineHover);
  EXPECT_FALSE(link.underlined());
  EXPECT_TRUE(link.auto_size());
}

TEST_F(LinkTest, AGivenAddressStaysAndAnEmptyTextShowsIt) {
  HWND named = AddStatic("Lumivale Home", SS_LEFT);
  link.SetURL("http://www.lumivale.example/");
  ASSERT_TRUE(link.Attach(named));
  EXPECT_EQ(link.url(), "http://www.lumivale.example/");
  EXPECT_EQ(CWindow(named).Text(), "Lumivale Home");

  CLinkStatic empty(shell, prompt, LinkSystem{classes.root(), std::string()});
  HWND blank = AddStatic("", SS_LEFT, 20, 80);
  empty.SetURL("http://www.lumivale.example/help.htm");
  ASSERT_TRUE(empty.Attach(blank));
  EXPECT_EQ(CWindow(blank).Text(), "http://www.lumivale.example/help.htm");
}

TEST_F(LinkTest, FontsAreTheControlsFontWithAndWithoutUnderline) {
  HWND control = AddStatic("Lumivale Products Information", SS_LEFT);
  ASSERT_TRUE(link.Attach(control));
  LOGFONTA normal = FontOf(control);
  EXPECT_EQ(normal.lfHeight, -15);
  EXPECT_EQ(normal.lfWeight, FW_BOLD);
  EXPECT_STREQ(normal.lfFaceName, "Tahoma");
  EXPECT_FALSE(normal.lfUnderline);
  EXPECT_NE(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), font.get()) << "a font of its own";

  Hover(control);
  LOGFONTA underlined = FontOf(control);
  EXPECT_TRUE(underlined.lfUnderline);
  EXPECT_EQ(underlined.lfHeight, -15);
  EXPECT_STREQ(underlined.lfFaceName, "Tahoma");
  PutCursorAway();
}

TEST_F(LinkTest, WithoutAFontTheDefaultInterfaceFontIsTaken) {
  HWND control = host.AddChild("STATIC", "Lumivale Home", SS_LEFT, 20, 30, 200, 20, 1087);
  ASSERT_EQ(SendMessageA(control, WM_GETFONT, 0, 0), 0);
  ASSERT_TRUE(link.Attach(control));
  LOGFONTA expected = {};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof expected, &expected);
  LOGFONTA got = FontOf(control);
  EXPECT_STREQ(got.lfFaceName, expected.lfFaceName);
  EXPECT_EQ(got.lfHeight, expected.lfHeight);
}

TEST_F(LinkTest, ColoursFollowTheStateThroughTheReflectedRequest) {
  HWND control = AddStatic("Lumivale Home", SS_LEFT);
  ASSERT_TRUE(link.Attach(control));
  HBRUSH brush = nullptr;
  EXPECT_EQ(Hex(AskedColour(control, &brush)), Hex(RGB(0, 0, 238)));
  EXPECT_EQ(brush, static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH)));

  Hover(control);
  EXPECT_TRUE(link.over());
  EXPECT_EQ(Hex(AskedColour(control)), Hex(RGB(255, 0, 0)));

  link.SetVisited(true);
  EXPECT_EQ(Hex(AskedColour(control)), Hex(RGB(255, 0, 0))) << "hover wins over visited";
  PutCursorAway();
  SendMessageA(control, WM_TIMER, CLinkStatic::kHoverTimerId, 0);
  EXPECT_FALSE(link.over());
  EXPECT_EQ(Hex(AskedColour(control)), Hex(RGB(85, 26, 139)));
  link.SetVisited(false);
  EXPECT_EQ(Hex(AskedColour(control)), Hex(RGB(0, 0, 238)));
}

TEST_F(LinkTest, AHoverColourOfAllBitsIsTheSystemHighlightAndWhiteLinksStayWhite) {
  HWND control = AddStatic("Lumivale Home", SS_LEFT);
  ASSERT_TRUE(link.Attach(control));
  link.SetColours(RGB(1, 2, 3), RGB(4, 5, 6), CLinkStatic::kHighlightColour);
  EXPECT_EQ(Hex(AskedColour(control)), Hex(RGB(1, 2, 3)));
  Hover(control);
  EXPECT_EQ(Hex(AskedColour(control)), Hex(GetSysColor(COLOR_HIGHLIGHT)));
  EXPECT_EQ(CLinkStatic::kHighlightColour, static_cast<COLORREF>(-1));

  // The main window's links: white in every state, visited included.
  link.SetColours(RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255));
  EXPECT_EQ(AskedColour(control), RGB(255, 255, 255));
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  ASSERT_TRUE(link.visited());
  EXPECT_EQ(AskedColour(control), RGB(255, 255, 255));
  Hover(control);
  EXPECT_EQ(AskedColour(control), RGB(255, 255, 255));
  PutCursorAway();
}

TEST_F(LinkTest, ADialogParentReflectsTheColourRequestToo) {
  class Page : public CDialog {
   public:
    Page() : CDialog(0) {}
  } page;
  MemoryDialogTemplate dialog(WS_CHILD | WS_VISIBLE | DS_CONTROL, 100, 40);
  ASSERT_TRUE(page.CreateIndirect(host.hwnd(), dialog.get()));
  HWND control = CreateWindowExA(0, "STATIC", "Lumivale Home", WS_CHILD | WS_VISIBLE, 2, 2, 150, 20, page.hwnd(),
                                 reinterpret_cast<HMENU>(1087), GetModuleHandleA(nullptr), nullptr);
  HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_CHILD | WS_VISIBLE, 2, 30, 150, 20, page.hwnd(),
                               reinterpret_cast<HMENU>(1088), GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(link.Attach(control));
  Canvas canvas(4, 4);
  LRESULT brush = SendMessageA(page.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.dc()),
                               reinterpret_cast<LPARAM>(control));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(HOLLOW_BRUSH));
  EXPECT_EQ(Hex(GetTextColor(canvas.dc())), Hex(RGB(0, 0, 238)));
  // A static that is no link gets the dialog's usual answer.
  LRESULT other = SendMessageA(page.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(canvas.dc()),
                               reinterpret_cast<LPARAM>(plain));
  EXPECT_NE(reinterpret_cast<HGDIOBJ>(other), GetStockObject(HOLLOW_BRUSH));
}

TEST_F(LinkTest, OnScreenTheTextIsDrawnInTheLinkColourOnButtonFace) {
  HWND control = AddStatic("MMMMMMMM", SS_LEFT);
  link.SetColours(RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200));
  ASSERT_TRUE(link.Attach(control));
  InvalidateRect(control, nullptr, TRUE);
  UpdateWindow(control);
  RECT client;
  GetClientRect(control, &client);
  int ink = 0, face = 0, other = 0;
  ScopedGetDc dc(control);
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) {
      COLORREF c = GetPixel(dc.get(), x, y);
      if (c == RGB(200, 0, 0)) ++ink;
      else if (c == GetSysColor(COLOR_BTNFACE)) ++face;
      else ++other;
    }
  EXPECT_GT(ink, 20) << "text pixels in the link colour";
  EXPECT_GT(face, ink) << "background is the button face";
  // Anti-aliased edges may blend the two; the two colours dominate.
  EXPECT_LT(other, ink + face);
}

TEST_F(LinkTest, EraseFillsTheClientWithTheButtonFace) {
  HWND control = AddStatic("Lumivale Home", SS_LEFT);
  ASSERT_TRUE(link.Attach(control));
  RECT client;
  GetClientRect(control, &client);
  Canvas canvas(client.right + 5, client.bottom + 5, RGB(9, 9, 9));
  EXPECT_NE(SendMessageA(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.dc()), 0), 0);
  EXPECT_EQ(canvas.Pixel(0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.Pixel(client.right - 1, client.bottom - 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(canvas.Pixel(client.right + 1, 0), RGB(9, 9, 9));
}

TEST_F(LinkTest, UnderlineModes) {
  HWND control = AddStatic("Lumivale Home", SS_LEFT);
  ASSERT_TRUE(link.Attach(control));
  link.SetUnderline(CLinkStatic::kUnderlineAlways);
  EXPECT_TRUE(FontOf(control).lfUnderline);
  Hover(control);
  PutCursorAway();
  SendMessageA(control, WM_TIMER, CLinkStatic::kHoverTimerId, 0);
  EXPECT_FALSE(link.over());
  EXPECT_TRUE(FontOf(control).lfUnderline) << "mode 1 keeps the underline after leaving";

  link.SetUnderline(CLinkStatic::kUnderlineNever);
  EXPECT_FALSE(FontOf(control).lfUnderline);
  Hover(control);
  EXPECT_TRUE(link.over());
  EXPECT_FALSE(FontOf(control).lfUnderline) << "mode 0 never underlines";

  link.SetUnderline(CLinkStatic::kUnderlineHover);
  EXPECT_TRUE(FontOf(control).lfUnderline) << "mode -1 while over";
  PutCursorAway();
  SendMessageA(control, WM_TIMER, CLinkStatic::kHoverTimerId, 0);
  EXPECT_FALSE(FontOf(control).lfUnderline);
}

TEST_F(LinkTest, TheHoverTimerEndsTheHoverOnlyWhenThePointerIsOutside) {
  HWND control = AddStatic("Lumivale Home", SS_LEFT);
  ASSERT_TRUE(link.Attach(control));
  Hover(control);
  ASSERT_TRUE(link.over());
  SendMessageA(control, WM_TIMER, CLinkStatic::kHoverTimerId, 0);
  EXPECT_TRUE(link.over()) << "pointer still inside";
  SendMessageA(control, WM_TIMER, CLinkStatic::kHoverTimerId + 1, 0);
  EXPECT_TRUE(link.over());

  // The real timer, started by the move, notices the pointer leaving.
  PutCursorAway();
  EXPECT_TRUE(PumpUntil([&] { return !link.over(); }, 2000));
  EXPECT_FALSE(link.underlined());
  // ...and was stopped: no more ticks reach the link's timer.
  EXPECT_FALSE(KillTimer(control, CLinkStatic::kHoverTimerId));
}

TEST_F(LinkTest, TheCursorIsTheHelpProgramsHandWhenItCanBeLoaded) {
  // Wine has no winhlp32.exe in the Windows folder, and its winhlp32.exe in
  // system32 holds no cursor 106: both give no hand cursor, and the link
  // leaves the cursor to the default handling.
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_FALSE(LoadHelpHandCursor(std::string(windows) + "\\system32").valid());
  EXPECT_FALSE(LoadHelpHandCursor("C:\\sh-no-such-folder").valid());
  HWND control = AddStatic("Lumivale Home", SS_LEFT);
  ASSERT_TRUE(link.Attach(control));
  if (!LoadHelpHandCursor().valid()) {
    EXPECT_EQ(link.hand_cursor(), nullptr);
    // Without a hand cursor the default handling sets the class cursor.
    SetCursor(LoadCursorA(nullptr, IDC_CROSS));
    SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
  }

  // A stand-in help program whose cursor 106 exists: Wine's comctl32.dll
  // carries one (its divider cursor), copied as winhlp32.exe.
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "sh-help" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string fake = folder + "\\winhlp32.exe";
  ASSERT_TRUE(CopyFileA((std::string(windows) + "\\system32\\comctl32.dll").c_str(), fake.c_str(), FALSE));
  {
    CLinkStatic withHand(shell, prompt, LinkSystem{classes.root(), folder});
    HWND other = AddStatic("Lumivale Help", SS_LEFT, 20, 100);
    ASSERT_TRUE(withHand.Attach(other));
    ASSERT_NE(withHand.hand_cursor(), nullptr);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_TRUE(SendMessageA(other, WM_SETCURSOR, reinterpret_cast<WPARAM>(other), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), withHand.hand_cursor());
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  }
  // The module was released: the copy can be deleted.
  EXPECT_TRUE(DeleteFileA(fake.c_str()));
  RemoveDirectoryA(folder.c_str());
}

TEST_F(LinkTest, AutoSizeFitsTheTextKeepingTheEdgeOrCentreOfItsAlignment) {
  struct Case {
    DWORD style;
    int border;  // pixels the frame adds to each dimension
  };
  // The static starts at (20, 30), 300 x 40: left 20, right 320, centre
  // 170 across and 50 down.
  for (const Case& c : {Case{SS_LEFT | WS_BORDER, 2}, Case{SS_RIGHT, 0}, Case{SS_CENTER | SS_CENTERIMAGE, 0}}) {
    CLinkStatic fitted(shell, prompt, LinkSystem{classes.root(), std::string()});
    HWND control = AddStatic("Lumivale Home", c.style, 20, 30, 300, 40);
    ASSERT_TRUE(fitted.Attach(control));
    SIZE extent = TextExtent(control, "Lumivale Home");
    RECT r = HostWindow::ChildRect(control);
    SCOPED_TRACE(Hex(c.style));
    EXPECT_EQ(r.right - r.left, extent.cx + c.border);
    EXPECT_EQ(r.bottom - r.top, extent.cy + c.border);
    switch (c.style & SS_TYPEMASK) {
      case SS_LEFT: EXPECT_EQ(r.left, 20); break;
      case SS_RIGHT: EXPECT_EQ(r.right, 320); break;
      default: EXPECT_LE(std::abs((r.left + r.right) - 340), 1); break;
    }
    if (c.style & SS_CENTERIMAGE) {
      EXPECT_LE(std::abs((r.top + r.bottom) - 100), 1);
    } else {
      EXPECT_EQ(r.top, 30);
    }
    DestroyWindow(control);
  }
}

TEST_F(LinkTest, WithAutoSizeOffTheControlKeepsItsSize) {
  HWND control = AddStatic("Lumivale Home", SS_LEFT, 20, 30, 300, 40);
  link.SetAutoSize(false);
  ASSERT_TRUE(link.Attach(control));
  RECT r = HostWindow::ChildRect(control);
  EXPECT_EQ(r.right - r.left, 300);
  EXPECT_EQ(r.bottom - r.top, 40);
  link.SetAutoSize(true);  // turning it on fits at once
  EXPECT_EQ(HostWindow::ChildRect(control).right - 20, TextExtent(control, "Lumivale Home").cx);
}

TEST_F(LinkTest, AClickThatOpensMarksTheLinkVisited) {
  HWND control = AddStatic("Lumivale Home", SS_LEFT);
  link.SetURL("http://www.lumivale.example/");
  ASSERT_TRUE(link.Attach(control));
  Hover(control);
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_EQ(shell.opened, std::vector<std::string>{"http://www.lumivale.example/"});
  EXPECT_EQ(shell.shows, std::vector<int>{SW_SHOWNORMAL});
  EXPECT_TRUE(link.visited());
  EXPECT_FALSE(link.over()) << "a click clears the hover state";
  EXPECT_EQ(Hex(AskedColour(control)), Hex(RGB(85, 26, 139)));
  EXPECT_TRUE(prompt.asked.empty());
  // The static's own notification still reaches the parent.
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].code, STN_CLICKED);
  PutCursorAway();
}

TEST_F(LinkTest, AFailedOpenIsReportedWithTheShellsCodeInTheErrorBox) {
  HWND control = AddStatic("Lumivale Home", SS_LEFT);
  ASSERT_TRUE(link.Attach(control));
  shell.openCode = 26;  // and no browser registered under the test's root
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, "Unable to open hyperlink:\n\nA sharing violation occurred. ");
  EXPECT_EQ(prompt.asked[0].kind, PromptKind::kOk);
  EXPECT_EQ(prompt.asked[0].icon, PromptIcon::kWarning);
  EXPECT_TRUE(prompt.asked[0].caption.empty()) << "no title: the application's name";
  EXPECT_FALSE(link.visited());
  EXPECT_TRUE(shell.ran.empty());

  shell.openCode = 1;
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  ASSERT_EQ(prompt.asked.size(), 2u);
  EXPECT_EQ(prompt.asked[1].text, "Unable to open hyperlink:\n\nUnknown Error (1) occurred.");
}

TEST_F(LinkTest, AFailedShellOpenFallsBackToTheRegisteredBrowser) {
  classes.RegisterBrowser("\"C:\\Program Files\\Browser\\b.exe\" -nohome \"%1\"");
  HWND control = AddStatic("Lumivale Home", SS_LEFT);
  link.SetURL("http://www.lumivale.example/help.htm");
  ASSERT_TRUE(link.Attach(control));
  shell.openCode = 31;
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  ASSERT_EQ(shell.ran.size(), 1u);
  EXPECT_EQ(shell.ran[0], "\"C:\\Program Files\\Browser\\b.exe\" -nohome  http://www.lumivale.example/help.htm");
  EXPECT_EQ(shell.shows, (std::vector<int>{SW_SHOWNORMAL, SW_SHOWNORMAL}));
  EXPECT_TRUE(link.visited());
  EXPECT_TRUE(prompt.asked.empty());

  // The run fails too: its code is the one reported.
  shell.runCode = 2;
  link.SetVisited(false);
  SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, "Unable to open hyperlink:\n\nThe specified file was not found.");
  EXPECT_FALSE(link.visited());
}

TEST_F(LinkTest, ABrowserCommandWithoutPlaceholderGetsTheAddressAfterABlank) {
  classes.RegisterBrowser("C:\\b.exe -new");
  shell.openCode = 31;
  EXPECT_EQ(link.OpenURL("http://www.lumivale.example/products.htm", SW_SHOWMINIMIZED), 33);
  ASSERT_EQ(shell.ran.size(), 1u);
  EXPECT_EQ(shell.ran[0], "C:\\b.exe -new http://www.lumivale.example/products.htm");
  EXPECT_EQ(shell.shows.back(), SW_SHOWMINIMIZED);
}

TEST_F(LinkTest, ATypeWithoutCommandReturnsTheShellsCode) {
  classes.SetDefault(".htm", "shtest.page");  // no shell\open\command below it
  shell.openCode = 27;
  EXPECT_EQ(link.OpenURL("http://x/", SW_SHOWNORMAL), 27);
  EXPECT_TRUE(shell.ran.empty());
}

TEST(RegistryClassesReader, ReadsDefaultValuesWithinTheLimit) {
  ScratchClasses classes;
  CRegistryClassesReader reader(classes.root());
  std::string value = "unchanged";
  EXPECT_FALSE(reader.ReadDefault(".htm", 260, &value)) << "missing key";
  EXPECT_EQ(value, "unchanged");

  classes.SetDefault(".htm", std::string(260, 'a'));
  EXPECT_TRUE(reader.ReadDefault(".htm", 260, &value));
  EXPECT_EQ(value, std::string(260, 'a'));
  classes.SetDefault(".htm", std::string(261, 'a'));
  EXPECT_FALSE(reader.ReadDefault(".htm", 260, &value)) << "longer than 260 characters";

  {  // a key whose default value is missing or not text
    ScopedHKey key;
    RegCreateKeyExA(classes.root(), "numbers", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    EXPECT_FALSE(reader.ReadDefault("numbers", 260, &value));
    DWORD number = 7;
    RegSetValueExA(key.get(), nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    EXPECT_FALSE(reader.ReadDefault("numbers", 260, &value));
  }
  // The real classes root is only read, never written.
  CRegistryClassesReader real;
  std::string type;
  if (real.ReadDefault(".htm", 260, &type)) {
    EXPECT_FALSE(type.empty());
  }
}

TEST(ShellLauncher, RealShellAndProgramRunReportTheirCodes) {
  CWinShellLauncher launcher;
  // A file that does not exist: the shell reports a failure code (2 or 3).
  int open = launcher.ShellOpen("C:\\sh-no-such-folder\\nothing.sh-none", SW_HIDE);
  EXPECT_LE(open, 32);
  EXPECT_GT(open, 0);
  EXPECT_LE(launcher.RunProgram("C:\\sh-no-such-folder\\nothing.exe", SW_HIDE), 31);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_GT(launcher.RunProgram(std::string(system) + "\\cmd.exe /c exit 0", SW_HIDE), 31);
}

TEST(LinkLifetime, TheControlGetsItsOwnFontBackAndTheTooltipGoesWithIt) {
  HostWindow host(20, 520, 300, 100);
  ScopedFont font(CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma"));
  HWND control = host.AddChild("STATIC", "Lumivale Home", SS_LEFT, 5, 5, 200, 20, 1092);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  FakeShell shell;
  ScriptedPrompt prompt;
  HWND tooltip = nullptr;
  {
    CLinkStatic link(shell, prompt);
    ASSERT_TRUE(link.Attach(control));
    tooltip = link.tooltip();
    ASSERT_TRUE(IsWindow(tooltip));
  }
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), font.get());
  EXPECT_FALSE(IsWindow(tooltip));

  // The control going first: the link forgets it without harm.
  CLinkStatic second(shell, prompt);
  ASSERT_TRUE(second.Attach(control));
  HWND tip = second.tooltip();
  DestroyWindow(control);
  EXPECT_EQ(second.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(tip));
}

}  // namespace
}  // namespace sh::test
