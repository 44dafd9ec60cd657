// The common controls, loaded when the window first needs them rather than
// at start-up.
//
// Loading comctl32 registers every common control class and sets up visual
// styles; under Wine that is a sizeable share of the time to the first
// window, whose own controls are all drawn by this program. So the program
// neither imports comctl32 nor names common controls 6 in its start-up
// manifest: the window activates the visual-styles manifest (CVisualStyles)
// after its first paint, and the calls below load the library on first use,
// in that context, keeping it for the process's life as an import would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "toolkit/win_handles_win.h"

namespace sh {

// Loads the library if needed and registers `classes` (ICC_*); false when
// it cannot.
bool InitCommonControlClasses(DWORD classes);

// ImageList_Create, ImageList_AddIcon, ImageList_AddMasked, ImageList_Draw,
// failing as they do (null, -1, FALSE) when the library cannot be loaded.
HIMAGELIST CcImageListCreate(int cx, int cy, UINT flags, int initial, int grow);
int CcImageListAddIcon(HIMAGELIST list, HICON icon);
int CcImageListAddMasked(HIMAGELIST list, HBITMAP bitmap, COLORREF mask);
BOOL CcImageListDraw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL CcImageListDestroy(HIMAGELIST list);

// An image list this code made and no control owns (a tree view never
// destroys its lists).
struct ImageListTraits {
  using Handle = HIMAGELIST;
  static HIMAGELIST Null() { return nullptr; }
  static bool IsValid(HIMAGELIST h) { return h != nullptr; }
  static void Close(HIMAGELIST h) { CcImageListDestroy(h); }
};
using ScopedImageList = ScopedGeneric<ImageListTraits>;

// Common controls 6 (visual styles, Windows XP and later) for the windows
// and message boxes this thread makes while the object lives.
class CVisualStyles {
 public:
  CVisualStyles() = default;
  ~CVisualStyles();
  CVisualStyles(const CVisualStyles&) = delete;
  CVisualStyles& operator=(const CVisualStyles&) = delete;

  // Activates the manifest resource `manifestId` of `module` on this thread
  // (once). False when Windows cannot: the controls keep the classic look.
  bool Activate(HMODULE module, int manifestId);
  bool active() const { return cookie_ != 0; }

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

}  // namespace sh
