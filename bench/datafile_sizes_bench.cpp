// Data file figures at sizes no shipped list has: a spot list of 5 000 spots
// (load, store one choice) and a plugin list
// whose one plugin has a 200 000-character name and a 300 000-character
// path. Each result is checked too; a wrong one ends the run with 1. Works
// in a scratch folder under the temporary folder and removes it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench_clock.h"
#include "scratch_settings.h"
#include "model/data_file_win.h"
#include "model/plugin_file.h"
#include "paths/known_locations_win.h"
#include "settings/registry_settings_win.h"
#include "toolkit/text.h"

using namespace sh;

namespace {

using bench::ScratchSettings;

// Answers every question with its default and shows nothing.
class SilentPrompt : public IPrompt {
 public:
  PromptAnswer Ask(const PromptRequest& request) override {
    return request.kind == PromptKind::kYesNo ? PromptAnswer::kNo : PromptAnswer::kOk;
  }
};

std::string BigSpotList(int groups, int spotsPerGroup) {
  std::string text = "<CleaningSpots Version=\"4\">\n";
  for (int g = 0; g < groups; ++g) {
    text += Format("  <Group name=\"Group %d\" GroupType=\"%d\">\n", g, g % 7);
    for (int s = 0; s < spotsPerGroup; ++s)
      text += Format("    <Spot name=\"Spot %d.%d\" ToBeCleaned=\"%d\" Type=\"0\"><Items>"
                     "<Item Type=\"0\" name=\":Recent:\\%d\" flags=\"*.*\" /></Items></Spot>\n",
                     g, s, s % 2, s);
    text += "  </Group>\n";
  }
  return text + "</CleaningSpots>\n";
}

int failures = 0;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "datafile_sizes_bench: %s\n", what);
  ++failures;
}

}  // namespace

int main() {
  const std::string folder = StripTrailing(GetTempFolder(), '\\') + Format("\\swh-sizes-%lu", GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  ScratchSettings settings(folder);
  CRegistrySettingsStore registry;
  CWinFileStore files;
  CWinPluginEnvironment machine(registry);
  SilentPrompt prompt;
  CDataFileLock lock;
  DataFileEnv env{files, machine, settings, prompt, lock};

  const std::string spots = folder + "\\Splst.swh", plugins = folder + "\\Plglst.swh";
  Check(WriteDataFile(files, spots, BigSpotList(100, 50)) == 1, "cannot write the spot list");
  double t0 = bench::Now();
  CSpotCatalog catalog;
  Check(LoadSpotList(env, catalog, spots, 0, nullptr) == 1, "the spot list did not load");
  double t1 = bench::Now();
  size_t loaded = 0;
  for (const auto& g : catalog.Groups()) loaded += g->Spots().size();
  Check(loaded == 5000, "not every spot loaded");
  CCleaningSpot* last = loaded == 5000 ? catalog.Groups().at(99)->Spots().at(49) : nullptr;
  Check(last && last->Name == "Spot 99.49" && SaveSpotChoice(env, *last, 0) == 1, "the last spot's choice");
  double t2 = bench::Now();
  CSpotCatalog again;  // every other spot was chosen, the last one no longer
  Check(LoadSpotList(env, again, spots, 0, nullptr) == 1 && again.ItemsToClean().size() == 2499, "choices read back");

  const std::string longName(200000, 'n'), longPath = "C:\\" + std::string(300000, 'p') + "\\*.tmp";
  Check(WriteDataFile(files, plugins,
                      "<L><P Name=\"" + longName + "\" ToBeCleaned=\"1\"><FILES><FILE Name=\"" + longPath +
                          "\" /></FILES></P></L>") == 1,
        "cannot write the plugin list");
  double t4 = bench::Now();
  CSpotCatalog plugin;
  Check(LoadPluginList(env, plugin, plugins, nullptr) == 1 && plugin.Plugins().size() == 1, "the long plugin");
  Check(!plugin.Plugins().empty() && plugin.Plugins().at(0)->Name == longName &&
            plugin.Plugins().at(0)->Spots().at(0)->Folders.at(0).Mask == "*.tmp",
        "the long name and path");
  Check(!plugin.Plugins().empty() && SavePluginChoice(env, *plugin.Plugins().at(0), 0) == 1,
        "the long plugin's choice");
  double t5 = bench::Now();

  std::printf("spot list, 5000 spots: load %.1f ms, one choice %.1f ms\n", (t1 - t0) * 1000, (t2 - t1) * 1000);
  std::printf("plugin with a 200000-character name: load and store its choice %.1f ms\n", (t5 - t4) * 1000);
  DeleteFileA(spots.c_str());
  DeleteFileA(plugins.c_str());
  RemoveDirectoryA(folder.c_str());
  return failures ? 1 : 0;
}
