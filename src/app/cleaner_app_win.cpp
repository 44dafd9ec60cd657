#include "app/cleaner_app_win.h"

#include "app/data_loader_win.h"
#include "app/system_info_win.h"
#include "model/data_paths.h"
#include "paths/known_locations_win.h"
#include "res/resource.h"
#include "settings/registry_settings_win.h"
#include "toolkit/platform_win.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"
#include "ui/main/main_dlg_win.h"
#include "ui/main/messages.h"
#include "ui/main/system_tray_win.h"
#include "update/update_dlg_win.h"

namespace sh {

CCleanerApp::CCleanerApp(const std::string& applicationName)
    : applicationName_(applicationName), instance_(applicationName), systemInfo_(PlatformIsNtFamily()) {}

namespace {

// The first instance's tray window brings its main window back on this
// message. A first instance that does not take it in time is left alone.
bool AskFirstInstanceToShow() {
  const UINT message = RegisterWindowMessageA(kMaximizeFromTrayMessage);
  HWND tray = FindWindowA(kTrayWindowClass, kTrayWindowTitle);
  if (message == 0 || tray == nullptr) return false;
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(tray, message, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kFirstInstanceAnswerMs, &result) !=
         0;
}

}  // namespace

bool CCleanerApp::ClaimFirstInstance() {
  if (claimed_) return true;
  if (!instance_.RegisterAsFirstInstance(nullptr) && instance_.IsAnotherInstanceRunning()) {
    // A first instance that never names its window has no tray window
    // either: this copy ends anyway.
    if (instance_.ActivateOtherInstance(kFirstInstanceWindowWaitMs)) AskFirstInstanceToShow();
    return false;
  }
  claimed_ = true;
  return true;
}

int CCleanerApp::Run(const std::string& commandLine, AppServices& services) {
  if (!ClaimFirstInstance()) return 0;

  GatherSystemInfo(systemInfo_);
  windowsXP_ = sh::IsWindowsXP(systemInfo_);

  if (ProductKeyExistsNot() && !CreateProductKey()) {
    PromptRequest request;
    request.text = LoadResString(IDS_REGISTRY_ERROR);
    if (request.text.empty()) request.text = "Error occured while accessing the registry\nCannot Continue";
    services.prompt.Ask(request);
    return 1;
  }
  RefreshKnownLocations(services.settings);

  {
    CMainDlg main(*this, services, commandLine);
    main.DoModal(nullptr);
  }
  return 0;
}

UpdateOutcome CCleanerApp::RunUpdateDialog(AppServices& services, HWND owner, int spotVersion, int pluginVersion,
                                           std::string* failure) {
  CWinDataFiles data(services.settings, services.prompt, lock_);
  CListUpdater updater(services.web, data.env(), services.clock, UpdateBaseUrl(services.settings), spotVersion,
                       pluginVersion);
  CUpdateDlg dialog(updater, services.prompt, updateWaitMs);
  dialog.DoModal(owner);
  if (failure != nullptr) {
    const bool failed = !updater.failure().empty();
    *failure = "Address: " + (failed ? updater.failedAddress() : updater.baseUrl() + kSpotListFile) +
               "\nWhat failed: " + (failed ? updater.failure() : "no newer spot list is offered there");
  }
  return dialog.outcome();
}

bool CCleanerApp::LoadPluginFiles(AppServices& services, HWND owner) {
  CWinDataFiles data(services.settings, services.prompt, lock_);
  DataFileVersions versions;
  // No list is loaded yet: any version offered is newer.
  auto download = [&] {
    std::string failure;
    const UpdateOutcome outcome = RunUpdateDialog(services, owner, 0, 0, &failure);
    if (outcome == UpdateOutcome::kDownloaded) return true;
    // The program is about to end: the user learns why, never sees it
    // just vanish.
    PromptRequest goodbye;
    goodbye.caption = "Error";
    goodbye.text = SpotListDownloadFailedText(GetSpotListPath(services.settings), failure,
                                              outcome == UpdateOutcome::kDeclined);
    services.prompt.Ask(goodbye);
    return false;
  };
  const bool loaded = LoadDataFiles(data.env(), catalog_, windowsXP_, download, versions);
  SpotListVersion = versions.spotList;
  PluginListVersion = versions.pluginList;
  return loaded;
}

std::array<std::string, 4> CCleanerApp::MachineStatusLines() {
  return {ProfileStatusLine(systemInfo_), PlatformStatusLine(systemInfo_), MemoryStatusLine(systemInfo_),
          FreeDiskSpaceText()};
}

}  // namespace sh
