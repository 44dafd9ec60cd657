// What the toolkit's Wine tests share: bitmaps and memory canvases whose
// pixels can be read back, dialogs made from templates in memory, a host
// dialog that records its commands, the mouse pointer, and the fixture
// GuiTest that holds the host.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "support/win_fs.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"

namespace sh::test {

using PixelFunction = std::function<COLORREF(int, int)>;

// A 32-bit top-down DIB section filled by `colour(x, y)`.
inline ScopedBitmap MakeBitmap(int width, int height, const PixelFunction& colour) {
  BITMAPINFOHEADER header = {sizeof header, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  ScopedBitmap bitmap(
      CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
  for (int y = 0; bitmap && y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      static_cast<DWORD*>(bits)[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  return bitmap;
}

// A memory DC drawing into a bitmap of its own.
class Canvas {
 public:
  Canvas(int width, int height, const PixelFunction& colour = [](int, int) { return RGB(255, 255, 255); })
      : bitmap_(MakeBitmap(width, height, colour)),
        dc_(CreateCompatibleDC(nullptr)),
        select_(dc_.get(), bitmap_.get()) {}
  HDC dc() const { return dc_.get(); }
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    return GetPixel(dc_.get(), x, y);
  }

 private:
  ScopedBitmap bitmap_;
  ScopedMemoryDc dc_;
  ScopedSelectObject select_;
};

// Makes `dialog` modeless from a template without controls, placed at
// (x, y) of `parent` with that client size.
inline bool CreateInMemory(CDialog& dialog, HWND parent, DWORD style, int x, int y, int width, int height) {
  alignas(4) WORD words[16] = {};  // the menu, class and title are empty strings
  reinterpret_cast<DLGTEMPLATE*>(words)->style = style;
  if (!dialog.CreateIndirect(parent, reinterpret_cast<DLGTEMPLATE*>(words))) return false;
  dialog.Move(x, y, width, height);
  return true;
}

// A top-level dialog as the program's windows are: it reflects colour
// requests to its controls. It records the commands it gets.
class HostDialog : public CDialog {
 public:
  HostDialog() : CDialog(0) {}
  // A child control of a system class.
  HWND AddChild(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                int id = 0) const {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  }
  std::vector<std::pair<int, int>> commands;  // id, notification code

 protected:
  bool OnCommand(int id, int code, HWND) override {
    commands.emplace_back(id, code);
    return true;
  }
};

// A child's rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Moves the mouse pointer to a point of `hwnd`'s client area and tells the
// window, as a real move does.
inline void MovePointerOnto(HWND hwnd, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(hwnd, &p);
  SetCursorPos(p.x, p.y);
  SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

// Far away from every test window.
inline void PutCursorAway() { SetCursorPos(1000, 740); }

// The fixture of the toolkit's window tests: a host dialog, the pointer
// away from it.
class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PutCursorAway();
    ASSERT_TRUE(CreateInMemory(host, nullptr, WS_POPUP | WS_VISIBLE, 20, 20, 600, 400));
  }

  HostDialog host;
};

}  // namespace sh::test
