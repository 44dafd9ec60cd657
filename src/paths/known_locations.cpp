#include "paths/known_locations.h"

#include "toolkit/text.h"

namespace sh {

const char kShellFoldersKey[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kMachineShellFoldersKey[] =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kIdentitiesKey[] = "HKEY_CURRENT_USER\\Identities";
const char kAimMiscKey[] = "HKEY_CURRENT_USER\\Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Misc";
const char kAimLoginKey[] =
    "HKEY_CURRENT_USER\\Software\\America Online\\AOL Instant Messenger (TM)\\CurrentVersion\\Login";
const char kYahooPagerKey[] = "HKEY_CURRENT_USER\\Software\\Yahoo\\pager";

namespace {

// Outlook Express keeps its store per identity below an application-data
// folder. The identity is read afresh for each of the two folders.
// `tail` below `base`; empty without a base, which would otherwise leave a
// path from the drive root that no macro check notices.
std::string Below(const std::string& base, const std::string& tail) {
  const std::string folder = StripTrailing(base, '\\');
  return folder.empty() ? std::string() : folder + tail;
}

std::string OutlookExpressFolder(ILocationProbe& probe, const std::string& appData) {
  const std::string identity = StripTrailing(probe.ReadRegistryPathValue(kIdentitiesKey, "Default User ID"), '\\');
  if (identity.empty()) return std::string();
  return Below(appData, "\\Identities\\" + identity + "\\Microsoft\\Outlook Express");
}

}  // namespace

void RefreshKnownLocations(ISettingsStore& settings, ILocationProbe& probe) {
  const std::string cache = probe.ReadRegistryPathValue(kShellFoldersKey, "Cache");
  const std::string cookies = probe.ReadRegistryPathValue(kShellFoldersKey, "Cookies");
  const std::string history = probe.ReadRegistryPathValue(kShellFoldersKey, "History");
  const std::string recent = probe.ReadRegistryPathValue(kShellFoldersKey, "Recent");
  const std::string localAppData = probe.ReadRegistryPathValue(kShellFoldersKey, "Local AppData");
  const std::string appData = probe.ReadRegistryPathValue(kShellFoldersKey, "AppData");
  const std::string commonAppData = probe.ReadRegistryPathValue(kMachineShellFoldersKey, "Common AppData");
  const std::string aimDataPath = probe.ReadRegistryPathValue(kAimMiscKey, "DataPath");
  const std::string personal = probe.ReadRegistryPathValue(kShellFoldersKey, "Personal");

  const std::string received = Below(personal, "\\My Received Files");
  const std::string outlook = OutlookExpressFolder(probe, localAppData);
  const std::string outlook2 = OutlookExpressFolder(probe, appData);
  const std::string sysTemp = probe.TempFolder();
  const std::string winTemp = Below(probe.WindowsFolder(), "\\temp");

  // Empty texts are written too: they replace what an older start found.
  settings.Write("IE_Cache", cache);
  settings.Write("IE_Cookies", cookies);
  settings.Write("IE_History", history);
  settings.Write("Recent", recent);
  settings.Write("Sys_Temp", sysTemp);
  settings.Write("Win_Temp", winTemp);
  settings.Write("OutlookFolder", outlook);
  settings.Write("OutlookFolder2", outlook2);
  settings.Write("MSN_Received_Files_Folder", received);
  settings.Write("APP_DATA", appData);
  settings.Write("LOCAL_APPDATA", localAppData);
  settings.Write("COMMON_APPDATA", commonAppData);
  settings.Write("AOL_DATA_PATH", aimDataPath);
  // Newer than the rest: written after them, so the older ones keep their order.
  settings.Write("LOCAL_LOW", probe.LocalLowFolder());

  const std::string path = settings.Read("path");
  if (path.empty() || !probe.PathExists(path)) {
    // The setup program keeps the lists in a "Data" folder beside the
    // programs and names it for the user who ran it; every other user of
    // the machine (or a user whose setting went) finds them there too.
    const std::string dir = probe.ModuleDir();
    const std::string data = StripTrailing(dir, '\\') + "\\Data";
    settings.Write("path", probe.PathExists(data + "\\Splst.swh") ? data : dir);
  }
}

std::string PickProgramFilesDir(bool expanded, const std::string& expandedText,
                                const std::function<std::string()>& shellFolder, const std::string& windowsFolder) {
  if (expanded && !EqualsNoCase(expandedText, "%ProgramFiles%")) return expandedText;
  std::string fromShell = shellFolder ? shellFolder() : std::string();
  if (!fromShell.empty()) return fromShell;
  return windowsFolder.substr(0, 3) + "Program Files";
}

}  // namespace sh
