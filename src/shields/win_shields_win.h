// The protection shields as the main window runs them: the decisions
// (CProtectionShield) over the machine's registry, Favorites folder and
// hosts file, with the watches that bring every change to the window.
#pragma once

#include <windows.h>

#include "settings/settings.h"
#include "shields/protection_shield.h"
#include "shields/shield_ports_win.h"
#include "shields/shield_watchers_win.h"
#include "toolkit/seams.h"

namespace sh {

class CWinShields {
 public:
  // `window` gets the shields' messages and hands them to OnMessage.
  CWinShields(HWND window, IShieldQuestion& question, ISettingsStore& settings, IPrompt& prompt);
  ~CWinShields();
  CWinShields(const CWinShields&) = delete;
  CWinShields& operator=(const CWinShields&) = delete;

  // Loads the shield settings, takes the snapshots and starts every watch.
  void Start();
  // The shields' own messages; true when `msg` was one of them.
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Ends the watches; messages still on their way are ignored.
  void Stop();
  CProtectionShield& shield() { return shield_; }

 private:
  void InstallFavoritesNotification();

  HWND window_;
  IPrompt& prompt_;
  CWinBrowserSettings browser_;
  CWinFavoritesFolder favorites_;
  CWinHostsFile hosts_;
  CProtectionShield shield_;
  CRegKeyWatcher watcher_;
  CFolderWatcher favoritesWatch_, hostsWatch_;
  ULONG shellRegistration_ = 0;
  bool stopped_ = false;
};

}  // namespace sh
