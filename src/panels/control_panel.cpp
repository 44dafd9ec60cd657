#include "panels/control_panel.h"

namespace sh {

const char kRunValueName[] = "SweepHarbor";

std::string RunCommand(const std::string& programPath, bool cleanAtStart) {
  return "\"" + programPath + "\" " + (cleanAtStart ? ":CLN:" : ":MIN:");
}

std::string LastUpdateLabel(const std::string& lastUpdate) {
  return lastUpdate.empty() ? "Plugin files not updated yet" : "Plugin files last updated on : " + lastUpdate;
}

int ShredRadioFor(int method) { return method >= 1 && method <= 4 ? method : 0; }

int ShutdownRadioFor(int option) { return option == 1 || option == 2 ? option : 3; }

void CControlPanelSettings::RunAtStartup(bool on) {
  settings_.SetRunAtStartup(on ? 1 : 0);
  if (on) {
    run_.Set(RunCommand(program_, false));
  } else {
    run_.Delete();
    settings_.SetCleanStart(0);
  }
}

void CControlPanelSettings::CleanAtStart(bool on) {
  if (on) {
    settings_.SetRunAtStartup(1);
    run_.Set(RunCommand(program_, true));
    settings_.SetCleanStart(1);
    return;
  }
  if (settings_.CleanStart()) {
    run_.Delete();
    if (settings_.RunAtStartup()) run_.Set(RunCommand(program_, false));
  }
  settings_.SetCleanStart(0);
}

void CControlPanelSettings::Shred(bool on) {
  settings_.SetShred(on ? 1 : 0);
  settings_.SetShredMethod(1);
}

void CControlPanelSettings::CleanOnShutdown(bool on) {
  settings_.SetCleanShutdown(on ? 1 : 0);
  settings_.SetShutDownOptions(3);
}

}  // namespace sh
