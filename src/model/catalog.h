// The in-memory form of what can be cleaned: groups of spots from the spot
// list, plugins from the plugin list and the user's custom plugins.
// Portable: no Win32 here; registry roots are a small enum the Win32 layer
// maps to HKEY.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "paths/reg_root.h"

namespace sh {

struct CFolderEntry {
  std::string Path;   // macros already expanded
  std::string Mask;   // may be empty: the folder walk replaces it with "*.*"
  int DeleteRootDir = 0;
  int IncludeSubFolders = 0;
  int DeleteSubFolders = 0;
};

struct CRegKeyEntry {
  RegRoot Root = RegRoot::kNone;
  std::string SubKey;
};

struct CRegValueEntry {
  RegRoot Root = RegRoot::kNone;
  std::string SubKey;
  std::string ValueName;  // empty = the key's default value
};

// Owning, insertion-ordered list.
template <typename T>
class OwnedList {
 public:
  T* Append(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return items_.back().get();
  }
  size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  T* at(size_t i) const { return items_[i].get(); }
  typename std::vector<std::unique_ptr<T>>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<std::unique_ptr<T>>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<std::unique_ptr<T>> items_;
};

class CCleaningSpot {
 public:
  CCleaningSpot(std::string name, int toBeCleaned) : Name(std::move(name)), ToBeCleaned(toBeCleaned) {}

  int AddFolder(const std::string& path, const std::string& mask, int deleteRootDir,
                int includeSubFolders, int deleteSubFolders);
  int AddRegKey(RegRoot root, const std::string& subKey);
  int AddRegValue(RegRoot root, const std::string& subKey, const std::string& valueName);
  void SetDescription(const std::string& text) { Description = text; }
  std::string GetName() const { return Name; }

  std::string Name;
  int ToBeCleaned = 0;
  int Type = 0;
  std::string Description;
  std::vector<CFolderEntry> Folders;
  std::vector<CRegKeyEntry> RegKeys;
  std::vector<CRegValueEntry> RegValues;
};

std::unique_ptr<CCleaningSpot> CreateSpot(const std::string& name, int toBeCleaned);

class CSpotGroup {
 public:
  CSpotGroup(std::string name, int groupType) : Name(std::move(name)), GroupType(groupType) {}
  CCleaningSpot* AddSpot(std::unique_ptr<CCleaningSpot> spot) { return spots_.Append(std::move(spot)); }
  const OwnedList<CCleaningSpot>& Spots() const { return spots_; }

  std::string Name;
  int GroupType = 0;

 private:
  OwnedList<CCleaningSpot> spots_;
};

class CPluginSpots {
 public:
  CPluginSpots(std::string name, std::string description)
      : Name(std::move(name)), Description(std::move(description)) {}
  CCleaningSpot* AddSpot(std::unique_ptr<CCleaningSpot> spot) { return spots_.Append(std::move(spot)); }
  const OwnedList<CCleaningSpot>& Spots() const { return spots_; }
  std::string GetName() const { return Name; }

  std::string Name;
  std::string Description;
  int Installed = 0;
  int ToBeCleaned = 0;
  int IsCustom = 0;

 private:
  OwnedList<CCleaningSpot> spots_;
};

extern const char kFreeSpaceRowName[];  // "Free space on fixed drives"

// One row of a cleaning run: a standard spot or a plugin (cleaned through its
// one spot), exactly one of the two; or, with neither, the free space of the
// fixed drives (the last row when the user asked for it).
struct CleanItem {
  CCleaningSpot* spot = nullptr;
  CPluginSpots* plugin = nullptr;
  bool freeSpace = false;
  static CleanItem FreeSpaceRow() {
    CleanItem item;
    item.freeSpace = true;
    return item;
  }
  std::string Name() const {
    return spot ? spot->Name : plugin ? plugin->Name : freeSpace ? kFreeSpaceRowName : std::string();
  }
};

class CSpotCatalog {
 public:
  CSpotGroup* AddGroup(std::unique_ptr<CSpotGroup> group) { return groups_.Append(std::move(group)); }
  CPluginSpots* AddPlugin(std::unique_ptr<CPluginSpots> p) { return plugins_.Append(std::move(p)); }
  CPluginSpots* AddCustomPlugin(std::unique_ptr<CPluginSpots> p) { return custom_.Append(std::move(p)); }

  const OwnedList<CSpotGroup>& Groups() const { return groups_; }
  const OwnedList<CPluginSpots>& Plugins() const { return plugins_; }
  const OwnedList<CPluginSpots>& CustomPlugins() const { return custom_; }
  // Before the custom plugins file is read again (the wizard changed it).
  void ClearCustomPlugins() { custom_ = OwnedList<CPluginSpots>(); }

  // What a cleaning run takes, in order: chosen spots of every group, then
  // chosen installed plugins, then chosen custom plugins.
  std::vector<CleanItem> ItemsToClean() const;

 private:
  OwnedList<CSpotGroup> groups_;
  OwnedList<CPluginSpots> plugins_;
  OwnedList<CPluginSpots> custom_;
};

}  // namespace sh
