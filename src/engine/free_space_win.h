// The free-space wipe's calls on a real Windows machine.
#pragma once

#include <string>
#include <vector>

#include "engine/free_space.h"

namespace sh {

// Test only: when this environment variable is set, the wipe reaches only
// the fixed drives it names ("X:", "X:;Y:"); any other text ("none") names
// none. The project's Wine runs set it (tools/wine-env.sh), because a Wine
// prefix's C: is the host's own disk; the free-space test names its small
// drive of its own.
extern const char kWipeDrivesVariable[];

class CWinFreeSpaceDisk : public IFreeSpaceDisk {
 public:
  // The fixed drives (GetDriveType), only those the test variable names
  // when it is set.
  std::vector<std::string> FixedDriveRoots() override;
  bool FreeBytes(const std::string& root, uint64_t& bytes) override;
  bool MakeFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  // Deleted by the system when its handle closes, so that a killed program
  // leaves no full disk behind; flushed before that by the wipe.
  std::unique_ptr<IFillFile> CreateFill(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  std::vector<std::string> FilesIn(const std::string& folder) override;
};

}  // namespace sh
