// Plugin list figures: load a list of 2 000 plugins (about 1 MB of XML) and
// toggle one choice 100 times, each toggle a full read, parse, print and
// store of the file. Runs from the program's folder; works in a scratch
// folder under the temporary folder and removes it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "model/data_file_win.h"
#include "model/plugin_file.h"
#include "paths/known_locations_win.h"
#include "settings/registry_settings_win.h"
#include "toolkit/text.h"
#include "toolkit/win_seams_win.h"

#include "scratch_settings.h"

using namespace sh;

namespace {

using bench::ScratchSettings;

std::string PluginListText(int plugins) {
  std::string text = "<PluginList Version=\"42\">\n";
  for (int i = 0; i < plugins; ++i) {
    text += Format(
        "  <Plugin Name=\"Bench Application %04d\" Description=\"Made-up application %d\" ToBeCleaned=\"%d\">\n"
        "    <FIND_DATA><REG_KEY Key=\"HKEY_CURRENT_USER\\Software\\SweepHarbor Bench\\App%04d\" Value=\"\" />"
        "<FILE Name=\":PF:\\Bench App %04d\\app.exe\" /></FIND_DATA>\n"
        "    <FILES><FILE Name=\":APPDATA:\\Bench App %04d\\*.log\" /></FILES>\n"
        "    <FOLDERS><FOLDER Name=\":LOCAL_APPDATA:\\Bench App %04d\\Cache\" IncludeSubFolders=\"yes\" /></FOLDERS>\n"
        "    <REGISTRY><REG_KEY Key=\"HKEY_CURRENT_USER\\Software\\Bench App %04d\\Recent\" />"
        "<REG_VALUE Key=\"HKEY_CURRENT_USER\\Software\\Bench App %04d\" Value=\"LastFile\" /></REGISTRY>\n"
        "  </Plugin>\n",
        i, i, i % 2, i, i, i, i, i, i);
  }
  return text + "</PluginList>\n";
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
  const int kPlugins = 2000;
  const int kToggles = 100;
  const std::string folder = StripTrailing(GetTempFolder(), '\\') + Format("\\swh-bench-%lu", GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);

  ScratchSettings settings(folder);
  CRegistrySettingsStore registry;
  CWinFileStore files;
  CWinPluginEnvironment machine(registry);
  CWinPrompt prompt;
  CDataFileLock lock;
  DataFileEnv env{files, machine, settings, prompt, lock};

  const std::string text = PluginListText(kPlugins);
  const std::string path = folder + "\\Plglst.swh";
  int status = 0;
  if (!WriteDataFile(files, path, text)) {
    std::fprintf(stderr, "pluginlist_bench: cannot write %s\n", path.c_str());
    status = 1;
  }

  LARGE_INTEGER frequency, t0, t1, t2;
  QueryPerformanceFrequency(&frequency);
  CSpotCatalog catalog;
  int version = 0;
  QueryPerformanceCounter(&t0);
  int loaded = status == 0 ? LoadPluginList(env, catalog, path, &version) : 0;
  QueryPerformanceCounter(&t1);
  if (!loaded || catalog.Plugins().size() != static_cast<size_t>(kPlugins) || version != 42) {
    std::fprintf(stderr, "pluginlist_bench: the list did not load whole\n");
    status = 1;
  }

  int stored = 0;
  if (status == 0) {
    CPluginSpots& plugin = *catalog.Plugins().at(kPlugins / 2);
    for (int i = 0; i < kToggles; ++i) {
      plugin.ToBeCleaned = plugin.ToBeCleaned ? 0 : 1;
      stored += SavePluginChoice(env, plugin, plugin.ToBeCleaned);
    }
  }
  QueryPerformanceCounter(&t2);
  if (status == 0 && stored != kToggles) {
    std::fprintf(stderr, "pluginlist_bench: %d of %d toggles stored\n", stored, kToggles);
    status = 1;
  }

  std::printf("plugin list: %d plugins, %u bytes of XML\n", kPlugins, static_cast<unsigned>(text.size()));
  std::printf("load (read, parse, expand macros, presence tests): %.1f ms\n", Seconds(t0, t1, frequency) * 1000.0);
  std::printf("toggle one choice (SavePluginChoice, whole file): %.2f ms per toggle over %d\n",
              Seconds(t1, t2, frequency) * 1000.0 / kToggles, kToggles);

  DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());
  return status;
}
