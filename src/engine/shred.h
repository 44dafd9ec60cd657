// Shredding: what is written where. The Win32 side supplies the file (an
// IShredTarget) and the renames; the order of the writes lives here so that
// it can be checked without a disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/path_rules.h"

namespace sh {

constexpr size_t kShredBlockSize = 65536;

// The three pattern blocks (zeros, 0xFF, random bytes from rand() seeded
// once with the time), made on first use and kept. All or nothing: when one
// block cannot be made, none is kept and the next call tries again.
class CShredPatterns {
 public:
  virtual ~CShredPatterns() = default;
  bool Ensure();
  bool ready() const { return ready_; }
  const uint8_t* block(int index) const { return blocks_[index].get(); }

 protected:
  // Null when the memory cannot be had.
  virtual std::unique_ptr<uint8_t[]> AllocateBlock();

 private:
  std::unique_ptr<uint8_t[]> blocks_[3];
  bool ready_ = false;
};

// The open file being overwritten. Writes name their offset, so that the
// three passes over a region cost three calls and no seeks.
class IShredTarget {
 public:
  virtual ~IShredTarget() = default;
  // Writes all of `length` bytes at `offset`.
  virtual bool WriteAt(uint64_t offset, const uint8_t* data, size_t length) = 0;
};

// Overwrites `length` bytes (at most one block) at `offset`, `cycles` times
// with zeros, 0xFF and random bytes, in that order.
bool OverwriteRegion(IShredTarget& file, CShredPatterns& patterns, uint64_t offset, size_t length, int cycles);

enum class OverwriteResult { kDone, kFailed, kStopped };

// Asked between regions: false ends the overwriting (Abort was clicked).
using KeepGoing = std::function<bool()>;

// The content step of shredding: the last byte first, then the rest from
// offset 0 in regions of at most one block. Never writes at or past `size`.
OverwriteResult OverwriteFileContents(IShredTarget& file, CShredPatterns& patterns, uint64_t size, int cycles,
                                      const KeepGoing& keepGoing = nullptr);

// The same over a sparse file's allocated ranges only (ShredRegions), so
// that shredding never makes the file take more disk than it does.
OverwriteResult OverwriteRanges(IShredTarget& file, CShredPatterns& patterns, const std::vector<ByteRange>& ranges,
                                int cycles, const KeepGoing& keepGoing = nullptr);

// `name` with every character that is not a dot replaced by `letter`.
std::string ShredLetterName(const std::string& name, char letter);

}  // namespace sh
