// The deciders' read-only view of a real Windows machine.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/cleaner_ports.h"
#include "settings/settings.h"

namespace sh {

// Lists with the wide calls and exact spellings, so that names ending in a
// space or a dot and paths past 260 characters are listed as they are.
class CWinFileSystemView : public IFileSystemView {
 public:
  ListResult List(const std::string& folder, const std::function<bool(const FsEntry&)>& visit) override;
  std::string LongPath(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool FileLength(const std::string& path, uint64_t& length) override;
};

class CWinRegistryView : public IRegistryView {
 public:
  bool KeyExists(RegRoot root, const std::string& key) override;
  bool ValueExists(RegRoot root, const std::string& key, const std::string& value) override;
  bool SubKeys(RegRoot root, const std::string& key, std::vector<std::string>& names) override;
};

class CWinCleanEnvironment : public ICleanEnvironment {
 public:
  // `ntFamily` unset: PlatformIsNtFamily().
  CWinCleanEnvironment(ISettingsStore& settings, std::optional<bool> ntFamily);
  std::vector<std::string> DriveRoots() override;
  // The shell's answer, kept while the shell's folder keys are unchanged.
  std::vector<std::string> ProtectedFolders() override;
  std::string WindowsFolder() override;
  std::string CookiesFolder() override;
  std::string HistoryFolder() override;
  bool NtFamily() override { return ntFamily_; }
  std::string UserSidText() override;
  std::string LogonName() override;
  bool IsCookieIgnored(const std::string& sourceName) override;

 private:
  std::vector<std::string> ReadProtectedFolders();

  ISettingsStore& settings_;
  bool ntFamily_;
  bool protectedRead_ = false;
  std::array<uint64_t, 2> protectedStamps_ = {};
  std::vector<std::string> protected_;
};

// Fixed drives and others that are not CD-ROM, removable or remote, as
// roots ("C:\"), in the order Windows lists them.
std::vector<std::string> LocalDriveRoots();

}  // namespace sh
