#include "engine/free_space.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "engine/path_rules.h"
#include "toolkit/text.h"

namespace sh {

const char kFreeSpaceFolderName[] = "SweepHarbor.freespace";

namespace {

const char kPartPrefix[] = "wipe";
const char kPartSuffix[] = ".tmp";
constexpr size_t kPartDigits = 5;

// "X:\" in any spelling: the wipe's folder is only ever made at a root.
bool IsDriveRoot(const std::string& root) {
  const std::string normal = NormalizePath(root);
  return normal.size() == 3 && normal[1] == ':';
}

}  // namespace

std::string FreeSpaceFolder(const std::string& root) { return JoinPath(root, kFreeSpaceFolderName); }

std::string FillPartPath(const std::string& root, int part) {
  return JoinPath(FreeSpaceFolder(root), Format("%s%05d%s", kPartPrefix, part, kPartSuffix));
}

bool IsFillPartName(const std::string& name) {
  const size_t prefix = sizeof kPartPrefix - 1, suffix = sizeof kPartSuffix - 1;
  if (name.size() != prefix + kPartDigits + suffix) return false;
  for (size_t i = prefix; i < prefix + kPartDigits; ++i)
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
  return EqualsNoCase(name.substr(0, prefix), kPartPrefix) &&
         EqualsNoCase(name.substr(prefix + kPartDigits), kPartSuffix);
}

std::vector<uint8_t> MakeFillBlock(CShredPatterns& patterns) {
  // One pass of random bytes, whatever the shred method: every method
  // leaves a file's blocks holding the random pattern (the Random method
  // writes nothing else), and one overwrite already keeps deleted data from
  // any program that reads the disk. Repeating the passes would multiply
  // hours of writing over the whole free space, and passes over the same
  // place reach the disk as the last one anyway unless each is flushed.
  // Random rather than zeros: a compressing volume or drive stores zero
  // blocks in next to no room and would overwrite nothing.
  std::vector<uint8_t> block;
  if (!patterns.Ensure()) return block;
  try {
    block.resize(kFillBlockSize);
  } catch (const std::bad_alloc&) {
    return block;
  }
  for (size_t at = 0; at < block.size(); at += kShredBlockSize)
    std::copy(patterns.block(2), patterns.block(2) + kShredBlockSize, block.begin() + static_cast<ptrdiff_t>(at));
  return block;
}

FreeSpaceWipe WipeFreeSpace(IFreeSpaceDisk& disk, const std::string& root, const std::vector<uint8_t>& block,
                            const KeepGoing& keepGoing) {
  FreeSpaceWipe wipe;
  // A wipe that never ended would keep free space hidden in its files.
  if (block.empty() || !IsDriveRoot(root) || !RemoveFillLeftovers(disk, root) ||
      !disk.MakeFolder(FreeSpaceFolder(root)))
    return wipe;
  std::vector<std::unique_ptr<IFillFile>> parts;
  uint64_t inPart = kFillPartLimit;  // the first write opens a part
  size_t chunk = block.size();
  OverwriteResult result = OverwriteResult::kDone;
  for (;;) {
    if (keepGoing && !keepGoing()) {
      result = OverwriteResult::kStopped;
      break;
    }
    if (inPart >= kFillPartLimit) {
      std::unique_ptr<IFillFile> part;
      if (parts.size() < static_cast<size_t>(kMaxFillParts))
        part = disk.CreateFill(FillPartPath(root, static_cast<int>(parts.size())));
      if (!part) {
        // A full drive may have no room for one more file: then it is done.
        uint64_t free = 0;
        if (!disk.FreeBytes(root, free) || free != 0) result = OverwriteResult::kFailed;
        break;
      }
      parts.push_back(std::move(part));
      inPart = 0;
    }
    const size_t length = static_cast<size_t>(std::min<uint64_t>(chunk, kFillPartLimit - inPart));
    size_t written = 0;
    const FillWrite outcome = parts.back()->Append(block.data(), length, written);
    written = std::min(written, length);
    inPart += written;
    wipe.written += written;
    if (outcome == FillWrite::kFailed || (outcome == FillWrite::kWritten && written == 0)) {
      result = OverwriteResult::kFailed;
      break;
    }
    if (outcome == FillWrite::kDiskFull && written == 0) {
      // What is left is less than a write: smaller ones take it, to the byte.
      if (chunk == 1) break;
      chunk /= 2;
    }
  }
  if (result == OverwriteResult::kDone) {
    for (const auto& part : parts)
      if (!part->Flush()) result = OverwriteResult::kFailed;
    // Full as the drive itself says, before the files go: writes refused
    // with room left must not pass for a wiped drive.
    uint64_t free = 0;
    if (!disk.FreeBytes(root, free) || free >= kShredBlockSize) result = OverwriteResult::kFailed;
  }
  const int made = static_cast<int>(parts.size());
  parts.clear();  // closed before they are deleted
  bool removed = true;
  for (int part = 0; part < made; ++part) removed = disk.RemoveFile(FillPartPath(root, part)) && removed;
  disk.RemoveFolder(FreeSpaceFolder(root));
  wipe.result = removed ? result : OverwriteResult::kFailed;
  return wipe;
}

bool RemoveFillLeftovers(IFreeSpaceDisk& disk, const std::string& root) {
  if (!IsDriveRoot(root)) return false;
  const std::string folder = FreeSpaceFolder(root);
  bool gone = true;
  for (const std::string& name : disk.FilesIn(folder))
    if (IsFillPartName(name)) gone = disk.RemoveFile(JoinPath(folder, name)) && gone;
  disk.RemoveFolder(folder);  // stays when anything else is in it
  return gone;
}

void RemoveFillLeftovers(IFreeSpaceDisk& disk) {
  for (const std::string& root : disk.FixedDriveRoots()) RemoveFillLeftovers(disk, root);
}

std::vector<std::string> KeepNamedDrives(const std::vector<std::string>& roots, const std::string& named) {
  std::string letters;
  for (size_t i = 0; i + 1 < named.size(); ++i) {
    const bool tokenStart = i == 0 || named[i - 1] == ';' || named[i - 1] == ',' || named[i - 1] == ' ';
    if (tokenStart && std::isalpha(static_cast<unsigned char>(named[i])) && named[i + 1] == ':')
      letters += static_cast<char>(std::toupper(static_cast<unsigned char>(named[i])));
  }
  std::vector<std::string> kept;
  for (const std::string& root : roots)
    if (!root.empty() && letters.find(static_cast<char>(std::toupper(static_cast<unsigned char>(root[0])))) !=
                             std::string::npos)
      kept.push_back(root);
  return kept;
}

}  // namespace sh
