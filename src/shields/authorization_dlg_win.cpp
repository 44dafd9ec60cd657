#include "shields/authorization_dlg_win.h"

#include <algorithm>

#include "res/resource.h"
#include "toolkit/bitmap_win.h"

namespace sh {
namespace {

// Places on the picture, in its pixels.
constexpr RECT kYesRect = {25, 190, 100, 213};
constexpr RECT kNoRect = {149, 190, 224, 213};
constexpr RECT kTextRect = {14, 75, 221, 163};
constexpr RECT kTitleRect = {47, 33, 217, 57};

// The text rectangle shows a few hundred characters. A value another
// program wrote can be far longer; drawn or put into the edit control whole
// it would hold up every paint of the slide (a hidden edit takes minutes to
// wrap 100 KB under Wine).
constexpr size_t kMaxShownChars = 1024;

std::string Bounded(const std::string& text) { return text.substr(0, kMaxShownChars); }

void MoveControl(HWND control, const RECT& r) {
  MoveWindow(control, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

SlideRect WorkArea() {
  RECT r = {0, 0, 0, 0};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0))
    r = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return SlideRect{r.left, r.top, r.right, r.bottom};
}

void DrawBoundedText(HDC dc, const std::string& text, RECT r, UINT format) {
  const int length = static_cast<int>(std::min(text.size(), kMaxShownChars));
  // No prefix: an '&' in an address is shown, not taken for an underline.
  DrawTextA(dc, text.data(), length, &r, format | DT_NOPREFIX);
}

}  // namespace

CAuthorizationDlg::CAuthorizationDlg()
    : CDialog(IDD_AUTHORIZATION),
      whiteBrush_(CreateSolidBrush(RGB(255, 255, 255))),
      titleFont_(CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif")),
      picture_(LoadBitmapResource(IDB_AUTHORIZATION)) {}

CAuthorizationDlg::~CAuthorizationDlg() = default;

BOOL CAuthorizationDlg::OnInit() {
  SIZE picture = BitmapSize(picture_.get());
  if (picture.cx <= 0 || picture.cy <= 0) {
    // Without its picture the popup keeps its template's size rather than
    // sliding in at no size, where it could never be answered.
    const RECT w = WindowRect();
    picture = SIZE{w.right - w.left, w.bottom - w.top};
  }
  full_ = PopupFullRect(WorkArea(), picture.cx, picture.cy);
  shown_ = full_;
  // The window has the picture's size and the picture is drawn 1:1, so the
  // controls go to the picture's places unscaled.
  MoveControl(Item(IDC_AUTH_NO), kNoRect);
  MoveControl(Item(IDC_AUTH_YES), kYesRect);
  MoveControl(Item(IDC_AUTH_TEXT), kTextRect);
  growing_ = SlideInStart(full_);
  MoveWindow(hwnd_, growing_.left, growing_.top, 0, 0, TRUE);
  SetTimer(hwnd_, kPopupSlideInTimer, kPopupTimerPeriod, nullptr);
  SetItemText(IDC_AUTH_TEXT, Bounded(text_));
  SetWindowLongA(hwnd_, GWL_STYLE, GetWindowLongA(hwnd_, GWL_STYLE) & ~WS_CAPTION);
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
  // The focus stays on the popup itself (see WM_SETFOCUS).
  return FALSE;
}

bool CAuthorizationDlg::OnCommand(int id, int code, HWND) {
  switch (id) {
    case IDC_AUTH_YES:
    case IDC_AUTH_NO:
      if (code == BN_CLICKED) Answer(id == IDC_AUTH_YES);
      return true;
    case IDOK:      // Enter
    case IDCANCEL:  // Escape and the close command
      return true;
    default:
      return false;
  }
}

void CAuthorizationDlg::Answer(bool allow) {
  // A second click before the popup has gone restarts the dismiss timer:
  // the last click counts.
  m_bAllowed = allow;
  SetTimer(hwnd_, kPopupDismissTimer, kPopupTimerPeriod, nullptr);
}

void CAuthorizationDlg::OnTimer(UINT_PTR id) {
  if (id == kPopupSlideInTimer) {
    if (GrowStep(full_, &growing_)) {
      MoveTo(growing_);
    } else {
      KillTimer(hwnd_, kPopupSlideInTimer);
    }
    return;
  }
  if (id == kPopupDismissTimer) {
    if (!slidingOut_) {
      // An answer during the slide-in stops it; both moving the window
      // would make it jump between two heights.
      KillTimer(hwnd_, kPopupSlideInTimer);
      shown_ = SlideOutStart(full_, growing_);
      slidingOut_ = true;
    }
    SetTimer(hwnd_, kPopupSlideOutTimer, kPopupTimerPeriod, nullptr);
    KillTimer(hwnd_, kPopupDismissTimer);
    return;
  }
  // The slide-out (timer 13, or any other timer of this window).
  if (ShrinkStep(&shown_)) {
    MoveTo(shown_);
  } else {
    KillTimer(hwnd_, id);
    End(IDCANCEL);
  }
}

void CAuthorizationDlg::MoveTo(const SlideRect& r) const {
  MoveWindow(hwnd_, r.left, r.top, r.Width(), r.Height(), TRUE);
  // The picture hangs from the top edge, which moves at every step: painted
  // now, not when the queue is next empty, so that no step shows the last.
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CAuthorizationDlg::Paint() {
  ScopedPaintDc paint(hwnd_);
  HDC dc = paint.get();
  if (dc == nullptr) return;
  DrawBitmap(dc, 0, 0, picture_.get());
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  {
    ScopedSelectObject font(dc, titleFont_.get());
    DrawBoundedText(dc, title_, kTitleRect, DT_SINGLELINE | DT_BOTTOM | DT_LEFT | DT_END_ELLIPSIS);
  }
  // The dialog's own font; an edit control's wrapping breaks a word too
  // long for a line (a long address) instead of cutting it off.
  ScopedSelectObject font(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
  DrawBoundedText(dc, text_, kTextRect, DT_WORDBREAK | DT_EDITCONTROL | DT_LEFT);
}

bool CAuthorizationDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
  switch (msg) {
    case WM_PAINT:
      Paint();
      *result = 0;
      return true;
    case WM_ERASEBKGND:
      *result = 0;  // not erased: the paint covers everything with the picture
      return true;
    case WM_TIMER:
      OnTimer(wParam);
      return false;  // and the default handling
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      *result = reinterpret_cast<LRESULT>(whiteBrush_.get());
      return true;
    case WM_SETFOCUS:
      // Handled, so that the dialog manager does not hand the focus on to
      // the first button: the popup comes up while the user types into
      // another program, and a focused button would take a Space or an
      // Enter meant for that as an answer. Enter and Escape reach the
      // popup as OK and Cancel, which do nothing.
      *result = 0;
      return true;
    case WM_DESTROY:
      // However the popup ends (its owner destroyed with it as well), no
      // timer outlives it.
      for (UINT_PTR id : {kPopupSlideInTimer, kPopupDismissTimer, kPopupSlideOutTimer}) KillTimer(hwnd_, id);
      return false;
    default:
      return false;
  }
}

}  // namespace sh
