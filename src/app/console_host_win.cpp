#include "app/console_host_win.h"

#include "toolkit/text.h"

namespace sh {

CConsoleProgress::CConsoleProgress(const std::vector<CleanItem>& rows)
    : cells_(rows.size(), std::vector<std::string>(4)), done_(rows.size(), false) {
  for (size_t i = 0; i < rows.size(); ++i) {
    cells_[i][0] = rows[i].Name();
    cells_[i][kStatusColumn] = "Pending";
  }
}

void CConsoleProgress::SetCellText(int row, int column, const std::string& text) {
  if (row < 0 || static_cast<size_t>(row) >= cells_.size() || column < 0 || column > 3) return;
  cells_[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
}

void CConsoleProgress::SetRowDone(int row) {
  if (row >= 0 && static_cast<size_t>(row) < done_.size()) done_[static_cast<size_t>(row)] = true;
}

std::string CConsoleProgress::Table() const {
  std::string out = Format("%-40s %8s %14s  %s\r\n", "Name", "Files", "Size", "Status");
  for (size_t i = 0; i < cells_.size(); ++i) {
    const auto& c = cells_[i];
    out += Format("%-40s %8s %14s  %s%s\r\n", c[0].c_str(), c[kFilesColumn].c_str(), c[kSizeColumn].c_str(),
                  c[kStatusColumn].c_str(), done_[i] ? " *" : "");
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
