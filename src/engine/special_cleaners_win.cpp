// CWinSpotCleaners: the system's stand-ins for its seams, and the shell
// folders the special spots walk.
#include <windows.h>
#include <shlobj.h>

#include "engine/special_stores_win.h"
#include "engine/url_cache_win.h"
#include "engine/win_cleaners_win.h"
#include "paths/known_locations_win.h"

namespace sh {

CWinSpotCleaners::CWinSpotCleaners(ISettingsStore& settings, IPrompt& prompt, const CSpotCleanerSeams& seams)
    : settings_(settings), prompt_(prompt), deleter_(settings) {
  if (seams.recycleShell == nullptr) ownRecycleShell_ = std::make_unique<CWinRecycleBinShell>();
  if (seams.urlCache == nullptr) ownUrlCache_ = std::make_unique<CWinUrlCache>();
  if (seams.urlHistory == nullptr) ownUrlHistory_ = std::make_unique<CWinUrlHistory>();
  recycleShell_ = seams.recycleShell != nullptr ? seams.recycleShell : ownRecycleShell_.get();
  urlCache_ = seams.urlCache != nullptr ? seams.urlCache : ownUrlCache_.get();
  urlHistory_ = seams.urlHistory != nullptr ? seams.urlHistory : ownUrlHistory_.get();
  ntFamily_ = seams.ntFamily.has_value() ? *seams.ntFamily : IsNtFamilyFromVersion();
}

CWinSpotCleaners::~CWinSpotCleaners() = default;

std::string CWinSpotCleaners::CookiesFolder() { return GetSpecialFolder(CSIDL_COOKIES); }
std::string CWinSpotCleaners::HistoryFolder() { return GetSpecialFolder(CSIDL_HISTORY); }

}  // namespace sh
