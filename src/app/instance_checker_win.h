// The single-instance guard: a 4-byte named mapping that holds the first
// instance's main window.
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

  // Opens another instance's mapping (kept for ActivateOtherInstance).
  bool IsAnotherInstanceRunning();
  // Reads the other instance's window, restores it if minimized, brings its
  // last active popup to the front and closes the mapping. Null when there
  // is no open mapping or it cannot be mapped.
  HWND ActivateOtherInstance();
  // Creates the mapping and stores mainWindow in it; false when another
  // instance's mapping exists or the mapping cannot be made. The mapping
  // lives as long as this object.
  bool RegisterAsFirstInstance(HWND mainWindow);

  const std::string& MappingName() const { return mappingName_; }

 private:
  std::string mappingName_;
  ScopedHandle lock_;          // unnamed mutex, guards the 4 bytes
  ScopedHandle otherMapping_;  // another instance's, from IsAnotherInstanceRunning
  ScopedHandle ownMapping_;    // ours, from RegisterAsFirstInstance
};

}  // namespace sh
