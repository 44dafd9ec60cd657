// The real implementations of the seams: message boxes, the clock, the
// browser windows of the pre-run check.
#pragma once

#include <windows.h>

#include "engine/clean_run.h"
#include "toolkit/seams.h"

namespace sh {

extern const char kAppName[];  // "SweepHarbor"

class CWinPrompt : public IPrompt {
 public:
  explicit CWinPrompt(HWND owner = nullptr) : owner_(owner) {}
  PromptAnswer Ask(const PromptRequest& request) override;
  void set_owner(HWND owner) { owner_ = owner; }

 private:
  HWND owner_;
};

class CWinClock : public IClock {
 public:
  LocalTime Now() override;
};

class CWinBrowserWindows : public IBrowserWindows {
 public:
  explicit CWinBrowserWindows(IPrompt& prompt) : prompt_(prompt) {}
  uintptr_t FindBrowserWindow() override;
  bool AskToClose() override;
  bool EndOwnerProcess(uintptr_t window) override;

 private:
  IPrompt& prompt_;
};

}  // namespace sh
