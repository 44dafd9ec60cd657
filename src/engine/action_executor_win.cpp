#include "engine/action_executor_win.h"

#include <winioctl.h>

#include "engine/path_rules.h"
#include "engine/registry_cleaner_win.h"
#include "engine/wide_path_win.h"
#include "paths/reg_path_win.h"
#include "toolkit/text.h"
#include "toolkit/win_handles_win.h"

namespace sh {
namespace {

class CFileShredTarget : public IShredTarget {
 public:
  explicit CFileShredTarget(HANDLE file) : file_(file) {}
  bool WriteAt(uint64_t offset, const uint8_t* data, size_t length) override {
    while (length > 0) {
      OVERLAPPED at = {};
      at.Offset = static_cast<DWORD>(offset);
      at.OffsetHigh = static_cast<DWORD>(offset >> 32);
      const DWORD chunk = static_cast<DWORD>(length < kShredBlockSize ? length : kShredBlockSize);
      DWORD written = 0;
      if (!WriteFile(file_, data, chunk, &written, &at) || written == 0) return false;
      length -= written;
      offset += written;
      data += written;
    }
    return true;
  }

 private:
  HANDLE file_;
};

// What the open handle says of the file itself (not of a name's target).
struct OpenFileFacts {
  uint64_t size = 0;
  DWORD links = 1;
  DWORD attributes = 0;
};

bool ReadFacts(HANDLE file, OpenFileFacts& facts) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return false;
  facts.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  facts.links = info.nNumberOfLinks;
  facts.attributes = info.dwFileAttributes;
  return true;
}

// Another name or a link: writing would reach data no spot describes.
bool SharesItsData(const OpenFileFacts& facts) {
  return facts.links > 1 || (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Calls of newer systems, looked up where they exist (Windows XP has
// neither; it has no file links either).
using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
using FileInfoExFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
template <typename Fn>
Fn Kernel32(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

std::wstring FinalPathOf(HANDLE handle) {
  static const FinalPathFn finalPath = Kernel32<FinalPathFn>("GetFinalPathNameByHandleW");
  if (finalPath == nullptr) return std::wstring();
  // Most paths fit the stack; the full buffer (32 768 characters, a heap
  // block and its zeroing at every shredded file) only for a longer one.
  wchar_t small[MAX_PATH * 2];
  const DWORD fits = finalPath(handle, small, MAX_PATH * 2, 0);
  if (fits == 0) return std::wstring();
  if (fits < MAX_PATH * 2) return std::wstring(small, fits);
  std::wstring buffer(32768, L'\0');
  const DWORD n = finalPath(handle, &buffer[0], static_cast<DWORD>(buffer.size()), 0);
  if (n == 0 || n >= buffer.size()) return std::wstring();
  buffer.resize(n);
  return buffer;
}

// True when the open file is not the one its name names in its folder: a
// link that shows no reparse mark (Wine's view of a Unix symbolic link),
// whose data belongs to another place. The folder is resolved too, so a
// substituted drive or a mounted folder is no mismatch.
bool ReachesAnotherPlace(HANDLE file, const std::wstring& exactPath) {
  const std::wstring reached = FinalPathOf(file);
  if (reached.empty()) return false;
  const size_t slash = exactPath.find_last_of(L'\\');
  ScopedHandle folder(CreateFileW(exactPath.substr(0, slash).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  std::wstring folderPath = folder.valid() ? FinalPathOf(folder.get()) : std::wstring();
  if (folderPath.empty()) folderPath = exactPath.substr(0, slash);
  if (!folderPath.empty() && folderPath.back() == L'\\') folderPath.pop_back();
  const std::wstring expected = folderPath + exactPath.substr(slash);
  return CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, reached.c_str(), -1, expected.c_str(), -1) !=
         CSTR_EQUAL;
}

// A file that holds less on disk than its length (sparse, or a hole Wine
// shows without the sparse mark): overwriting every byte would fill it.
bool HoldsLessThanItsLength(HANDLE file, const OpenFileFacts& facts) {
  if (facts.attributes & (FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_COMPRESSED)) return true;
  static const FileInfoExFn infoEx = Kernel32<FileInfoExFn>("GetFileInformationByHandleEx");
  // FILE_STANDARD_INFO, declared only for newer targets than this one.
  struct {
    LARGE_INTEGER AllocationSize;
    LARGE_INTEGER EndOfFile;
    DWORD NumberOfLinks;
    BOOLEAN DeletePending;
    BOOLEAN Directory;
  } standard;
  if (infoEx == nullptr || !infoEx(file, 1 /* FileStandardInfo */, &standard, sizeof standard)) return false;
  // A small margin: small files are kept in the file table and may report
  // a little less than their length.
  return static_cast<uint64_t>(standard.AllocationSize.QuadPart) + kShredBlockSize < facts.size;
}

// The ranges a sparse file holds data in; none known when the file system
// cannot say (then nothing is written: a write could only add disk).
std::vector<ByteRange> AllocatedRanges(HANDLE file, uint64_t size) {
  std::vector<ByteRange> ranges;
  FILE_ALLOCATED_RANGE_BUFFER query;
  query.FileOffset.QuadPart = 0;
  query.Length.QuadPart = static_cast<LONGLONG>(size);
  FILE_ALLOCATED_RANGE_BUFFER found[64];
  for (int rounds = 0; rounds < 1024; ++rounds) {
    DWORD bytes = 0;
    const BOOL ok = DeviceIoControl(file, FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query, found, sizeof found,
                                    &bytes, nullptr);
    const bool more = !ok && GetLastError() == ERROR_MORE_DATA;
    if (!ok && !more) return {};
    const size_t n = bytes / sizeof found[0];
    for (size_t i = 0; i < n; ++i)
      ranges.push_back({static_cast<uint64_t>(found[i].FileOffset.QuadPart),
                        static_cast<uint64_t>(found[i].Length.QuadPart)});
    if (!more || n == 0) break;
    const LONGLONG next = found[n - 1].FileOffset.QuadPart + found[n - 1].Length.QuadPart;
    query.Length.QuadPart -= next - query.FileOffset.QuadPart;
    query.FileOffset.QuadPart = next;
  }
  return ShredRegions(size, ranges);
}

bool DeleteExact(const std::string& path) {
  const std::wstring wide = ExactWidePath(path);
  return !wide.empty() && DeleteFileW(wide.c_str()) != 0;
}

bool MoveExact(const std::string& from, const std::string& to) {
  const std::wstring a = ExactWidePath(from), b = ExactWidePath(to);
  return !a.empty() && !b.empty() && MoveFileW(a.c_str(), b.c_str()) != 0;
}

}  // namespace

bool RenameForShred(std::string& path) {
  const std::string normal = NormalizePath(path);
  const std::string folder = ParentPath(normal);
  std::string current = LastComponent(normal);
  if (folder.empty() || current.empty()) return false;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string next = ShredLetterName(current, letter);
    if (!MoveExact(JoinPath(folder, current), JoinPath(folder, next))) return false;
    current = next;
  }
  path = JoinPath(folder, current);
  return true;
}

bool ShredFile(const std::string& path, int cycles, CShredPatterns& patterns, const KeepGoing& keepGoing) {
  const std::wstring wide = ExactWidePath(path);
  if (wide.empty()) return false;
  {
    // No write sharing: a program that has the file open for writing keeps
    // it, whole. The link itself is opened, never its target.
    ScopedHandle file(CreateFileW(wide.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_WRITE_THROUGH | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return false;
    OpenFileFacts facts;
    if (!ReadFacts(file.get(), facts)) return false;
    if (SharesItsData(facts)) {
      // Only this name goes; the data stays for its other names.
      file.reset();
      return DeleteExact(path);
    }
    // Neither written nor deleted: deleting such a name can take the data
    // it leads to with it (Wine removes the target of a Unix link).
    if (ReachesAnotherPlace(file.get(), wide)) return false;
    CFileShredTarget target(file.get());
    OverwriteResult result =
        HoldsLessThanItsLength(file.get(), facts)
            ? OverwriteRanges(target, patterns, AllocatedRanges(file.get(), facts.size), cycles, keepGoing)
            : OverwriteFileContents(target, patterns, facts.size, cycles, keepGoing);
    if (result == OverwriteResult::kFailed) return false;
  }
  std::string renamed = path;
  RenameForShred(renamed);
  if (DeleteExact(renamed)) return true;
  if (renamed != path) MoveExact(renamed, path);
  return false;
}

bool WipeIndexDat(const std::string& path) {
  const std::wstring wide = ExactWidePath(path);
  if (wide.empty()) return false;
  // Shared: the browser keeps its index open while it runs.
  ScopedHandle file(CreateFileW(wide.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) return false;
  OpenFileFacts facts;
  if (!ReadFacts(file.get(), facts) || SharesItsData(facts) || ReachesAnotherPlace(file.get(), wide)) return false;
  const DWORD size = static_cast<DWORD>(facts.size);
  if (size <= 64) return true;  // never a negative count
  static const uint8_t kZeros[10000] = {};
  CFileShredTarget target(file.get());
  uint64_t offset = 64;
  DWORD remaining = size - 64;
  while (remaining != 0) {
    const DWORD n = remaining < sizeof kZeros ? remaining : static_cast<DWORD>(sizeof kZeros);
    if (!target.WriteAt(offset, kZeros, n)) return false;
    offset += n;
    remaining -= n;
  }
  return true;
}

bool CWinActionExecutor::KeepGoing() {
  if (control_ == nullptr) return true;
  const DWORD now = GetTickCount();
  if (now - lastAsked_ < 100) return true;
  lastAsked_ = now;
  control_->PumpMessages();
  return control_->IsRunning();
}

bool CWinActionExecutor::DeleteTrackFile(const std::string& path) {
  CSettings settings(settings_);
  if (settings.Shred())
    return ShredFile(path, ShredCyclesForMethod(settings.ShredMethod()), patterns_, [this] { return KeepGoing(); });
  return DeleteExact(path);
}

bool CWinActionExecutor::RecycleFile(const std::string& path) {
  const bool deleted = DeleteTrackFile(path);
  const std::wstring wide = ExactWidePath(path);
  if (wide.empty()) return deleted;
  // The bin's index still lists the file: an empty one of the same name
  // stays for the shell's empty to remove with its index entry. A file that
  // could not be deleted is cut to length 0, unless it has other names.
  if (deleted) {
    ScopedHandle placeholder(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    return deleted;
  }
  ScopedHandle file(CreateFileW(wide.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  OpenFileFacts facts;
  if (file.valid() && ReadFacts(file.get(), facts) && !SharesItsData(facts) && !ReachesAnotherPlace(file.get(), wide))
    SetEndOfFile(file.get());
  return false;
}

bool CWinActionExecutor::WipeDriveFreeSpace(const std::string& root) {
  bool listed = false;
  for (const std::string& fixed : freeSpace_.FixedDriveRoots()) listed = listed || EqualsNoCase(fixed, root);
  if (!listed) return false;
  const std::vector<uint8_t> block = MakeFillBlock(patterns_);
  return WipeFreeSpace(freeSpace_, root, block, [this] { return KeepGoing(); }).result == OverwriteResult::kDone;
}

ActionResult CWinActionExecutor::Execute(const CleanAction& action) {
  bool ok = false;
  switch (action.kind) {
    case ActionKind::kDeleteFile: {
      if (action.attributes & FILE_ATTRIBUTE_READONLY) {
        const std::wstring wide = ExactWidePath(action.path);
        const DWORD cleared = action.attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (!wide.empty()) SetFileAttributesW(wide.c_str(), cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL);
      }
      ok = DeleteTrackFile(action.path);
      break;
    }
    case ActionKind::kWipeIndexDat:
      ok = WipeIndexDat(action.path);
      break;
    case ActionKind::kDeleteAtReboot: {
      const std::wstring wide = ExactWidePath(action.path);
      ok = !wide.empty() && MoveFileExW(wide.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
      break;
    }
    case ActionKind::kRemoveFolder: {
      const std::wstring wide = ExactWidePath(action.path);
      ok = !wide.empty() && RemoveDirectoryW(wide.c_str());
      break;
    }
    case ActionKind::kRecycleFile:
      ok = RecycleFile(action.path);
      break;
    case ActionKind::kEmptyRecycleBin:
      shell_.EmptyRecycleBin();
      ok = true;
      break;
    case ActionKind::kDeleteKey: {
      HKEY root = RootKeyHandle(action.root);
      ok = root != nullptr && RegDeleteKeyA(root, action.path.c_str()) == ERROR_SUCCESS;
      break;
    }
    case ActionKind::kCreateKey: {
      HKEY root = RootKeyHandle(action.root);
      ScopedHKey created;
      ok = root != nullptr && RegCreateKeyExA(root, action.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              KEY_ALL_ACCESS, nullptr, created.Receive(), nullptr) == ERROR_SUCCESS;
      break;
    }
    case ActionKind::kDeleteValue: {
      HKEY root = RootKeyHandle(action.root);
      ScopedHKey opened;
      ok = root != nullptr && RegOpenKeyExA(root, action.path.c_str(), 0, KEY_SET_VALUE, opened.Receive()) ==
                                  ERROR_SUCCESS &&
           RegDeleteValueA(opened.get(), action.value.c_str()) == ERROR_SUCCESS;
      break;
    }
    case ActionKind::kSetStringValue: {
      HKEY root = RootKeyHandle(action.root);
      ok = root != nullptr && SetStringValueInExistingKey(root, action.path, action.value, action.text);
      break;
    }
    case ActionKind::kDeleteCacheEntry:
      ok = cache_.DeleteEntry(action.path);
      break;
    case ActionKind::kClearHistory:
      ok = history_.ClearHistory();
      break;
    case ActionKind::kWidenFormStore:
      ok = WidenFormStore(action.path, formStoreDacl_);
      break;
    case ActionKind::kRestoreFormStore:
      RestoreFormStore(action.path, formStoreDacl_);
      ok = true;
      break;
    case ActionKind::kWipeFreeSpace:
      ok = WipeDriveFreeSpace(action.path);
      break;
  }
  return ok ? ActionResult::kDone : ActionResult::kFailed;
}

}  // namespace sh
