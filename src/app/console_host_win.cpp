#include "app/console_host_win.h"

#include "engine/registry_cleaner.h"
#include "toolkit/text.h"

namespace sh {

CConsoleReport::CConsoleReport(const std::vector<CleanItem>& rows) : rows_(rows.size()) {
  for (size_t i = 0; i < rows.size(); ++i) rows_[i].name = rows[i].Name();
}

void CConsoleReport::RowStarted(int row) {
  if (Row* r = At(row)) r->status = "Scanning...";
}

void CConsoleReport::CountsChanged(int row, int files, double size) {
  if (Row* r = At(row)) {
    r->files = files;
    r->size = size;
  }
}

void CConsoleReport::RowDone(int row, const RowOutcome& outcome) {
  Row* r = At(row);
  if (r == nullptr) return;
  r->done = true;
  if (!outcome.cleaned) return;
  r->files = outcome.files;
  r->size = outcome.size;
  r->keys = outcome.keys;
  r->status = "Cleaned";
}

std::string CConsoleReport::Table() const {
  std::string out = Format("%-40s %8s %14s  %s\r\n", "Name", "Files", "Size", "Status");
  for (const Row& r : rows_) {
    const std::string files = r.keys >= 0 ? CleanedKeysText(r.keys) : Format("%d", r.files);
    out += Format("%-40s %8s %14s  %s%s\r\n", r.name.c_str(), files.c_str(), FormatSize(r.size).c_str(),
                  r.status.c_str(), r.done ? " *" : "");
  }
  return out;
}

void CConsoleRunControl::PumpMessages() {
  MSG msg;
  for (int handled = 0; handled < 10 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++handled) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void CConsoleRunControl::PauseAfterFile() {
  PumpMessages();
  if (pauseMs_ != 0) Sleep(pauseMs_);
}

}  // namespace sh
