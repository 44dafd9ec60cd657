#include "app/cleaner_app_win.h"

#include <objbase.h>

#include "app/system_info_win.h"
#include "model/data_file_win.h"
#include "model/data_paths.h"
#include "model/plugin_file.h"
#include "paths/known_locations_win.h"
#include "res/resource.h"
#include "settings/registry_settings_win.h"
#include "ui/main/main_dlg_win.h"
#include "ui/main/system_tray_win.h"
#include "update/update_dialog_win.h"
#include "toolkit/window_win.h"

namespace sh {

const char kCorruptListQuestion[] = "Configuration file corrupt, download new file now ?";
const char kCannotWorkWithoutList[] = "SweepHarbor cannot work without the Configuration file, Press OK ti exit";

CCleanerApp::CCleanerApp(const std::string& applicationName)
    : applicationName_(applicationName), instance_(applicationName), systemInfo_(PlatformIsNtFamily()) {}

int CCleanerApp::Run(const std::string& commandLine, AppServices& services) {
  // OLE for the URL history object and the shell's COM objects.
  HRESULT ole = OleInitialize(nullptr);

  if (instance_.IsAnotherInstanceRunning()) {
    instance_.ActivateOtherInstance();
    SendMaximizeFromTray();
    if (SUCCEEDED(ole)) OleUninitialize();
    return 0;
  }

  GatherSystemInfo(systemInfo_);
  IsWindowsXP = systemInfo_.OsName().find("XP") != std::string::npos;

  if (ProductKeyExistsNot() && !CreateProductKey()) {
    PromptRequest request;
    request.text = LoadResString(IDS_REGISTRY_ERROR);
    if (request.text.empty()) request.text = "Error occured while accessing the registry\nCannot Continue";
    services.prompt.Ask(request);
    if (SUCCEEDED(ole)) OleUninitialize();
    return 1;
  }
  RefreshKnownLocations();

  {
    CMainDlg main(*this, services, commandLine);
    main.DoModal(nullptr);
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  return 0;
}

bool CCleanerApp::LoadPluginFiles(AppServices& services, HWND owner) {
  CWinFileStore files;
  CWinPluginEnvironment machine(services.settings);
  DataFileEnv env{files, machine, services.settings, services.prompt, lock_};
  for (;;) {
    if (LoadSpotList(env, catalog_, GetSpotListPath(services.settings), IsWindowsXP ? 1 : 0, &SpotListVersion)) break;
    PromptRequest question;
    question.text = kCorruptListQuestion;
    question.caption = "Error";
    question.kind = PromptKind::kYesNo;
    if (services.prompt.Ask(question) == PromptAnswer::kYes) {
      if (RunUpdateDialog(owner) == IDCANCEL) return false;
      continue;  // try again from the beginning
    }
    PromptRequest goodbye;
    goodbye.text = kCannotWorkWithoutList;
    services.prompt.Ask(goodbye);
    return false;
  }
  LoadPluginList(env, catalog_, GetPluginListPath(services.settings), &PluginListVersion);
  LoadCustomPlugins(env, catalog_, GetCustomPluginPath(services.settings));
  return true;
}

}  // namespace sh
