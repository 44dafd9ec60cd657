// The Control Panel page: three picture tabs (Settings, Schedule, Shield)
// over one "Options" box; every click writes its setting at once.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "panels/control_panel.h"
#include "shields/protection_shield.h"
#include "shields/shield_ports_win.h"
#include "toolkit/seams.h"
#include "toolkit/skin_button_win.h"
#include "toolkit/white_panel_win.h"

namespace sh {

// The Run entry under HKEY_CURRENT_USER\...\CurrentVersion\Run.
class CWinRunEntry : public IRunEntry {
 public:
  bool Set(const std::string& command) override;
  bool Delete() override;
};

// This program's full path, however long.
std::string ProgramPath();

// What the panel asks of the window it lives in.
class IControlPanelHost {
 public:
  // Runs the update dialog modally.
  virtual void RunUpdateDialog() = 0;
  // The running shields, or null while they have not started.
  virtual CProtectionShield* RunningShield() = 0;

 protected:
  ~IControlPanelHost() = default;
};

class CControlPanelDlg : public CWhitePanel, public ISkinButtonTarget {
 public:
  enum Page { kSettingsPage = 0, kSchedulePage = 1, kShieldPage = 2 };

  CControlPanelDlg(IControlPanelHost& host, ISettingsStore& settings, IPrompt& prompt, IRunEntry& run,
                   std::string programPath);
  ~CControlPanelDlg() override;

  // ISkinButtonTarget: the tabs.
  bool OnSkinButtonClicked(CSkinButton& button) override;

  // Shows page `page` filled from the settings, the others hidden.
  void ShowPage(int page);
  int page() const { return page_; }
  // The tray's "Configure Shields": the next time the panel is shown it
  // opens on the Shield page (at once when it is showing).
  void RequestShieldPage();
  CSkinButton* Tab(int page) const { return tabs_[static_cast<size_t>(page)].get(); }

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void FillSettingsPage();
  void FillSchedulePage();
  void FillShieldPage();
  void EnableShredRadios(bool on);
  void EnableShutdownRadios(bool on);
  void StoreKeepUrl();
  bool Checked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }
  void Check(int id, bool on) const { CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED); }
  void Say(const std::string& text);
  void Paint(HDC dc) override;
  void OpenShieldPage();
  void PlaceTabs(int width);

  IControlPanelHost& host_;
  ISettingsStore& store_;
  IPrompt& prompt_;
  CControlPanelSettings panel_;
  CWinBrowserSettings browser_;
  CSkinButtonGroups tabGroups_;
  std::array<std::unique_ptr<CSkinButton>, 3> tabs_;
  ScopedBitmap header_;
  int page_ = kSettingsPage;
  bool shieldPageRequested_ = false;
  bool filling_ = false;
};

}  // namespace sh
