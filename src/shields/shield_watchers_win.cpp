#include "shields/shield_watchers_win.h"

#include "shields/shield_ports.h"

namespace sh {
namespace {

// A worker blocked in a message box is left to end with the process.
constexpr DWORD kJoinMs = 5000;
constexpr DWORD kNotifyFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES | REG_NOTIFY_CHANGE_LAST_SET |
                                REG_NOTIFY_CHANGE_SECURITY;

}  // namespace

CRegKeyWatcher::CRegKeyWatcher(IPrompt& prompt)
    : prompt_(prompt), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CRegKeyWatcher::~CRegKeyWatcher() { Stop(); }

bool CRegKeyWatcher::AddWatch(HKEY root, const std::string& subKey, unsigned watchId) {
  if (!stop_) return false;
  // The worker owns its copy of the watch, so that one left running after a
  // time-out never reads what the watcher has freed.
  const RegWatchContext context{root, subKey, watchId, target_};
  auto thread = std::make_unique<CWorkerThread>();
  const HANDLE stop = stop_.get();
  IPrompt* prompt = &prompt_;
  if (!thread->Start([context, stop, prompt] { Watch(context, stop, *prompt); })) return false;
  threads_.push_back(std::move(thread));
  return true;
}

void CRegKeyWatcher::Stop() {
  if (stop_) SetEvent(stop_.get());
  for (auto& thread : threads_) thread->Join(kJoinMs);
  threads_.clear();
}

void CRegKeyWatcher::Fail(HANDLE stop, IPrompt& prompt, const char* text) {
  // Not while stopping: the box would hold up the program's end.
  if (WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) return;
  PromptRequest request;
  request.text = text;
  prompt.Ask(request);
}

void CRegKeyWatcher::Watch(const RegWatchContext& context, HANDLE stop, IPrompt& prompt) {
  ScopedHandle changed(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!changed) return;
  for (;;) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(context.root, context.subKey.c_str(), 0, KEY_NOTIFY, &key) != ERROR_SUCCESS) {
      Fail(stop, prompt, "Error in RegOpenKeyEx while monitoring key");
      return;
    }
    ScopedHKey owned(key);
    // Signalled through an event rather than blocking in the call, so that
    // the worker can also hear the stop.
    if (RegNotifyChangeKeyValue(key, TRUE, kNotifyFilter, changed.get(), TRUE) != ERROR_SUCCESS) {
      Fail(stop, prompt, "Error in RegNotifyChangeKeyValue while monitoring key");
      return;
    }
    HANDLE waits[2] = {stop, changed.get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
    if (context.target != nullptr) SendMessageA(context.target, kShieldRegChangeMessage, context.watchId, 0);
    if (RegCloseKey(owned.release()) != ERROR_SUCCESS) {
      Fail(stop, prompt, "Error in RegCloseKey.");
      return;
    }
  }
}

bool CFolderWatcher::Start(const std::string& folder, bool subtree, DWORD filter, HWND window, UINT message) {
  Stop();
  stop_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  change_.reset(FindFirstChangeNotificationA(folder.c_str(), subtree ? TRUE : FALSE, filter));
  if (!stop_ || !change_) return false;
  const HANDLE stop = stop_.get(), change = change_.get();
  return thread_.Start([stop, change, window, message] {
    HANDLE waits[2] = {stop, change};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
      PostMessageA(window, message, 0, 0);
      if (!FindNextChangeNotification(change)) return;
    }
  });
}

void CFolderWatcher::Stop() {
  if (stop_) SetEvent(stop_.get());
  thread_.Join(INFINITE);
  change_.reset();
  stop_.reset();
}

}  // namespace sh
