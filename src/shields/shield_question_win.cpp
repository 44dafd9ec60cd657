#include "shields/shield_question_win.h"

#include "shields/authorization_dlg_win.h"

namespace sh {

bool CWinShieldQuestion::Allow(const std::string& title, const std::string& text) {
  // The main window already gone: nobody is left to answer, the change is
  // refused as if unanswered.
  if (owner_ != nullptr && !IsWindow(owner_)) return false;
  CAuthorizationDlg popup;
  popup.SetTitle(title);
  popup.SetText(text);
  popup.DoModal(owner_);
  return popup.allowed();
}

}  // namespace sh
