// The update's web client over WinINet.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "toolkit/win_handles_win.h"
#include "update/list_update.h"

namespace sh {

// GETs through WinINet with the system's proxy settings, never stored in
// the browser's cache. WinINet is loaded from the system folder at the first
// request (most starts never ask for an update).
class CWinWebClient : public IWebClient {
 public:
  bool Get(const std::string& url, std::string& body, std::string& why) override;

 private:
  bool Load();

  ScopedLibrary module_;
  decltype(&InternetOpenA) open_ = nullptr;
  decltype(&InternetOpenUrlA) openUrl_ = nullptr;
  decltype(&InternetReadFile) read_ = nullptr;
  decltype(&InternetCloseHandle) close_ = nullptr;
  decltype(&HttpQueryInfoA) query_ = nullptr;
};

}  // namespace sh
