// The Manage Cookies page: every cookie entry of the URL cache with its last
// access time (UTC), ticked when the ignore file keeps it; "Ignore Selected"
// rewrites the ignore file with the ticked rows, which the cookie cleaner
// then leaves alone. The list is read again each time the page is shown.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "engine/url_cache.h"
#include "settings/settings.h"
#include "toolkit/controls_win.h"
#include "toolkit/seams.h"
#include "toolkit/skin_panel_win.h"

namespace sh {

extern const char kCookiesIgnoredText[];  // "Selected Cookies Ignored"

class CManageCookiesPanel : public CSkinPanel {
 public:
  // The ignore file is found through `settings` (the data folder).
  CManageCookiesPanel(std::unique_ptr<IUrlCache> cache, ISettingsStore& settings, IPrompt& prompt);

  // Empties the list and lists every cookie entry again.
  void FillCookieList();
  // "Ignore Selected": the ticked rows' names, top to bottom, become the
  // ignore file. Nothing is written or said when the file cannot be.
  void IgnoreSelected();

  const CListView& list() const { return list_; }
  int RowCount() const { return static_cast<int>(list_.Send(LVM_GETITEMCOUNT)); }
  bool RowChecked(int row) const;
  void SetRowChecked(int row, bool on) const;

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void Layout(int cx, int cy);

  std::unique_ptr<IUrlCache> cache_;
  ISettingsStore& settings_;
  IPrompt& prompt_;
  CListView list_;
};

}  // namespace sh
