// Drawing a bitmap with one transparent colour through a one-bit mask.
#pragma once

#include <windows.h>

namespace sh {

// Key colour of the title buttons: their pixels of this colour are
// transparent.
constexpr COLORREF kTitleButtonKeyColour = RGB(60, 62, 124);

// Draws the whole of `bitmap` at (x, y) of `dest`: where the bitmap has the
// colour `key` the destination keeps its pixels, everywhere else the
// bitmap's pixels show. The bitmap itself is left unchanged (the work is
// done on copies). A one-bit mask with the key-colour pixels set selects
// the kept destination pixels; the result is composed off-screen and copied
// to `dest` in one go. False when the bitmap is null or a DC or bitmap
// could not be made (nothing is drawn then).
bool DrawTransparentBitmap(HDC dest, int x, int y, HBITMAP bitmap, COLORREF key);

}  // namespace sh
