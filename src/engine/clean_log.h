// The run's trace: the sink, the log name rule and every line, byte for byte.
#pragma once

#include <string>

#include "model/catalog.h"
#include "toolkit/seams.h"

namespace sh {

// The log sink. This system's sink keeps nothing: Open accepts any path
// without touching the disk, Write drops the line. A sink that stores lines
// (tests, a future log file) derives from it.
class CCleanLog {
 public:
  virtual ~CCleanLog() = default;
  virtual bool Open(const std::string& path) { (void)path; return true; }
  virtual bool Write(const std::string& line) { (void)line; return true; }
  virtual void Close() {}
  // False for this system's sink: the run then forms no per-file line.
  virtual bool KeepsLines() const { return false; }
};

// "logs\D,M,Y(h,m,s).txt", relative to the current directory.
std::string GetLogFileName(const LocalTime& now);

// Size column text: strict comparisons, so exactly 1024 reads "1024 bytes"
// and exactly 1048576 reads "1048576 bytes".
std::string FormatSize(double size);

namespace logline {
std::string SpotStart(const std::string& spot);
std::string SpotEnd();
std::string FolderEntry(const std::string& path, const std::string& mask);
std::string FolderEntrySkipped(const std::string& path);
std::string CleaningDirectory(const std::string& dir);
std::string LinkNotEntered(const std::string& dir);
std::string Deleting(const std::string& path);
std::string CouldNotDelete(const std::string& path);
std::string WipingIndexDat(const std::string& path);
std::string RebootDeleting(const std::string& path);
std::string CleaningFoundFolder(const std::string& pattern);
std::string RegKey(RegRoot root, const std::string& subKey);
std::string RegValue(RegRoot root, const std::string& key, const std::string& value);
std::string CleanedFormStore(RegRoot root, const std::string& path);
std::string WipingFreeSpace(const std::string& root);
// A key entry that would empty a root or a shared key; a key left behind.
std::string KeySkipped(RegRoot root, const std::string& subKey);
std::string CouldNotDeleteKey(RegRoot root, const std::string& subKey);
}  // namespace logline

}  // namespace sh
