#include "toolkit/win_seams_win.h"

#include "toolkit/win_handles_win.h"

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

uintptr_t CWinBrowserWindows::FindBrowserWindow() {
  HWND window = FindWindowA("IEFrame", nullptr);
  if (window == nullptr) window = FindWindowA("CabinetWClass", nullptr);
  return reinterpret_cast<uintptr_t>(window);
}

bool CWinBrowserWindows::AskToClose() {
  PromptRequest request;
  request.text = kCloseBrowserQuestion;
  request.caption = "Info";
  request.kind = PromptKind::kYesNo;
  request.icon = PromptIcon::kQuestion;
  request.topmost = true;
  return prompt_.Ask(request) == PromptAnswer::kYes;
}

bool CWinBrowserWindows::EndOwnerProcess(uintptr_t window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &pid);
  if (pid == 0) return false;
  ScopedHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid));
  if (!process.valid()) return false;
  if (!TerminateProcess(process.get(), 0)) return false;
  // Give the windows of the ended process a moment to go away.
  WaitForSingleObject(process.get(), 2000);
  return true;
}

}  // namespace sh
