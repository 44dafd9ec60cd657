// SweepHarbor.exe: the window program.
#include <windows.h>

#include "app/cleaner_app_win.h"
#include "engine/browser_windows_win.h"
#include "engine/win_cleaners_win.h"
#include "settings/registry_settings_win.h"
#include "toolkit/link_static_win.h"
#include "toolkit/win_seams_win.h"
#include "ui/main/shutdown_helper_win.h"
#include "update/web_client_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  sh::CCleanerApp app(sh::kAppName);
  // Before anything else: of two copies started together only one goes on,
  // and a second copy hands over to the first and ends here.
  if (!app.ClaimFirstInstance()) return 0;

  // The common controls are loaded by the window after its first paint.
  sh::CRegistrySettingsStore settings;
  sh::CWinPrompt prompt;
  sh::CWinSessionEnder session;
  sh::CWinShellLauncher shell;
  sh::CWinClock clock;
  sh::CWinBrowserWindows browsers(prompt);
  sh::CWinSpotCleaners cleaners(settings, prompt);
  // What a free-space wipe that never ended left (the program was killed).
  sh::RemoveFillLeftovers(cleaners.freeSpaceDisk());
  sh::CWinWebClient web;
  sh::AppServices services{prompt, settings, session, shell, clock, browsers, cleaners.cleaner(), web};

  return app.Run(GetCommandLineA(), services);
}
