// The data files on the real machine: files through Win32, macros and
// presence tests against the registry and the file system.
#pragma once

#include <windows.h>

#include <string>

#include "model/data_file.h"
#include "paths/known_locations_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

class CWinFileStore : public IFileStore {
 public:
  bool ReadAll(const std::string& path, std::string& bytes) override;
  bool WriteAll(const std::string& path, const std::string& bytes) override;
  bool PrintDocument(const TiXmlDocument& document, const std::string& path) override;
  bool Replace(const std::string& source, const std::string& target) override;
  bool Remove(const std::string& path) override;
  bool Exists(const std::string& path) override;
  std::string TempFolder() override;
};

class CWinPluginEnvironment : public IPluginEnvironment {
 public:
  // Stored known locations are read from `settings` at every expansion.
  explicit CWinPluginEnvironment(ISettingsStore& settings) : values_(settings) {}
  bool ExpandPathMacros(std::string& text) override;
  bool ExpandYahooUser(std::string& text) override;
  bool RegistryKeyExists(const std::string& keyText) override;
  bool PathExists(const std::string& path) override;

 private:
  CWinMacroValues values_;
};

// The named mutex that every process of this program takes in the user's
// session to store or read a data file: the copies of the window program and
// the console front end share the data files and the temporary file.
constexpr char kDataFilesMutexName[] = "Local\\SweepHarbor.DataFiles";
// A store that cannot have the mutex this long fails as a store that cannot
// write its temporary file does.
constexpr DWORD kDataFilesWaitMs = 10000;

class CNamedDataFileMutex : public ISharedDataFileLock {
 public:
  explicit CNamedDataFileMutex(const std::string& name = kDataFilesMutexName, DWORD waitMs = kDataFilesWaitMs);
  CNamedDataFileMutex(const CNamedDataFileMutex&) = delete;
  CNamedDataFileMutex& operator=(const CNamedDataFileMutex&) = delete;
  // Also when a process ended while holding it: every store replaces its
  // files whole, so nothing it left half-done is read as a data file.
  bool Acquire() override;
  void Release() override;

 private:
  std::string name_;
  DWORD waitMs_;
  ScopedHandle mutex_;
};

namespace detail {
struct NamedDataFileMutexMember {
  NamedDataFileMutexMember(const std::string& name, DWORD waitMs) : sharedPart(name, waitMs) {}
  CNamedDataFileMutex sharedPart;
};
}  // namespace detail

// The data-file lock of a process of this program: this process's lock
// together with the named mutex, so that its stores and reads exclude the
// stores of every other copy of the program and of swhclean in the same
// session.
class CWinDataFileLock : private detail::NamedDataFileMutexMember, public CDataFileLock {
 public:
  explicit CWinDataFileLock(const std::string& name = kDataFilesMutexName, DWORD waitMs = kDataFilesWaitMs)
      : detail::NamedDataFileMutexMember(name, waitMs), CDataFileLock(sharedPart) {}
};

}  // namespace sh
