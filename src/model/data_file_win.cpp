#include "model/data_file_win.h"

#include <windows.h>

#include "paths/reg_path_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

namespace {

// No data file comes near this; a bigger file is not one of ours.
constexpr LONGLONG kMaxDataFileSize = 256LL * 1024 * 1024;

}  // namespace

bool CWinFileStore::ReadAll(const std::string& path, std::string& bytes) {
  bytes.clear();
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || size.QuadPart > kMaxDataFileSize) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!ReadFile(file.get(), &bytes[done], static_cast<DWORD>(bytes.size() - done), &n, nullptr) || n == 0) break;
    done += n;
  }
  bytes.resize(done);  // a file that shrank while being read
  return true;
}

bool CWinFileStore::WriteAll(const std::string& path, const std::string& bytes) {
  ScopedHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr) || n == 0)
      return false;
    done += n;
  }
  // On disk before it replaces anything.
  return FlushFileBuffers(file.get()) != 0;
}

bool CWinFileStore::PrintDocument(const TiXmlDocument& document, const std::string& path) {
  return PrintDocumentToTextFile(document, path);
}

bool CWinFileStore::Replace(const std::string& source, const std::string& target) {
  return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool CWinFileStore::Remove(const std::string& path) {
  if (DeleteFileA(path.c_str())) return true;
  // Only the read-only attribute stops a deletion that may go ahead; a
  // folder is never one of ours to remove.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !(attributes & FILE_ATTRIBUTE_READONLY))
    return false;
  if (!SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) return false;
  if (DeleteFileA(path.c_str())) return true;
  SetFileAttributesA(path.c_str(), attributes);  // held open: leave it as it was
  return false;
}

bool CWinFileStore::Exists(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  // A file deleted while another handle holds it keeps its name until that
  // handle closes, but shows no attributes (access denied).
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::string CWinFileStore::TempFolder() { return GetTempFolder(); }

bool CWinPluginEnvironment::ExpandPathMacros(std::string& text) { return sh::ExpandPathMacros(text, values_); }

bool CWinPluginEnvironment::ExpandYahooUser(std::string& text) { return sh::ExpandYahooUser(text, values_); }

bool CWinPluginEnvironment::RegistryKeyExists(const std::string& keyText) { return sh::RegistryKeyExists(keyText); }

bool CWinPluginEnvironment::PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

CNamedDataFileMutex::CNamedDataFileMutex(const std::string& name, DWORD waitMs)
    : name_(name), waitMs_(waitMs), mutex_(CreateMutexA(nullptr, FALSE, name.c_str())) {}

bool CNamedDataFileMutex::Acquire() {
  // A name that could not be had at construction (taken by an object of
  // another kind, say) is tried again: a store is never made unguarded.
  if (!mutex_.valid()) mutex_.reset(CreateMutexA(nullptr, FALSE, name_.c_str()));
  if (!mutex_.valid()) return false;
  const DWORD wait = WaitForSingleObject(mutex_.get(), waitMs_);
  return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

void CNamedDataFileMutex::Release() {
  if (mutex_.valid()) ReleaseMutex(mutex_.get());
}

}  // namespace sh
