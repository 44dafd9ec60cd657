// The shields' seams on a real Windows machine.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "shields/shield_ports.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/worker_thread_win.h"

namespace sh {

// Software\Microsoft\Internet Explorer\Main under HKCU or HKLM.
class CWinBrowserSettings : public IBrowserSettings {
 public:
  std::string Read(BrowserRoot root, const std::string& name) override;
  void Write(BrowserRoot root, const std::string& name, const std::string& value) override;
};

// The Favorites folder with the browser's menu order. A refused entry is
// deleted by a worker two seconds later, which then posts `deletedMessage`
// with the entry's number to the window; the window hands the number to
// DeletedPath on its own thread.
class CWinFavoritesFolder : public IFavoritesFolder {
 public:
  CWinFavoritesFolder(HWND window, UINT deletedMessage);
  ~CWinFavoritesFolder() override;  // deletes what is still due, then joins
  std::vector<FavoriteItem> Read() override;
  void DeleteLater(const std::string& path) override;
  // The path of deletion `number`, forgotten with this call; empty when
  // unknown.
  std::string DeletedPath(WPARAM number);
  static std::string Folder();

 private:
  HWND window_;
  UINT deletedMessage_;
  ScopedHandle stop_;  // manual-reset: ends the deleters' wait
  WPARAM nextNumber_ = 1;
  std::map<WPARAM, std::string> due_;
  std::vector<std::unique_ptr<CWorkerThread>> deleters_;  // after stop_: joined before it closes
};

// %windir%\system32\drivers\etc\hosts (the Windows folder on Windows 9x).
class CWinHostsFile : public IHostsFile {
 public:
  bool Read(std::string& text) override;
  bool Write(const std::string& text) override;
  static std::string Folder();
};

// The URL of an Internet shortcut, through the shell's own object; empty
// when it cannot be read. COM must be initialised on the calling thread.
std::string InternetShortcutUrl(const std::string& path);

}  // namespace sh
