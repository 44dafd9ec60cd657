// Watchers that turn changes into messages to the main window: a registry
// key with everything below it, and a folder.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/seams.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/worker_thread_win.h"

namespace sh {

// One worker per watched key. A worker opens the key for notification,
// waits for a change anywhere below it, sends the watch id to the target
// window and waits until it is handled (so the handler's own writes are not
// reported), then opens the key again. Stopping signals the workers and
// joins them; none is ever killed.
class CRegKeyWatcher {
 public:
  // `prompt` shows a worker's failure; it is asked from the worker thread.
  explicit CRegKeyWatcher(IPrompt& prompt);
  virtual ~CRegKeyWatcher();
  CRegKeyWatcher(const CRegKeyWatcher&) = delete;
  CRegKeyWatcher& operator=(const CRegKeyWatcher&) = delete;

  // Before the first watch: a watch carries the window it was added with.
  void SetTargetWindow(HWND window) { target_ = window; }
  // False, and nothing added, when the worker cannot be started.
  bool AddWatch(HKEY root, const std::string& subKey, unsigned watchId);
  // Ends every worker; the caller's thread handles the sends in flight.
  void Stop();

 private:
  struct RegWatchContext {
    HKEY root;
    std::string subKey;
    unsigned watchId;
    HWND target;
  };
  // The worker: it reaches nothing of the watcher but its own copies (a
  // worker left after a time-out outlives the watcher; a closed stop handle
  // then ends its wait).
  static void Watch(const RegWatchContext& context, HANDLE stop, IPrompt& prompt);
  static void Fail(HANDLE stop, IPrompt& prompt, const char* text);

  IPrompt& prompt_;
  HWND target_ = nullptr;
  ScopedHandle stop_;
  std::vector<std::unique_ptr<CWorkerThread>> threads_;
};

// Posts `message` to a window whenever a folder (or, with `subtree`,
// anything below it) changes in the ways `filter` (FILE_NOTIFY_CHANGE_*)
// names. Changes by any program reach it.
class CFolderWatcher {
 public:
  CFolderWatcher() = default;
  ~CFolderWatcher() { Stop(); }
  CFolderWatcher(const CFolderWatcher&) = delete;
  CFolderWatcher& operator=(const CFolderWatcher&) = delete;

  // False when the folder cannot be watched.
  bool Start(const std::string& folder, bool subtree, DWORD filter, HWND window, UINT message);
  void Stop();

 private:
  ScopedHandle stop_;
  ScopedChangeNotification change_;
  CWorkerThread thread_;
};

}  // namespace sh
