#include "app/console_host_win.h"

#include "app/console_commands.h"
#include "engine/clean_log.h"
#include "toolkit/text.h"

namespace sh {
namespace {

// About ten live updates a second: enough to see progress, cheap for a
// walk of many small files.
constexpr DWORD kLiveIntervalMs = 100;
// The stop event is asked at most this often: a walk asks for every entry.
constexpr DWORD kStopPollMs = 50;
// The live line stays below the 80 columns of a default console, so that
// '\r' goes back to its start.
constexpr size_t kLiveNameWidth = 38;

BOOL WINAPI OnConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  ScopedHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, ConsoleStopEventName(GetCurrentProcessId()).c_str()));
  if (!event.valid()) return FALSE;  // no run to stop: the default ends the process
  SetEvent(event.get());
  return TRUE;
}

}  // namespace

bool StdoutIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

PromptAnswer CConsolePrompt::Ask(const PromptRequest& request) {
  const bool question = request.kind == PromptKind::kYesNo;
  std::fprintf(stderr, "swhclean: %s%s%s%s\n", request.caption.empty() ? "" : request.caption.c_str(),
               request.caption.empty() ? "" : ": ", request.text.c_str(), question ? " [answered No]" : "");
  std::fflush(stderr);
  return question ? PromptAnswer::kNo : PromptAnswer::kOk;
}

std::string ConsoleStopEventName(DWORD processId) { return Format("SweepHarbor.swhclean.stop.%lu", processId); }

CConsoleStop::CConsoleStop()
    : event_(CreateEventA(nullptr, TRUE, FALSE, ConsoleStopEventName(GetCurrentProcessId()).c_str())) {
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

CConsoleStop::~CConsoleStop() { SetConsoleCtrlHandler(OnConsoleControl, FALSE); }

bool CConsoleStop::Requested() const {
  return event_.valid() && WaitForSingleObject(event_.get(), 0) == WAIT_OBJECT_0;
}

CConsoleReport::CConsoleReport(const std::vector<CleanItem>& rows, const ConsoleStyle& style, std::FILE* out)
    : rows_(rows.size()), style_(style), out_(out) {
  for (size_t i = 0; i < rows.size(); ++i) rows_[i].name = rows[i].Name();
}

void CConsoleReport::PrintLine(const std::string& line) {
  ClearLive();
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

void CConsoleReport::ClearLive() {
  if (!liveShown_) return;
  std::fprintf(out_, "\r%79s\r", "");
  liveShown_ = false;
}

void CConsoleReport::ShowLive(const Row& row, bool force) {
  if (!style_.live || style_.quiet) return;
  const DWORD now = GetTickCount();
  if (!force && liveShown_ && now - lastLive_ < kLiveIntervalMs) return;
  lastLive_ = now;
  std::string name = row.name.size() > kLiveNameWidth ? row.name.substr(0, kLiveNameWidth) : row.name;
  std::fprintf(out_, "\r%s", RowLine(name, row.files, row.size, -1, "Scanning...").c_str());
  std::fflush(out_);
  liveShown_ = true;
}

void CConsoleReport::RunStarted() {
  if (!style_.quiet) PrintLine(RowHeader());
}

void CConsoleReport::RowStarted(int row) {
  if (Row* r = At(row)) ShowLive(*r, true);
}

void CConsoleReport::ItemActed(int row, const CleanAction& action, ActionResult result, int files, double size) {
  Row* r = At(row);
  if (r == nullptr) return;
  r->files = files;
  r->size = size;
  if (style_.verbose) {
    const std::string target = ActionTarget(action);
    PrintLine(std::string("    ") + ActionVerb(action.kind) + (target.empty() ? "" : " " + target) +
              (result == ActionResult::kDone ? "" : "  (failed)"));
  }
  ShowLive(*r, false);
}

void CConsoleReport::CountsChanged(int row, int files, double size) {
  Row* r = At(row);
  if (r == nullptr) return;
  r->files = files;
  r->size = size;
  ShowLive(*r, false);
}

void CConsoleReport::RowDone(int row, const RowOutcome& outcome) {
  Row* r = At(row);
  if (r == nullptr) return;
  if (outcome.cleaned) {
    r->files = outcome.files;
    r->size = outcome.size;
    r->keys = outcome.keys;
  }
  r->ended = !stopped_;
  r->status = stopped_ ? "Stopped" : !outcome.cleaned ? "Nothing to clean" : style_.preview ? "Would clean" : "Cleaned";
  if (!style_.quiet) PrintLine(RowLine(r->name, r->files, r->size, r->keys, r->status));
}

void CConsoleReport::RunEnded() {
  int files = 0, keys = 0, ended = 0;
  double size = 0;
  for (Row& r : rows_) {
    if (r.status.empty()) {
      r.status = "Pending";  // never reached: the run stopped before it
      if (!style_.quiet) PrintLine(RowLine(r.name, r.files, r.size, r.keys, r.status));
    }
    if (r.keys >= 0) keys += r.keys;
    else files += r.files;
    size += r.size;
    if (r.ended) ++ended;
  }
  PrintLine(Format("Total: %d files, %d keys, %s; %d of %u rows %s%s", files, keys, FormatSize(size).c_str(), ended,
                   static_cast<unsigned>(rows_.size()), style_.preview ? "previewed, nothing changed" : "cleaned",
                   stopped_ ? ", stopped" : ""));
}

bool CConsoleReport::AllRowsEnded() const {
  if (stopped_) return false;
  for (const Row& r : rows_)
    if (!r.ended) return false;
  return true;
}

bool CConsoleRunControl::IsRunning() {
  if (run_ != nullptr && !run_->running()) return false;
  if (stopped_) return false;
  const DWORD now = GetTickCount();
  if (asked_ && now - lastAsked_ < kStopPollMs) return true;
  asked_ = true;
  lastAsked_ = now;
  if (stop_.Requested()) {
    stopped_ = true;
    report_.set_stopped(true);
  }
  return !stopped_;
}

void CConsoleRunControl::PumpMessages() {
  // Nothing of ours has a window; the shell's COM objects may.
  MSG msg;
  for (int handled = 0; handled < 10 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++handled) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void CConsoleRunControl::PauseAfterFile() {
  // A pump costs a round trip to the system per call; without the pause
  // nothing here waits on messages, so a few times a second is enough.
  const DWORD now = GetTickCount();
  if (pauseMs_ != 0 || now - lastPump_ >= 100) {
    lastPump_ = now;
    PumpMessages();
  }
  if (pauseMs_ != 0) Sleep(pauseMs_);
}

}  // namespace sh
