// The cleaners of a run on a real Windows system.
#pragma once

#include <string>
#include <vector>

#include "engine/clean_run.h"
#include "engine/file_deleter_win.h"
#include "settings/settings.h"
#include "toolkit/seams.h"

namespace sh {

class IUrlCache;
class IUrlHistory;

class CWinSpotCleaners : public ISpotCleaners {
 public:
  CWinSpotCleaners(ISettingsStore& settings, IPrompt& prompt) : settings_(settings), prompt_(prompt), deleter_(settings) {}

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
  std::vector<std::string> IgnoredCookieFiles() override;

  CFileDeleter& deleter() { return deleter_; }

 private:
  ISettingsStore& settings_;
  IPrompt& prompt_;
  CFileDeleter deleter_;
};

// Fixed drives and others that are not CD-ROM, removable or remote, as
// roots ("C:\"), in the order Windows lists them.
std::vector<std::string> LocalDriveRoots();

}  // namespace sh
