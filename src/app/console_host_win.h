// The engine's command-line front end on Windows: the report that prints
// the rows (live on a console, plain lines into a pipe or file), the run
// control with its stop request, and the prompt that answers in text.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/clean_run.h"
#include "toolkit/seams.h"
#include "toolkit/win_handles_win.h"

namespace sh {

// True when standard output is a console (not a pipe or a file).
bool StdoutIsConsole();

// Prints what a question says on standard error and answers it as a user
// who is not there would: No to a question, OK to a message.
class CConsolePrompt : public IPrompt {
 public:
  PromptAnswer Ask(const PromptRequest& request) override;
};

// A request to stop the run: Ctrl+C or Ctrl+Break on the console, or the
// event named ConsoleStopEventName(this process) set by another program.
// An event rather than a flag: the console handler runs on a thread of its
// own and finds it by name.
class CConsoleStop {
 public:
  CConsoleStop();
  ~CConsoleStop();
  CConsoleStop(const CConsoleStop&) = delete;
  CConsoleStop& operator=(const CConsoleStop&) = delete;
  bool Requested() const;

 private:
  ScopedHandle event_;
};

std::string ConsoleStopEventName(DWORD processId);

// What the report prints.
struct ConsoleStyle {
  bool live = false;     // one line per running row, rewritten in place
  bool quiet = false;    // the total line only
  bool verbose = false;  // every action as well
  bool preview = false;  // nothing is changed; the words say so
};

class CConsoleReport : public ICleanReport {
 public:
  CConsoleReport(const std::vector<CleanItem>& rows, const ConsoleStyle& style, std::FILE* out);
  void RunStarted() override;
  void RowStarted(int row) override;
  void ItemActed(int row, const CleanAction& action, ActionResult result, int files, double size) override;
  void CountsChanged(int row, int files, double size) override;
  void RowDone(int row, const RowOutcome& outcome) override;
  void RunEnded() override;

  // Set before the run's end when a stop was asked for: the row that ends
  // afterwards is "Stopped", not done.
  void set_stopped(bool stopped) { stopped_ = stopped; }
  // Every row ended, and no stop cut one short.
  bool AllRowsEnded() const;

 private:
  struct Row {
    std::string name;
    int files = 0;
    double size = 0;
    int keys = -1;
    bool ended = false;
    std::string status;
  };
  Row* At(int row) {
    return row >= 0 && static_cast<size_t>(row) < rows_.size() ? &rows_[static_cast<size_t>(row)] : nullptr;
  }
  void PrintLine(const std::string& line);
  void ShowLive(const Row& row, bool force);
  void ClearLive();

  std::vector<Row> rows_;
  ConsoleStyle style_;
  std::FILE* out_;
  bool stopped_ = false;
  bool liveShown_ = false;
  DWORD lastLive_ = 0;
};

class CConsoleRunControl : public IRunControl {
 public:
  CConsoleRunControl(DWORD pauseMs, const CConsoleStop& stop, CConsoleReport& report)
      : pauseMs_(pauseMs), stop_(stop), report_(report) {}
  void set_run(const CCleaningRun* run) { run_ = run; }
  bool IsRunning() override;
  void PumpMessages() override;
  void PauseAfterFile() override;

 private:
  DWORD pauseMs_;
  DWORD lastPump_ = 0;
  const CConsoleStop& stop_;
  CConsoleReport& report_;
  const CCleaningRun* run_ = nullptr;
  bool stopped_ = false;
  bool asked_ = false;
  DWORD lastAsked_ = 0;
};

}  // namespace sh
