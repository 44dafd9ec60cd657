// The real implementations of the seams: message boxes and the clock.
#pragma once

#include <windows.h>

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

}  // namespace sh
