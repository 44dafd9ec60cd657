// The cleaners of a run on a real Windows system: the machine's read-only
// ports, the executor that acts, and the portable deciders over them.
#pragma once

#include <memory>
#include <optional>

#include "engine/action_executor_win.h"
#include "engine/free_space_win.h"
#include "engine/machine_ports_win.h"
#include "engine/special_stores_win.h"
#include "engine/spot_cleaner.h"
#include "engine/url_cache_win.h"
#include "settings/settings.h"
#include "toolkit/seams.h"

namespace sh {

// Stand-ins for the system's own; a null member means the system's.
struct CSpotCleanerSeams {
  IRecycleBinShell* recycleShell = nullptr;
  IUrlCache* urlCache = nullptr;
  IUrlHistory* urlHistory = nullptr;
  // The drives the free-space row wipes and the calls it makes there.
  IFreeSpaceDisk* freeSpaceDisk = nullptr;
  // The Windows NT family flag; unset: PlatformIsNtFamily().
  std::optional<bool> ntFamily;
};

class CWinSpotCleaners {
 public:
  CWinSpotCleaners(ISettingsStore& settings, IPrompt& prompt, const CSpotCleanerSeams& seams = CSpotCleanerSeams());
  CWinSpotCleaners(const CWinSpotCleaners&) = delete;
  CWinSpotCleaners& operator=(const CWinSpotCleaners&) = delete;

  CSpotCleaner& cleaner() { return cleaner_; }
  CWinActionExecutor& executor() { return executor_; }
  IFileSystemView& files() { return files_; }
  IRegistryView& registry() { return registry_; }
  IUrlCache& urlCache() { return *urlCache_; }
  CWinCleanEnvironment& environment() { return environment_; }
  IFreeSpaceDisk& freeSpaceDisk() { return *freeSpaceDisk_; }

 private:
  std::unique_ptr<IRecycleBinShell> ownRecycleShell_;
  std::unique_ptr<IUrlCache> ownUrlCache_;
  std::unique_ptr<IUrlHistory> ownUrlHistory_;
  IRecycleBinShell* recycleShell_;
  IUrlCache* urlCache_;
  IUrlHistory* urlHistory_;
  std::unique_ptr<IFreeSpaceDisk> ownFreeSpaceDisk_;
  IFreeSpaceDisk* freeSpaceDisk_;
  CWinFileSystemView files_;
  CWinRegistryView registry_;
  CWinCleanEnvironment environment_;
  CWinActionExecutor executor_;
  CSpotCleaner cleaner_;
};

}  // namespace sh
