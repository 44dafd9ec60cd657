#include "engine/clean_run.h"

#include "toolkit/text.h"

namespace sh {

const char kStartCleaningText[] = "Start Cleaning";
const char kAbortText[] = "Abort";
const char kCloseBrowserQuestion[] =
    "SweepHarbor has detected that one or more Internet Explorer windows are open, some IE components "
    "will not be cleaned, Close IE?";

void ShowFilesAndSize(CCleanRunContext& context, int count, double size) {
  context.progress->SetCellText(context.row, context.filesColumn, Format("%d", count));
  context.progress->SetCellText(context.row, context.sizeColumn, FormatSize(size));
}

void AddExclusion(CCleanRunContext& context, const std::string& name) { context.exclusions.push_back(name); }

bool IsExcludedFile(const CCleanRunContext& context, const std::string& path) {
  std::string name = StripLeading(FileNamePart(path), '\\');
  for (const std::string& excluded : context.exclusions)
    if (EqualsNoCase(name, excluded)) return true;
  return false;
}

bool CleanSpot(CCleaningSpot& spot, CCleanRunContext& context, ISpotCleaners& cleaners) {
  context.Log(logline::SpotStart(spot.Name));
  context.progress->EnsureVisible(context.row);
  context.progress->SetCellText(context.row, context.statusColumn, "Scanning...");

  switch (spot.Type) {
    case kSpotRecycleBin:
      cleaners.CleanRecycleBin(spot, context);
      break;
    case kSpotFoundFolders:
      cleaners.CleanFoundFolders(spot, context);
      break;
    case kSpotCookies: {
      cleaners.CleanCookieCache(spot, context);
      std::string cookies = cleaners.CookiesFolder();
      if (!cookies.empty()) {
        context.deleteRootDir = context.deleteSubFolders = context.includeSubFolders = 0;
        for (const std::string& name : cleaners.IgnoredCookieFiles()) AddExclusion(context, name);
        int count = 0;
        double size = 0;
        cleaners.CleanFolder(context, cookies, "*.*", count, size);
      }
      break;
    }
    case kSpotVisited:
      cleaners.CleanVisitedCache(spot, context);
      if (!spot.Folders.empty()) {
        AddExclusion(context, "desktop.ini");
        context.wipeName = "index.dat";
        cleaners.CleanFolders(spot, context);
      }
      break;
    case kSpotHistory: {
      cleaners.ClearUrlHistory();
      AddExclusion(context, "desktop.ini");
      context.wipeName = "index.dat";
      context.includeSubFolders = 1;
      context.deleteSubFolders = 1;
      int count = 0;
      double size = 0;
      std::string windows = StripTrailing(cleaners.WindowsFolder(), '\\');
      if (!windows.empty()) cleaners.CleanFolder(context, windows + "\\History", "*.*", count, size);
      std::string history = cleaners.HistoryFolder();
      if (!history.empty()) cleaners.CleanFolder(context, history, "*.*", count, size);
      break;
    }
    case kSpotAutoComplete:
      cleaners.CleanAutoComplete(spot, context);
      break;
    default:
      if (!spot.Folders.empty()) {
        AddExclusion(context, "desktop.ini");
        AddExclusion(context, "index.dat");
        cleaners.CleanFolders(spot, context);
      }
      if (!spot.RegKeys.empty() || !spot.RegValues.empty()) cleaners.CleanRegistry(spot, context);
      break;
  }

  context.progress->SetCellText(context.row, context.statusColumn, "Cleaned");
  context.Log(logline::SpotEnd());
  return true;
}

void CloseBrowserWindows(IBrowserWindows& windows, bool unattended) {
  if (windows.FindBrowserWindow() == 0 || unattended) return;
  if (!windows.AskToClose()) return;
  // A window whose process was ended may linger for a moment; one that is
  // still found after several ended processes means something else owns it.
  uintptr_t last = 0;
  int sameAgain = 0;
  for (int attempts = 0; attempts < 256; ++attempts) {
    uintptr_t window = windows.FindBrowserWindow();
    if (window == 0) return;
    if (window == last && ++sameAgain >= 3) return;
    if (window != last) sameAgain = 0;
    last = window;
    if (!windows.EndOwnerProcess(window)) return;
  }
}

void CCleaningRun::RunUnattended(const std::vector<CleanItem>* rows) {
  unattended_ = 1;
  RunCleaning(rows);
}

void CCleaningRun::RunCleaning(const std::vector<CleanItem>* rows) {
  if (running_) {
    host_.SetButtonText(kStartCleaningText);
    running_ = 0;
    return;
  }
  CloseBrowserWindows(browsers_, unattended_ != 0);
  running_ = 1;
  host_.SetButtonText(kAbortText);

  std::unique_ptr<CCleanLog> log = host_.CreateLog();
  lastLogName_ = GetLogFileName(clock_.Now());
  log->Open(lastLogName_);
  host_.SetCleaningInProgress(true);

  for (int row = 0; rows != nullptr && row < static_cast<int>(rows->size()) && running_ && control_.IsRunning();
       ++row) {
    const CleanItem& item = (*rows)[static_cast<size_t>(row)];
    CCleanRunContext context(log.get(), &progress_, &control_, row);
    if (item.plugin != nullptr) {
      if (!item.plugin->Spots().empty()) CleanSpot(*item.plugin->Spots().at(0), context, cleaners_);
    } else if (item.spot != nullptr) {
      CleanSpot(*item.spot, context, cleaners_);
    }
    progress_.SetRowDone(row);
  }

  host_.SetCleaningInProgress(false);
  log->Close();
  running_ = 0;
  host_.SetButtonText(kStartCleaningText);
  unattended_ = 0;
}

}  // namespace sh
