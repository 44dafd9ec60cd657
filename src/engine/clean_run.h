// The cleaning run: rows top to bottom, one spot each, a cleaner chosen by
// the spot's Type; the last row may be the fixed drives' free space.
// UI-agnostic: it reports domain events (run started, row started, item acted
// on, row done, run ended) to an ICleanReport, which the Clean list panel,
// the console front end and the tests implement.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/clean_actions.h"
#include "engine/clean_log.h"
#include "model/catalog.h"

namespace sh {

// Values of CCleaningSpot::Type that pick a special cleaner.
enum SpotType {
  kSpotRecycleBin = 2,
  kSpotFoundFolders = 5,
  kSpotCookies = 6,
  kSpotVisited = 7,
  kSpotHistory = 8,
  kSpotAutoComplete = 9,
};

// How a row ended.
struct RowOutcome {
  bool cleaned = false;  // false: a plugin row without a spot, nothing ran
  int files = 0;         // what the Files and Size columns show last
  double size = 0;
  // A spot with registry entries and no folder entries: how many keys and
  // values were cleaned ("%d Keys" in the Files column); -1 otherwise.
  int keys = -1;
};

// Where a run tells what it does.
class ICleanReport {
 public:
  virtual ~ICleanReport() = default;
  virtual void RunStarted() {}
  // A stop was asked for while a run was going.
  virtual void StopRequested() {}
  virtual void RowStarted(int row) { (void)row; }
  // An action was carried out (or, in a preview, would be); `files` and
  // `size` are the row's counts so far, as the Files and Size columns show.
  virtual void ItemActed(int row, const CleanAction& action, ActionResult result, int files, double size) {
    (void)row, (void)action, (void)result, (void)files, (void)size;
  }
  // The counts changed without an action (a URL-cache entry was counted,
  // a folder was met).
  virtual void CountsChanged(int row, int files, double size) { (void)row, (void)files, (void)size; }
  virtual void RowDone(int row, const RowOutcome& outcome) { (void)row, (void)outcome; }
  virtual void RunEnded() {}
  // The run's log sink; this system's keeps nothing.
  virtual std::unique_ptr<CCleanLog> CreateLog() { return std::make_unique<CCleanLog>(); }
};

// Asked by every loop of the run. IsRunning is the panel's running flag;
// PumpMessages lets window messages (the Abort click) run, also after every
// URL-cache entry; PauseAfterFile is called after every file (the window
// pumps and sleeps 10 ms there; the console does not).
class IRunControl {
 public:
  virtual ~IRunControl() = default;
  virtual bool IsRunning() = 0;
  virtual void PumpMessages() = 0;
  virtual void PauseAfterFile() = 0;
};

class CCleanRunContext {
 public:
  CCleanRunContext(CCleanLog* log, ICleanReport* report, IRunControl* control, int row)
      : log(log), report(report), control(control), row(row) {}

  void Log(const std::string& line) { log->Write(line); }
  bool Logging() const { return log->KeepsLines(); }
  bool Running() { return control->IsRunning(); }

  CCleanLog* log;
  int deleteRootDir = 0;
  int deleteSubFolders = 0;
  int includeSubFolders = 0;
  ICleanReport* report;
  IRunControl* control;
  int row;
  std::vector<std::string> exclusions;
  std::string wipeName;
  // What the Files and Size columns show last, and the "%d Keys" count.
  int shownFiles = 0;
  double shownSize = 0;
  int keys = -1;
};

// The Files and Size columns now read `count` and `size`.
void ShowFilesAndSize(CCleanRunContext& context, int count, double size);
void AddExclusion(CCleanRunContext& context, const std::string& name);
// A file name (no folder) equals an exclusion, ignoring case.
bool IsExcludedName(const CCleanRunContext& context, const std::string& name);

class CSpotCleaner;

// Cleans one spot with the cleaner its Type picks; always true.
bool CleanSpot(CCleaningSpot& spot, CCleanRunContext& context, CSpotCleaner& cleaner);
// The free-space row, reported as a spot's row is.
void CleanFreeSpaceRow(CCleanRunContext& context, CSpotCleaner& cleaner);

// The pre-run check for open browser and Explorer windows.
enum class BrowserWindowKind {
  kBrowser,  // "IEFrame"
  kFolder,   // "CabinetWClass": a folder window, which the shell itself owns
};

struct BrowserWindow {
  uintptr_t handle = 0;
  BrowserWindowKind kind = BrowserWindowKind::kBrowser;
};

class IBrowserWindows {
 public:
  virtual ~IBrowserWindows() = default;
  // The top-level browser windows, then the folder windows (a bounded
  // number of each).
  virtual std::vector<BrowserWindow> FindBrowserWindows() = 0;
  // The Yes/No question; true for Yes.
  virtual bool AskToClose() = 0;
  // Asks the window to close as its close box would, without waiting.
  virtual void RequestClose(uintptr_t window) = 0;
  // The window is still there.
  virtual bool IsOpen(uintptr_t window) = 0;
  // The window's process owns the taskbar or the desktop.
  virtual bool OwnerIsShell(uintptr_t window) = 0;
  // Ends the process owning the window (exit code 0) and waits briefly for
  // it; false when it cannot be opened or ended. Closes what it opens.
  virtual bool EndOwnerProcess(uintptr_t window) = 0;
  // Waits while the asked windows close.
  virtual void Pause(int milliseconds) = 0;
};

// How long the windows asked to close get, in all, and the steps in which
// the wait looks whether they went.
constexpr int kBrowserCloseWaitMs = 3000;
constexpr int kBrowserClosePollMs = 100;

// Unless unattended, and when browser or folder windows are open: asks
// whether to close them. On Yes every one is asked to close; after a
// bounded wait the process of each browser window still open is ended,
// unless it is the shell's (the taskbar's or the desktop's). A folder
// window is only ever asked.
void CloseBrowserWindows(IBrowserWindows& windows, bool unattended);

extern const char kCloseBrowserQuestion[];

// RunCleaning as logic: owns the running and unattended flags. Its
// running() is what the run control should report.
class CCleaningRun {
 public:
  CCleaningRun(ICleanReport& report, IRunControl& control, CSpotCleaner& cleaner, IBrowserWindows& browsers,
               IClock& clock)
      : report_(report), control_(control), cleaner_(cleaner), browsers_(browsers), clock_(clock) {}

  // Starts a run over `rows`, or, during a run, asks it to stop. The rows
  // are read afresh before each one (the list may change while messages are
  // pumped).
  void RunCleaning(const std::vector<CleanItem>* rows);
  // The same run without the browser question.
  void RunUnattended(const std::vector<CleanItem>* rows);

  bool running() const { return running_ != 0; }
  bool unattended() const { return unattended_ != 0; }
  const std::string& lastLogName() const { return lastLogName_; }

 private:
  ICleanReport& report_;
  IRunControl& control_;
  CSpotCleaner& cleaner_;
  IBrowserWindows& browsers_;
  IClock& clock_;
  int running_ = 0;
  int unattended_ = 0;
  std::string lastLogName_;
};

}  // namespace sh
