// The engine's command-line front end: progress kept per row and printed as
// a table, no window and no pause between files unless asked.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/clean_run.h"

namespace sh {

class CConsoleProgress : public ICleanProgress {
 public:
  explicit CConsoleProgress(const std::vector<CleanItem>& rows);
  void SetCellText(int row, int column, const std::string& text) override;
  void EnsureVisible(int) override {}
  void SetRowDone(int row) override;
  // One line per row: name, Files, Size, Status.
  std::string Table() const;
  const std::string& Cell(int row, int column) const { return cells_[static_cast<size_t>(row)][static_cast<size_t>(column)]; }
  bool Done(int row) const { return done_[static_cast<size_t>(row)]; }

 private:
  std::vector<std::vector<std::string>> cells_;
  std::vector<bool> done_;
};

class CConsoleRunControl : public IRunControl {
 public:
  explicit CConsoleRunControl(DWORD pauseMs) : pauseMs_(pauseMs) {}
  void set_run(const CCleaningRun* run) { run_ = run; }
  bool IsRunning() override { return run_ == nullptr || run_->running(); }
  void PumpMessages() override;
  void PauseAfterFile() override;

 private:
  const CCleaningRun* run_ = nullptr;
  DWORD pauseMs_;
};

class CConsoleHost : public ICleanHost {
 public:
  void SetButtonText(const std::string&) override {}
  void SetCleaningInProgress(bool) override {}
};

}  // namespace sh
