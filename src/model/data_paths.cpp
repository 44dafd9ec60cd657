#include "model/data_paths.h"

#include "toolkit/text.h"

namespace sh {

static std::string InDataFolder(ISettingsStore& settings, const char* name) {
  return StripTrailing(settings.Read("path"), '\\') + "\\" + name;
}

std::string GetSpotListPath(ISettingsStore& settings) { return InDataFolder(settings, "Splst.swh"); }
std::string GetPluginListPath(ISettingsStore& settings) { return InDataFolder(settings, "Plglst.swh"); }
std::string GetCustomPluginPath(ISettingsStore& settings) { return InDataFolder(settings, "CutmPlg.swh"); }
std::string GetIgnoredCookiesPath(ISettingsStore& settings) { return InDataFolder(settings, "Igckies.swh"); }

}  // namespace sh
