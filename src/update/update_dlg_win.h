// The update dialog: a small captionless window that says what it is doing
// while the update check and download run.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"
#include "update/list_update.h"

namespace sh {

// The user sees "Checking for updates ..." this long before the check.
constexpr UINT kUpdateWaitMs = 5000;
constexpr UINT_PTR kUpdateTimer = 1999;

extern const char kCheckingText[];  // "Checking for updates ..."

// The update folder: string 115, or, for the tests' own web server only,
// the product key's value "TestUpdateBase" when it is set. Ends with "/".
std::string UpdateBaseUrl(ISettingsStore& settings);

// Run modally, owned by the main window (none before it exists): ends with IDOK after a download, IDCANCEL in
// every other case (up to date, declined, failed, Escape during the wait).
class CUpdateDlg : public CDialog {
 public:
  CUpdateDlg(CListUpdater& updater, IPrompt& prompt, UINT waitMs = kUpdateWaitMs);

  UpdateOutcome outcome() const { return outcome_; }
  const std::string& text() const { return text_; }

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void OnTimer();

  CListUpdater& updater_;
  IPrompt& prompt_;
  UINT waitMs_;
  bool checking_ = false;
  std::string text_;
  UpdateOutcome outcome_ = UpdateOutcome::kDeclined;
  ScopedBitmap background_;
  ScopedBrush brush_;
};

}  // namespace sh
