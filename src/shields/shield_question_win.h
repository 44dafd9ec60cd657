// The shields' question seam on Windows: each question is one authorization
// popup, run modally over the main window.
#pragma once

#include <windows.h>

#include <string>

#include "shields/shield_ports.h"

namespace sh {

class CWinShieldQuestion : public IShieldQuestion {
 public:
  // `owner` (the main window, may be null) is disabled while a popup runs.
  explicit CWinShieldQuestion(HWND owner) : owner_(owner) {}
  // True when the user's last click was Yes; false after No, and when the
  // popup could not be shown or ended unanswered because its owner went.
  bool Allow(const std::string& title, const std::string& text) override;

 private:
  HWND owner_;
};

}  // namespace sh
