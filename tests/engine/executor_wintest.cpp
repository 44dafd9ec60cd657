// The Win32 executor and the machine's ports on the real file system of the
// Wine prefix, through the real cleaners. What a walk may reach is decided
// portably (spot_cleaner_test.cpp); here: that the calls reach exactly the
// file the decider named, and what the executor checks on the open file
// before it writes or deletes.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <atomic>
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

// Names the walk meets, and the ones it must leave: "doc" by an exclusion,
// "desktop.ini" as every ordinary spot does.
TEST(ExecutorOnWine, EveryNameIsReachedExactlyAsListed) {
  struct Case {
    const char* what;
    const char* mask;
    std::vector<std::wstring> names, kept;
  };
  const Case cases[] = {
      // The ANSI calls would trim the space or the dot and reach the neighbour.
      {"trailing space or dot", "*.*", {L"desktop.ini", L"desktop.ini ", L"doc", L"doc."}, {L"desktop.ini", L"doc"}},
      // FindFirstFile("*.tmp") matches budget.tmpl through its short name.
      {"long names only", "*.tmp", {L"a.tmp", L"budget.tmpl", L"B.TMP"}, {L"budget.tmpl"}},
      // Code page 1252 has no spelling for it: no ANSI name reaches the file.
      {"no ANSI spelling", "*.*", {L"\u4e2d.txt", L"plain.txt"}, {L"\u4e2d.txt"}},
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
  }
}

TEST(ExecutorOnWine, PathPast260CharactersIsWalkedAndDeleted) {
  ScratchDir dir("long");
  std::string folder = dir.path();
  for (char letter : {'a', 'b', 'c'}) {
    folder += "\\" + std::string(90, letter);
    ASSERT_TRUE(CreateDirectoryW(Exact(Wide(folder)).c_str(), nullptr));
  }
  ASSERT_TRUE(WriteExact(Wide(folder + "\\deep.tmp"), "deep"));
  WinRig rig;
  rig.CleanFolder(dir.path(), "*.*", 1);
  EXPECT_TRUE(ListExact(Wide(dir.path())).empty()) << "the file and its folders went";
}

// Wine makes hashed short names (C:\PROG~FBU); the decider compares the long
// spelling the port asks of the file system.
TEST(ExecutorOnWine, ShortSpellingOfAProtectedFolderIsNeverWalked) {
  int probed = 0;
  for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PERSONAL, CSIDL_STARTMENU}) {
    const std::string folder = GetSpecialFolder(csidl), probe = folder + "\\shtest-probe.tmp";
    char shortName[MAX_PATH + 1] = {};
    const DWORD n = GetShortPathNameA(folder.c_str(), shortName, MAX_PATH);
    if (n == 0 || n > MAX_PATH || EqualsNoCase(shortName, folder)) continue;
    ++probed;
    WriteBytes(probe, 5);
    WinRig rig;
    rig.CleanFolder(shortName, "*.*", 0);
    EXPECT_TRUE(Exists(probe)) << shortName;
    EXPECT_TRUE(rig.report.acted.empty()) << shortName << ": " << rig.report.acted.front();
    DeleteFileA(probe.c_str());
  }
  ASSERT_GT(probed, 0) << "no protected folder has a short name of its own here";
}

// The other half of the hold below: a second Wine process opens the file as
// fopen does (read and write, shared for both) and keeps it until released.
TEST(DISABLED_HoldOpenChild, HoldsTheFileUntilReleased) {
  const std::string path = ChildEnvironment("SH_HOLD_FILE"), events = ChildEnvironment("SH_HOLD_EVENTS");
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file.valid()) << GetLastError();
  ScopedHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, (events + "-ready").c_str()));
  ScopedHandle release(OpenEventA(SYNCHRONIZE, FALSE, (events + "-release").c_str()));
  ASSERT_TRUE(ready.valid() && release.valid());
  SetEvent(ready.get());
  EXPECT_EQ(WaitForSingleObject(release.get(), 60000), WAIT_OBJECT_0);
}

struct HeldByChild {
  explicit HeldByChild(const std::string& path) {
    static int counter = 0;
    const std::string events = "shhold-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    ready.reset(CreateEventA(nullptr, TRUE, FALSE, (events + "-ready").c_str()));
    release.reset(CreateEventA(nullptr, TRUE, FALSE, (events + "-release").c_str()));
    child = TestThread([this, path, events] {
      RunTestsInChild("DISABLED_HoldOpenChild.*", {{"SH_HOLD_FILE", path}, {"SH_HOLD_EVENTS", events}});
      ended = true;
      SetEvent(ready.get());  // a child that could not open the file ends the wait too
    });
    holding = WaitForSingleObject(ready.get(), 30000) == WAIT_OBJECT_0 && !ended;
  }
  ~HeldByChild() {
    SetEvent(release.get());
    child.Join();
  }
  ScopedHandle ready, release;
  std::atomic<bool> ended{false};
  bool holding = false;
  TestThread child;
};

// A file with other names, links and files in use: the executor neither
// writes data another name can reach, nor the data a program is working on.
TEST(ExecutorOnWine, ShredNeverReachesDataBeyondTheName) {
  const struct { const char* what; std::string name; bool shred, held, nameGoes; } cases[] = {
      {"read-only file", "ro.txt", true, false, true},
      // nNumberOfLinks is 2 under Wine too: only the cleaned name goes.
      {"hard link to a kept letter", "letter-link.txt", true, false, true},
      // Laid from Linux by tools/run-tests.sh (CreateSymbolicLinkA does nothing
      // under Wine). Wine shows it as an ordinary file whose delete removes the
      // target; with Shred on, the executor sees through
      // GetFinalPathNameByHandleW that the open file lives elsewhere, and
      // neither writes nor deletes. (On Windows the link carries the reparse
      // mark and a delete removes the link only.)
      {"link to a file, made from Linux", "link.txt", true, false, false},
      // Wine answers the shredder's open without write sharing with error 32.
      {"held open by another process, shredded", "open.doc", true, true, false},
      {"held open by another process, deleted", "open.doc", false, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir("safety");
    const bool linked = c.name == "link.txt", hardLinked = c.name == "letter-link.txt";
    const std::string fixture = "C:\\shfixture\\filelink\\";
    const std::string walk = linked ? fixture + "walk" : dir / "walk", file = walk + "\\" + c.name;
    // Where its data lives.
    const std::string home = linked ? fixture + "target\\keep.txt" : hardLinked ? dir / "letter.txt" : file;
    MakeDirs(walk);
    if (!linked) WriteBytes(home, 3000, 'L');
    ASSERT_TRUE(!hardLinked || CreateHardLinkA(file.c_str(), home.c_str(), nullptr));
    if (c.name == "ro.txt") SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(Exists(file)) << "fixture missing: run through tools/run-tests.sh";
    const std::string before = ReadBytes(home);
    std::unique_ptr<HeldByChild> holder(c.held ? new HeldByChild(file) : nullptr);
    ASSERT_TRUE(!holder || holder->holding);
    WinRig rig(c.shred);

    rig.CleanFolder(walk, "*.*", 0);

    EXPECT_EQ(Exists(file), !c.nameGoes);
    if (home != file || !c.nameGoes) {
      EXPECT_EQ(Difference(ReadBytes(home), before), "");
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
// Wine cannot tell the allocated ranges (FSCTL_QUERY_ALLOCATED_RANGES fails
// with error 50) but shows the small AllocationSize: nothing is written,
// where Windows would overwrite the ranges that hold data.
TEST(ExecutorOnWine, SparseFileIsNeverFilled) {
  ScratchDir dir("sparse");
  const std::string path = dir / "holes.vhd";
  {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    LARGE_INTEGER end;
    end.QuadPart = 100 << 20;
    ASSERT_TRUE(WriteFile(file.get(), "secret", 6, &written, nullptr) &&
                SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
  }
  // Held without delete sharing, so that the shredded file keeps its name
  // and what it takes on disk can be read afterwards.
  ScopedHandle held(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());
  if (AllocatedBytes(held.get()) >= (1u << 20)) GTEST_SKIP() << "the file system made no hole";
  WinRig rig(true);

  EXPECT_FALSE(rig.cleaners.executor().DeleteTrackFile(path)) << "the hold keeps the name";
  EXPECT_LT(AllocatedBytes(held.get()), 1u << 20) << "the shred filled the holes";
  held.reset();
  EXPECT_TRUE(rig.cleaners.executor().DeleteTrackFile(path));
  EXPECT_FALSE(Exists(path));
}

// The browser holds its index without sharing: it is neither wiped nor
// deleted now, but at the next restart. Wine records a restart delete in
// PendingFileRenameOperations and carries it out when the wineserver next
// starts: the value is put back as it was.
TEST(ExecutorOnWine, HeldIndexDatIsDeletedAtRestart) {
  const char* const kManager = "System\\CurrentControlSet\\Control\\Session Manager";
  const char* const kPending = "PendingFileRenameOperations";
  const std::string before = ReadValue(HKEY_LOCAL_MACHINE, kManager, kPending);
  ScratchDir dir("reboot");
  const std::string index = dir / "index.dat";
  WriteBytes(index, 4000, 'h');
  ScopedHandle held(CreateFileA(index.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());
  WinRig rig;
  rig.context.wipeName = "index.dat";

  rig.CleanFolder(dir.path(), "*.*", 0);
  held.reset();
  const std::string after = ReadValue(HKEY_LOCAL_MACHINE, kManager, kPending);
  ScopedHKey manager;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kManager, 0, KEY_SET_VALUE, manager.Receive());
  if (before == "<missing>")
    RegDeleteValueA(manager.get(), kPending);
  else
    SetValue(HKEY_LOCAL_MACHINE, kManager, kPending, before, REG_MULTI_SZ);

  EXPECT_EQ(Difference(ReadBytes(index), std::string(4000, 'h')), "");
  // REG_MULTI_SZ pairs: "\??\<path>", then an empty target (delete).
  EXPECT_NE(ToUpperAscii(after).find(ToUpperAscii("\\??\\" + index + std::string(2, '\0'))), std::string::npos);
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
  EXPECT_FALSE(Exists(walk + "\\plain.tmp"));
}

}  // namespace
}  // namespace sh::test
