#include "toolkit/hover_bitmap_button_win.h"

#include <utility>

#include "toolkit/bitmap_win.h"
#include "toolkit/skin_button_win.h"

namespace sh {

CHoverBitmapButton::~CHoverBitmapButton() { Unsubclass(); }

bool CHoverBitmapButton::Attach(HWND button) {
  if (button == nullptr || !Subclass(button)) return false;
  MakeOwnerDrawn(button);
  if (normal_) SizeWindowToBitmap(button, normal_.get());
  Invalidate(true);
  return true;
}

bool CHoverBitmapButton::SetBitmaps(ScopedBitmap normal, ScopedBitmap hover) {
  if (!normal) return false;
  normal_ = std::move(normal);
  hoverBitmap_ = std::move(hover);
  if (hwnd_) {
    SizeWindowToBitmap(hwnd_, normal_.get());
    Invalidate(true);
  }
  return true;
}

bool CHoverBitmapButton::SetBitmaps(int normalId, int hoverId) {
  // One picture for both: the normal one serves the pointer too.
  return SetBitmaps(LoadBitmapResource(normalId), hoverId == normalId ? ScopedBitmap() : LoadBitmapResource(hoverId));
}

void CHoverBitmapButton::Draw(HDC dc) const {
  HBITMAP bitmap = hover_ && hoverBitmap_ ? hoverBitmap_.get() : normal_.get();
  if (bitmap) DrawTransparentBitmap(dc, 0, 0, bitmap, key_);
}

LRESULT CHoverBitmapButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      ScopedPaintDc paint(hwnd_);
      Draw(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT:
      Draw(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // nothing drawn: the key colour shows what is beneath
    case WM_MOUSEMOVE:
      if (wParam & MK_LBUTTON) return 0;  // dropped while the left button is held
      if (!hover_) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd_, 0};
        if (TrackMouseEvent(&track)) {
          hover_ = true;
          Invalidate(true);
        }
      }
      break;
    case WM_MOUSELEAVE:
      hover_ = false;
      Invalidate(true);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      Invalidate(true);
      break;  // the button's own handling: capture, then BN_CLICKED on release
    case WM_LBUTTONUP:
      pressed_ = false;
      Invalidate(true);
      break;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace sh
