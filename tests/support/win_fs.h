// Real files and folders for the Wine suite, each test in a scratch folder
// of its own under the prefix's temporary folder, and waiting with a message
// pump. The "Exact" calls use the wide "\\?\" spelling, so that names
// ending in a space or a dot and paths past 260 characters are reached as
// they are.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh::test {

// Dispatches this thread's messages until `done` or `ms` pass; true when
// `done` became true.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 15000) {
  for (DWORD start = GetTickCount();; MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageA(&msg);
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
  }
}

inline std::wstring Wide(const std::string& ansi) {
  std::wstring wide(ansi.size(), L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), &wide[0], int(wide.size()));
  wide.resize(n > 0 ? size_t(n) : 0);
  return wide;
}
// An absolute path with backslashes.
inline std::wstring Exact(const std::wstring& path) { return L"\\\\?\\" + path; }

// Writes all of `data` to a file made anew.
inline bool WriteExact(const std::wstring& path, const std::string& data) {
  ScopedHandle file(CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  return file.valid() && (data.empty() || WriteFile(file.get(), data.data(), DWORD(data.size()), &written, nullptr)) &&
         written == data.size();
}
inline void WriteBytes(const std::string& path, size_t size, char fill = 'x') {
  WriteExact(Wide(path), std::string(size, fill));
}

// The whole file from its start, through a handle already open.
inline std::string ReadAll(HANDLE file) {
  std::string out;
  char buffer[65536];
  DWORD n = 0;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
  return out;
}
inline std::string ReadBytes(const std::string& path) {
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr));
  return file.valid() ? ReadAll(file.get()) : std::string();
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void MakeDirs(const std::string& path) {
  for (size_t pos = 3; pos != std::string::npos; pos = path.find('\\', pos + 1))
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
}

// Calls `visit(entry)` for every entry but . and .. of a folder.
template <class Visit>
void ForEachExact(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW fd;
  ScopedFindHandle find(FindFirstFileW((Exact(folder) + L"\\*").c_str(), &fd));
  for (bool more = find.valid(); more; more = FindNextFileW(find.get(), &fd))
    if (std::wstring(fd.cFileName) != L"." && std::wstring(fd.cFileName) != L"..") visit(fd);
}

// A link to a folder is removed, never entered.
inline void RemoveTreeExact(const std::wstring& path) {
  ForEachExact(path, [&](const WIN32_FIND_DATAW& fd) {
    const std::wstring full = path + L"\\" + fd.cFileName;
    const DWORD attributes = fd.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
      return RemoveTreeExact(full);
    SetFileAttributesW(Exact(full).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileW(Exact(full).c_str())) RemoveDirectoryW(Exact(full).c_str());
  });
  RemoveDirectoryW(Exact(path).c_str());
}
inline void RemoveTree(const std::string& path) { RemoveTreeExact(Wide(path)); }

// Names in a folder exactly as stored (trailing spaces and dots kept), sorted.
inline std::vector<std::wstring> ListExact(const std::wstring& folder) {
  std::vector<std::wstring> names;
  ForEachExact(folder, [&](const WIN32_FIND_DATAW& fd) { names.push_back(fd.cFileName); });
  std::sort(names.begin(), names.end());
  return names;
}
// The same in the ANSI code page.
inline std::vector<std::string> List(const std::string& folder) {
  std::vector<std::string> names;
  for (const std::wstring& name : ListExact(Wide(folder))) {
    char ansi[MAX_PATH * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
    names.push_back(ansi);
  }
  return names;
}

// A scratch folder, in `parent` or else the temporary folder, removed with
// everything in it at the end of the test.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag, std::string parent = "") {
    static int counter = 0;
    char temp[MAX_PATH + 1] = {};
    if (parent.empty()) parent = std::string(temp, GetTempPathA(MAX_PATH, temp));
    path_ = StripTrailing(parent, '\\') + "\\shtest-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter++);
    RemoveTree(path_);
    MakeDirs(path_);
  }
  ~ScratchDir() { RemoveTree(path_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "\\" + rel; }

 private:
  std::string path_;
};

}  // namespace sh::test
