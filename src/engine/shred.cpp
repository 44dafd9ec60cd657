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

bool OverwriteRegion(IShredTarget& file, CShredPatterns& patterns, uint64_t offset, size_t length, int cycles) {
  if (!patterns.Ensure()) return false;
  if (length > kShredBlockSize) return false;  // a region is at most one block
  for (int cycle = 0; cycle < cycles; ++cycle)
    for (int b = 0; b < 3; ++b)
      if (!file.WriteAt(offset, patterns.block(b), length)) return false;
  return true;
}

namespace {

OverwriteResult OverwriteSpan(IShredTarget& file, CShredPatterns& patterns, uint64_t offset, uint64_t length,
                              int cycles, const KeepGoing& keepGoing) {
  uint64_t done = 0;
  while (done < length) {
    if (keepGoing && !keepGoing()) return OverwriteResult::kStopped;
    const uint64_t left = length - done;
    const size_t n = left < kShredBlockSize ? static_cast<size_t>(left) : kShredBlockSize;
    if (!OverwriteRegion(file, patterns, offset + done, n, cycles)) return OverwriteResult::kFailed;
    done += n;
  }
  return OverwriteResult::kDone;
}

}  // namespace

OverwriteResult OverwriteFileContents(IShredTarget& file, CShredPatterns& patterns, uint64_t size, int cycles,
                                      const KeepGoing& keepGoing) {
  if (size == 0) return OverwriteResult::kDone;
  if (!OverwriteRegion(file, patterns, size - 1, 1, cycles)) return OverwriteResult::kFailed;
  return OverwriteSpan(file, patterns, 0, size - 1, cycles, keepGoing);
}

OverwriteResult OverwriteRanges(IShredTarget& file, CShredPatterns& patterns, const std::vector<ByteRange>& ranges,
                                int cycles, const KeepGoing& keepGoing) {
  for (const ByteRange& range : ranges) {
    OverwriteResult result = OverwriteSpan(file, patterns, range.offset, range.length, cycles, keepGoing);
    if (result != OverwriteResult::kDone) return result;
  }
  return OverwriteResult::kDone;
}

std::string ShredLetterName(const std::string& name, char letter) {
  std::string out = name;
  for (char& c : out)
    if (c != '.') c = letter;
  return out;
}

}  // namespace sh
