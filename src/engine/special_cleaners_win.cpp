// Placeholder bodies for the cleaners of the special stores, the registry and
// the URL cache; replaced by their real implementations.
#include <windows.h>
#include <shlobj.h>

#include "engine/win_cleaners_win.h"

namespace sh {

void CWinSpotCleaners::CleanRegistry(CCleaningSpot&, CCleanRunContext& context) { context.control->PumpMessages(); }
void CWinSpotCleaners::CleanRecycleBin(CCleaningSpot&, CCleanRunContext&) {}
void CWinSpotCleaners::CleanCookieCache(CCleaningSpot&, CCleanRunContext&) {}
void CWinSpotCleaners::CleanVisitedCache(CCleaningSpot&, CCleanRunContext&) {}
bool CWinSpotCleaners::ClearUrlHistory() { return false; }
void CWinSpotCleaners::CleanAutoComplete(CCleaningSpot&, CCleanRunContext&) {}
std::vector<std::string> CWinSpotCleaners::IgnoredCookieFiles() { return {}; }

static std::string SpecialFolder(int csidl) {
  char buffer[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE)) return std::string();
  return buffer;
}
std::string CWinSpotCleaners::CookiesFolder() { return SpecialFolder(CSIDL_COOKIES); }
std::string CWinSpotCleaners::HistoryFolder() { return SpecialFolder(CSIDL_HISTORY); }

}  // namespace sh
