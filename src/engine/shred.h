// Shredding: what is written where. The Win32 side supplies the file (an
// IShredTarget) and the renames; the order of the writes lives here so that
// it can be checked without a disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

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

// The open file being overwritten.
class IShredTarget {
 public:
  virtual ~IShredTarget() = default;
  virtual bool SeekTo(uint64_t offset) = 0;
  virtual bool SeekRelative(int64_t delta) = 0;
  // Writes at the current position and moves past what was written.
  virtual bool Write(const uint8_t* data, size_t length) = 0;
};

// Overwrites `length` bytes (at most one block) from the current position,
// `cycles` times with zeros, 0xFF and random bytes; the position ends at the
// end of the region.
bool OverwriteRegion(IShredTarget& file, CShredPatterns& patterns, size_t length, int cycles);

// The content step of ShredFile: the last byte first, then the rest from
// offset 0 in regions of at most one block. Never writes at or past `size`.
bool OverwriteFileContents(IShredTarget& file, CShredPatterns& patterns, uint64_t size, int cycles);

// `name` with every character that is not a dot replaced by `letter`.
std::string ShredLetterName(const std::string& name, char letter);

}  // namespace sh
