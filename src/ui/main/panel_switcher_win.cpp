#include "ui/main/panel_switcher_win.h"

namespace sh {

void CPanelSwitcher::Add(HWND panel, int buttonId) {
  MoveWindow(panel, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, TRUE);
  entries_.push_back(Entry{panel, buttonId});
}

HWND CPanelSwitcher::PanelFor(int buttonId) const {
  for (const Entry& e : entries_)
    if (e.buttonId == buttonId) return e.panel;
  return nullptr;
}

bool CPanelSwitcher::Show(int buttonId) {
  HWND panel = PanelFor(buttonId);
  if (panel == nullptr) return false;
  if (panel == current_) return true;
  if (current_) ShowWindow(current_, SW_HIDE);
  ShowWindow(panel, SW_SHOW);
  current_ = panel;
  return true;
}

}  // namespace sh
