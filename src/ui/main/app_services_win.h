// Everything the window and the start-up reach outside the program through:
// the real implementations for the program, recorders for the tests; and
// what the main window asks of the application that runs it.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "engine/clean_run.h"
#include "model/data_file.h"
#include "panels/choose_items.h"
#include "settings/settings.h"
#include "shields/shield_ports.h"
#include "toolkit/open_url.h"
#include "toolkit/seams.h"
#include "ui/main/shutdown_helper_win.h"
#include "update/list_update.h"

namespace sh {

class CSpotCatalog;
class CSpotCleaner;

struct AppServices {
  IPrompt& prompt;
  ISettingsStore& settings;
  ISessionEnder& session;
  IShellLauncher& shell;
  IClock& clock;
  IBrowserWindows& browsers;
  CSpotCleaner& cleaners;
  IWebClient& web;  // the update folder
  // The shields' popup; null: the window's own sliding popup.
  IShieldQuestion* shieldQuestion = nullptr;
};

// The application's side of the main window: the process-wide state lives
// in the application object, which outlives the window.
class IMainWindowHost {
 public:
  virtual ~IMainWindowHost() = default;
  // The catalog the data files are loaded into and the Clean list shows.
  virtual CSpotCatalog& catalog() = 0;
  // The home screen's machine lines: profile, platform, available memory
  // (as gathered at start-up) and free disk space (measured now).
  virtual std::array<std::string, 4> MachineStatusLines() = 0;
  // Windows XP exactly: only there do the statics show the skin beneath.
  virtual bool IsWindowsXP() const = 0;
  // Names the window a second copy of the program brings back.
  virtual void NameMainWindow(HWND window) = 0;
  // Loads the data files into the catalog, asking through `owner`; false
  // when the program must end.
  virtual bool LoadPluginFiles(AppServices& services, HWND owner) = 0;
  // Runs the update dialog against the loaded lists' versions, `owner`
  // disabled meanwhile (no second check starts from it).
  virtual void RunUpdate(AppServices& services, HWND owner) = 0;
  // The data-file lock every store of this process takes.
  virtual CDataFileLock& DataFileLock() = 0;
  // The Windows name and the browser's version gathered at start-up: the
  // Choose Items page's tile titles.
  virtual TileTitleFacts ChooseItemsFacts() const = 0;
};

}  // namespace sh
