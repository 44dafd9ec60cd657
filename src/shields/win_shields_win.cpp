#include "shields/win_shields_win.h"

#include <shlobj.h>

#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

constexpr char kBrowserKey[] = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr LONG kFavoritesEvents = SHCNE_RENAMEITEM | SHCNE_CREATE | SHCNE_MKDIR | SHCNE_UPDATEDIR | SHCNE_UPDATEITEM |
                                  SHCNE_RENAMEFOLDER;
constexpr int kFavoritesSources = 0x1 | 0x2;  // interrupt and shell level

struct NotifyEntry {  // SHChangeNotifyEntry
  LPCITEMIDLIST pidl;
  BOOL recursive;
};
using ChangeNotifyRegister = ULONG(WINAPI*)(HWND, int, LONG, UINT, int, const NotifyEntry*);
using ChangeNotifyDeregister = BOOL(WINAPI*)(ULONG);

}  // namespace

CWinShields::CWinShields(HWND window, IShieldQuestion& question, ISettingsStore& settings, IPrompt& prompt)
    : window_(window),
      prompt_(prompt),
      favorites_(window, kShieldFavDeletedMessage),
      shield_({browser_, question, settings, favorites_, hosts_}),
      watcher_(prompt) {}

CWinShields::~CWinShields() { Stop(); }

void CWinShields::Start() {
  shield_.LoadFlags();
  shield_.StartShields();
  InstallFavoritesNotification();
  // The shell tells only what it announced itself (and under Wine only what
  // this process announced); the folder's own notification hears every
  // program.
  favoritesWatch_.Start(CWinFavoritesFolder::Folder(), true,
                        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE,
                        window_, kShieldFavChangeMessage);
  hostsWatch_.Start(CWinHostsFile::Folder(), false,
                    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE, window_,
                    kShieldHostsChangeMessage);
  watcher_.SetTargetWindow(window_);
  watcher_.AddWatch(HKEY_CURRENT_USER, kBrowserKey, kUserSettingsWatch);
  watcher_.AddWatch(HKEY_LOCAL_MACHINE, kBrowserKey, kMachineSettingsWatch);
}

void CWinShields::InstallFavoritesNotification() {
  LPITEMIDLIST folder = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(window_, CSIDL_FAVORITES, &folder)) || folder == nullptr) {
    PromptRequest request;
    request.text = "Could not install Favorites shield";
    prompt_.Ask(request);
    return;
  }
  ScopedCoTaskMem owned(folder);
  ScopedLibrary shell(LoadLibraryA("shell32.dll"));
  // By ordinal: the only way the oldest shells export it.
  const auto registerChanges = shell ? reinterpret_cast<ChangeNotifyRegister>(reinterpret_cast<void*>(
                                           GetProcAddress(shell.get(), MAKEINTRESOURCEA(2))))
                                     : nullptr;
  if (registerChanges == nullptr) return;
  const NotifyEntry entry = {folder, TRUE};
  shellRegistration_ = registerChanges(window_, kFavoritesSources, kFavoritesEvents, kShieldFavChangeMessage, 1, &entry);
  if (shellRegistration_ == 0) {
    PromptRequest request;
    request.text = "Could not install Favorites shield";
    prompt_.Ask(request);
  }
}

void CWinShields::Stop() {
  if (stopped_) return;
  stopped_ = true;
  watcher_.Stop();
  favoritesWatch_.Stop();
  hostsWatch_.Stop();
  if (shellRegistration_ != 0) {
    ScopedLibrary shell(LoadLibraryA("shell32.dll"));
    const auto deregister = shell ? reinterpret_cast<ChangeNotifyDeregister>(reinterpret_cast<void*>(
                                        GetProcAddress(shell.get(), MAKEINTRESOURCEA(4))))
                                  : nullptr;
    if (deregister != nullptr) deregister(shellRegistration_);
    shellRegistration_ = 0;
  }
}

bool CWinShields::OnMessage(UINT msg, WPARAM wParam, LPARAM) {
  switch (msg) {
    case kShieldRegChangeMessage:
      if (!stopped_) shield_.OnRegistryChange(static_cast<unsigned>(wParam));
      return true;
    case kShieldFavChangeMessage:
      if (!stopped_) shield_.OnFavoritesChange();
      return true;
    case kShieldHostsChangeMessage:
      if (!stopped_) shield_.OnHostsChange();
      return true;
    case kShieldFavDeletedMessage: {
      const std::string path = favorites_.DeletedPath(wParam);
      if (!path.empty()) shield_.OnFavoriteDeleted(path);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace sh
