#include "shields/shield_ports_win.h"

#include <intshcut.h>
#include <shlobj.h>

#include "paths/known_locations_win.h"
#include "shields/favorites_order.h"
#include "toolkit/platform_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

constexpr char kBrowserKey[] = "Software\\Microsoft\\Internet Explorer\\Main";
constexpr char kOrderKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Favorites";
constexpr DWORD kMaxValueBytes = 64 * 1024;     // a browser setting
constexpr DWORD kMaxOrderBytes = 4 * 1024 * 1024;  // the menu order
constexpr DWORD kMaxHostsBytes = 16 * 1024 * 1024;
constexpr DWORD kDeleteDelayMs = 2000;

HKEY RootOf(BrowserRoot root) { return root == BrowserRoot::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// The value's bytes, sized by asking first; false when missing or larger
// than `limit`.
bool ReadValue(HKEY root, const char* key, const char* name, DWORD limit, std::string* data, DWORD* type) {
  ScopedHKey opened;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, opened.Receive()) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  if (RegQueryValueExA(opened.get(), name, nullptr, type, nullptr, &size) != ERROR_SUCCESS || size > limit)
    return false;
  data->assign(size, '\0');
  if (size == 0) return true;
  if (RegQueryValueExA(opened.get(), name, nullptr, type, reinterpret_cast<BYTE*>(&(*data)[0]), &size) !=
      ERROR_SUCCESS)
    return false;
  data->resize(size);
  return true;
}

// Windows XP and Server 2003 keep long names in the menu order's entries.
bool XpLongNames() {
  const DWORD version = GetVersion();
  return PlatformIsNtFamily() && LOBYTE(LOWORD(version)) == 5 && HIBYTE(LOWORD(version)) != 0;
}

std::string ToAnsi(const std::u16string& wide) {
  if (wide.empty()) return std::string();
  const auto* w = reinterpret_cast<const wchar_t*>(wide.data());
  const int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}

}  // namespace

std::string CWinBrowserSettings::Read(BrowserRoot root, const std::string& name) {
  std::string data;
  DWORD type = 0;
  if (!ReadValue(RootOf(root), kBrowserKey, name.c_str(), kMaxValueBytes, &data, &type)) return std::string();
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();
  return data.substr(0, data.find('\0'));
}

void CWinBrowserSettings::Write(BrowserRoot root, const std::string& name, const std::string& value) {
  ScopedHKey key;
  if (RegCreateKeyExA(RootOf(root), kBrowserKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.Receive(),
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>(value.size() + 1));
}

CWinFavoritesFolder::CWinFavoritesFolder(HWND window, UINT deletedMessage)
    : window_(window), deletedMessage_(deletedMessage), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CWinFavoritesFolder::~CWinFavoritesFolder() {
  // The user refused these: they go now rather than not at all.
  if (stop_) SetEvent(stop_.get());
  deleters_.clear();
}

std::string CWinFavoritesFolder::Folder() { return GetSpecialFolder(CSIDL_FAVORITES); }

std::vector<FavoriteItem> CWinFavoritesFolder::Read() {
  FavoritesSources sources;
  sources.folder = Folder();
  if (sources.folder.empty()) return {};
  DWORD type = 0;
  if (!ReadValue(HKEY_CURRENT_USER, kOrderKey, "Order", kMaxOrderBytes, &sources.orderValue, &type) ||
      type != REG_BINARY)
    sources.orderValue.clear();
  WIN32_FIND_DATAA found;
  ScopedFindHandle search(FindFirstFileA((sources.folder + "\\*.*").c_str(), &found));
  if (search.valid()) {
    do {
      sources.onDisk.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search.get(), &found));
  }
  sources.xpLongNames = XpLongNames();
  sources.toAnsi = ToAnsi;
  sources.urlOf = InternetShortcutUrl;
  return ListFavorites(sources);
}

void CWinFavoritesFolder::DeleteLater(const std::string& path) {
  if (!stop_) return;
  const WPARAM number = nextNumber_++;
  due_[number] = path;
  auto deleter = std::make_unique<CWorkerThread>();
  // The worker has its own copy of the path and writes nothing shared: the
  // window learns of the deletion by message, on its own thread.
  const HANDLE stop = stop_.get();
  const HWND window = window_;
  const UINT message = deletedMessage_;
  if (!deleter->Start([stop, window, message, number, path] {
        WaitForSingleObject(stop, kDeleteDelayMs);
        DeleteFileA(path.c_str());
        PostMessageA(window, message, number, 0);
      }))
    return;
  deleters_.push_back(std::move(deleter));
  // Ended deleters are let go as new ones come.
  for (auto it = deleters_.begin(); it != deleters_.end();) {
    if ((*it)->ended()) it = deleters_.erase(it);
    else ++it;
  }
}

std::string CWinFavoritesFolder::DeletedPath(WPARAM number) {
  const auto it = due_.find(number);
  if (it == due_.end()) return std::string();
  std::string path = it->second;
  due_.erase(it);
  return path;
}

std::string InternetShortcutUrl(const std::string& path) {
  ScopedComPtr<IUniformResourceLocatorA> locator;
  if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER, IID_IUniformResourceLocatorA,
                              reinterpret_cast<void**>(locator.Receive()))))
    return std::string();
  ScopedComPtr<IPersistFile> file;
  if (FAILED(locator.get()->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))))
    return std::string();
  wchar_t wide[MAX_PATH] = {};
  if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return std::string();
  if (FAILED(file.get()->Load(wide, STGM_READ))) return std::string();
  char* url = nullptr;
  if (FAILED(locator.get()->GetURL(&url)) || url == nullptr) return std::string();
  ScopedCoTaskMem owned(url);
  return std::string(url);
}

std::string CWinHostsFile::Folder() {
  const std::string windows = GetWindowsFolder();
  if (windows.empty()) return std::string();
  return PlatformIsNtFamily() ? windows + "\\system32\\drivers\\etc" : windows;
}

bool CWinHostsFile::Read(std::string& text) {
  text.clear();
  const std::string folder = Folder();
  if (folder.empty()) return false;
  ScopedHandle file(CreateFileA((folder + "\\hosts").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return GetLastError() == ERROR_FILE_NOT_FOUND;
  const DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size > kMaxHostsBytes) return false;
  text.assign(size, '\0');
  DWORD read = 0;
  if (size > 0 && (!ReadFile(file.get(), &text[0], size, &read, nullptr) || read != size)) return false;
  return true;
}

bool CWinHostsFile::Write(const std::string& text) {
  const std::string folder = Folder();
  if (folder.empty()) return false;
  // In place: the file keeps its own permissions and attributes.
  ScopedHandle file(CreateFileA((folder + "\\hosts").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  if (!text.empty() && (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
                        written != text.size()))
    return false;
  return SetEndOfFile(file.get()) != FALSE;
}

}  // namespace sh
