// The two-bitmap title button: drawn with a transparent key colour, it
// shows its hover bitmap while the mouse is over it.
#pragma once

#include <windows.h>

#include "toolkit/transparent_blit_win.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"

namespace sh {

// An owner-drawn push button that draws itself (WM_PAINT, WM_PRINTCLIENT):
// the hover bitmap while the mouse is over it, else the normal bitmap, at
// (0, 0), pixels of the key colour left transparent. Its background is
// never erased, so the key-colour pixels show what is already there. A
// click still reaches the parent as BN_CLICKED.
class CHoverBitmapButton : public CSubclassedWindow {
 public:
  explicit CHoverBitmapButton(COLORREF key = kTitleButtonKeyColour) : key_(key) {}
  ~CHoverBitmapButton() override;

  // Takes over the push button `button` and makes it owner-drawn.
  bool Attach(HWND button);
  // Takes both bitmaps (no hover bitmap: the normal one serves for both)
  // and, when attached, resizes the button to the normal bitmap keeping its
  // top-left corner. False without a normal bitmap.
  bool SetBitmaps(ScopedBitmap normal, ScopedBitmap hover);
  // As above from bitmap resources of this program (the same id twice is
  // allowed: one bitmap for both states).
  bool SetBitmaps(int normalId, int hoverId);

  bool hover() const { return hover_; }
  bool pressed() const { return pressed_; }
  COLORREF key() const { return key_; }
  // Draws the current bitmap transparently at (0, 0) of `dc`.
  void Draw(HDC dc) const;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  COLORREF key_;
  bool hover_ = false;
  bool pressed_ = false;
  ScopedBitmap normal_;
  ScopedBitmap hoverBitmap_;
};

}  // namespace sh
