// swhclean: runs the cleaning engine from the command line.
//   swhclean                loads the spot list, the plugin list and the
//                           custom plugins from the data folder and cleans
//                           every chosen spot, printing the rows
//   swhclean --demo DIR     builds a demo folder tree under DIR, cleans it
//                           through a catalog made in code, prints the rows
//   swhclean --seed         leaves traces of every kind the shipped list
//                           cleans (a demonstration on a fresh prefix)
//   --all                   cleans every spot and installed plugin, chosen
//                           or not (the data files are not changed)
//   --pause                 sleep 10 ms after every file, as the window does
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/console_host_win.h"
#include "app/trace_seeder_win.h"
#include "engine/win_cleaners_win.h"
#include "model/data_file_win.h"
#include "model/data_paths.h"
#include "model/plugin_file.h"
#include "paths/known_locations_win.h"
#include "settings/registry_settings_win.h"
#include "toolkit/text.h"
#include "toolkit/win_seams_win.h"

using namespace sh;

namespace {

void WriteFileOfSize(const std::string& path, size_t size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  std::string data(size, 'x');
  DWORD written = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(h);
}

// A small tree of the kind the real spots meet: temp files, a cache with
// subfolders, a recent-documents folder with a desktop.ini to keep.
void BuildDemoTree(const std::string& root) {
  const char* dirs[] = {"", "\\Temp", "\\Temp\\setup1", "\\Cache", "\\Cache\\A1", "\\Cache\\B2", "\\Recent"};
  for (const char* d : dirs) CreateDirectoryA((root + d).c_str(), nullptr);
  for (int i = 0; i < 12; ++i) WriteFileOfSize(root + Format("\\Temp\\~tmp%02d.tmp", i), 1000 + i * 300);
  WriteFileOfSize(root + "\\Temp\\keep.txt", 10);
  WriteFileOfSize(root + "\\Temp\\setup1\\data.tmp", 70000);
  for (int i = 0; i < 20; ++i) WriteFileOfSize(root + Format("\\Cache\\%s\\page%02d.htm", i % 2 ? "A1" : "B2", i), 4096);
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

// Spots marked for XP load only there (5.1; 5.2 is the 64-bit edition and
// Server 2003).
int IsWindowsXP() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return 0;
  return info.dwMajorVersion == 5 && info.dwMinorVersion == 1 ? 1 : 0;
}

// The three data files in the order the program loads them. False when the
// spot list cannot be loaded: nothing can be cleaned without it.
bool LoadDataFiles(CSpotCatalog& catalog) {
  CRegistrySettingsStore settings;
  CWinFileStore files;
  CWinPluginEnvironment machine(settings);
  CWinPrompt prompt;
  CDataFileLock lock;
  DataFileEnv env{files, machine, settings, prompt, lock};
  int spotListVersion = 0;
  int pluginListVersion = 0;
  const std::string spotList = GetSpotListPath(settings);
  if (!LoadSpotList(env, catalog, spotList, IsWindowsXP(), &spotListVersion)) {
    std::fprintf(stderr, "Configuration file corrupt: %s cannot be loaded\n", spotList.c_str());
    return false;
  }
  LoadPluginList(env, catalog, GetPluginListPath(settings), &pluginListVersion);
  LoadCustomPlugins(env, catalog, GetCustomPluginPath(settings));
  std::fprintf(stderr, "Spot list version %d, plugin list version %d, %u plugins, %u custom plugins\n",
               spotListVersion, pluginListVersion, static_cast<unsigned>(catalog.Plugins().size()),
               static_cast<unsigned>(catalog.CustomPlugins().size()));
  return true;
}

// Marks every spot and plugin chosen, in memory only.
void ChooseEverything(CSpotCatalog& catalog) {
  for (const auto& group : catalog.Groups())
    for (const auto& spot : group->Spots()) spot->ToBeCleaned = 1;
  for (const auto& plugin : catalog.Plugins()) plugin->ToBeCleaned = 1;
  for (const auto& plugin : catalog.CustomPlugins()) plugin->ToBeCleaned = 1;
}

int RunCatalog(CSpotCatalog& catalog, DWORD pauseMs) {
  CRegistrySettingsStore settings;
  CWinPrompt prompt;
  CWinClock clock;
  CWinBrowserWindows browsers(prompt);
  CWinSpotCleaners cleaners(settings, prompt);
  std::vector<CleanItem> rows = catalog.ItemsToClean();
  CConsoleReport report(rows);
  CConsoleRunControl control(pauseMs);
  CCleaningRun run(report, control, cleaners.cleaner(), browsers, clock);
  control.set_run(&run);
  run.RunUnattended(&rows);
  std::fputs(report.Table().c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  DWORD pauseMs = 0;
  std::string demoRoot;
  bool all = false, seed = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--pause") == 0) pauseMs = 10;
    else if (std::strcmp(argv[i], "--all") == 0) all = true;
    else if (std::strcmp(argv[i], "--seed") == 0) seed = true;
    else if (std::strcmp(argv[i], "--demo") == 0 && i + 1 < argc) demoRoot = argv[++i];
    else {
      std::fprintf(stderr, "usage: swhclean [--demo DIR | --seed] [--all] [--pause]\n");
      return 2;
    }
  }
  if (ProductKeyExistsNot() && !CreateProductKey()) {
    std::fprintf(stderr, "Error occured while accessing the registry\nCannot Continue\n");
    return 1;
  }
  RefreshKnownLocations();
  if (seed) {
    for (const std::string& line : SeedTraces()) std::printf("seeded %s\n", line.c_str());
    return 0;
  }
  CSpotCatalog catalog;
  if (demoRoot.empty()) {
    if (!LoadDataFiles(catalog)) return 1;
    if (all) ChooseEverything(catalog);
    return RunCatalog(catalog, pauseMs);
  }
  demoRoot = StripTrailing(demoRoot, '\\');
  BuildDemoTree(demoRoot);
  BuildDemoCatalog(catalog, demoRoot);
  return RunCatalog(catalog, pauseMs);
}
