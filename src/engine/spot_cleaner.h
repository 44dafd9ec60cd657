// Every cleaner of a run as a portable decider: it reads the machine
// through the ports of cleaner_ports.h, applies the safety rules, and hands
// one action at a time to an executor, in the order the run needs, without
// first listing a whole tree. The same deciders drive a real clean (the
// Win32 executor) and a preview (an executor that only counts).
//
// The rules that hold before any action:
//  - every folder is compared in its normal form (NormalizePath, then the
//    long spelling): any spelling of a drive root or a protected folder is
//    that folder. Such a folder is never walked into its subfolders nor
//    emptied wholesale; a walk never enters a protected folder it meets;
//  - a mask matches a long name only (never an 8.3 alias);
//  - a link (reparse point) is never entered; removing it removes the link;
//  - found.*: only "found." and three digits at a drive root;
//  - a name that cannot be spelled is reported "Could Not Delete";
//  - a registry key entry never names a root or a key every program
//    shares (Software, Software\Microsoft...); a subkey that cannot be
//    deleted is logged and the rest goes on.
// What the executor checks on the open file (links, sharing, sparse) is in
// action_executor_win.h.
#pragma once

#include <string>
#include <vector>

#include "engine/clean_actions.h"
#include "engine/clean_run.h"
#include "engine/cleaner_ports.h"
#include "engine/free_space.h"
#include "settings/settings.h"
#include "toolkit/seams.h"

namespace sh {

struct SpotCleanerPorts {
  IFileSystemView& files;
  IRegistryView& registry;
  IUrlCache& urlCache;
  ICleanEnvironment& environment;
  IPrompt& prompt;
};

class CSpotCleaner {
 public:
  CSpotCleaner(const SpotCleanerPorts& ports, IActionExecutor& executor) : ports_(ports), executor_(&executor) {}

  // The executor of the next spots: the real one, or a preview.
  void set_executor(IActionExecutor& executor) { executor_ = &executor; }
  IActionExecutor& executor() { return *executor_; }

  // Folder entries of a spot; one count and size for all of them.
  void CleanFolders(CCleaningSpot& spot, CCleanRunContext& context);
  // One folder (or a path holding a "*" pattern) with a mask.
  void CleanFolder(CCleanRunContext& context, const std::string& path, const std::string& mask, int& count,
                   double& size);
  void CleanFoundFolders(CCleanRunContext& context);
  void CleanRecycleBin(CCleanRunContext& context);
  void CleanRegistry(CCleaningSpot& spot, CCleanRunContext& context);
  // Deletes the key's subtree and creates the key again, empty. True when
  // the key itself was deleted. A key that does not exist, or that no spot
  // may empty, is left alone (false).
  bool CleanRegistryKey(CCleanRunContext& context, RegRoot root, const std::string& subKey);
  void CleanCookieCache(CCleanRunContext& context);
  void CleanVisitedCache(CCleanRunContext& context);
  void ClearUrlHistory(CCleanRunContext& context);
  void CleanAutoComplete(CCleanRunContext& context);
  // The free-space row: the drives it reaches (only their list and free
  // space are read here; the executor writes) and the settings that ask for
  // it. Unset: this cleaner offers no such row.
  void set_free_space(IFreeSpaceDisk& disk, ISettingsStore& settings) {
    freeSpaceDisk_ = &disk;
    settings_ = &settings;
  }
  // The CleanFreeSpace setting, read afresh: whether a run ends with the row.
  bool FreeSpaceChosen();
  // Counts each drive's free space (Files: drives, Size: bytes), then hands
  // the drive to the executor to wipe.
  void CleanFreeSpace(CCleanRunContext& context);
  // The local file names of the ignored cookies' entries, and "index.dat"
  // (the store of their entries) when any cookie is ignored.
  std::vector<std::string> IgnoredCookieFiles();

  ICleanEnvironment& environment() { return ports_.environment; }
  // The protected folders are read once per run (eighteen shell look-ups
  // and their long spellings would cost more than a small spot's walk).
  void BeginRun() { protectedRead_ = false; }

 private:
  struct Walk;
  void WalkFolder(CCleanRunContext& context, Walk& walk, const std::string& folder, const std::string& pattern,
                  int depth);
  void ActOnFile(CCleanRunContext& context, Walk& walk, std::string path, const FsEntry& entry);
  void WalkRecycled(CCleanRunContext& context, const std::string& folder, const std::string& indexFile, int& count,
                    double& size, int depth);
  bool DeleteKeyTree(CCleanRunContext& context, RegRoot root, const std::string& key, int depth);
  ActionResult Act(CCleanRunContext& context, const CleanAction& action, int files, double size);
  // The normal, long spelling of a folder; empty when it is not absolute.
  std::string ResolveFolder(const std::string& path);
  bool IsProtectedFolder(const std::string& normalFolder);

  SpotCleanerPorts ports_;
  IActionExecutor* executor_;
  std::vector<std::string> protected_;  // normal forms, read once per cleaner
  IFreeSpaceDisk* freeSpaceDisk_ = nullptr;
  ISettingsStore* settings_ = nullptr;
  bool protectedRead_ = false;
};

// A key entry that would empty a hive's root or a key that every program
// shares (Software, Software\Microsoft, SYSTEM\CurrentControlSet, ...).
bool IsSharedRegistryKey(const std::string& subKey);

}  // namespace sh
