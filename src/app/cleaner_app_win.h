// The application object: the process-wide state and the program's life.
#pragma once

#include <windows.h>

#include <string>

#include "app/app_services_win.h"
#include "app/data_loader.h"
#include "app/instance_checker_win.h"
#include "app/system_info.h"
#include "model/catalog.h"
#include "model/data_file.h"

namespace sh {

class CCleanerApp {
 public:
  explicit CCleanerApp(const std::string& applicationName);
  CCleanerApp(const CCleanerApp&) = delete;
  CCleanerApp& operator=(const CCleanerApp&) = delete;

  // Start-up, the main window's whole modal life, exit. Returns the
  // process's exit code: 0 when the window ran (or a second instance handed
  // over), 1 when start-up could not go on.
  int Run(const std::string& commandLine, AppServices& services);

  // The data files through LoadDataFiles, the user's answers through the
  // window's prompt and update dialog. False when the program must end.
  bool LoadPluginFiles(AppServices& services, HWND owner);

  CDataFileLock& lock() { return lock_; }
  CInstanceChecker& instance() { return instance_; }
  CSystemInfo& systemInfo() { return systemInfo_; }
  CSpotCatalog& catalog() { return catalog_; }
  const std::string& applicationName() const { return applicationName_; }

  int SpotListVersion = 0;
  int PluginListVersion = 0;
  bool IsWindowsXP = false;

 private:
  std::string applicationName_;
  CDataFileLock lock_;
  CInstanceChecker instance_;
  CSystemInfo systemInfo_;
  CSpotCatalog catalog_;
};

}  // namespace sh
