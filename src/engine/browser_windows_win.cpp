#include "engine/browser_windows_win.h"

#include "toolkit/win_handles_win.h"

namespace sh {

namespace {

constexpr char kBrowserClass[] = "IEFrame";
constexpr char kFolderClass[] = "CabinetWClass";
// More top-level windows of one class than anybody has open.
constexpr int kMaxWindowsOfAClass = 64;

HWND AsWindow(uintptr_t window) { return reinterpret_cast<HWND>(window); }

DWORD OwnerProcessId(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::vector<HWND> TopLevelWindowsOfClass(const char* className) {
  std::vector<HWND> found;
  HWND after = nullptr;
  while (static_cast<int>(found.size()) < kMaxWindowsOfAClass &&
         (after = FindWindowExA(nullptr, after, className, nullptr)) != nullptr)
    found.push_back(after);
  return found;
}

bool HasClass(HWND window, const char* className) {
  char name[64] = {};
  return GetClassNameA(window, name, sizeof name) > 0 && lstrcmpiA(name, className) == 0;
}

}  // namespace

std::vector<BrowserWindow> CWinBrowserWindows::FindBrowserWindows() {
  std::vector<BrowserWindow> windows;
  for (HWND window : TopLevelWindowsOfClass(kBrowserClass))
    windows.push_back(BrowserWindow{reinterpret_cast<uintptr_t>(window), BrowserWindowKind::kBrowser});
  for (HWND window : TopLevelWindowsOfClass(kFolderClass))
    windows.push_back(BrowserWindow{reinterpret_cast<uintptr_t>(window), BrowserWindowKind::kFolder});
  return windows;
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

void CWinBrowserWindows::RequestClose(uintptr_t window) { PostMessageA(AsWindow(window), WM_CLOSE, 0, 0); }

bool CWinBrowserWindows::IsOpen(uintptr_t window) {
  // A handle of a window that went may be given to a new one: only a
  // browser or folder window counts.
  HWND hwnd = AsWindow(window);
  return IsWindow(hwnd) && (HasClass(hwnd, kBrowserClass) || HasClass(hwnd, kFolderClass));
}

bool CWinBrowserWindows::OwnerIsShell(uintptr_t window) {
  const DWORD pid = OwnerProcessId(AsWindow(window));
  if (pid == 0) return false;
  for (const char* shellClass : {"Shell_TrayWnd", "Progman"})
    for (HWND shellWindow : TopLevelWindowsOfClass(shellClass))
      if (OwnerProcessId(shellWindow) == pid) return true;
  return false;
}

bool CWinBrowserWindows::EndOwnerProcess(uintptr_t window) {
  const DWORD pid = OwnerProcessId(AsWindow(window));
  if (pid == 0 || pid == GetCurrentProcessId()) return false;
  ScopedHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (!process.valid()) return false;
  if (!TerminateProcess(process.get(), 0)) return false;
  // Give the windows of the ended process a moment to go away.
  WaitForSingleObject(process.get(), 1000);
  return true;
}

void CWinBrowserWindows::Pause(int milliseconds) {
  const DWORD start = GetTickCount();
  const DWORD total = milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0;
  for (DWORD spent = 0; spent < total; spent = GetTickCount() - start) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, total - spent, QS_SENDMESSAGE);
    // Peeking hands sent messages to their windows; posted ones (a click on
    // the window) stay queued.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace sh
