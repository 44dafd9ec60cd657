// The single-instance guard: a 4-byte named mapping that holds the first
// instance's main window. The first instance makes it before anything else
// at start-up, with no window yet, and fills the window in once it exists.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/win_handles_win.h"

namespace sh {

constexpr char kInstanceMappingPrefix[] = "CInstanceChecker_MMF_";

class CInstanceChecker {
 public:
  // applicationName: the product's stable name (the mapping is
  // "CInstanceChecker_MMF_" followed by it).
  explicit CInstanceChecker(const std::string& applicationName);
  CInstanceChecker(const CInstanceChecker&) = delete;
  CInstanceChecker& operator=(const CInstanceChecker&) = delete;

  // Makes the mapping in one step (of two processes starting together only
  // one can make it) and stores mainWindow in it, null while there is no
  // window yet. False when the mapping existed already: another instance's,
  // kept open for ActivateOtherInstance; false too when it cannot be made or
  // this object holds it already. The mapping lives as long as this object.
  bool RegisterAsFirstInstance(HWND mainWindow);
  // Stores the main window in the mapping this object made; false when it
  // made none.
  bool SetMainWindow(HWND mainWindow);
  bool IsFirstInstance() const { return ownMapping_.valid(); }

  // True when RegisterAsFirstInstance found another instance's mapping, or
  // one can be opened now (kept for ActivateOtherInstance).
  bool IsAnotherInstanceRunning();
  // Reads the other instance's window; while it is still null (the other
  // instance is starting), reads again for up to waitMs. Restores that
  // window if minimized and brings its last active popup to the front, both
  // without waiting on the other process, and closes the mapping. Null when
  // there is no open mapping, it cannot be mapped, or no window came.
  HWND ActivateOtherInstance(DWORD waitMs = 0);

  const std::string& MappingName() const { return mappingName_; }

 private:
  std::string mappingName_;
  ScopedHandle lock_;          // unnamed mutex, guards the 4 bytes
  ScopedHandle otherMapping_;  // another instance's
  ScopedHandle ownMapping_;    // ours, from RegisterAsFirstInstance
};

}  // namespace sh
