#include "engine/file_deleter_win.h"

#include <windows.h>

#include <cstring>

#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

class CFileShredTarget : public IShredTarget {
 public:
  explicit CFileShredTarget(HANDLE file) : file_(file) {}
  bool SeekTo(uint64_t offset) override {
    LARGE_INTEGER li;
    li.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file_, li, nullptr, FILE_BEGIN) != 0;
  }
  bool SeekRelative(int64_t delta) override {
    LARGE_INTEGER li;
    li.QuadPart = delta;
    return SetFilePointerEx(file_, li, nullptr, FILE_CURRENT) != 0;
  }
  bool Write(const uint8_t* data, size_t length) override {
    while (length > 0) {
      DWORD chunk = static_cast<DWORD>(length < kShredBlockSize ? length : kShredBlockSize);
      DWORD written = 0;
      if (!WriteFile(file_, data, chunk, &written, nullptr) || written == 0) return false;
      length -= written;
    }
    return true;
  }

 private:
  HANDLE file_;
};

}  // namespace

bool RenameForShred(std::string& path) {
  size_t slash = path.find_last_of('\\');
  std::string folder = slash == std::string::npos ? std::string() : StripTrailing(path.substr(0, slash), '\\') + "\\";
  std::string current = slash == std::string::npos ? path : path.substr(slash + 1);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string next = ShredLetterName(current, letter);
    if (!MoveFileA((folder + current).c_str(), (folder + next).c_str())) return false;
    current = next;
  }
  path = folder + current;
  return true;
}

bool ShredFile(const std::string& path, int cycles, CShredPatterns& patterns) {
  WIN32_FIND_DATAA found;
  ScopedFindHandle search(FindFirstFileA(path.c_str(), &found));
  if (!search.valid()) return false;
  {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file.valid()) return false;
    // The size is taken from the open file rather than the earlier search,
    // so a file that shrank meanwhile is never written past its end.
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;
    CFileShredTarget target(file.get());
    if (!OverwriteFileContents(target, patterns, static_cast<uint64_t>(size.QuadPart), cycles)) return false;
  }
  search.reset();
  std::string renamed = path;
  RenameForShred(renamed);
  if (DeleteFileA(renamed.c_str())) return true;
  if (renamed != path) MoveFileA(renamed.c_str(), path.c_str());
  return false;
}

bool WipeIndexDat(const std::string& path) {
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  if (size <= 64) return true;  // never a negative count
  if (SetFilePointer(file.get(), 64, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  static const char kZeros[10000] = {};
  DWORD remaining = size - 64;
  while (remaining != 0) {
    DWORD n = remaining < sizeof kZeros ? remaining : static_cast<DWORD>(sizeof kZeros);
    DWORD written = 0;
    if (!WriteFile(file.get(), kZeros, n, &written, nullptr) || written != n) return false;
    remaining -= n;
  }
  return true;
}

bool CFileDeleter::DeleteTrackFile(const std::string& path) {
  CSettings settings(settings_);
  if (settings.Shred()) return ShredFile(path, ShredCyclesForMethod(settings.ShredMethod()), patterns_);
  return DeleteFileA(path.c_str()) != 0;
}

}  // namespace sh
