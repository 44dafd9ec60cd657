// Small bitmap helpers of the skinned controls: loading a bitmap resource,
// measuring a bitmap, copying one onto a device context.
#pragma once

#include <windows.h>

#include "toolkit/win_handles_win.h"

namespace sh {

// Bitmap resource `id` of `module` (this program when null) as a DIB
// section, so that it can be selected into any memory DC; empty when the
// resource is missing.
ScopedBitmap LoadBitmapResource(int id, HINSTANCE module = nullptr);

// Width and height of a bitmap; {0, 0} for a null or invalid handle.
SIZE BitmapSize(HBITMAP bitmap);

// Copies the whole of `bitmap` to (x, y) of `dest` (SRCCOPY). False when
// the bitmap is null or a DC could not be made.
bool DrawBitmap(HDC dest, int x, int y, HBITMAP bitmap);

// Moves `window` to the size of `bitmap`, its top-left corner staying where
// it is in the parent's client area. False when there is no bitmap.
bool SizeWindowToBitmap(HWND window, HBITMAP bitmap);

}  // namespace sh
