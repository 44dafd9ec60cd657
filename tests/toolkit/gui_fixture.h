// Real windows for the toolkit's Wine tests: a host window that reflects
// colour requests and records the commands it gets, 32-bit bitmaps and
// memory canvases whose pixels can be read back, a dialog template built in
// memory, and a message pump.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"

namespace sh::test {

// Runs the message loop of this thread until `done` or `timeoutMs`.
// True when `done` became true.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(5);
  }
}

inline void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

// A 32-bit top-down DIB section filled by `colour(x, y)`.
inline ScopedBitmap MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colour) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return bitmap;
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      COLORREF c = colour(x, y);
      pixels[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  GdiFlush();
  return bitmap;
}

inline ScopedBitmap MakeSolidBitmap(int width, int height, COLORREF colour) {
  return MakeBitmap(width, height, [colour](int, int) { return colour; });
}

// The pixels of a bitmap, row by row from the top, as COLORREFs.
inline std::vector<COLORREF> BitmapPixels(HBITMAP bitmap) {
  BITMAP header = {};
  GetObjectA(bitmap, sizeof header, &header);
  int width = header.bmWidth, height = header.bmHeight < 0 ? -header.bmHeight : header.bmHeight;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> raw(static_cast<size_t>(width) * height);
  ScopedGetDc screen(nullptr);
  GetDIBits(screen.get(), bitmap, 0, height, raw.data(), &info, DIB_RGB_COLORS);
  std::vector<COLORREF> out;
  out.reserve(raw.size());
  for (uint32_t p : raw) out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  return out;
}

// A memory DC with a 32-bit bitmap of its own.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
      : Canvas(width, height, [fill](int, int) { return fill; }) {}
  Canvas(int width, int height, const std::function<COLORREF(int, int)>& colour)
      : width_(width), height_(height), bitmap_(MakeBitmap(width, height, colour)), dc_(CreateCompatibleDC(nullptr)) {
    old_ = SelectObject(dc_.get(), bitmap_.get());
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas() { SelectObject(dc_.get(), old_); }

  HDC dc() const { return dc_.get(); }
  COLORREF Pixel(int x, int y) const {
    GdiFlush();
    return GetPixel(dc_.get(), x, y);
  }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  ScopedBitmap bitmap_;
  ScopedMemoryDc dc_;
  HGDIOBJ old_ = nullptr;
};

inline std::string Hex(COLORREF c) {
  char text[16];
  wsprintfA(text, "%06lx", static_cast<unsigned long>(c));
  return text;
}

// A top-level popup that reflects WM_CTLCOLOR* to its controls and records
// the WM_COMMAND messages it receives.
class HostWindow {
 public:
  struct Command {
    int id;
    int code;
  };

  HostWindow(int x, int y, int width, int height, COLORREF background = RGB(0, 128, 128))
      : brush_(CreateSolidBrush(background)) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    hwnd_.reset(CreateWindowExA(0, kClassName, "toolkit test", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                                nullptr, GetModuleHandleA(nullptr), this));
    UpdateWindow(hwnd_.get());
  }
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND hwnd() const { return hwnd_.get(); }
  HBRUSH brush() const { return brush_.get(); }
  std::vector<Command> commands;

  // A child control of a system class.
  HWND AddChild(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                int id) const {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, hwnd_.get(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  }

  // A child's rectangle in this window's client coordinates.
  static RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

 private:
  static constexpr const char* kClassName = "SweepHarborToolkitTestHost";

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    LRESULT reflected = 0;
    if (ReflectControlColour(msg, wParam, lParam, &reflected)) return reflected;
    if (self != nullptr) {
      if (msg == WM_COMMAND) self->commands.push_back({LOWORD(wParam), HIWORD(wParam)});
      if (msg == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, self->brush_.get());
        return 1;
      }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }

  ScopedBrush brush_;
  ScopedWindow hwnd_;
};

// A dialog template with no controls, in memory, WORD aligned.
class MemoryDialogTemplate {
 public:
  MemoryDialogTemplate(DWORD style, short cx, short cy) : words_(32, 0) {
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words_.data());
    header->style = style;
    header->cdit = 0;
    header->cx = cx;
    header->cy = cy;
    // Menu, class and title follow as empty strings (zero words, already).
  }
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;
};

// Moves the mouse pointer to a point of `hwnd`'s client area.
inline void PutCursorAt(HWND hwnd, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(hwnd, &p);
  SetCursorPos(p.x, p.y);
}

// Moves the mouse pointer far away from every test window.
inline void PutCursorAway() { SetCursorPos(1000, 740); }

}  // namespace sh::test
