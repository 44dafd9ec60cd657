#include "engine/free_space_win.h"

#include <windows.h>

#include <utility>

#include "toolkit/win_handles_win.h"

namespace sh {

const char kWipeDrivesVariable[] = "SWEEPHARBOR_TEST_WIPE_DRIVES";

namespace {

class CWinFillFile : public IFillFile {
 public:
  explicit CWinFillFile(ScopedHandle file) : file_(std::move(file)) {}
  FillWrite Append(const uint8_t* data, size_t length, size_t& written) override {
    DWORD done = 0;
    const BOOL ok = WriteFile(file_.get(), data, static_cast<DWORD>(length), &done, nullptr);
    written = done;
    if (ok) return FillWrite::kWritten;
    const DWORD error = GetLastError();
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? FillWrite::kDiskFull : FillWrite::kFailed;
  }
  bool Flush() override { return FlushFileBuffers(file_.get()) != 0; }

 private:
  ScopedHandle file_;
};

// A real folder: a link there would lead the wipe's files somewhere else.
bool IsPlainFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

std::vector<std::string> CWinFreeSpaceDisk::FixedDriveRoots() {
  std::vector<std::string> fixed;
  const DWORD letters = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
    if ((letters & (DWORD{1} << i)) && GetDriveTypeA(root.c_str()) == DRIVE_FIXED) fixed.push_back(root);
  }
  char named[64];
  SetLastError(ERROR_SUCCESS);  // an empty value also reads 0
  const DWORD n = GetEnvironmentVariableA(kWipeDrivesVariable, named, sizeof named);
  if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return fixed;
  return KeepNamedDrives(fixed, n < sizeof named ? std::string(named, n) : std::string());
}

bool CWinFreeSpaceDisk::FreeBytes(const std::string& root, uint64_t& bytes) {
  ULARGE_INTEGER available, total, totalFree;
  if (!GetDiskFreeSpaceExA(root.c_str(), &available, &total, &totalFree)) return false;
  bytes = available.QuadPart;  // a quota may leave the user less than the drive has
  return true;
}

bool CWinFreeSpaceDisk::MakeFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) || IsPlainFolder(path);
}

bool CWinFreeSpaceDisk::RemoveFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

std::unique_ptr<IFillFile> CWinFreeSpaceDisk::CreateFill(const std::string& path) {
  // Not FILE_ATTRIBUTE_TEMPORARY: that asks the cache to keep the data off
  // the disk, which is the one place it must reach.
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file.valid()) return nullptr;
  return std::make_unique<CWinFillFile>(std::move(file));
}

bool CWinFreeSpaceDisk::RemoveFile(const std::string& path) {
  if (DeleteFileA(path.c_str())) return true;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

std::vector<std::string> CWinFreeSpaceDisk::FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (!IsPlainFolder(folder)) return names;
  WIN32_FIND_DATAA found;
  ScopedFindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!search.valid()) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  } while (names.size() < static_cast<size_t>(kMaxFillParts) && FindNextFileA(search.get(), &found));
  return names;
}

}  // namespace sh
