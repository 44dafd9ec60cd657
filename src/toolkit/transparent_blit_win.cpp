#include "toolkit/transparent_blit_win.h"

#include "toolkit/bitmap_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

bool DrawTransparentBitmap(HDC dest, int x, int y, HBITMAP bitmap, COLORREF key) {
  const SIZE size = BitmapSize(bitmap);
  if (dest == nullptr || size.cx == 0 || size.cy == 0) return false;
  const int w = size.cx, h = size.cy;

  // The source, read only.
  ScopedMemoryDc sourceDc(CreateCompatibleDC(dest));
  // The mask: 1 where the bitmap has the key colour.
  ScopedBitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
  ScopedMemoryDc maskDc(CreateCompatibleDC(dest));
  // A copy of the bitmap whose key-colour pixels become black.
  ScopedBitmap image(CreateCompatibleBitmap(dest, w, h));
  ScopedMemoryDc imageDc(CreateCompatibleDC(dest));
  // The composition: the destination's pixels, then the image over them.
  ScopedBitmap result(CreateCompatibleBitmap(dest, w, h));
  ScopedMemoryDc resultDc(CreateCompatibleDC(dest));
  if (!sourceDc || !mask || !maskDc || !image || !imageDc || !result || !resultDc) return false;

  ScopedSelectObject selectSource(sourceDc.get(), bitmap);
  ScopedSelectObject selectMask(maskDc.get(), mask.get());
  ScopedSelectObject selectImage(imageDc.get(), image.get());
  ScopedSelectObject selectResult(resultDc.get(), result.get());

  // Colour to one bit: pixels of the source's background colour become 1.
  COLORREF oldBk = SetBkColor(sourceDc.get(), key);
  BitBlt(maskDc.get(), 0, 0, w, h, sourceDc.get(), 0, 0, SRCCOPY);
  SetBkColor(sourceDc.get(), oldBk);

  // One bit to colour: 0 bits take the text colour, 1 bits the background.
  // Image := bitmap AND (mask ? black : white): key pixels turn black.
  BitBlt(imageDc.get(), 0, 0, w, h, sourceDc.get(), 0, 0, SRCCOPY);
  SetTextColor(imageDc.get(), RGB(255, 255, 255));
  SetBkColor(imageDc.get(), RGB(0, 0, 0));
  BitBlt(imageDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, SRCAND);

  // Result := destination AND (mask ? white : black): only the destination
  // pixels under the key colour stay; then OR the image in.
  BitBlt(resultDc.get(), 0, 0, w, h, dest, x, y, SRCCOPY);
  SetTextColor(resultDc.get(), RGB(0, 0, 0));
  SetBkColor(resultDc.get(), RGB(255, 255, 255));
  BitBlt(resultDc.get(), 0, 0, w, h, maskDc.get(), 0, 0, SRCAND);
  BitBlt(resultDc.get(), 0, 0, w, h, imageDc.get(), 0, 0, SRCPAINT);

  return BitBlt(dest, x, y, w, h, resultDc.get(), 0, 0, SRCCOPY) != 0;
}

}  // namespace sh
