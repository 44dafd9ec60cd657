#include "toolkit/worker_thread_win.h"

#include <utility>

namespace sh {

bool CWorkerThread::Start(std::function<void()> body) {
  if (thread_.valid()) return false;
  body_ = std::make_unique<std::function<void()>>(std::move(body));
  thread_.reset(CreateThread(nullptr, 0, &CWorkerThread::Main, body_.get(), 0, nullptr));
  return thread_.valid();
}

DWORD WINAPI CWorkerThread::Main(LPVOID body) {
  (*static_cast<std::function<void()>*>(body))();
  return 0;
}

bool CWorkerThread::Join(DWORD timeoutMs) {
  if (!thread_.valid()) return true;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD spent = GetTickCount() - start;
    const DWORD wait = timeoutMs == INFINITE ? INFINITE : (spent >= timeoutMs ? 0 : timeoutMs - spent);
    HANDLE handle = thread_.get();
    const DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, wait, QS_SENDMESSAGE);
    if (woken == WAIT_OBJECT_0) break;
    if (woken != WAIT_OBJECT_0 + 1) {
      // Left running, to end with the process: its function object must
      // outlive it.
      (void)thread_.release();
      (void)body_.release();
      return false;
    }
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // handles the sent ones
  }
  thread_.reset();
  body_.reset();
  return true;
}

}  // namespace sh
