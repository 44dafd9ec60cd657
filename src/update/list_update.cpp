#include "update/list_update.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "model/data_paths.h"
#include "model/plugin_file.h"
#include "settings/settings.h"
#include "toolkit/text.h"

namespace sh {

const char kSpotListPage[] = "spotlist_update.htm";
const char kPluginListPage[] = "pluginlist_update.htm";
const char kSpotListFile[] = "splst.zip";
const char kPluginListFile[] = "plglst.zip";

const char kUpToDateText[] = "Sweep Harbor is upto date, no updates required";
const char kUpdatesAvailableText[] = "Updates are available, do you want to download now?";
const char kUpdatesDownloadedText[] = "Updates Downloaded Successfully";
const char kUpdateErrorText[] = "Error occured while downloading";
const char kDownloadingText[] = "Downloading updates...";

namespace {

const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

// 0 = Sunday, for the proleptic Gregorian calendar (Sakamoto's method).
int Weekday(int year, int month, int day) {
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  const int w = (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
  return w < 0 ? w + 7 : w;
}

// A plugin list as its loader reads it: plugins are the root's elements,
// named by "Name"; a spot list (or anything else) has none.
bool IsPluginList(const TiXmlElement& root) {
  if (std::strcmp(root.Value(), "CleaningSpots") == 0) return false;
  for (const TiXmlElement* e = root.FirstChildElement(); e; e = e->NextSiblingElement())
    if (e->Attribute("Name") != nullptr) return true;
  return false;
}

}  // namespace

std::string PageBodyText(const std::string& page) {
  std::string text = page;
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const size_t open = text.find("<body>");
  if (open != std::string::npos) {
    text.erase(0, open + 6);
    const size_t close = text.find("</body>");
    if (close != std::string::npos) text.erase(close);
  }
  return TrimWhite(text);
}

std::string FormatUpdateStamp(const LocalTime& t) {
  const int month = std::clamp(t.month, 1, 12);
  return Format("%s, %s %02d, %04d Time: %02d:%02d:%02d", kWeekdays[Weekday(t.year, month, t.day)],
                kMonths[month - 1], t.day, t.year, t.hour, t.minute, t.second);
}

bool InstallDownloadedList(DataFileEnv& env, ListKind kind, const std::string& scrambled, std::string& why) {
  std::string text = scrambled;
  ScrambleBytes(text);
  // As a data file is read: the text ends at the first zero byte.
  text.resize(std::strlen(text.c_str()));
  TiXmlDocument fresh;
  if (!ParseDataText(text, fresh)) {
    why = "the file that came is not a list";
    return false;
  }
  const bool spots = kind == ListKind::kSpotList;
  const TiXmlElement& root = *fresh.RootElement();
  if (spots ? std::strcmp(root.Value(), "CleaningSpots") != 0 : !IsPluginList(root)) {
    why = spots ? "the file that came is not a spot list" : "the file that came is not a plugin list";
    return false;
  }
  const std::string target = spots ? GetSpotListPath(env.settings) : GetPluginListPath(env.settings);
  // The user's ticks live in the working file (each is stored at the click);
  // a working file that cannot be read has none to give.
  TiXmlDocument working;
  if (ReadDataDocument(env, target, working)) CarryOverChoices(working, fresh, spots);
  if (!SaveDataDocument(env, fresh, target)) {
    why = "the list could not be stored in " + target;
    return false;
  }
  return true;
}

bool InstallListsFrom(DataFileEnv& env, const std::string& folder, std::vector<std::string>& report) {
  bool all = true;
  for (ListKind kind : {ListKind::kSpotList, ListKind::kPluginList}) {
    const bool spots = kind == ListKind::kSpotList;
    const std::string source = StripTrailing(folder, '\\') + (spots ? "\\Splst.swh" : "\\Plglst.swh");
    const std::string target = spots ? GetSpotListPath(env.settings) : GetPluginListPath(env.settings);
    std::string bytes, why;
    if (!env.files.ReadAll(source, bytes) || bytes.empty()) why = "it cannot be read";
    else if (bytes.size() > kMaxDownloadBytes) why = "it is too large for a list";
    if (why.empty() && InstallDownloadedList(env, kind, bytes, why)) {
      report.push_back("installed " + source + " as " + target);
    } else {
      report.push_back("not installed " + source + ": " + why);
      all = false;
    }
  }
  return all;
}

CListUpdater::CListUpdater(IWebClient& web, DataFileEnv& env, IClock& clock, std::string baseUrl,
                           int spotListVersion, int pluginListVersion)
    : web_(web),
      env_(env),
      clock_(clock),
      base_(std::move(baseUrl)),
      spotVersion_(spotListVersion),
      pluginVersion_(pluginListVersion) {}

void CListUpdater::Fail(const std::string& address, const std::string& why) {
  failedAddress_ = address;
  failure_ = why;
}

bool CListUpdater::IsUpdateAvailable(ListKind kind) {
  const bool spots = kind == ListKind::kSpotList;
  const std::string address = base_ + (spots ? kSpotListPage : kPluginListPage);
  std::string page, why;
  if (!web_.Get(address, page, why)) {
    Fail(address, why);
    return false;
  }
  const std::string body = PageBodyText(page);
  if (body.empty()) {
    Fail(address, "the page is empty");
    return false;
  }
  return IntegerFromText(body.c_str()) > (spots ? spotVersion_ : pluginVersion_);
}

bool CListUpdater::Download(ListKind kind) {
  const std::string address = base_ + (kind == ListKind::kSpotList ? kSpotListFile : kPluginListFile);
  std::string bytes, why;
  if (!web_.Get(address, bytes, why) || !InstallDownloadedList(env_, kind, bytes, why)) {
    Fail(address, why);
    return false;
  }
  return true;
}

bool CListUpdater::DownloadUpdates() {
  failure_.clear();
  failedAddress_.clear();
  const std::string stamp = FormatUpdateStamp(clock_.Now());
  bool ok = false;
  for (ListKind kind : {ListKind::kSpotList, ListKind::kPluginList}) {
    if (IsUpdateAvailable(kind) && Download(kind)) {
      CSettings(env_.settings).SetLastUpdate(stamp);
      ok = true;
    }
  }
  return ok;
}

UpdateOutcome RunUpdateConversation(CListUpdater& updater, IPrompt& prompt, const std::function<void()>& downloading) {
  auto say = [&prompt](const char* text) {
    PromptRequest message;
    message.text = text;
    prompt.Ask(message);
  };
  if (!updater.IsPluginListUpdateAvailable() && !updater.IsSpotListUpdateAvailable()) {
    say(kUpToDateText);
    return UpdateOutcome::kUpToDate;
  }
  PromptRequest question;
  question.text = kUpdatesAvailableText;
  question.caption = "Update";
  question.kind = PromptKind::kYesNo;
  if (prompt.Ask(question) != PromptAnswer::kYes) return UpdateOutcome::kDeclined;
  if (downloading) downloading();
  if (updater.DownloadUpdates()) {
    say(kUpdatesDownloadedText);
    return UpdateOutcome::kDownloaded;
  }
  say(kUpdateErrorText);
  return UpdateOutcome::kFailed;
}

}  // namespace sh
