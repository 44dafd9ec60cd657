// What the protection shields need of the machine. The shields decide in
// portable code over these seams; the Win32 side provides the registry, the
// popup, the Favorites folder and the hosts file, and tests answer them.
#pragma once

#include <string>
#include <vector>

namespace sh {

// Messages of the shields to the main window.
constexpr unsigned kShieldRegChangeMessage = 0x87D6;  // WM_APP + 2006; wParam: the watch id
constexpr unsigned kShieldFavChangeMessage = 0x87D7;  // WM_APP + 2007
constexpr unsigned kShieldHostsChangeMessage = 0x87D9;
constexpr unsigned kShieldFavDeletedMessage = 0x87DA;  // wParam: the deletion's number
// Watch ids of the browser's settings key.
constexpr unsigned kUserSettingsWatch = 2;
constexpr unsigned kMachineSettingsWatch = 3;

// The browser's settings key, `Software\Microsoft\Internet Explorer\Main`,
// under the current user or the machine.
enum class BrowserRoot { kUser, kMachine };

class IBrowserSettings {
 public:
  virtual ~IBrowserSettings() = default;
  // A string value; empty when the key or the value is missing or cannot be
  // read.
  virtual std::string Read(BrowserRoot root, const std::string& name) = 0;
  // A REG_SZ value, the key made when missing; a failure is ignored.
  virtual void Write(BrowserRoot root, const std::string& name, const std::string& value) = 0;
};

// The authorization popup: shows the question modally, true when the user
// answered Yes.
class IShieldQuestion {
 public:
  virtual ~IShieldQuestion() = default;
  virtual bool Allow(const std::string& title, const std::string& text) = 0;
};

// One top-level entry of the Favorites folder.
struct FavoriteItem {
  std::string path;  // Favorites folder, a backslash, the entry's name
  bool isFile = false;
  std::string url;  // empty for folders and for unreadable shortcuts
};

class IFavoritesFolder {
 public:
  virtual ~IFavoritesFolder() = default;
  // The top level of the folder: the browser's menu order first, then what
  // else is on disk.
  virtual std::vector<FavoriteItem> Read() = 0;
  // Deletes the refused entry's file two seconds from now; the shield is
  // told on its own thread (CProtectionShield::OnFavoriteDeleted).
  virtual void DeleteLater(const std::string& path) = 0;
};

class IHostsFile {
 public:
  virtual ~IHostsFile() = default;
  // The whole file; false when it cannot be read (a missing file reads as
  // empty and true).
  virtual bool Read(std::string& text) = 0;
  // Replaces the whole file; false when it could not.
  virtual bool Write(const std::string& text) = 0;
};

}  // namespace sh
