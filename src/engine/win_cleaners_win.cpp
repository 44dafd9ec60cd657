#include "engine/win_cleaners_win.h"

namespace sh {
namespace {

template <typename T, typename Own>
T* Pick(T* given, std::unique_ptr<T>& own) {
  if (given != nullptr) return given;
  own = std::make_unique<Own>();
  return own.get();
}

}  // namespace

CWinSpotCleaners::CWinSpotCleaners(ISettingsStore& settings, IPrompt& prompt, const CSpotCleanerSeams& seams)
    : recycleShell_(Pick<IRecycleBinShell, CWinRecycleBinShell>(seams.recycleShell, ownRecycleShell_)),
      urlCache_(Pick<IUrlCache, CWinUrlCache>(seams.urlCache, ownUrlCache_)),
      urlHistory_(Pick<IUrlHistory, CWinUrlHistory>(seams.urlHistory, ownUrlHistory_)),
      freeSpaceDisk_(Pick<IFreeSpaceDisk, CWinFreeSpaceDisk>(seams.freeSpaceDisk, ownFreeSpaceDisk_)),
      environment_(settings, seams.ntFamily),
      executor_(settings, *urlCache_, *urlHistory_, *recycleShell_, *freeSpaceDisk_),
      cleaner_(SpotCleanerPorts{files_, registry_, *urlCache_, environment_, prompt}, executor_) {
  cleaner_.set_free_space(*freeSpaceDisk_, settings);
}

}  // namespace sh
