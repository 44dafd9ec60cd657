#include "app/console_commands.h"

#include <utility>

#include "engine/clean_log.h"
#include "engine/clean_run.h"
#include "engine/path_rules.h"
#include "engine/registry_cleaner.h"
#include "toolkit/text.h"

namespace sh {

const char kConsoleUsage[] =
    "usage: swhclean [COMMAND] [NAME...] [OPTIONS]\n"
    "Cleans what SweepHarbor's data files describe, from the command line.\n"
    "\n"
    "Commands (one at most; without one, --clean):\n"
    "  --list             groups with their spots, plugins and custom plugins, each\n"
    "                     with its choice mark ([x] chosen), a spot's kind and\n"
    "                     whether a plugin is installed\n"
    "  --preview [NAME...]\n"
    "                     the rows with the files and sizes a clean would show;\n"
    "                     changes nothing\n"
    "  --clean [NAME...]  cleans, printing each row as it ends and then a total\n"
    "  --choose NAME...   marks spots or plugins chosen in the data files, as the\n"
    "                     Choose Items panel does\n"
    "  --unchoose NAME... marks them not chosen\n"
    "  --seed             leaves traces of every kind the shipped list cleans (a\n"
    "                     demonstration on a fresh Wine prefix)\n"
    "  --setup-data FOLDER\n"
    "                     what the setup program runs: lets the Users group change\n"
    "                     the data folder, then installs the lists in FOLDER into\n"
    "                     it, keeping the choices of the lists there by name\n"
    "  --help             this text\n"
    "\n"
    "Rows: without NAME, what the Clean list shows (chosen spots, chosen installed\n"
    "plugins, chosen custom plugins). A NAME picks spots, installed plugins and\n"
    "custom plugins by name, chosen or not: case does not matter, '*' and '?' are\n"
    "wildcards (quote them). A NAME that picks nothing is an error.\n"
    "\n"
    "Options:\n"
    "  --all              every spot, installed plugin and custom plugin (the data\n"
    "                     files are not changed)\n"
    "  --free-space       ends the rows with \"Free space on fixed drives\": on each\n"
    "                     fixed drive a file in X:\\SweepHarbor.freespace is filled\n"
    "                     with random bytes until the drive is full, then deleted\n"
    "                     (slow on a large drive; --preview only shows the space)\n"
    "  --demo DIR         builds a demo folder tree under DIR and uses a catalog\n"
    "                     made in code instead of the data files\n"
    "  --pause            sleeps 10 ms after every file, as the window does\n"
    "  --verbose          also prints every file, folder, key, value and entry acted\n"
    "                     on (with --preview: that would be)\n"
    "  --quiet            prints only the total line\n"
    "\n"
    "On a console each running row is shown live; Ctrl+C stops a run after the\n"
    "current item.\n"
    "Exit status: 0 when every row ended, 1 when a run was stopped or the data\n"
    "files could not be used, 2 for a usage error.\n";

namespace {

bool TakesNames(ConsoleCommand command) {
  return command == ConsoleCommand::kClean || command == ConsoleCommand::kPreview ||
         command == ConsoleCommand::kChoose || command == ConsoleCommand::kUnchoose;
}

}  // namespace

bool ParseConsoleArgs(const std::vector<std::string>& args, ConsoleOptions& options, std::string& error) {
  static const std::pair<const char*, ConsoleCommand> kCommands[] = {
      {"--clean", ConsoleCommand::kClean},       {"--preview", ConsoleCommand::kPreview},
      {"--list", ConsoleCommand::kList},         {"--choose", ConsoleCommand::kChoose},
      {"--unchoose", ConsoleCommand::kUnchoose}, {"--seed", ConsoleCommand::kSeed},
      {"--help", ConsoleCommand::kHelp},         {"-h", ConsoleCommand::kHelp},
      {"/?", ConsoleCommand::kHelp}};
  options = ConsoleOptions();
  std::string commandText;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    bool isCommand = false;
    for (const auto& [text, command] : kCommands) {
      if (arg != text) continue;
      if (!commandText.empty() && commandText != arg) {
        error = commandText + " and " + arg + " cannot be used together";
        return false;
      }
      commandText = arg;
      options.command = command;
      isCommand = true;
    }
    if (arg == "--setup-data") {
      if (!commandText.empty() && commandText != arg) {
        error = commandText + " and " + arg + " cannot be used together";
        return false;
      }
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = "--setup-data needs a folder";
        return false;
      }
      commandText = arg;
      options.command = ConsoleCommand::kSetupData;
      options.setupFrom = args[++i];
      continue;
    }
    if (isCommand) continue;
    if (arg == "--all") options.all = true;
    else if (arg == "--pause") options.pause = true;
    else if (arg == "--free-space") options.freeSpace = true;
    else if (arg == "--verbose" || arg == "-v") options.verbose = true;
    else if (arg == "--quiet" || arg == "-q") options.quiet = true;
    else if (arg == "--demo") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = "--demo needs a folder";
        return false;
      }
      options.demoRoot = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else {
      options.names.push_back(arg);
    }
  }
  if (options.command == ConsoleCommand::kHelp) return true;
  if (commandText.empty()) commandText = "--clean";
  const bool choosing = options.command == ConsoleCommand::kChoose || options.command == ConsoleCommand::kUnchoose;
  if (!options.names.empty() && !TakesNames(options.command)) error = commandText + " takes no NAME";
  else if (choosing && options.names.empty()) error = commandText + " needs at least one NAME";
  else if (options.all && !options.names.empty()) error = "--all and NAMEs cannot be used together";
  else if (options.all && options.command != ConsoleCommand::kClean && options.command != ConsoleCommand::kPreview)
    error = "--all goes with --clean or --preview only";
  else if (options.freeSpace && options.command != ConsoleCommand::kClean &&
           options.command != ConsoleCommand::kPreview)
    error = "--free-space goes with --clean or --preview only";
  else if (!options.demoRoot.empty() &&
           (choosing || options.command == ConsoleCommand::kSeed || options.command == ConsoleCommand::kSetupData))
    error = "--demo cannot be used with " + commandText;
  else if (options.quiet && options.verbose) error = "--quiet and --verbose cannot be used together";
  return error.empty();
}

std::vector<CleanItem> ItemsNamed(const CSpotCatalog& catalog, const std::string& mask) {
  std::vector<CleanItem> items;
  for (const auto& group : catalog.Groups())
    for (const auto& spot : group->Spots())
      if (MatchesMask(spot->Name, mask)) items.push_back(CleanItem{spot.get(), nullptr});
  for (const auto* list : {&catalog.Plugins(), &catalog.CustomPlugins()})
    for (const auto& plugin : *list)
      if (MatchesMask(plugin->Name, mask)) items.push_back(CleanItem{nullptr, plugin.get()});
  return items;
}

bool IsCleanable(const CleanItem& item) {
  return item.spot != nullptr || (item.plugin != nullptr && (item.plugin->IsCustom || item.plugin->Installed));
}

bool ChooseByNames(CSpotCatalog& catalog, const std::vector<std::string>& masks, std::string& error) {
  std::vector<CleanItem> picked;
  for (const std::string& mask : masks) {
    const std::vector<CleanItem> named = ItemsNamed(catalog, mask);
    size_t before = picked.size();
    for (const CleanItem& item : named)
      if (IsCleanable(item)) picked.push_back(item);
    if (picked.size() != before) continue;
    error = named.empty() ? "no spot or plugin is named " + mask
                          : mask + " names only plugins that are not installed here";
    return false;
  }
  for (const auto& group : catalog.Groups())
    for (const auto& spot : group->Spots()) spot->ToBeCleaned = 0;
  for (const auto* list : {&catalog.Plugins(), &catalog.CustomPlugins()})
    for (const auto& plugin : *list) plugin->ToBeCleaned = 0;
  for (const CleanItem& item : picked) {
    if (item.spot) item.spot->ToBeCleaned = 1;
    if (item.plugin) item.plugin->ToBeCleaned = 1;
  }
  return true;
}

void ChooseEverything(CSpotCatalog& catalog) {
  for (const auto& group : catalog.Groups())
    for (const auto& spot : group->Spots()) spot->ToBeCleaned = 1;
  // Plugins that are not installed stay out: ItemsToClean skips them.
  for (const auto* list : {&catalog.Plugins(), &catalog.CustomPlugins()})
    for (const auto& plugin : *list) plugin->ToBeCleaned = 1;
}

const char* ItemKindText(const CleanItem& item) {
  if (item.spot) return "spot";
  return item.plugin && item.plugin->IsCustom ? "custom plugin" : "plugin";
}

std::string SpotKindText(const CCleaningSpot& spot) {
  switch (spot.Type) {
    case kSpotRecycleBin: return "recycle bin";
    case kSpotFoundFolders: return "found.* folders";
    case kSpotCookies: return "cookies";
    case kSpotVisited: return spot.Folders.empty() ? "visited pages" : "visited pages, folders";
    case kSpotHistory: return "history";
    case kSpotAutoComplete: return "form entries";
    default: break;
  }
  const bool registry = !spot.RegKeys.empty() || !spot.RegValues.empty();
  if (!spot.Folders.empty()) return registry ? "folders, registry" : "folders";
  return registry ? "registry" : "nothing";
}

std::string CatalogListing(const CSpotCatalog& catalog) {
  auto line = [](int chosen, const std::string& name, const std::string& what) {
    return Format("  %s %-44s %s\n", chosen ? "[x]" : "[ ]", name.c_str(), what.c_str());
  };
  std::string out;
  for (const auto& group : catalog.Groups()) {
    out += group->Name + "\n";
    for (const auto& spot : group->Spots()) out += line(spot->ToBeCleaned, spot->Name, SpotKindText(*spot));
  }
  out += Format("Plugins (%u)\n", static_cast<unsigned>(catalog.Plugins().size()));
  for (const auto& plugin : catalog.Plugins())
    out += line(plugin->ToBeCleaned, plugin->Name, plugin->Installed ? "installed" : "not installed");
  out += Format("Custom plugins (%u)\n", static_cast<unsigned>(catalog.CustomPlugins().size()));
  for (const auto& plugin : catalog.CustomPlugins()) out += line(plugin->ToBeCleaned, plugin->Name, "custom");
  return out;
}

std::string RowLine(const std::string& name, int files, double size, int keys, const std::string& status) {
  const std::string filesText = keys >= 0 ? CleanedKeysText(keys) : Format("%d", files);
  return Format("%-38s %10s %16s  %s", name.c_str(), filesText.c_str(), FormatSize(size).c_str(), status.c_str());
}

std::string RowHeader() { return Format("%-38s %10s %16s  %s", "Name", "Files", "Size", "Status"); }

}  // namespace sh
