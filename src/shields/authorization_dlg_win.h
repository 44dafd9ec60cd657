// The authorization popup: a small, borderless, top-most, bitmap-skinned
// modal dialog that grows out of the bottom-right corner of the work area,
// shows a bold title and a question with Yes and No, and after the answer
// shrinks back into the corner and closes. It knows nothing of shields.
#pragma once

#include <windows.h>

#include <string>

#include "shields/popup_slide.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"

namespace sh {

// The popup's timers, all on its own window, all 10 ms.
constexpr UINT_PTR kPopupSlideInTimer = 1;
constexpr UINT_PTR kPopupDismissTimer = 12;
constexpr UINT_PTR kPopupSlideOutTimer = 13;
constexpr UINT kPopupTimerPeriod = 10;

// One question: set the title and the text, run it with DoModal(owner),
// then read allowed(). The modal result carries no meaning.
class CAuthorizationDlg : public CDialog {
 public:
  CAuthorizationDlg();
  ~CAuthorizationDlg() override;

  void SetTitle(const std::string& title) { title_ = title; }
  void SetText(const std::string& text) { text_ = text; }
  // True when Yes was the last button clicked; false after No and when
  // the popup ended unanswered (its owner went away).
  bool allowed() const { return m_bAllowed; }

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void Answer(bool allow);
  void OnTimer(UINT_PTR id);
  void Paint();
  void MoveTo(const SlideRect& r) const;

  ScopedBrush whiteBrush_;  // the controls' colour requests
  bool m_bAllowed = false;
  std::string text_;
  std::string title_;
  ScopedFont titleFont_;
  SlideRect full_;     // full size in the corner
  SlideRect growing_;  // the window during the slide-in
  SlideRect shown_;    // the window during the slide-out
  bool slidingOut_ = false;
  ScopedBitmap picture_;
};

}  // namespace sh
