// index.dat wiped in place, and the fall-back to delete-at-restart when the
// browser holds the file.
#include <gtest/gtest.h>

#include "engine/file_deleter_win.h"
#include "engine/win_cleaners_win.h"
#include "support/recorders.h"
#include "support/win_fs.h"

namespace sh::test {
namespace {

// Bytes that are never zero, so that a wiped byte shows.
std::string Pattern(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(1 + i % 251);
  return data;
}

void WriteData(const std::string& path, const std::string& data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  if (!data.empty()) WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
  CloseHandle(h);
}

// The first 64 bytes as they were, zeros after, the length kept.
void ExpectWiped(const std::string& path, const std::string& before) {
  std::string after = ReadBytes(path);
  ASSERT_EQ(after.size(), before.size());
  size_t kept = before.size() < 64 ? before.size() : 64;
  EXPECT_EQ(after.substr(0, kept), before.substr(0, kept));
  EXPECT_EQ(after.find_first_not_of('\0', kept), std::string::npos) << path;
}

// Sizes at the edges of the 10 000-byte writes, and the 100 000-byte file
// of ten writes (the tenth 9 936 bytes). The fill differs from byte to byte,
// so a write at the wrong offset would show. A file of 64 bytes or less is
// left as it is and counts as wiped.
TEST(WipeIndexDat, WriteBoundariesKeepTheHeaderAndTheLength) {
  ScratchDir dir("wipesizes");
  for (size_t size : {64u, 65u, 10063u, 10064u, 10065u, 20064u, 100000u}) {
    const std::string path = dir / ("index" + std::to_string(size) + ".dat");
    const std::string before = Pattern(size);
    WriteData(path, before);
    EXPECT_TRUE(WipeIndexDat(path)) << size;
    ExpectWiped(path, before);
  }
}

TEST(WipeIndexDat, FileHeldWithoutSharingFails) {
  ScratchDir dir("wipeheld");
  const std::string path = dir / "index.dat";
  const std::string before = Pattern(5000);
  WriteData(path, before);
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WipeIndexDat(path));
  CloseHandle(held);
  EXPECT_EQ(ReadBytes(path), before);
}

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingRenames[] = "PendingFileRenameOperations";

// The value as raw bytes; `exists` false when there is none.
std::string ReadPendingRenames(bool& exists) {
  exists = false;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  DWORD size = 0, type = 0;
  std::string data;
  if (RegQueryValueExA(key, kPendingRenames, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    data.resize(size);
    if (RegQueryValueExA(key, kPendingRenames, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) ==
        ERROR_SUCCESS) {
      data.resize(size);
      exists = true;
    }
  }
  RegCloseKey(key);
  return data;
}

// Puts the value back as it was before the test.
class PendingRenamesGuard {
 public:
  PendingRenamesGuard() { before_ = ReadPendingRenames(existed_); }
  ~PendingRenamesGuard() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (existed_)
      RegSetValueExA(key, kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before_.data()),
                     static_cast<DWORD>(before_.size()));
    else
      RegDeleteValueA(key, kPendingRenames);
    RegCloseKey(key);
  }

 private:
  std::string before_;
  bool existed_ = false;
};

TEST(WipeIndexDat, FolderWalkWipesInPlaceAndFallsBackToRestartDelete) {
  PendingRenamesGuard guard;
  ScratchDir dir("wipewalk");
  MakeDirs(dir / "held");
  const std::string free = dir / "index.dat";
  const std::string heldPath = dir / "held\\index.dat";
  const std::string freeBefore = Pattern(3000), heldBefore = Pattern(4000);
  WriteData(free, freeBefore);
  WriteData(heldPath, heldBefore);
  WriteBytes(dir / "page.htm", 100);
  HANDLE held = CreateFileA(heldPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  MapSettings settings;
  ScriptedPrompt prompt;
  RecordingLog log;
  RecordingProgress progress;
  ScriptedControl control;
  CWinSpotCleaners cleaners(settings, prompt);
  CCleanRunContext context(&log, &progress, &control, 0);
  context.wipeName = "index.dat";
  context.includeSubFolders = 1;
  int count = 0;
  double size = 0;
  cleaners.CleanFolder(context, dir.path(), "*.*", count, size);
  CloseHandle(held);

  ExpectWiped(free, freeBefore);
  EXPECT_EQ(ReadBytes(heldPath), heldBefore);
  EXPECT_FALSE(Exists(dir / "page.htm"));
  EXPECT_TRUE(log.Has("Wiping Index.dat: " + free + " \r\n"));
  EXPECT_FALSE(log.Has("Reboot Deleting : " + free + " \r\n"));
  EXPECT_TRUE(log.Has("Wiping Index.dat: " + heldPath + " \r\n"));
  EXPECT_TRUE(log.Has("Reboot Deleting : " + heldPath + " \r\n"));
  EXPECT_EQ(count, 4);  // the subfolder and three files
  EXPECT_EQ(size, 7100);

  bool exists = false;
  std::string pending = ReadPendingRenames(exists);
  ASSERT_TRUE(exists);
  // REG_MULTI_SZ pairs: "\??\<path>", then an empty target (delete).
  std::string wanted = "\\??\\" + heldPath;
  bool found = false;
  for (size_t pos = 0; pos < pending.size();) {
    size_t end = pending.find('\0', pos);
    if (end == std::string::npos) end = pending.size();
    if (EqualsNoCase(pending.substr(pos, end - pos), wanted)) found = true;
    pos = end + 1;
  }
  EXPECT_TRUE(found) << "no pending delete of " << heldPath;
}

}  // namespace
}  // namespace sh::test
