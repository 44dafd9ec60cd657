#include "model/catalog.h"

namespace sh {

int CCleaningSpot::AddFolder(const std::string& path, const std::string& mask, int deleteRootDir,
                             int includeSubFolders, int deleteSubFolders) {
  Folders.push_back(CFolderEntry{path, mask, deleteRootDir, includeSubFolders, deleteSubFolders});
  return 1;
}

int CCleaningSpot::AddRegKey(RegRoot root, const std::string& subKey) {
  RegKeys.push_back(CRegKeyEntry{root, subKey});
  return 1;
}

int CCleaningSpot::AddRegValue(RegRoot root, const std::string& subKey, const std::string& valueName) {
  RegValues.push_back(CRegValueEntry{root, subKey, valueName});
  return 1;
}

std::unique_ptr<CCleaningSpot> CreateSpot(const std::string& name, int toBeCleaned) {
  return std::make_unique<CCleaningSpot>(name, toBeCleaned);
}

const char kFreeSpaceRowName[] = "Free space on fixed drives";

std::vector<CleanItem> CSpotCatalog::ItemsToClean() const {
  std::vector<CleanItem> items;
  for (const auto& group : groups_)
    for (const auto& spot : group->Spots())
      if (spot->ToBeCleaned != 0) items.push_back(CleanItem{spot.get(), nullptr});
  for (const auto& plugin : plugins_)
    if (plugin->Installed != 0 && plugin->ToBeCleaned != 0) items.push_back(CleanItem{nullptr, plugin.get()});
  for (const auto& plugin : custom_)
    if (plugin->ToBeCleaned != 0) items.push_back(CleanItem{nullptr, plugin.get()});
  return items;
}

}  // namespace sh
