// The cleaning run: rows top to bottom, one spot each, a cleaner chosen by
// the spot's Type. UI-agnostic: the window, the console front end and the
// tests implement the progress and run-control interfaces.
#pragma once

#include <memory>
#include <string>
#include <vector>

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

constexpr int kFilesColumn = 1;
constexpr int kSizeColumn = 2;
constexpr int kStatusColumn = 3;

// Where a run shows what it does: one row per item.
class ICleanProgress {
 public:
  virtual ~ICleanProgress() = default;
  virtual void SetCellText(int row, int column, const std::string& text) = 0;
  virtual void EnsureVisible(int row) = 0;
  virtual void SetRowDone(int row) = 0;
};

// Asked by every loop of the run. IsRunning is the panel's running flag;
// PumpMessages lets window messages (the Abort click) run; PauseAfterFile is
// called after every file and URL-cache entry (the window pumps and sleeps
// 10 ms there; a benchmark may do nothing).
class IRunControl {
 public:
  virtual ~IRunControl() = default;
  virtual bool IsRunning() = 0;
  virtual void PumpMessages() = 0;
  virtual void PauseAfterFile() = 0;
};

class CCleanRunContext {
 public:
  CCleanRunContext(CCleanLog* log, ICleanProgress* progress, IRunControl* control, int row)
      : log(log), progress(progress), control(control), row(row) {}

  void Log(const std::string& line) { log->Write(line); }
  bool Running() { return control->IsRunning(); }

  CCleanLog* log;
  int deleteRootDir = 0;
  int deleteSubFolders = 0;
  int includeSubFolders = 0;
  ICleanProgress* progress;
  IRunControl* control;
  int row;
  int filesColumn = kFilesColumn;
  int sizeColumn = kSizeColumn;
  int statusColumn = kStatusColumn;
  std::vector<std::string> exclusions;
  std::string wipeName;
};

// Files column "%d", Size column FormatSize.
void ShowFilesAndSize(CCleanRunContext& context, int count, double size);
void AddExclusion(CCleanRunContext& context, const std::string& name);
// The name after the last backslash equals an exclusion, ignoring case.
bool IsExcludedFile(const CCleanRunContext& context, const std::string& path);

// Every cleaner CleanSpot can call. The Win32 layer implements them; tests
// record the calls.
class ISpotCleaners {
 public:
  virtual ~ISpotCleaners() = default;
  virtual void CleanFolders(CCleaningSpot& spot, CCleanRunContext& context) = 0;
  virtual void CleanFolder(CCleanRunContext& context, const std::string& path, const std::string& mask,
                           int& count, double& size) = 0;
  virtual void CleanRegistry(CCleaningSpot& spot, CCleanRunContext& context) = 0;
  virtual void CleanRecycleBin(CCleaningSpot& spot, CCleanRunContext& context) = 0;
  virtual void CleanFoundFolders(CCleaningSpot& spot, CCleanRunContext& context) = 0;
  virtual void CleanCookieCache(CCleaningSpot& spot, CCleanRunContext& context) = 0;
  virtual void CleanVisitedCache(CCleaningSpot& spot, CCleanRunContext& context) = 0;
  virtual bool ClearUrlHistory() = 0;
  virtual void CleanAutoComplete(CCleaningSpot& spot, CCleanRunContext& context) = 0;
  // The shell's Cookies and History folders; empty when the shell knows none.
  virtual std::string CookiesFolder() = 0;
  virtual std::string HistoryFolder() = 0;
  virtual std::string WindowsFolder() = 0;
  // File names in the Cookies folder that belong to ignored cookies and
  // must survive the folder walk.
  virtual std::vector<std::string> IgnoredCookieFiles() = 0;
};

// Cleans one spot with the cleaner its Type picks; always true.
bool CleanSpot(CCleaningSpot& spot, CCleanRunContext& context, ISpotCleaners& cleaners);

// The pre-run check for open browser and Explorer windows.
class IBrowserWindows {
 public:
  virtual ~IBrowserWindows() = default;
  // A top-level "IEFrame" window, else a "CabinetWClass" one; 0 when none.
  virtual uintptr_t FindBrowserWindow() = 0;
  // The Yes/No question; true for Yes.
  virtual bool AskToClose() = 0;
  // Ends the process owning the window (exit code 0) and waits briefly for
  // it; false when it cannot be opened or ended. Closes what it opens.
  virtual bool EndOwnerProcess(uintptr_t window) = 0;
};

// Returns after every window's process was ended, or at the first process
// that could not be ended, or after a window survived its ended process a
// few times: never loops for ever.
void CloseBrowserWindows(IBrowserWindows& windows, bool unattended);

extern const char kStartCleaningText[];  // strings 107 and 113
extern const char kAbortText[];          // string 108
extern const char kCloseBrowserQuestion[];

// What the run needs from its host (the Clean list panel, the console front
// end, a test) beyond the per-row progress.
class ICleanHost {
 public:
  virtual ~ICleanHost() = default;
  virtual void SetButtonText(const std::string& text) = 0;
  // The main window's cleaning-in-progress flag.
  virtual void SetCleaningInProgress(bool on) = 0;
  virtual std::unique_ptr<CCleanLog> CreateLog() { return std::make_unique<CCleanLog>(); }
};

// RunCleaning as logic: owns the running and unattended flags, asks `rows`
// for the current list each time round (the list may change while messages
// are pumped). Its IsRunning is what the run control should report.
class CCleaningRun {
 public:
  CCleaningRun(ICleanHost& host, ICleanProgress& progress, IRunControl& control, ISpotCleaners& cleaners,
               IBrowserWindows& browsers, IClock& clock)
      : host_(host), progress_(progress), control_(control), cleaners_(cleaners), browsers_(browsers),
        clock_(clock) {}

  // Starts a run over `rows`, or, during a run, asks it to stop.
  void RunCleaning(const std::vector<CleanItem>* rows);
  // The same run without the browser question.
  void RunUnattended(const std::vector<CleanItem>* rows);

  bool running() const { return running_ != 0; }
  bool unattended() const { return unattended_ != 0; }
  const std::string& lastLogName() const { return lastLogName_; }

 private:
  ICleanHost& host_;
  ICleanProgress& progress_;
  IRunControl& control_;
  ISpotCleaners& cleaners_;
  IBrowserWindows& browsers_;
  IClock& clock_;
  int running_ = 0;
  int unattended_ = 0;
  std::string lastLogName_;
};

}  // namespace sh
