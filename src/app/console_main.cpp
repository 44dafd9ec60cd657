// swhclean: the cleaning engine from the command line. `swhclean --help`
// tells the commands; console_commands.h holds what they print.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/console_commands.h"
#include "app/console_host_win.h"
#include "app/data_loader_win.h"
#include "app/setup_data_win.h"
#include "app/system_info_win.h"
#include "app/trace_seeder_win.h"
#include "engine/browser_windows_win.h"
#include "engine/free_space_win.h"
#include "engine/win_cleaners_win.h"
#include "model/plugin_file.h"
#include "paths/known_locations_win.h"
#include "settings/registry_settings_win.h"
#include "toolkit/platform_win.h"
#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/win_seams_win.h"
#include "update/list_update.h"

using namespace sh;

namespace {

void WriteFileOfSize(const std::string& path, size_t size) {
  ScopedHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.valid()) return;
  std::string data(size, 'x');
  DWORD written = 0;
  WriteFile(h.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
}

// A small tree of the kind the real spots meet: temp files, a cache with
// subfolders, a recent-documents folder with a desktop.ini to keep.
void BuildDemoTree(const std::string& root) {
  const char* dirs[] = {"", "\\Temp", "\\Temp\\setup1", "\\Cache", "\\Cache\\A1", "\\Cache\\B2", "\\Recent"};
  for (const char* d : dirs) CreateDirectoryA((root + d).c_str(), nullptr);
  for (int i = 0; i < 12; ++i) WriteFileOfSize(root + Format("\\Temp\\~tmp%02d.tmp", i), 1000 + i * 300);
  WriteFileOfSize(root + "\\Temp\\keep.txt", 10);
  WriteFileOfSize(root + "\\Temp\\setup1\\data.tmp", 70000);
  for (int i = 0; i < 20; ++i)
    WriteFileOfSize(root + Format("\\Cache\\%s\\page%02d.htm", i % 2 ? "A1" : "B2", i), 4096);
  for (int i = 0; i < 5; ++i) WriteFileOfSize(root + Format("\\Recent\\Document %d.lnk", i), 512);
  WriteFileOfSize(root + "\\Recent\\desktop.ini", 80);
}

void BuildDemoCatalog(CSpotCatalog& catalog, const std::string& root) {
  CSpotGroup* group = catalog.AddGroup(std::make_unique<CSpotGroup>("Demo", 0));
  auto temp = CreateSpot("Temporary files (*.tmp)", 1);
  temp->AddFolder(root + "\\Temp", "*.tmp", 0, 1, 0);
  group->AddSpot(std::move(temp));
  auto cache = CreateSpot("Browser cache", 1);
  cache->AddFolder(root + "\\Cache", "", 0, 1, 1);
  group->AddSpot(std::move(cache));
  auto recent = CreateSpot("Recent documents", 1);
  recent->AddFolder(root + "\\Recent\\", "*.*", 0, 0, 0);
  group->AddSpot(std::move(recent));
  auto skipped = CreateSpot("Not chosen", 0);
  skipped->AddFolder(root + "\\Temp", "keep.txt", 0, 0, 0);
  group->AddSpot(std::move(skipped));
}

bool IsThisWindowsXP() {
  CSystemInfo info(PlatformIsNtFamily());
  GatherSystemInfo(info);
  return IsWindowsXP(info);
}

// Rows from the Clean list's choices (or the ones the options make), run
// through the real executor or the preview. 0 when every row ended.
int RunRows(CSpotCatalog& catalog, const ConsoleOptions& options, ISettingsStore& settings, IPrompt& prompt) {
  std::string error;
  if (options.all) ChooseEverything(catalog);
  else if (!options.names.empty() && !ChooseByNames(catalog, options.names, error)) {
    std::fprintf(stderr, "swhclean: %s\n", error.c_str());
    return 2;
  }
  CWinClock clock;
  CWinBrowserWindows browsers(prompt);  // never asked: the run is unattended
  CWinSpotCleaners cleaners(settings, prompt);
  CPreviewExecutor preview;
  const bool previewing = options.command == ConsoleCommand::kPreview;
  if (previewing) cleaners.cleaner().set_executor(preview);

  std::vector<CleanItem> rows = catalog.ItemsToClean();
  if (options.freeSpace) rows.push_back(CleanItem::FreeSpaceRow());
  ConsoleStyle style;
  style.live = StdoutIsConsole();
  style.quiet = options.quiet;
  style.verbose = options.verbose;
  style.preview = previewing;
  CConsoleReport report(rows, style, stdout);
  CConsoleStop stop;
  CConsoleRunControl control(options.pause ? 10 : 0, stop, report);
  CCleaningRun run(report, control, cleaners.cleaner(), browsers, clock);
  control.set_run(&run);
  run.RunUnattended(&rows);
  return report.AllRowsEnded() ? 0 : 1;
}

// --choose and --unchoose: every NAME must pick something before anything
// is written; then each item whose choice differs is stored by name.
int SaveChoices(DataFileEnv& env, CSpotCatalog& catalog, const std::vector<std::string>& masks, int value) {
  std::vector<CleanItem> items;
  for (const std::string& mask : masks) {
    std::vector<CleanItem> named = ItemsNamed(catalog, mask);
    if (named.empty()) {
      std::fprintf(stderr, "swhclean: no spot or plugin is named %s\n", mask.c_str());
      return 2;
    }
    items.insert(items.end(), named.begin(), named.end());
  }
  int changed = 0, failed = 0;
  for (const CleanItem& item : items) {
    int& choice = item.spot ? item.spot->ToBeCleaned : item.plugin->ToBeCleaned;
    const std::string name = item.Name();
    if ((choice != 0) == (value != 0)) {
      std::printf("%s %s: already %s\n", ItemKindText(item), name.c_str(), value ? "chosen" : "not chosen");
      continue;
    }
    int saved = item.spot ? SaveSpotChoice(env, *item.spot, value)
                : item.plugin->IsCustom ? SaveCustomPluginChoice(env, *item.plugin, value)
                                        : SavePluginChoice(env, *item.plugin, value);
    if (!saved) {
      std::printf("%s %s: could not be saved\n", ItemKindText(item), name.c_str());
      ++failed;
      continue;
    }
    choice = value;
    ++changed;
    std::printf("%s %s: now %s\n", ItemKindText(item), name.c_str(), value ? "chosen" : "not chosen");
  }
  std::printf("%d changed\n", changed);
  return failed == 0 ? 0 : 1;
}

// --setup-data: run by the setup program after it wrote `path`. Every step
// is tried; exit 1 when one failed (the setup then tells the user).
int SetUpDataFolder(ISettingsStore& settings, const std::string& from) {
  CConsolePrompt prompt;
  CWinDataFileLock lock;
  CWinDataFiles data(settings, prompt, lock);
  const std::string folder = StripTrailing(settings.Read("path"), '\\');
  std::string why;
  bool ok = LetUsersChangeFolder(folder, why);
  std::printf("data folder %s: %s\n", folder.c_str(), ok ? "the Users group may change it" : why.c_str());
  std::vector<std::string> report;
  ok = InstallListsFrom(data.env(), from, report) && ok;
  for (const std::string& line : report) std::printf("%s\n", line.c_str());
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  ConsoleOptions options;
  std::string error;
  if (!ParseConsoleArgs(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "swhclean: %s\nTry swhclean --help\n", error.c_str());
    return 2;
  }
  if (options.command == ConsoleCommand::kHelp) {
    std::fputs(kConsoleUsage, stdout);
    return 0;
  }
  // OLE for the URL history object and the shell's COM objects, as the
  // window program has it.
  ScopedOleInitialize ole;
  if (ProductKeyExistsNot() && !CreateProductKey()) {
    std::fprintf(stderr, "Error occured while accessing the registry\nCannot Continue\n");
    return 1;
  }
  CRegistrySettingsStore settings;
  RefreshKnownLocations(settings);
  {
    CWinFreeSpaceDisk disk;
    RemoveFillLeftovers(disk);  // a free-space wipe that never ended
  }
  if (options.command == ConsoleCommand::kSeed) {
    for (const std::string& line : SeedTraces()) std::printf("seeded %s\n", line.c_str());
    return 0;
  }

  if (options.command == ConsoleCommand::kSetupData) return SetUpDataFolder(settings, options.setupFrom);

  CConsolePrompt prompt;
  CWinDataFileLock lock;
  CWinDataFiles data(settings, prompt, lock);
  CSpotCatalog catalog;
  DataFileVersions versions;
  if (!options.demoRoot.empty()) {
    const std::string root = StripTrailing(options.demoRoot, '\\');
    BuildDemoTree(root);
    BuildDemoCatalog(catalog, root);
  } else if (!LoadDataFiles(data.env(), catalog, IsThisWindowsXP(), nullptr, versions)) {
    return 1;
  }

  switch (options.command) {
    case ConsoleCommand::kList:
      if (options.demoRoot.empty())
        std::printf("Spot list version %d, plugin list version %d\n", versions.spotList, versions.pluginList);
      std::fputs(CatalogListing(catalog).c_str(), stdout);
      return 0;
    case ConsoleCommand::kChoose:
    case ConsoleCommand::kUnchoose:
      return SaveChoices(data.env(), catalog, options.names, options.command == ConsoleCommand::kChoose ? 1 : 0);
    default:
      return RunRows(catalog, options, settings, prompt);
  }
}
