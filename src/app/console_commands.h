// What swhclean is asked to do and the text it prints, without Windows:
// the options, the NAME masks over the catalog, the listing and the lines
// of a run.
#pragma once

#include <string>
#include <vector>

#include "model/catalog.h"

namespace sh {

enum class ConsoleCommand { kClean, kPreview, kList, kChoose, kUnchoose, kSeed, kSetupData, kHelp };

struct ConsoleOptions {
  ConsoleCommand command = ConsoleCommand::kClean;  // also when no command is given
  std::vector<std::string> names;                   // NAME masks
  std::string demoRoot;                             // --demo DIR
  std::string setupFrom;                            // --setup-data FOLDER
  bool all = false;
  bool pause = false;
  bool verbose = false;
  bool quiet = false;
  bool freeSpace = false;  // --free-space: the rows end with the fixed drives' free space
};

extern const char kConsoleUsage[];

// False, with a one-line reason, for options that do not go together.
bool ParseConsoleArgs(const std::vector<std::string>& args, ConsoleOptions& options, std::string& error);

// Every spot, plugin (installed or not) and custom plugin whose name the
// mask matches (MatchesMask: case-insensitive, '*' and '?'), in catalog
// order. A custom plugin is a plugin with IsCustom set.
std::vector<CleanItem> ItemsNamed(const CSpotCatalog& catalog, const std::string& mask);

// A row a run can take: a spot, a custom plugin, or an installed plugin.
bool IsCleanable(const CleanItem& item);

// The in-memory choices (never saved) so that ItemsToClean gives exactly
// the cleanable items the masks name. False, with the reason, when a mask
// names nothing cleanable; the choices are then unchanged.
bool ChooseByNames(CSpotCatalog& catalog, const std::vector<std::string>& masks, std::string& error);
// Every spot, installed plugin and custom plugin, in memory only.
void ChooseEverything(CSpotCatalog& catalog);

// "spot", "plugin" or "custom plugin".
const char* ItemKindText(const CleanItem& item);
// What the spot's cleaner is: its special kind ("recycle bin", "cookies"...)
// or what its entries reach ("folders", "registry", "folders, registry").
std::string SpotKindText(const CCleaningSpot& spot);
// Groups with their spots, then plugins, then custom plugins; a choice
// mark on every line.
std::string CatalogListing(const CSpotCatalog& catalog);

// One row of a run: name, Files ("%d Keys" when keys >= 0), Size, Status.
// Files and Size keep fixed widths right before "  " and the status, so
// that a long name never moves them.
std::string RowLine(const std::string& name, int files, double size, int keys, const std::string& status);
std::string RowHeader();

}  // namespace sh
