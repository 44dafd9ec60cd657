// The application object: the process-wide state and the program's life.
#pragma once

#include <windows.h>

#include <string>

#include "app/data_loader.h"
#include "app/instance_checker_win.h"
#include "app/system_info.h"
#include "model/catalog.h"
#include "model/data_file.h"
#include "model/data_file_win.h"
#include "ui/main/app_services_win.h"
#include "update/update_dlg_win.h"

namespace sh {

// A second copy waits this long for a first instance that is still starting
// to name its main window.
constexpr DWORD kFirstInstanceWindowWaitMs = 5000;
// ...and this long for the first instance's tray window to take its message
// (a first instance that is shredding a big file, or hung, does not pump).
constexpr DWORD kFirstInstanceAnswerMs = 3000;

class CCleanerApp : public IMainWindowHost {
 public:
  explicit CCleanerApp(const std::string& applicationName);
  CCleanerApp(const CCleanerApp&) = delete;
  CCleanerApp& operator=(const CCleanerApp&) = delete;

  // The first step of start-up, before anything slow: registers this
  // process as the first instance (the main window fills itself in later).
  // When another instance was first, activates it (waiting briefly while it
  // is still starting), asks its tray window to bring it back (with a
  // time-out) and returns false: this process must end. True when this
  // process is the first (or no guard can be made: it runs unguarded).
  bool ClaimFirstInstance();

  // Start-up (ClaimFirstInstance first, once), the main window's whole modal
  // life, exit. Returns the process's exit code: 0 when the window ran (or a
  // second instance handed over), 1 when start-up could not go on.
  int Run(const std::string& commandLine, AppServices& services);

  // IMainWindowHost. The data files through LoadDataFiles, the user's
  // answers through the window's prompt and update dialog.
  bool LoadPluginFiles(AppServices& services, HWND owner) override;
  void RunUpdate(AppServices& services, HWND owner) override {
    RunUpdateDialog(services, owner, SpotListVersion, PluginListVersion);
  }
  CSpotCatalog& catalog() override { return catalog_; }
  std::array<std::string, 4> MachineStatusLines() override;
  bool IsWindowsXP() const override { return windowsXP_; }
  void NameMainWindow(HWND window) override { instance_.SetMainWindow(window); }
  CDataFileLock& DataFileLock() override { return lock_; }
  TileTitleFacts ChooseItemsFacts() const override {
    return {systemInfo_.OsName(), systemInfo_.Browser().major, systemInfo_.Browser().minor};
  }

  // This process's lock with the named mutex every copy shares.
  CWinDataFileLock& lock() { return lock_; }
  CInstanceChecker& instance() { return instance_; }
  CSystemInfo& systemInfo() { return systemInfo_; }
  const std::string& applicationName() const { return applicationName_; }

  int SpotListVersion = 0;
  int PluginListVersion = 0;
  // How long the update dialog shows "Checking for updates ..." (tests
  // shorten it).
  UINT updateWaitMs = kUpdateWaitMs;

 private:
  // The update dialog against lists of these versions; what it ended with
  // and, through `updater`, what failed.
  UpdateOutcome RunUpdateDialog(AppServices& services, HWND owner, int spotVersion, int pluginVersion,
                                std::string* failure = nullptr);

  std::string applicationName_;
  CWinDataFileLock lock_;
  bool claimed_ = false;
  CInstanceChecker instance_;
  CSystemInfo systemInfo_;
  bool windowsXP_ = false;
  CSpotCatalog catalog_;
};

}  // namespace sh
