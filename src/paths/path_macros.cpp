#include "paths/path_macros.h"

#include "toolkit/text.h"

namespace sh {

namespace {

enum class Source { kStored, kAim, kProgramFiles, kWindows, kSystem };

struct MacroRow {
  const char* token;
  Source source;
  const char* stored;  // name of the stored value for kStored
};

// The order matters: a value holding a later token is expanded by that row.
// No token is a prefix of another up to its closing colon, so
// :OutlookFolder: never matches inside :OutlookFolder2:.
const MacroRow kRows[] = {
    {":IE_Cache:", Source::kStored, "IE_Cache"},
    {":IE_Cookies:", Source::kStored, "IE_Cookies"},
    {":Recent:", Source::kStored, "Recent"},
    {":Sys_Temp:", Source::kStored, "Sys_Temp"},
    {":Win_Temp:", Source::kStored, "Win_Temp"},
    {":OutlookFolder:", Source::kStored, "OutlookFolder"},
    {":OutlookFolder2:", Source::kStored, "OutlookFolder2"},
    {":MSN_Received_Files_Folder:", Source::kStored, "MSN_Received_Files_Folder"},
    {":APPDATA:", Source::kStored, "APP_DATA"},
    {":LOCAL_APPDATA:", Source::kStored, "LOCAL_APPDATA"},
    {":LOCAL_LOW:", Source::kStored, "LOCAL_LOW"},
    {":COMMON_APPDATA:", Source::kStored, "COMMON_APPDATA"},
    {":AOL_USER:", Source::kAim, nullptr},
    {":AOL_DATA_PATH:", Source::kStored, "AOL_DATA_PATH"},
    {":PF:", Source::kProgramFiles, nullptr},
    {":WINDIR:", Source::kWindows, nullptr},
    {":SYS:", Source::kSystem, nullptr},
};

std::string ValueOf(const MacroRow& row, IMacroValues& values) {
  switch (row.source) {
    case Source::kStored: return values.StoredValue(row.stored);
    case Source::kAim: return values.AimScreenName();
    case Source::kProgramFiles: return values.ProgramFilesDir();
    case Source::kWindows: return values.WindowsFolder();
    case Source::kSystem: return values.SystemFolder();
  }
  return std::string();
}

// A value that adds no path component: the path around it closes up on
// the token's parent.
bool StandsForNothing(const std::string& value) { return value.find_first_not_of("\\ \t") == std::string::npos; }

}  // namespace

bool ExpandPathMacros(std::string& text, IMacroValues& values) {
  bool whole = true;
  for (const MacroRow& row : kRows) {
    // Most paths carry one token or none: a lookup costs a registry read.
    if (text.find(row.token) == std::string::npos) continue;
    const std::string value = ValueOf(row, values);
    if (StandsForNothing(value)) whole = false;
    ReplaceAll(text, row.token, value);
  }
  const size_t keep = text.compare(0, 2, "\\\\") == 0 ? 2 : 0;
  std::string rest = text.substr(keep);
  ReplaceAll(rest, "\\\\", "\\");
  text.replace(keep, std::string::npos, rest);
  return whole;
}

bool ExpandYahooUser(std::string& text, IMacroValues& values) {
  static const char kToken[] = ":YAHOO_USER:";
  if (text.find(kToken) == std::string::npos) return true;
  const std::string id = values.YahooUserId();
  ReplaceAll(text, kToken, id);
  return !StandsForNothing(id);
}

}  // namespace sh
