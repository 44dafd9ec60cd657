#include "shields/protection_shield.h"

#include <algorithm>

#include "shields/hosts_file.h"
#include "shields/shield_texts.h"
#include "toolkit/text.h"

namespace sh {
namespace {

constexpr char kStartPage[] = "Start Page";
constexpr char kSearchPage[] = "Search Page";
constexpr char kLocalPage[] = "Local Page";
constexpr char kSearchBar[] = "Search Bar";

bool HoldsPath(const std::vector<FavoriteItem>& list, const std::string& path) {
  return std::any_of(list.begin(), list.end(), [&path](const FavoriteItem& f) { return EqualsNoCase(f.path, path); });
}

}  // namespace

CProtectionShield::CProtectionShield(const Ports& ports) : ports_(ports) {}

void CProtectionShield::LoadFlags() {
  CSettings settings(ports_.settings);
  homePage_ = settings.ShieldHomePage() != 0;
  hijack_ = settings.ShieldHijack() != 0;
  favorites_ = settings.ShieldFavorites() != 0;
  silent_ = settings.ShieldSilent() != 0;
  active_ = homePage_ || hijack_ || favorites_;
}

void CProtectionShield::StartShields() {
  keptHomePage_ = CSettings(ports_.settings).KeepURL();
  // Only a home page shield resets the browser's home page: a user who
  // never switched it on keeps the page they chose.
  if (homePage_) ports_.browser.Write(BrowserRoot::kUser, kStartPage, keptHomePage_);
  for (BrowserRoot root : {BrowserRoot::kUser, BrowserRoot::kMachine}) {
    BrowserSnapshot& snapshot = root == BrowserRoot::kUser ? user_ : machine_;
    snapshot.searchPage = ports_.browser.Read(root, kSearchPage);
    snapshot.localPage = ports_.browser.Read(root, kLocalPage);
    snapshot.searchBar = ports_.browser.Read(root, kSearchBar);
  }
  favoritesSnapshot_ = ports_.favorites.Read();
  hostsSnapshot_.clear();
  std::string hosts;
  if (ports_.hosts.Read(hosts))
    for (const std::string& line : HostsLines(hosts)) {
      std::string key = HostsEntryKey(line);
      if (!key.empty()) hostsSnapshot_.insert(std::move(key));
    }
}

bool CProtectionShield::AskUser(int kind, const std::string& oldValue, const std::string& newValue) {
  if (silent_) return true;
  if (newValue.empty()) return false;
  std::string title, text;
  if (!ShieldQuestionText(kind, oldValue, newValue, &title, &text)) return false;
  return !ports_.question.Allow(title, text);
}

void CProtectionShield::OnRegistryChange(unsigned watchId) {
  if (!active_) return;
  if (watchId == kUserSettingsWatch) {
    const std::string start = ports_.browser.Read(BrowserRoot::kUser, kStartPage);
    if (homePage_ && !EqualsNoCase(start, keptHomePage_)) {
      if (AskUser(static_cast<int>(ShieldEventKind::kStartPage), keptHomePage_, start)) {
        ports_.browser.Write(BrowserRoot::kUser, kStartPage, keptHomePage_);
      } else {
        keptHomePage_ = start;
        CSettings(ports_.settings).SetKeepURL(start);
      }
    }
    CheckSearchSettings(BrowserRoot::kUser, user_);
  } else if (watchId == kMachineSettingsWatch) {
    CheckSearchSettings(BrowserRoot::kMachine, machine_);
  }
}

void CProtectionShield::CheckSearchSettings(BrowserRoot root, BrowserSnapshot& snapshot) {
  // Read together before any question, as the change was made.
  const std::string current[3] = {ports_.browser.Read(root, kSearchPage), ports_.browser.Read(root, kLocalPage),
                                  ports_.browser.Read(root, kSearchBar)};
  if (!hijack_) return;
  struct Value {
    const char* name;
    ShieldEventKind kind;
    std::string* kept;
  };
  const Value values[3] = {{kSearchPage, ShieldEventKind::kSearchPage, &snapshot.searchPage},
                           {kLocalPage, ShieldEventKind::kLocalPage, &snapshot.localPage},
                           {kSearchBar, ShieldEventKind::kSearchBar, &snapshot.searchBar}};
  for (int i = 0; i < 3; ++i) {
    const Value& v = values[i];
    if (EqualsNoCase(current[i], *v.kept)) continue;
    if (AskUser(static_cast<int>(v.kind), *v.kept, current[i]))
      ports_.browser.Write(root, v.name, *v.kept);
    else
      *v.kept = current[i];
  }
}

void CProtectionShield::OnFavoritesChange() {
  if (!active_ || !favorites_) return;
  const std::vector<FavoriteItem> current = ports_.favorites.Read();
  for (const FavoriteItem& entry : current) {
    if (HoldsPath(favoritesSnapshot_, entry.path)) continue;
    // Refused already, its deleter not yet run: not asked again.
    if (std::any_of(deleting_.begin(), deleting_.end(),
                    [&entry](const std::string& p) { return EqualsNoCase(p, entry.path); }))
      continue;
    // The entry in question (a notification inside its open popup): nothing
    // more this time.
    if (EqualsNoCase(pendingDeletion_, entry.path)) return;
    pendingDeletion_ = entry.path;
    if (AskUser(static_cast<int>(ShieldEventKind::kFavoriteAdded), std::string(), entry.url)) {
      deleting_.push_back(entry.path);
      ports_.favorites.DeleteLater(entry.path);
    } else {
      favoritesSnapshot_ = ports_.favorites.Read();
    }
  }
}

void CProtectionShield::OnFavoriteDeleted(const std::string& path) {
  // Only the entry that was deleted stops being pending: a question asked
  // meanwhile about another entry keeps its own.
  if (EqualsNoCase(pendingDeletion_, path)) pendingDeletion_.clear();
  const auto done = std::find_if(deleting_.begin(), deleting_.end(),
                                 [&path](const std::string& p) { return EqualsNoCase(p, path); });
  if (done != deleting_.end()) deleting_.erase(done);
}

void CProtectionShield::OnHostsChange() {
  if (!active_ || !hijack_) return;
  // A change noticed while a question is open is looked at when it closes.
  if (hostsBusy_) {
    hostsAgain_ = true;
    return;
  }
  hostsBusy_ = true;
  do {
    hostsAgain_ = false;
    CheckHostsOnce();
  } while (hostsAgain_);
  hostsBusy_ = false;
}

void CProtectionShield::CheckHostsOnce() {
  std::string text;
  if (!ports_.hosts.Read(text)) return;
  std::vector<std::string> keys;
  for (const std::string& line : HostsLines(text)) keys.push_back(HostsEntryKey(line));
  std::multiset<std::string> unmatched = hostsSnapshot_;
  std::set<std::string> decided;  // one question per entry, however often it was added
  for (const std::string& key : keys) {
    if (key.empty()) continue;
    const auto known = unmatched.find(key);
    if (known != unmatched.end()) {
      unmatched.erase(known);
      continue;
    }
    if (!decided.insert(key).second || !hostsAsking_.insert(key).second) continue;
    const bool undo = AskUser(static_cast<int>(ShieldEventKind::kHostsEntryAdded), std::string(), key);
    hostsAsking_.erase(key);
    if (!undo) {
      // Allowed: every line of it now in the file is taken in.
      const size_t lines = static_cast<size_t>(std::count(keys.begin(), keys.end(), key));
      while (hostsSnapshot_.count(key) < lines) hostsSnapshot_.insert(key);
      continue;
    }
    // The file as it is now: only the refused entry's extra lines go.
    std::string now;
    if (ports_.hosts.Read(now)) ports_.hosts.Write(RemoveHostsEntry(now, key, hostsSnapshot_.count(key)));
  }
}

}  // namespace sh
