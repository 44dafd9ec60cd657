// The program's only top-level window: the skinned dialog with its home
// screen, navigation among the five panels, title buttons, web links, the
// tray icon, and the shutdown-time cleaning.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/clean_list_panel_win.h"
#include "engine/manage_cookies_panel_win.h"
#include "panels/choose_items_panel_win.h"
#include "panels/control_panel_dlg_win.h"
#include "panels/plugin_wizard_panel_win.h"
#include "shields/shield_question_win.h"
#include "shields/win_shields_win.h"
#include "toolkit/common_controls_win.h"
#include "toolkit/hover_bitmap_button_win.h"
#include "toolkit/link_static_win.h"
#include "toolkit/skin_button_win.h"
#include "toolkit/skin_panel_win.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"
#include "ui/main/app_services_win.h"
#include "ui/main/panel_switcher_win.h"
#include "ui/main/system_tray_win.h"

namespace sh {

extern const char kMainWindowTitle[];  // "SweepHarbor v1.04"

// Private: apply ":CLN:" once the window is up, so the run shows.
constexpr UINT WM_APPLY_CLEAN_SWITCH = WM_APP + 0x31;

class CMainDlg : public CDialog, public ISkinButtonTarget, public ICleanListOwner, public IControlPanelHost {
 public:
  CMainDlg(IMainWindowHost& app, AppServices& services, const std::string& commandLine);
  ~CMainDlg() override;

  // ISkinButtonTarget: navigation, refused during a run.
  bool OnSkinButtonClicked(CSkinButton& button) override;
  // ICleanListOwner
  void SetCleaningInProgress(bool on) override;
  void AfterShutdownRun() override;
  // IControlPanelHost
  void RunUpdateDialog() override { app_.RunUpdate(services_, hwnd_); }
  CProtectionShield* RunningShield() override { return shields_ ? &shields_->shield() : nullptr; }

  // What a click on the navigation button does, from code (tray menu).
  void Navigate(int buttonId);
  void SendToTray();
  void BringBackFromTray();
  // Ends the program, after the confirmation while a shield setting is on.
  // A run in progress is stopped first.
  void CloseRequest();

  bool home_screen() const { return switcher_.current() == nullptr; }
  bool cleaning_in_progress() const { return cleaningInProgress_; }
  // The panels and the tray icon are made after the first paint (see
  // FinishStartup); asking for them makes them at once.
  CCleanListPanel& clean_list() {
    FinishStartup();
    return *cleanList_;
  }
  CSystemTray& tray() { return tray_; }
  CControlPanelDlg& control_panel() {
    FinishStartup();
    return *controlPanel_;
  }
  CChooseItemsPanel& choose_items() {
    FinishStartup();
    return *chooseItems_;
  }
  CManageCookiesPanel& cookies() {
    FinishStartup();
    return *cookies_;
  }
  CPluginWizardPanel& plugins() {
    FinishStartup();
    return *plugins_;
  }
  CSkinButton* NavButton(int id) const;
  HWND CurrentPanel() const { return switcher_.current(); }
  const std::array<std::string, 5>& status_lines() const { return statusLines_; }
  bool tray_ready() {
    FinishStartup();
    return trayReady_;
  }

 protected:
  BOOL OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  void ApplySkin();
  // The protection shields, once the tray icon is there.
  void StartShields();
  void PlaceControls();
  void CreateNavButtons();
  // What the first paint does not need: the panels, the tray icon and the
  // command line's switches. Once; every path that needs them calls it.
  void FinishStartup();
  bool FinishStartupStep();
  void CreatePanels();
  void FillStatusLines();
  void ApplyCommandLine();
  void RunCleanSwitch();
  void OnPaint();
  void PaintHome(HDC dc);
  void PlaceTitleButtons(int clientWidth);
  LRESULT OnQueryEndSession();
  void OnCleanForShutdown();
  // Every way out: stops a run in progress, then ends the dialog.
  void EndProgram(INT_PTR result);
  bool OnCtlColor(HDC dc, HWND control, LRESULT* result);
  void ShowLinks(bool show);

  // First, so that they go last: both begin after the first paint.
  std::optional<ScopedOleInitialize> ole_;
  CVisualStyles visualStyles_;
  IMainWindowHost& app_;
  AppServices& services_;
  std::string commandLine_;

  std::array<std::string, 5> statusLines_;
  RECT homeArea_ = {0, 0, 0, 0};
  bool cleaningInProgress_ = false;
  bool shutdownRequestHandled_ = false;
  // A refused end-of-session request whose cleaning and after-cleaning
  // action have not run yet: every further request is refused meanwhile.
  bool shutdownCleaningPending_ = false;
  // That cleaning waits for the run in progress to end.
  bool shutdownRunWaiting_ = false;
  bool closing_ = false;
  bool forwardingWheel_ = false;  // a wheel turn is with the current page
  bool trayReady_ = false;
  bool startupFinished_ = false;
  int startupStep_ = 0;
  CSystemTray tray_;
  CSkinButtonGroups buttonGroups_;
  std::vector<std::unique_ptr<CSkinButton>> navButtons_;
  std::vector<std::unique_ptr<CLinkStatic>> links_;
  std::array<CHoverBitmapButton, 3> titleButtons_;
  SIZE skinSize_ = {0, 0};
  RECT panelArea_ = {155, 107, 708, 515};
  CPanelSwitcher switcher_;
  std::unique_ptr<CCleanListPanel> cleanList_;
  CWinRunEntry runEntry_;
  std::unique_ptr<CControlPanelDlg> controlPanel_;
  std::unique_ptr<CChooseItemsPanel> chooseItems_;
  std::unique_ptr<CManageCookiesPanel> cookies_;
  std::unique_ptr<IShieldQuestion> ownQuestion_;  // the popup, unless the services bring one
  std::unique_ptr<CWinShields> shields_;
  std::unique_ptr<CPluginWizardPanel> plugins_;
  ScopedBitmap skin_;
  ScopedBitmap home_;
  HICON icon_ = nullptr;       // shared resource icon
  HICON smallIcon_ = nullptr;  // loaded at its size: destroyed with the window
  POINT dragOrigin_ = {0, 0};
};

}  // namespace sh
