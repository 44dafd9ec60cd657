// What the control panel's clicks write: the settings, the Run entry of
// Windows and the browser's start page, with the couplings between them.
// Portable; the dialog (CControlPanelDlg) maps its controls onto it.
#pragma once

#include <string>

#include "settings/settings.h"

namespace sh {

// The per-user Run entry "SweepHarbor" of Windows.
class IRunEntry {
 public:
  virtual ~IRunEntry() = default;
  // False when the entry could not be written.
  virtual bool Set(const std::string& command) = 0;
  // False when there was none or it could not be deleted.
  virtual bool Delete() = 0;
};

extern const char kRunValueName[];  // "SweepHarbor"

// "\"<program>\" :MIN:" or ":CLN:", whatever the length of the path.
std::string RunCommand(const std::string& programPath, bool cleanAtStart);

// "Plugin files last updated on : %s", or "Plugin files not updated yet"
// while `LastUpdate` is empty.
std::string LastUpdateLabel(const std::string& lastUpdate);

// The radio marked for a stored choice: the shredding method's radio 1..4
// (0: none) and the after-cleaning radio 1..3 (1 shut down, 2 restart,
// anything else the prompt).
int ShredRadioFor(int method);
int ShutdownRadioFor(int option);

class CControlPanelSettings {
 public:
  CControlPanelSettings(ISettingsStore& store, IRunEntry& run, std::string programPath)
      : settings_(store), run_(run), program_(std::move(programPath)) {}

  // Ticked: the Run entry starts the program in the tray. Cleared: no Run
  // entry and no cleaning at start-up either.
  void RunAtStartup(bool on);
  // Ticked: the Run entry cleans at start-up (and so runs at start-up).
  // Cleared: back to the tray entry while "Run at windows startup" is on,
  // else no entry.
  void CleanAtStart(bool on);
  // Either way the stored method goes back to Random (1 pass).
  void Shred(bool on);
  // Either way the stored option goes back to the prompt.
  void CleanOnShutdown(bool on);

  CSettings& settings() { return settings_; }

 private:
  CSettings settings_;
  IRunEntry& run_;
  std::string program_;
};

}  // namespace sh
