#include "update/web_client_win.h"

#include <memory>

#include "paths/known_locations_win.h"
#include "toolkit/text.h"

namespace sh {

bool CWinWebClient::Load() {
  if (module_) return true;
  const std::string folder = GetSystemFolder();
  if (folder.empty()) return false;
  ScopedLibrary module(LoadLibraryA((folder + "\\wininet.dll").c_str()));
  if (!module || !BindProc(module.get(), "InternetOpenA", open_) ||
      !BindProc(module.get(), "InternetOpenUrlA", openUrl_) || !BindProc(module.get(), "InternetReadFile", read_) ||
      !BindProc(module.get(), "InternetCloseHandle", close_) || !BindProc(module.get(), "HttpQueryInfoA", query_))
    return false;
  module_ = std::move(module);
  return true;
}

bool CWinWebClient::Get(const std::string& url, std::string& body, std::string& why) {
  body.clear();
  if (!Load()) {
    why = "the system's Internet functions (wininet.dll) cannot be loaded";
    return false;
  }
  // Internet handles close with the loaded module's own call.
  auto closer = [this](HINTERNET h) {
    if (h) close_(h);
  };
  std::unique_ptr<void, decltype(closer)> session(open_("Microsoft Internet Explorer", INTERNET_OPEN_TYPE_PRECONFIG,
                                                         nullptr, nullptr, 0),
                                                   closer);
  if (!session) {
    why = Format("no Internet connection could be opened (error %lu)", GetLastError());
    return false;
  }
  static const char kHeaders[] = "Accept: */*\r\n\r\n";
  std::unique_ptr<void, decltype(closer)> request(
      // Neither stored in nor read from the browser's cache, and no cookies
      // either way: the update has none to send, and the cookie store's
      // files are what the cleaner deletes.
      openUrl_(session.get(), url.c_str(), kHeaders, sizeof kHeaders - 1,
               INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI, 0),
      closer);
  if (!request) {
    why = Format("the server could not be reached (error %lu)", GetLastError());
    return false;
  }
  // A "not found" page is a page too: only a 200 answer is the file asked for.
  DWORD status = 0, size = sizeof status, index = 0;
  if (url.compare(0, 5, "http:") == 0 || url.compare(0, 6, "https:") == 0) {
    if (!query_(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, &index)) {
      why = "the server sent no status";
      return false;
    }
    if (status != 200) {
      why = Format("the server answered with status %lu", status);
      return false;
    }
  }
  char chunk[8192];
  for (;;) {
    DWORD got = 0;
    if (!read_(request.get(), chunk, sizeof chunk, &got)) {
      why = Format("the answer broke off (error %lu)", GetLastError());
      body.clear();
      return false;
    }
    if (got == 0) break;
    if (body.size() + got > kMaxDownloadBytes) {
      why = "the answer is larger than any list";
      body.clear();
      return false;
    }
    body.append(chunk, got);
  }
  // A connection that drops ends the reads as the end of the answer does;
  // the announced length tells them apart.
  DWORD length = 0;
  size = sizeof length;
  index = 0;
  if (status == 200 && query_(request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, &index) &&
      body.size() != length) {
    why = Format("the answer broke off after %lu of %lu bytes", static_cast<unsigned long>(body.size()), length);
    body.clear();
    return false;
  }
  return true;
}

}  // namespace sh
