#include "engine/clean_log.h"

#include "paths/reg_path.h"
#include "toolkit/text.h"

namespace sh {

std::string GetLogFileName(const LocalTime& t) {
  return Format("logs\\%d,%d,%d(%d,%d,%d).txt", t.day, t.month, t.year, t.hour, t.minute, t.second);
}

std::string FormatSize(double size) {
  if (size > 1024 && size < 1048576) return Format("%0.2f KB", size / 1024);
  if (size > 1048576 && size < 1073741824) return Format("%0.2f MB", size / 1048576);
  if (size > 1073741824) return Format("%0.2f GB", size / 1073741824);
  return Format("%0.0f bytes", size);
}

namespace logline {
// Lines are built by concatenation, not printf, so a path of any length and
// any '%' in it come out exactly.
std::string SpotStart(const std::string& spot) { return "Cleaning : " + spot + " ******************************\r\n"; }
std::string SpotEnd() { return "End *********************************************\r\n\r\n"; }
std::string FolderEntry(const std::string& path, const std::string& mask) {
  return "Cleaning : Path = " + path + " , Mask = " + mask + " \r\n";
}
std::string FolderEntrySkipped(const std::string& path) {
  return "Skipped (not a folder to walk) : " + path + " \r\n";
}
std::string CleaningDirectory(const std::string& dir) { return "Cleaning Directory : " + dir + " \r\n"; }
std::string LinkNotEntered(const std::string& dir) { return "Link Not Entered : " + dir + " \r\n"; }
std::string Deleting(const std::string& path) { return "Deleting : " + path + " \r\n"; }
std::string CouldNotDelete(const std::string& path) { return "Could Not Delete : " + path + " \r\n"; }
std::string WipingIndexDat(const std::string& path) { return "Wiping Index.dat: " + path + " \r\n"; }
std::string RebootDeleting(const std::string& path) { return "Reboot Deleting : " + path + " \r\n"; }
std::string CleaningFoundFolder(const std::string& pattern) { return "Cleaning folder (" + pattern + ")\r\n"; }
std::string RegKey(RegRoot root, const std::string& subKey) {
  return "Cleaning : Key = " + RootKeyToName(root) + "\\" + subKey + " \r\n";
}
std::string RegValue(RegRoot root, const std::string& key, const std::string& value) {
  return "Cleaning : Key = " + RootKeyToName(root) + "\\" + key + " Value = " + value + "\r\n";
}
std::string CleanedFormStore(RegRoot root, const std::string& path) {
  return "Cleaned : " + RootKeyToName(root) + "\\" + path + "\r\n";
}
std::string WipingFreeSpace(const std::string& root) { return "Wiping Free Space : " + root + " \r\n"; }
std::string KeySkipped(RegRoot root, const std::string& subKey) {
  return "Skipped (not a key to clean) : " + RootKeyToName(root) + "\\" + subKey + " \r\n";
}
std::string CouldNotDeleteKey(RegRoot root, const std::string& subKey) {
  return "Could Not Delete Key : " + RootKeyToName(root) + "\\" + subKey + " \r\n";
}
}  // namespace logline

}  // namespace sh
