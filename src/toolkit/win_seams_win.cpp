#include "toolkit/win_seams_win.h"

namespace sh {

const char kAppName[] = "SweepHarbor";

PromptAnswer CWinPrompt::Ask(const PromptRequest& request) {
  UINT type = request.kind == PromptKind::kYesNo ? MB_YESNO : MB_OK;
  switch (request.icon) {
    case PromptIcon::kInformation: type |= MB_ICONINFORMATION; break;
    case PromptIcon::kQuestion: type |= MB_ICONQUESTION; break;
    case PromptIcon::kWarning: type |= MB_ICONWARNING; break;
    case PromptIcon::kError: type |= MB_ICONERROR; break;
    case PromptIcon::kNone: break;
  }
  if (request.topmost) type |= MB_TOPMOST | MB_SETFOREGROUND;
  const char* caption = request.caption.empty() ? kAppName : request.caption.c_str();
  int answer = MessageBoxA(request.topmost ? nullptr : owner_, request.text.c_str(), caption, type);
  switch (answer) {
    case IDYES: return PromptAnswer::kYes;
    case IDNO: return PromptAnswer::kNo;
    case IDCANCEL: return PromptAnswer::kCancel;
    default: return PromptAnswer::kOk;
  }
}

LocalTime CWinClock::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

}  // namespace sh
