#include "app/trace_seeder_win.h"

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <sddl.h>
#include "paths/known_locations_win.h"
#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

void MakeDirs(const std::string& path) {
  for (size_t pos = 3; pos != std::string::npos; pos = path.find('\\', pos + 1))
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
}

int Files(const std::string& folder, const char* pattern, int n, size_t size) {
  MakeDirs(folder);
  std::string data(size, 's');
  int made = 0;
  for (int i = 0; i < n; ++i) {
    ScopedHandle h(CreateFileA((folder + "\\" + Format(pattern, i)).c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (h.valid() && WriteFile(h.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr)) ++made;
  }
  return made;
}

int Values(const std::string& key, const std::vector<std::pair<std::string, std::string>>& values) {
  ScopedHKey k;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.Receive(), nullptr) !=
      ERROR_SUCCESS)
    return 0;
  int n = 0;
  for (const auto& [name, text] : values)
    if (RegSetValueExA(k.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS)
      ++n;
  return n;
}

std::string UserSidText() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return std::string();
  std::vector<uint64_t> buffer(64);
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(uint64_t));
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return std::string();
  char* text = nullptr;
  if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return std::string();
  std::string sid = text;
  LocalFree(text);
  return sid;
}

}  // namespace

std::vector<std::string> SeedTraces() {
  std::vector<std::string> made;
  made.push_back(Format("temporary files: %d", Files(StripTrailing(GetTempFolder(), '\\'), "~seed%02d.tmp", 12, 3000)));
  made.push_back(Format("Windows temporary files: %d", Files(GetWindowsFolder() + "\\Temp", "setup%02d.tmp", 6, 9000)));
  made.push_back(Format("recent documents: %d", Files(GetSpecialFolder(CSIDL_RECENT, true), "Report %d.doc.lnk", 8, 600)));
  std::string cache = GetSpecialFolder(CSIDL_INTERNET_CACHE, true);
  if (!cache.empty()) {
    int n = Files(cache + "\\Content.IE5\\SEED0001", "page%02d.htm", 20, 14000);
    n += Files(cache + "\\Content.IE5\\SEED0002", "logo%02d.gif", 15, 2500);
    made.push_back(Format("cache files: %d", n));
  }
  const char* explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
  int mru = Values(std::string(explorer) + "\\RunMRU", {{"a", "notepad\\1"}, {"b", "regedit\\1"}, {"MRUList", "ab"}});
  mru += Values("Software\\Microsoft\\Internet Explorer\\TypedURLs",
                {{"url1", "http://www.example.com/"}, {"url2", "http://www.example.org/news"}});
  mru += Values(std::string(explorer) + "\\RecentDocs", {{"MRUListEx", "x"}});
  made.push_back(Format("MRU list values: %d", mru));

  FILETIME zero = {};
  int cookies = 0, visited = 0;
  for (const char* host : {"example.com", "shop.example.net", "news.example.org"}) {
    std::string name = std::string("Cookie:user@") + host + "/";
    char file[MAX_PATH + 1] = {};
    if (!CreateUrlCacheEntryA(name.c_str(), 0, "txt", file, 0)) continue;
    ScopedHandle h(CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (h.valid()) WriteFile(h.get(), "id=1\n", 5, &written, nullptr);
    h.reset();
    if (CommitUrlCacheEntryA(name.c_str(), file, zero, zero, COOKIE_CACHE_ENTRY, nullptr, 0, nullptr, nullptr))
      ++cookies;
  }
  for (const char* page : {"http://www.example.com/", "http://www.example.org/news", "http://www.example.net/"}) {
    std::string name = std::string("Visited: user@") + page;
    if (CommitUrlCacheEntryA(name.c_str(), nullptr, zero, zero, URLHISTORY_CACHE_ENTRY, nullptr, 0, nullptr, nullptr))
      ++visited;
  }
  made.push_back(Format("cookie entries: %d, visited entries: %d", cookies, visited));

  std::string history = GetSpecialFolder(CSIDL_HISTORY, true);
  if (!history.empty()) {
    Files(history + "\\History.IE5", "index.dat", 1, 20000);
    made.push_back("history index.dat: 1");
  }
  int bin = Files("C:\\Recycled", "Dc%d.doc", 4, 5000);
  Files("C:\\Recycled", "INFO2", 1, 820);
  made.push_back(Format("recycle bin files: %d", bin));
  made.push_back(Format("found.000 fragments: %d", Files("C:\\FOUND.000", "FILE%04d.CHK", 3, 4096)));

  std::string sid = UserSidText();
  if (!sid.empty()) {
    std::string key = "Software\\Microsoft\\Protected Storage System Provider\\" + sid +
                      "\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db\\e161255a-37c3-11d2-bcaa-00c04fd929db";
    made.push_back(Format("stored form entries: %d", Values(key, {{"Item Data", "user@example.com"}})));
  }
  return made;
}

}  // namespace sh
