#include "engine/clean_run.h"

#include "engine/spot_cleaner.h"
#include "toolkit/text.h"

namespace sh {

const char kCloseBrowserQuestion[] =
    "SweepHarbor has detected that one or more Internet Explorer windows are open, some IE components "
    "will not be cleaned, Close IE?";

void ShowFilesAndSize(CCleanRunContext& context, int count, double size) {
  context.shownFiles = count;
  context.shownSize = size;
  context.report->CountsChanged(context.row, count, size);
}

void AddExclusion(CCleanRunContext& context, const std::string& name) { context.exclusions.push_back(name); }

bool IsExcludedName(const CCleanRunContext& context, const std::string& name) {
  for (const std::string& excluded : context.exclusions)
    if (EqualsNoCase(name, excluded)) return true;
  return false;
}

namespace {

void EndRow(CCleanRunContext& context) {
  RowOutcome outcome;
  outcome.cleaned = true;
  outcome.files = context.shownFiles;
  outcome.size = context.shownSize;
  outcome.keys = context.keys;
  context.report->RowDone(context.row, outcome);
  context.Log(logline::SpotEnd());
}

}  // namespace

bool CleanSpot(CCleaningSpot& spot, CCleanRunContext& context, CSpotCleaner& cleaner) {
  context.Log(logline::SpotStart(spot.Name));
  context.report->RowStarted(context.row);

  switch (spot.Type) {
    case kSpotRecycleBin:
      cleaner.CleanRecycleBin(context);
      break;
    case kSpotFoundFolders:
      cleaner.CleanFoundFolders(context);
      break;
    case kSpotCookies: {
      cleaner.CleanCookieCache(context);
      std::string cookies = cleaner.environment().CookiesFolder();
      if (!cookies.empty()) {
        context.deleteRootDir = context.deleteSubFolders = context.includeSubFolders = 0;
        for (const std::string& name : cleaner.IgnoredCookieFiles()) AddExclusion(context, name);
        int count = 0;
        double size = 0;
        cleaner.CleanFolder(context, cookies, "*.*", count, size);
      }
      break;
    }
    case kSpotVisited:
      cleaner.CleanVisitedCache(context);
      if (!spot.Folders.empty()) {
        AddExclusion(context, "desktop.ini");
        context.wipeName = "index.dat";
        cleaner.CleanFolders(spot, context);
      }
      break;
    case kSpotHistory: {
      cleaner.ClearUrlHistory(context);
      AddExclusion(context, "desktop.ini");
      context.wipeName = "index.dat";
      context.includeSubFolders = 1;
      context.deleteSubFolders = 1;
      int count = 0;
      double size = 0;
      std::string windows = StripTrailing(cleaner.environment().WindowsFolder(), '\\');
      if (!windows.empty()) cleaner.CleanFolder(context, windows + "\\History", "*.*", count, size);
      std::string history = cleaner.environment().HistoryFolder();
      if (!history.empty()) cleaner.CleanFolder(context, history, "*.*", count, size);
      break;
    }
    case kSpotAutoComplete:
      cleaner.CleanAutoComplete(context);
      break;
    default:
      if (!spot.Folders.empty()) {
        AddExclusion(context, "desktop.ini");
        AddExclusion(context, "index.dat");
        cleaner.CleanFolders(spot, context);
      }
      if (!spot.RegKeys.empty() || !spot.RegValues.empty()) cleaner.CleanRegistry(spot, context);
      break;
  }

  EndRow(context);
  return true;
}

void CleanFreeSpaceRow(CCleanRunContext& context, CSpotCleaner& cleaner) {
  context.Log(logline::SpotStart(kFreeSpaceRowName));
  context.report->RowStarted(context.row);
  cleaner.CleanFreeSpace(context);
  EndRow(context);
}

void CloseBrowserWindows(IBrowserWindows& windows, bool unattended) {
  if (unattended) return;
  const std::vector<BrowserWindow> found = windows.FindBrowserWindows();
  if (found.empty() || !windows.AskToClose()) return;
  for (const BrowserWindow& window : found) windows.RequestClose(window.handle);
  auto anyOpen = [&] {
    for (const BrowserWindow& window : found)
      if (windows.IsOpen(window.handle)) return true;
    return false;
  };
  for (int waited = 0; waited < kBrowserCloseWaitMs && anyOpen(); waited += kBrowserClosePollMs)
    windows.Pause(kBrowserClosePollMs);
  // A folder window belongs to the shell: its process is never ended. Nor
  // is a browser window's when that process is the shell's (a browser can
  // run inside it), whatever the window did.
  for (const BrowserWindow& window : found) {
    if (window.kind != BrowserWindowKind::kBrowser || !windows.IsOpen(window.handle)) continue;
    if (windows.OwnerIsShell(window.handle)) continue;
    windows.EndOwnerProcess(window.handle);
  }
}

void CCleaningRun::RunUnattended(const std::vector<CleanItem>* rows) {
  unattended_ = 1;
  RunCleaning(rows);
}

void CCleaningRun::RunCleaning(const std::vector<CleanItem>* rows) {
  if (running_) {
    running_ = 0;
    report_.StopRequested();
    return;
  }
  CloseBrowserWindows(browsers_, unattended_ != 0);
  running_ = 1;
  report_.RunStarted();

  cleaner_.BeginRun();
  cleaner_.executor().BindRunControl(&control_);
  std::unique_ptr<CCleanLog> log = report_.CreateLog();
  lastLogName_ = GetLogFileName(clock_.Now());
  log->Open(lastLogName_);

  for (int row = 0; rows != nullptr && row < static_cast<int>(rows->size()) && running_ && control_.IsRunning();
       ++row) {
    const CleanItem& item = (*rows)[static_cast<size_t>(row)];
    CCleanRunContext context(log.get(), &report_, &control_, row);
    CCleaningSpot* spot = item.spot;
    if (item.plugin != nullptr) spot = item.plugin->Spots().empty() ? nullptr : item.plugin->Spots().at(0);
    if (item.freeSpace) CleanFreeSpaceRow(context, cleaner_);
    else if (spot != nullptr) CleanSpot(*spot, context, cleaner_);
    else report_.RowDone(row, RowOutcome());
  }

  log->Close();
  cleaner_.executor().BindRunControl(nullptr);
  running_ = 0;
  unattended_ = 0;
  report_.RunEnded();
}

}  // namespace sh
