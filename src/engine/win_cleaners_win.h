// The cleaners of a run on a real Windows system.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/clean_run.h"
#include "engine/file_deleter_win.h"
#include "engine/url_cache.h"
#include "settings/settings.h"
#include "toolkit/seams.h"

namespace sh {

// What the recycle-bin cleaner asks of the system: the drives to visit and
// the shell's emptying of every bin. Tests record the emptying (under Wine
// the shell empties the host's trash).
class IRecycleBinShell {
 public:
  virtual ~IRecycleBinShell() = default;
  // Roots ("C:\") of the drives that are not CD-ROM, removable or remote.
  virtual std::vector<std::string> DriveRoots() = 0;
  // SHEmptyRecycleBinA for all drives, silently; the result is not used.
  virtual void EmptyRecycleBin() = 0;
};

// Stand-ins for the system's own; a null member means the system's.
struct CSpotCleanerSeams {
  IRecycleBinShell* recycleShell = nullptr;
  IUrlCache* urlCache = nullptr;
  IUrlHistory* urlHistory = nullptr;
  // The Windows NT family flag of the system information; unset: asked of
  // GetVersionEx.
  std::optional<bool> ntFamily;
};

class CWinSpotCleaners : public ISpotCleaners {
 public:
  CWinSpotCleaners(ISettingsStore& settings, IPrompt& prompt, const CSpotCleanerSeams& seams = CSpotCleanerSeams());
  ~CWinSpotCleaners() override;
  CWinSpotCleaners(const CWinSpotCleaners&) = delete;
  CWinSpotCleaners& operator=(const CWinSpotCleaners&) = delete;

  void CleanFolders(CCleaningSpot& spot, CCleanRunContext& context) override;
  void CleanFolder(CCleanRunContext& context, const std::string& path, const std::string& mask, int& count,
                   double& size) override;
  void CleanFoundFolders(CCleaningSpot& spot, CCleanRunContext& context) override;
  void CleanRegistry(CCleaningSpot& spot, CCleanRunContext& context) override;
  void CleanRecycleBin(CCleaningSpot& spot, CCleanRunContext& context) override;
  void CleanCookieCache(CCleaningSpot& spot, CCleanRunContext& context) override;
  void CleanVisitedCache(CCleaningSpot& spot, CCleanRunContext& context) override;
  bool ClearUrlHistory() override;
  void CleanAutoComplete(CCleaningSpot& spot, CCleanRunContext& context) override;
  std::string CookiesFolder() override;
  std::string HistoryFolder() override;
  std::string WindowsFolder() override;
  // The local file names of the ignored cookies' URL-cache entries, and
  // "index.dat" (the store of their entries) when any cookie is ignored.
  std::vector<std::string> IgnoredCookieFiles() override;

  // One walk of a bin folder and its subfolders; count and size are shared
  // over all drives.
  void CleanRecycledFolder(CCleanRunContext& context, const std::string& folder, int& count, double& size,
                           const std::string& indexFile);

  CFileDeleter& deleter() { return deleter_; }
  bool ntFamily() const { return ntFamily_; }
  // Set by the system information once it is gathered.
  void set_nt_family(bool on) { ntFamily_ = on; }

 private:
  ISettingsStore& settings_;
  IPrompt& prompt_;
  CFileDeleter deleter_;
  std::unique_ptr<IRecycleBinShell> ownRecycleShell_;
  std::unique_ptr<IUrlCache> ownUrlCache_;
  std::unique_ptr<IUrlHistory> ownUrlHistory_;
  IRecycleBinShell* recycleShell_;
  IUrlCache* urlCache_;
  IUrlHistory* urlHistory_;
  bool ntFamily_;
};

// Fixed drives and others that are not CD-ROM, removable or remote, as
// roots ("C:\"), in the order Windows lists them.
std::vector<std::string> LocalDriveRoots();

// Platform id VER_PLATFORM_WIN32_NT.
bool IsNtFamilyFromVersion();

}  // namespace sh
