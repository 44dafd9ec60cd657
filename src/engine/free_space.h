// Wiping the free space of fixed drives: on each drive, files in a folder of
// the program's own are filled with the shred pattern until the drive is
// full, flushed, then deleted with their folder, so that whatever deleted
// files left in the free space is overwritten. The order of the steps and
// every clean-up live here, over an IFreeSpaceDisk; the Win32 side
// (free_space_win.h) only makes the calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/shred.h"

namespace sh {

// "X:\SweepHarbor.freespace": the only folder the wipe creates, at the
// drive's root. Its files are named wipe00000.tmp, wipe00001.tmp, ...: the
// start-up sweep removes exactly these names there and nothing else.
extern const char kFreeSpaceFolderName[];
// One fill file stays below FAT32's largest file (4 GB less a byte).
constexpr uint64_t kFillPartLimit = uint64_t{1} << 31;
constexpr int kMaxFillParts = 100000;  // five digits in the name: 200 TB a drive
// Writes of 1 MB: a large drive is filled at the disk's pace, and Abort is
// asked between them.
constexpr size_t kFillBlockSize = 16 * kShredBlockSize;

std::string FreeSpaceFolder(const std::string& root);
std::string FillPartPath(const std::string& root, int part);
// The exact names the wipe gives its files.
bool IsFillPartName(const std::string& name);

enum class FillWrite { kWritten, kDiskFull, kFailed };

// A fill file, open for writing; closed when destroyed.
class IFillFile {
 public:
  virtual ~IFillFile() = default;
  // Appends `length` bytes; `written` tells how many went before a failure.
  virtual FillWrite Append(const uint8_t* data, size_t length, size_t& written) = 0;
  // Puts everything written on the disk (not only in the cache).
  virtual bool Flush() = 0;
};

class IFreeSpaceDisk {
 public:
  virtual ~IFreeSpaceDisk() = default;
  // Roots ("C:\") of the drives whose free space a run wipes.
  virtual std::vector<std::string> FixedDriveRoots() = 0;
  // What the user may still write on the drive; false when it cannot be read.
  virtual bool FreeBytes(const std::string& root, uint64_t& bytes) = 0;
  // True when the folder exists afterwards.
  virtual bool MakeFolder(const std::string& path) = 0;
  // An empty folder only.
  virtual bool RemoveFolder(const std::string& path) = 0;
  // A new file, never an existing one; null when it cannot be made.
  virtual std::unique_ptr<IFillFile> CreateFill(const std::string& path) = 0;
  // True when the file is gone afterwards (also when it was never there).
  virtual bool RemoveFile(const std::string& path) = 0;
  // The names of the files (not folders) in `folder`; empty when none or missing.
  virtual std::vector<std::string> FilesIn(const std::string& folder) = 0;
};

// The drive-wide block the free space is filled with: the shred patterns'
// random block, repeated. Empty when the patterns cannot be made.
std::vector<uint8_t> MakeFillBlock(CShredPatterns& patterns);

struct FreeSpaceWipe {
  OverwriteResult result = OverwriteResult::kFailed;
  uint64_t written = 0;
};

// Fills the drive's free space with `block` until a write fails with disk
// full (smaller writes then take the rest, down to a byte), flushes, then
// deletes every fill file and the folder. On a stop (`keepGoing`, asked
// before every write) or an error the files are deleted just the same. kDone
// only when the drive then had less than a shred block free and every fill
// file is gone.
FreeSpaceWipe WipeFreeSpace(IFreeSpaceDisk& disk, const std::string& root, const std::vector<uint8_t>& block,
                            const KeepGoing& keepGoing = nullptr);

// What a wipe that never ended (the program was killed, the machine went
// off) left on the drive, or on every fixed drive: the fill files by their
// exact names, then the folder if it is empty. False when one stays.
bool RemoveFillLeftovers(IFreeSpaceDisk& disk, const std::string& root);
void RemoveFillLeftovers(IFreeSpaceDisk& disk);

// The roots of `roots` whose letter `named` lists ("X:", "X:;Y:", ...);
// `named` without such a token keeps none.
std::vector<std::string> KeepNamedDrives(const std::vector<std::string>& roots, const std::string& named);

}  // namespace sh
