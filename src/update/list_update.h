// The update of the spot list and the plugin list from the maker's update
// folder: the version pages, the download, the check of what came, and the
// conversation the update dialog holds with the user.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/data_file.h"
#include "toolkit/seams.h"

namespace sh {

// The four names the update folder serves.
extern const char kSpotListPage[];    // "spotlist_update.htm"
extern const char kPluginListPage[];  // "pluginlist_update.htm"
extern const char kSpotListFile[];    // "splst.zip"
extern const char kPluginListFile[];  // "plglst.zip"

// No list comes near this; a longer answer is taken as a wrong one rather
// than read into memory without end.
constexpr size_t kMaxDownloadBytes = 16u << 20;

// The web as the update sees it. The program asks WinINet; tests serve
// answers from memory.
class IWebClient {
 public:
  virtual ~IWebClient() = default;
  // The whole answer to a GET of `url`, not stored in the browser's cache.
  // False, with `why` saying what went wrong, when there is no connection,
  // the server answers with another status than 200, the answer breaks off
  // or is longer than kMaxDownloadBytes.
  virtual bool Get(const std::string& url, std::string& body, std::string& why) = 0;
};

// The body of a version page as the check reads it: lower case; what lies
// between the first "<body>" and the first "</body>" after it (the whole
// text without "<body>"); white space trimmed at both ends.
std::string PageBodyText(const std::string& page);

// "%A, %B %d, %Y Time: %H:%M:%S" in English, e.g.
// "Saturday, December 05, 2026 Time: 08:01:09". The weekday is worked out
// from the date.
std::string FormatUpdateStamp(const LocalTime& time);

enum class ListKind { kSpotList, kPluginList };

// Puts a downloaded list (scrambled, as the server keeps it) in place of the
// working one, if it is a list of that kind: it must unscramble and parse,
// the spot list with the root "CleaningSpots", the plugin list with another
// root and at least one element below it named by "Name". The user's choices (ToBeCleaned) are
// carried over by name from the working file when it can be read. The store
// replaces the file in one step. False, with `why`, and the working file
// untouched otherwise.
bool InstallDownloadedList(DataFileEnv& env, ListKind kind, const std::string& scrambled, std::string& why);

// What a setup program does with the lists it brings: installs "Splst.swh"
// and "Plglst.swh" of `folder` into the data folder as downloaded lists are
// installed, so an upgrade keeps the user's choices the same way. One line
// per list in `report`; true when both were installed.
bool InstallListsFrom(DataFileEnv& env, const std::string& folder, std::vector<std::string>& report);

// The check and download against one update folder.
class CListUpdater {
 public:
  // `baseUrl` ends with "/"; the versions are those of the loaded lists
  // (0 for a list not loaded).
  CListUpdater(IWebClient& web, DataFileEnv& env, IClock& clock, std::string baseUrl, int spotListVersion,
               int pluginListVersion);

  // True when the page's number is larger than the loaded version. A page
  // that cannot be read or is empty is no update.
  bool IsSpotListUpdateAvailable() { return IsUpdateAvailable(ListKind::kSpotList); }
  bool IsPluginListUpdateAvailable() { return IsUpdateAvailable(ListKind::kPluginList); }
  // Fetches each list whose page offers an update and installs it; stamps
  // `LastUpdate` when at least one was installed (true). A list that fails
  // leaves its file and the stamp as they were; the other is still tried.
  bool DownloadUpdates();

  // What went wrong last ("" when nothing did), and the address it
  // concerned: for the user when a download the program needs fails.
  const std::string& failure() const { return failure_; }
  const std::string& failedAddress() const { return failedAddress_; }
  const std::string& baseUrl() const { return base_; }

 private:
  bool IsUpdateAvailable(ListKind kind);
  bool Download(ListKind kind);
  void Fail(const std::string& address, const std::string& why);

  IWebClient& web_;
  DataFileEnv& env_;
  IClock& clock_;
  std::string base_;
  int spotVersion_, pluginVersion_;
  std::string failure_, failedAddress_;
};

extern const char kUpToDateText[];          // "Sweep Harbor is upto date, no updates required"
extern const char kUpdatesAvailableText[];  // "Updates are available, do you want to download now?"
extern const char kUpdatesDownloadedText[]; // "Updates Downloaded Successfully"
extern const char kUpdateErrorText[];       // "Error occured while downloading"
extern const char kDownloadingText[];       // "Downloading updates..."

enum class UpdateOutcome { kUpToDate, kDeclined, kDownloaded, kFailed };

// What the update dialog does once its wait is over: the plugin list's page
// first, the spot list's only when that offers nothing; the question; the
// download; the message for each ending. `downloading` is called just
// before the download (the dialog shows it). Only kDownloaded ends the
// dialog with OK.
UpdateOutcome RunUpdateConversation(CListUpdater& updater, IPrompt& prompt, const std::function<void()>& downloading);

}  // namespace sh
