// A thread that runs one function and is joined, never killed: a thread
// ended by force while it holds a lock of the loader or the heap can hang
// the rest of the program.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "toolkit/win_handles_win.h"

namespace sh {

class CWorkerThread {
 public:
  CWorkerThread() = default;
  ~CWorkerThread() { Join(INFINITE); }
  CWorkerThread(const CWorkerThread&) = delete;
  CWorkerThread& operator=(const CWorkerThread&) = delete;

  // Starts `body` on a new thread; false when the thread cannot be made.
  bool Start(std::function<void()> body);
  // Waits up to `timeoutMs` for the thread to end, handling the messages
  // other threads send to this thread's windows meanwhile (a worker may be
  // waiting for one to be handled). True when it has ended; after a time-out
  // the thread is left to end with the process.
  bool Join(DWORD timeoutMs);
  // True when there is no thread or it has ended.
  bool ended() const { return !thread_.valid() || WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0; }

 private:
  static DWORD WINAPI Main(LPVOID self);

  std::unique_ptr<std::function<void()>> body_;
  ScopedHandle thread_;
};

}  // namespace sh
