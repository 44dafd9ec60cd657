// The protection shields' decisions: the browser's home page and search
// settings, the Favorites folder and the hosts file, each compared with a
// snapshot and every difference put to the user (or refused silently).
// Portable: the machine is reached through the seams of shield_ports.h;
// the Win32 side (CWinShields) watches and calls the On* members on the
// user-interface thread.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "shields/shield_ports.h"

namespace sh {

class CProtectionShield {
 public:
  struct Ports {
    IBrowserSettings& browser;
    IShieldQuestion& question;
    ISettingsStore& settings;
    IFavoritesFolder& favorites;
    IHostsFile& hosts;
  };

  explicit CProtectionShield(const Ports& ports);
  virtual ~CProtectionShield() = default;
  CProtectionShield(const CProtectionShield&) = delete;
  CProtectionShield& operator=(const CProtectionShield&) = delete;

  // The four shield settings; active when any of the three shields is on,
  // fixed from here on.
  void LoadFlags();
  // The kept home page (written to the browser only while the home page
  // shield is on), then the snapshots of the settings, the Favorites and
  // the hosts file. The watches are the caller's.
  void StartShields();

  void OnRegistryChange(unsigned watchId);
  void OnFavoritesChange();
  // The deleter of a refused favorite has run; `path` is what it deleted.
  void OnFavoriteDeleted(const std::string& path);
  void OnHostsChange();

  // True when the change is to be undone: at once in silent mode, never
  // for an empty new value, otherwise as the user answers the popup.
  bool AskUser(int kind, const std::string& oldValue, const std::string& newValue);

  // The control panel's ticks; they apply from the next change handled. A
  // shield ticked while none was on makes the shields active: the watches
  // run all the time, and a user who ticks one is protected from then on,
  // not from the next start.
  void set_home_page_shield(bool on) { active_ = active_ || (homePage_ = on); }
  void set_hijack_shield(bool on) { active_ = active_ || (hijack_ = on); }
  void set_favorites_shield(bool on) { active_ = active_ || (favorites_ = on); }
  void set_silent(bool on) { silent_ = on; }
  // The home page the user chose to keep, typed in the control panel.
  void set_kept_home_page(const std::string& url) { keptHomePage_ = url; }
  bool active() const { return active_; }
  const std::string& kept_home_page() const { return keptHomePage_; }
  const std::string& pending_favorite() const { return pendingDeletion_; }

 private:
  struct BrowserSnapshot {
    std::string searchPage, localPage, searchBar;
  };
  void CheckSearchSettings(BrowserRoot root, BrowserSnapshot& snapshot);
  void CheckHostsOnce();

  Ports ports_;
  BrowserSnapshot user_, machine_;
  std::string keptHomePage_;
  std::vector<FavoriteItem> favoritesSnapshot_;
  std::string pendingDeletion_;          // the entry last put to the user
  std::vector<std::string> deleting_;    // refused entries whose deleter has not reported
  std::multiset<std::string> hostsSnapshot_;  // entries as HostsEntryKey gives them
  std::set<std::string> hostsAsking_;         // entries whose question is open
  bool hostsBusy_ = false, hostsAgain_ = false;
  bool active_ = false;
  bool homePage_ = false, favorites_ = false, hijack_ = false, silent_ = false;
};

}  // namespace sh
