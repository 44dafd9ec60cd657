// Real files, folders and registry keys for the Wine suite, each test in a
// scratch folder of its own under the prefix's temporary folder.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/text.h"

namespace sh::test {

inline void WriteBytes(const std::string& path, size_t size, char fill = 'x') {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  std::string data(size, fill);
  DWORD written = 0;
  if (size) WriteFile(h, data.data(), static_cast<DWORD>(size), &written, nullptr);
  CloseHandle(h);
}

inline std::string ReadBytes(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string out;
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  CloseHandle(h);
  return out;
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void MakeDirs(const std::string& path) {
  for (size_t pos = 3; pos != std::string::npos; pos = path.find('\\', pos + 1))
    CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
  CreateDirectoryA(path.c_str(), nullptr);
}

// Wide calls on the "\\?\" spelling, so that names ending in a space or a dot
// and paths past 260 characters go too. A link to a folder is removed, never
// entered.
inline void RemoveTreeExact(const std::wstring& exact) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((exact + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = exact + L"\\" + name;
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTreeExact(full);
      } else if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(full.c_str());
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(exact.c_str());
}

inline std::wstring Wide(const std::string& ansi) {
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
  return wide;
}

// The exact spelling of an absolute path with backslashes.
inline std::wstring Exact(const std::wstring& path) { return L"\\\\?\\" + path; }

inline void RemoveTree(const std::string& path) { RemoveTreeExact(Exact(Wide(path))); }

inline bool ExistsExact(const std::wstring& path) {
  return GetFileAttributesW(Exact(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool WriteExact(const std::wstring& path, const std::string& data) {
  HANDLE h = CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = data.empty() || WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == data.size();
}

// Names in a folder exactly as stored (trailing spaces and dots kept), sorted.
inline std::vector<std::wstring> ListExact(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((Exact(folder) + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

// Names in a folder (files and folders, without . and ..), sorted.
inline std::vector<std::string> List(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = fd.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

// A scratch folder removed with everything in it at the end of the test.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ = StripTrailing(temp, '\\') + "\\shtest-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter()++);
    RemoveTree(path_);
    MakeDirs(path_);
  }
  ~ScratchDir() { RemoveTree(path_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "\\" + rel; }

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  std::string path_;
};

}  // namespace sh::test
