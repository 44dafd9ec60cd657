// Everything the window and the start-up reach outside the program through:
// the real implementations for the program, recorders for the tests.
#pragma once

#include "app/shutdown_helper_win.h"
#include "engine/clean_run.h"
#include "settings/settings.h"
#include "toolkit/open_url.h"
#include "toolkit/seams.h"

namespace sh {

class CSpotCleaner;

struct AppServices {
  IPrompt& prompt;
  ISettingsStore& settings;
  ISessionEnder& session;
  IShellLauncher& shell;
  IClock& clock;
  IBrowserWindows& browsers;
  CSpotCleaner& cleaners;
};

}  // namespace sh
