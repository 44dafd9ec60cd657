// The recycle bin and the stored form entries on a real system.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/win_cleaners_win.h"

namespace sh {

class CWinRecycleBinShell : public IRecycleBinShell {
 public:
  std::vector<std::string> DriveRoots() override { return LocalDriveRoots(); }
  void EmptyRecycleBin() override;
};

// The user of the current process as SID text (S-1-5-21-...); empty when
// the token cannot be read.
std::string CurrentUserSidText();

// The DACL of a key as a self-relative descriptor; false when the key
// cannot be opened for read-control or the query fails.
bool ReadKeyDacl(HKEY root, const std::string& key, std::vector<BYTE>& descriptor);

}  // namespace sh
