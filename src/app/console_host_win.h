// The engine's command-line front end: rows kept and printed as a table, no
// window and no pause between files unless asked.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "engine/clean_run.h"

namespace sh {

class CConsoleReport : public ICleanReport {
 public:
  struct Row {
    std::string name;
    int files = 0;
    double size = 0;
    int keys = -1;
    std::string status = "Pending";
    bool done = false;
  };
  explicit CConsoleReport(const std::vector<CleanItem>& rows);
  void RowStarted(int row) override;
  void CountsChanged(int row, int files, double size) override;
  void RowDone(int row, const RowOutcome& outcome) override;
  // One line per row: name, Files, Size, Status.
  std::string Table() const;
  const std::vector<Row>& rows() const { return rows_; }

 private:
  Row* At(int row) { return row >= 0 && static_cast<size_t>(row) < rows_.size() ? &rows_[static_cast<size_t>(row)] : nullptr; }
  std::vector<Row> rows_;
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

}  // namespace sh
