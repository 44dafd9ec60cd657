// The data files of this machine for either front end: the real file store
// and macro expansion, with the caller's settings, prompt and lock. The lock
// is the process's CWinDataFileLock, so that the window program and swhclean
// both store under the named mutex they share.
#pragma once

#include "app/data_loader.h"
#include "model/data_file_win.h"

namespace sh {

class CWinDataFiles {
 public:
  CWinDataFiles(ISettingsStore& settings, IPrompt& prompt, CWinDataFileLock& lock)
      : machine_(settings), env_{files_, machine_, settings, prompt, lock} {}
  CWinDataFiles(const CWinDataFiles&) = delete;
  CWinDataFiles& operator=(const CWinDataFiles&) = delete;

  DataFileEnv& env() { return env_; }

 private:
  CWinFileStore files_;
  CWinPluginEnvironment machine_;
  DataFileEnv env_;
};

}  // namespace sh
