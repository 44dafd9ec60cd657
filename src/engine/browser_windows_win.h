// The browser windows of the pre-run check on the real desktop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "engine/clean_run.h"
#include "toolkit/seams.h"

namespace sh {

// Browser ("IEFrame") and folder ("CabinetWClass") windows of every process
// of the session. The shell is the process owning a "Shell_TrayWnd" (the
// taskbar) or "Progman" (the desktop) window; this program's own process is
// never ended either.
class CWinBrowserWindows : public IBrowserWindows {
 public:
  explicit CWinBrowserWindows(IPrompt& prompt) : prompt_(prompt) {}
  std::vector<BrowserWindow> FindBrowserWindows() override;
  bool AskToClose() override;
  void RequestClose(uintptr_t window) override;
  bool IsOpen(uintptr_t window) override;
  bool OwnerIsShell(uintptr_t window) override;
  bool EndOwnerProcess(uintptr_t window) override;
  // Sleeps, handling only the messages other threads send to this one (a
  // closing window may send to every top-level window).
  void Pause(int milliseconds) override;

 private:
  IPrompt& prompt_;
};

}  // namespace sh
