#include "engine/shred.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

namespace sh {

std::unique_ptr<uint8_t[]> CShredPatterns::AllocateBlock() {
  try {
    return std::make_unique<uint8_t[]>(kShredBlockSize);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool CShredPatterns::Ensure() {
  if (ready_) return true;
  std::unique_ptr<uint8_t[]> made[3];
  for (auto& block : made) {
    block = AllocateBlock();
    if (!block) return false;  // the ones made so far go with `made`
  }
  std::memset(made[0].get(), 0x00, kShredBlockSize);
  std::memset(made[1].get(), 0xFF, kShredBlockSize);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  for (size_t i = 0; i < kShredBlockSize; ++i) made[2][i] = static_cast<uint8_t>(std::rand() & 0xFF);
  for (int i = 0; i < 3; ++i) blocks_[i] = std::move(made[i]);
  ready_ = true;
  return true;
}

bool OverwriteRegion(IShredTarget& file, CShredPatterns& patterns, size_t length, int cycles) {
  if (!patterns.Ensure()) return false;
  if (length > kShredBlockSize) return false;  // a region is at most one block
  const int64_t back = -static_cast<int64_t>(length);
  for (int cycle = 0; cycle < cycles; ++cycle) {
    if (cycle > 0 && !file.SeekRelative(back)) return false;
    for (int b = 0; b < 3; ++b) {
      if (b != 0 && !file.SeekRelative(back)) return false;
      if (!file.Write(patterns.block(b), length)) return false;
    }
  }
  return true;
}

bool OverwriteFileContents(IShredTarget& file, CShredPatterns& patterns, uint64_t size, int cycles) {
  if (size == 0) return true;
  if (!file.SeekTo(size - 1) || !OverwriteRegion(file, patterns, 1, cycles)) return false;
  if (!file.SeekTo(0)) return false;
  uint64_t done = 0;
  while (done < size - 1) {
    uint64_t left = size - 1 - done;
    size_t n = left < kShredBlockSize ? static_cast<size_t>(left) : kShredBlockSize;
    if (!OverwriteRegion(file, patterns, n, cycles)) return false;
    done += n;
  }
  return true;
}

std::string ShredLetterName(const std::string& name, char letter) {
  std::string out = name;
  for (char& c : out)
    if (c != '.') c = letter;
  return out;
}

}  // namespace sh
