// What the deciders read of the machine: the file system, the registry, the
// URL cache and a few facts. Read only: every change goes through an
// IActionExecutor. The Win32 layer implements them; tests use fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/url_cache.h"
#include "model/catalog.h"

namespace sh {

// File attribute bits the deciders look at (the Win32 values).
constexpr uint32_t kAttrReadOnly = 0x1;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrReparsePoint = 0x400;

struct FsEntry {
  std::string name;         // the long name, exactly as stored
  uint32_t attributes = 0;
  uint64_t size = 0;
  // False when the name cannot be spelled in the ANSI code page: no call
  // could reach the file by that name.
  bool spellable = true;
};

enum class ListResult { kListed, kMissing, kFailed };

class IFileSystemView {
 public:
  virtual ~IFileSystemView() = default;
  // Every entry of `folder` (a normal form) but "." and "..", in the
  // system's order; `visit` returns false to end the listing early.
  // kMissing when the folder does not exist.
  virtual ListResult List(const std::string& folder, const std::function<bool(const FsEntry&)>& visit) = 0;
  // The long spelling of an existing path (8.3 names expanded); the text
  // unchanged when it cannot be resolved.
  virtual std::string LongPath(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // False when the file cannot be read.
  virtual bool FileLength(const std::string& path, uint64_t& length) = 0;
};

class IRegistryView {
 public:
  virtual ~IRegistryView() = default;
  virtual bool KeyExists(RegRoot root, const std::string& key) = 0;
  virtual bool ValueExists(RegRoot root, const std::string& key, const std::string& value) = 0;
  // The names of the key's direct subkeys; false when it cannot be opened.
  virtual bool SubKeys(RegRoot root, const std::string& key, std::vector<std::string>& names) = 0;
};

// Facts about the machine and the user that the special cleaners need.
class ICleanEnvironment {
 public:
  virtual ~ICleanEnvironment() = default;
  // Roots ("C:\") of the drives that are not CD-ROM, removable or remote,
  // in the order Windows lists them.
  virtual std::vector<std::string> DriveRoots() = 0;
  // Folders whose own files and subfolders belong to the system or to the
  // user's work (Windows, System, Program Files, profiles, documents,
  // desktop, application data); any spelling.
  virtual std::vector<std::string> ProtectedFolders() = 0;
  virtual std::string WindowsFolder() = 0;
  // The shell's Cookies and History folders; empty when the shell knows none.
  virtual std::string CookiesFolder() = 0;
  virtual std::string HistoryFolder() = 0;
  virtual bool NtFamily() = 0;
  // The user of the process as SID text; empty when it cannot be read.
  virtual std::string UserSidText() = 0;
  virtual std::string LogonName() = 0;
  // True when the user keeps this cookie (the ignored-cookies file).
  virtual bool IsCookieIgnored(const std::string& sourceName) = 0;
};

}  // namespace sh
