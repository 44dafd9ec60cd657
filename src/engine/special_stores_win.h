// The recycle bin and the stored form entries on a real system.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/machine_ports_win.h"

namespace sh {

// What emptying the bin asks of the shell. Tests record the emptying
// (under Wine the shell empties the host's trash).
class IRecycleBinShell {
 public:
  virtual ~IRecycleBinShell() = default;
  // SHEmptyRecycleBinA for all drives, silently; the result is not used.
  virtual void EmptyRecycleBin() = 0;
};

class CWinRecycleBinShell : public IRecycleBinShell {
 public:
  void EmptyRecycleBin() override;
};

// The user of the current process as SID text (S-1-5-21-...); empty when
// the token cannot be read.
std::string CurrentUserSidText();

// The DACL of a key as a self-relative descriptor; false when the key
// cannot be opened for read-control or the query fails.
bool ReadKeyDacl(HKEY root, const std::string& key, std::vector<BYTE>& descriptor);

// The stored-form-entries key of the user with this SID (the process's
// own): its base key's access list is kept in `oldDescriptor`, and base,
// base\Data and the store with every key below get full access for the
// user and the local system account. False when that list cannot be built.
bool WidenFormStore(const std::string& sid, std::vector<BYTE>& oldDescriptor);
// Puts the kept list back on base only, and forgets it.
void RestoreFormStore(const std::string& sid, std::vector<BYTE>& oldDescriptor);

}  // namespace sh
