#include "toolkit/bitmap_win.h"

namespace sh {

ScopedBitmap LoadBitmapResource(int id, HINSTANCE module) {
  if (module == nullptr) module = GetModuleHandleA(nullptr);
  return ScopedBitmap(static_cast<HBITMAP>(
      LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info = {};
  if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) != sizeof info) return SIZE{0, 0};
  return SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

bool DrawBitmap(HDC dest, int x, int y, HBITMAP bitmap) {
  SIZE size = BitmapSize(bitmap);
  if (size.cx == 0 || dest == nullptr) return false;
  ScopedMemoryDc source(CreateCompatibleDC(dest));
  if (!source) return false;
  ScopedSelectObject selected(source.get(), bitmap);
  return BitBlt(dest, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY) != 0;
}

bool SizeWindowToBitmap(HWND window, HBITMAP bitmap) {
  SIZE size = BitmapSize(bitmap);
  if (size.cx == 0 || window == nullptr) return false;
  // SWP_NOMOVE keeps the top-left corner in the parent's client area.
  return SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

}  // namespace sh
