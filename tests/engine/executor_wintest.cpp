// The Win32 executor and the machine's ports on the real file system of the
// Wine prefix, through the real cleaners (CWinSpotCleaners). What a walk may
// reach is decided portably and tested natively (spot_cleaner_test.cpp);
// here: that the calls reach exactly the file the decider named, and what
// the executor checks on the open file before it writes or deletes.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/child_process.h"
#include "engine/action_executor_win.h"
#include "engine/wine_rig.h"
#include "paths/known_locations_win.h"
#include "support/test_thread.h"
#include "support/win_fs.h"

namespace sh::test {
namespace {

// Table: names the walk meets, the exact ones it must leave. "doc" is kept
// by an exclusion, as "desktop.ini" is by every ordinary spot.
TEST(ExecutorOnWine, EveryNameIsReachedExactlyAsListed) {
  struct Case {
    const char* what;
    const char* mask;
    std::vector<std::wstring> names;
    std::vector<std::wstring> kept;
    const char* reported;  // a name said "Could Not Delete", or null
  };
  const Case cases[] = {
      // The ANSI calls would trim the space or the dot and reach the
      // neighbour instead.
      {"trailing space or dot", "*.*", {L"desktop.ini", L"desktop.ini ", L"doc", L"doc."}, {L"desktop.ini", L"doc"},
       nullptr},
      // FindFirstFile("*.tmp") matches budget.tmpl through its short name.
      {"long names only", "*.tmp", {L"a.tmp", L"budget.tmpl", L"B.TMP"}, {L"budget.tmpl"}, nullptr},
      // Code page 1252 has no spelling for it: no ANSI name reaches the file.
      {"no ANSI spelling", "*.*", {L"\u4e2d.txt", L"plain.txt"}, {L"\u4e2d.txt"}, "?.txt"},
  };
  for (const Case& c : cases) {
    ScratchDir dir("names");
    for (const std::wstring& name : c.names) ASSERT_TRUE(WriteExact(Wide(dir.path()) + L"\\" + name, "data"));
    CCleaningSpot spot("names", 1);
    spot.AddFolder(dir.path(), c.mask, 0, 0, 0);
    WinRig rig;
    AddExclusion(rig.context, "doc");
    rig.Clean(spot);
    EXPECT_EQ(ListExact(Wide(dir.path())), c.kept) << c.what;
    if (c.reported) {
      EXPECT_TRUE(rig.log.Has(logline::CouldNotDelete(dir / c.reported))) << c.what;
    }
  }
}

TEST(ExecutorOnWine, PathPast260CharactersIsWalkedAndDeleted) {
  ScratchDir dir("long");
  std::string folder = dir.path();
  for (char letter : {'a', 'b', 'c'}) {
    folder += "\\" + std::string(90, letter);
    ASSERT_TRUE(CreateDirectoryW(Exact(Wide(folder)).c_str(), nullptr));
  }
  const std::string file = folder + "\\deep.tmp";
  ASSERT_GT(file.size(), 260u);
  ASSERT_TRUE(WriteExact(Wide(file), "deep"));

  WinRig rig;
  rig.CleanFolder(dir.path(), "*.*", 1);

  EXPECT_FALSE(ExistsExact(Wide(file)));
  EXPECT_TRUE(rig.log.Has(logline::Deleting(file)));
  EXPECT_TRUE(ListExact(Wide(dir.path())).empty()) << "its folders went too";
}

// Wine makes hashed short names (C:\PROG~FBU); the decider compares the long
// spelling the port asks of the file system.
TEST(ExecutorOnWine, ShortSpellingOfAProtectedFolderIsNeverWalked) {
  std::vector<std::string> probes;
  for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PERSONAL, CSIDL_STARTMENU}) {
    const std::string folder = GetSpecialFolder(csidl);
    char shortName[MAX_PATH + 1] = {};
    const DWORD n = GetShortPathNameA(folder.c_str(), shortName, MAX_PATH);
    if (n == 0 || n > MAX_PATH || EqualsNoCase(shortName, folder)) continue;
    const std::string probe = folder + "\\shtest-probe.tmp";
    WriteBytes(probe, 5);
    probes.push_back(probe);
    WinRig rig;
    rig.CleanFolder(shortName, "*.*", 0);
    EXPECT_TRUE(rig.report.acted.empty()) << shortName << ": " << rig.report.acted.front();
    EXPECT_TRUE(rig.log.Has(logline::FolderEntrySkipped(shortName))) << shortName;
  }
  ASSERT_FALSE(probes.empty()) << "no protected folder has a short name of its own here";
  for (const std::string& probe : probes) {
    EXPECT_TRUE(Exists(probe)) << probe;
    DeleteFileA(probe.c_str());
  }
}

// The other half of the hold below: a second Wine process that opens the
// file as fopen does (read and write, shared for both) and keeps it open
// until released.
TEST(DISABLED_HoldOpenChild, HoldsTheFileUntilReleased) {
  const std::string path = ChildEnvironment("SH_HOLD_FILE"), events = ChildEnvironment("SH_HOLD_EVENTS");
  ASSERT_FALSE(path.empty() || events.empty());
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file.valid()) << GetLastError();
  ScopedHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, (events + "-ready").c_str()));
  ScopedHandle release(OpenEventA(SYNCHRONIZE, FALSE, (events + "-release").c_str()));
  ASSERT_TRUE(ready.valid() && release.valid());
  SetEvent(ready.get());
  EXPECT_EQ(WaitForSingleObject(release.get(), 60000), WAIT_OBJECT_0);
}

class HeldByChild {
 public:
  explicit HeldByChild(const std::string& path) {
    static int counter = 0;
    const std::string events = "shhold-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    ready_.reset(CreateEventA(nullptr, TRUE, FALSE, (events + "-ready").c_str()));
    release_.reset(CreateEventA(nullptr, TRUE, FALSE, (events + "-release").c_str()));
    child_ = TestThread([this, path, events] {
      RunTestsInChild("DISABLED_HoldOpenChild.*", {{"SH_HOLD_FILE", path}, {"SH_HOLD_EVENTS", events}});
      ended_ = true;
      SetEvent(ready_.get());  // a child that could not open the file ends the wait too
    });
    WaitForSingleObject(ready_.get(), 30000);
    holding_ = !ended_;
  }
  ~HeldByChild() {
    SetEvent(release_.get());
    child_.Join();
  }
  HeldByChild(const HeldByChild&) = delete;
  HeldByChild& operator=(const HeldByChild&) = delete;
  // The child opened the file and still holds it.
  bool holding() const { return holding_; }

 private:
  ScopedHandle ready_, release_;
  std::atomic<bool> ended_{false};
  bool holding_ = false;
  TestThread child_;
};

// What one case lays out: the name the walk meets, and where its data lives.
struct Laid {
  std::string folder;  // the folder cleaned
  std::string name;    // in it
  std::string home;    // the data's own name (a link's target); empty: the name itself
  std::string bytes;   // what the data holds
  std::unique_ptr<HeldByChild> holder;
  std::string file() const { return folder + "\\" + name; }
};

Laid LayFile(const ScratchDir& dir, const std::string& name, const std::string& bytes) {
  Laid laid{dir / "walk", name, "", bytes, nullptr};
  MakeDirs(laid.folder);
  WriteExact(Wide(laid.file()), bytes);
  return laid;
}

// A file with other names, links and files in use: the executor neither
// writes data another name can reach, nor the data a program is working on.
TEST(ExecutorOnWine, ShredNeverReachesDataBeyondTheName) {
  struct Case {
    const char* what;
    bool shred;
    std::function<Laid(const ScratchDir&)> lay;
    bool nameGoes;  // else "Could Not Delete", and the name stays
  };
  const auto layHeld = [](const ScratchDir& dir) {
    Laid laid = LayFile(dir, "open.doc", std::string(3000, 'o'));
    laid.holder = std::make_unique<HeldByChild>(laid.file());
    return laid;
  };
  const Case cases[] = {
      {"read-only file", true,
       [](const ScratchDir& dir) {
         Laid laid = LayFile(dir, "ro.txt", "read only");
         SetFileAttributesA(laid.file().c_str(), FILE_ATTRIBUTE_READONLY);
         laid.bytes.clear();  // its data goes with it
         return laid;
       },
       true},
      // nNumberOfLinks is 2 under Wine too: only the cleaned name goes.
      {"hard link to a kept letter", true,
       [](const ScratchDir& dir) {
         MakeDirs(dir / "keep");
         WriteBytes(dir / "keep\\letter.txt", 4000, 'L');
         Laid laid{dir / "walk", "letter-link.txt", dir / "keep\\letter.txt", std::string(4000, 'L'), nullptr};
         MakeDirs(laid.folder);
         if (!CreateHardLinkA(laid.file().c_str(), laid.home.c_str(), nullptr)) ADD_FAILURE() << "no hard link";
         return laid;
       },
       true},
      // Laid from Linux by tools/run-tests.sh (CreateSymbolicLinkA does
      // nothing under Wine). Wine shows the link as an ordinary file
      // (attributes 0x20, no reparse mark), opening it opens the target, and
      // DeleteFile on it deletes the target: a plain delete with Shred off
      // removes the target here, which this suite cannot guard against. On
      // Windows the link carries the reparse mark and a delete removes the
      // link only.
      // With Shred on the executor sees through GetFinalPathNameByHandleW that
      // the open file lives elsewhere, and neither writes nor deletes.
      {"link to a file, made from Linux", true,
       [](const ScratchDir&) {
         Laid laid{"C:\\shfixture\\filelink\\walk", "link.txt", "C:\\shfixture\\filelink\\target\\keep.txt", "keep\n",
                   nullptr};
         if (ReadBytes(laid.home) != laid.bytes || !Exists(laid.file()))
           ADD_FAILURE() << "link fixture missing: run through tools/run-tests.sh";
         return laid;
       },
       false},
      // Wine answers the shredder's open without write sharing with error 32.
      {"held open by another process, shredded", true, layHeld, false},
      {"held open by another process, deleted", false, layHeld, false},
  };
  for (const Case& c : cases) {
    ScratchDir dir("safety");
    Laid laid = c.lay(dir);
    if (laid.holder) {
      ASSERT_TRUE(laid.holder->holding()) << c.what;
    }
    WinRig rig(c.shred);

    rig.CleanFolder(laid.folder, "*.*", 0);

    EXPECT_TRUE(rig.log.Has(c.nameGoes ? logline::Deleting(laid.file()) : logline::CouldNotDelete(laid.file())))
        << c.what;
    EXPECT_EQ(Exists(laid.file()), !c.nameGoes) << c.what;
    if (!laid.bytes.empty()) {
      EXPECT_EQ(Difference(ReadBytes(laid.home.empty() ? laid.file() : laid.home), laid.bytes), "") << c.what;
    }
  }
}

// FILE_STANDARD_INFO's AllocationSize: the disk the file takes.
uint64_t AllocatedBytes(HANDLE file) {
  using InfoEx = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
  const auto infoEx = reinterpret_cast<InfoEx>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileInformationByHandleEx")));
  struct {
    LARGE_INTEGER allocation, end;
    DWORD links;
    BOOLEAN deletePending, directory;
  } standard = {};
  if (infoEx == nullptr || !infoEx(file, 1 /* FileStandardInfo */, &standard, sizeof standard)) return ~0ull;
  return static_cast<uint64_t>(standard.allocation.QuadPart);
}

// SetEndOfFile past the data is ftruncate for Wine: a hole on the Linux side.
// Wine shows such a file without the sparse mark but with a small
// AllocationSize, and cannot tell its allocated ranges
// (FSCTL_QUERY_ALLOCATED_RANGES fails with error 50): nothing is written,
// where Windows would overwrite the ranges that hold data.
TEST(ExecutorOnWine, SparseFileIsNeverFilled) {
  ScratchDir dir("sparse");
  const std::string path = dir / "holes.vhd";
  const uint64_t length = 100ull << 20;
  {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), "secret", 6, &written, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(length);
    ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
  }
  // Held without delete sharing, so that the shredded file keeps its name
  // and what it takes on disk can be read afterwards.
  ScopedHandle held(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());
  if (AllocatedBytes(held.get()) >= (1u << 20)) GTEST_SKIP() << "the file system made no hole";
  WinRig rig(true);

  EXPECT_FALSE(rig.cleaners.executor().DeleteTrackFile(path)) << "the hold keeps the name";
  EXPECT_LT(AllocatedBytes(held.get()), 1u << 20) << "the shred filled the holes";
  held.reset();
  uint64_t size = 0;
  ASSERT_TRUE(rig.cleaners.files().FileLength(path, size));
  EXPECT_EQ(size, length);

  EXPECT_TRUE(rig.cleaners.executor().DeleteTrackFile(path));
  EXPECT_FALSE(Exists(path));
}

// Wine records a restart delete in PendingFileRenameOperations and carries it
// out when the wineserver next starts.
const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingRenames[] = "PendingFileRenameOperations";

bool ReadPendingRenames(std::string& data) {
  ScopedHKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
    return false;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), kPendingRenames, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return false;
  data.assign(size, '\0');
  return RegQueryValueExA(key.get(), kPendingRenames, nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]), &size) ==
         ERROR_SUCCESS;
}

// Puts the value back as it was, so that the next wineserver start deletes
// nothing of this test.
class PendingRenamesGuard {
 public:
  PendingRenamesGuard() { existed_ = ReadPendingRenames(before_); }
  ~PendingRenamesGuard() {
    ScopedHKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.Receive()) != ERROR_SUCCESS) return;
    if (existed_)
      RegSetValueExA(key.get(), kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before_.data()),
                     static_cast<DWORD>(before_.size()));
    else
      RegDeleteValueA(key.get(), kPendingRenames);
  }

 private:
  std::string before_;
  bool existed_ = false;
};

// The browser holds its index without sharing: it is neither wiped nor
// deleted now, but at the next restart.
TEST(ExecutorOnWine, HeldIndexDatIsDeletedAtRestart) {
  PendingRenamesGuard guard;
  ScratchDir dir("reboot");
  const std::string index = dir / "index.dat";
  WriteBytes(index, 4000, 'h');
  ScopedHandle held(CreateFileA(index.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());
  WinRig rig;
  rig.context.wipeName = "index.dat";

  rig.CleanFolder(dir.path(), "*.*", 0);
  held.reset();

  EXPECT_EQ(Difference(ReadBytes(index), std::string(4000, 'h')), "");
  EXPECT_TRUE(rig.log.Has(logline::RebootDeleting(index)));
  std::string pending;
  ASSERT_TRUE(ReadPendingRenames(pending));
  // REG_MULTI_SZ pairs: "\??\<path>", then an empty target (delete).
  const std::string wanted = "\\??\\" + index;
  bool found = false;
  for (size_t pos = 0; pos < pending.size();) {
    size_t end = pending.find('\0', pos);
    if (end == std::string::npos) end = pending.size();
    if (EqualsNoCase(pending.substr(pos, end - pos), wanted)) found = true;
    pos = end + 1;
  }
  EXPECT_TRUE(found) << "no pending delete of " << index;
}

// Wine shows a Unix link to a folder as DIRECTORY|REPARSE_POINT, as Windows
// shows a junction; tools/run-tests.sh lays
// C:\shfixture\links\walk\link -> ..\target. RemoveDirectory on such a link
// fails under Wine, so removing the link itself cannot be shown here.
TEST(ExecutorOnWine, LinkToAFolderIsNeverEntered) {
  const std::string walk = "C:\\shfixture\\links\\walk";
  ASSERT_TRUE(GetFileAttributesA((walk + "\\link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)
      << "link fixture missing: run through tools/run-tests.sh";
  WinRig rig;
  rig.CleanFolder(walk, "*.*", 1);
  EXPECT_TRUE(Exists("C:\\shfixture\\links\\target\\keep.txt")) << "the link's target was emptied";
  EXPECT_TRUE(rig.log.Has(logline::LinkNotEntered(walk + "\\link")));
  EXPECT_FALSE(Exists(walk + "\\plain.tmp"));
}

}  // namespace
}  // namespace sh::test
