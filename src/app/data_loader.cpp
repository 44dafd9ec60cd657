#include "app/data_loader.h"

#include "model/data_paths.h"
#include "model/plugin_file.h"

namespace sh {

const char kCorruptListQuestion[] = "Configuration file corrupt, download new file now ?";
const char kCannotWorkWithoutList[] = "SweepHarbor cannot work without the Configuration file, Press OK ti exit";

std::string SpotListDownloadFailedText(const std::string& listPath, const std::string& failure, bool declined) {
  std::string text = declined ? "The spot list was not downloaded.\n\nFile: " + listPath
                              : "The spot list could not be downloaded.\n\nFile: " + listPath + "\n" + failure;
  return text + "\n\n" + kCannotWorkWithoutList;
}

bool LoadDataFiles(DataFileEnv& env, CSpotCatalog& catalog, bool isWindowsXP,
                   const std::function<bool()>& downloadNewList, DataFileVersions& versions) {
  for (;;) {
    if (LoadSpotList(env, catalog, GetSpotListPath(env.settings), isWindowsXP ? 1 : 0, &versions.spotList)) break;
    PromptRequest question;
    question.text = kCorruptListQuestion;
    question.caption = "Error";
    question.kind = PromptKind::kYesNo;
    if (env.prompt.Ask(question) == PromptAnswer::kYes) {
      if (!downloadNewList || !downloadNewList()) return false;
      continue;  // try again from the beginning
    }
    PromptRequest goodbye;
    goodbye.text = kCannotWorkWithoutList;
    env.prompt.Ask(goodbye);
    return false;
  }
  LoadPluginList(env, catalog, GetPluginListPath(env.settings), &versions.pluginList);
  LoadCustomPlugins(env, catalog, GetCustomPluginPath(env.settings));
  return true;
}

}  // namespace sh
