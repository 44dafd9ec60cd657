// Shows one panel of the main window at a time in the panel area.
#pragma once

#include <windows.h>

#include <vector>

namespace sh {

class CPanelSwitcher {
 public:
  void SetUp(HWND parent, const RECT& area) {
    parent_ = parent;
    area_ = area;
  }
  // Moves the panel into the area at once and appends it.
  void Add(HWND panel, int buttonId);
  // Shows the first panel added for `buttonId`; false when there is none.
  // The current panel stays when it is asked for again.
  bool Show(int buttonId);
  HWND current() const { return current_; }
  HWND PanelFor(int buttonId) const;

 private:
  struct Entry {
    HWND panel;
    int buttonId;
  };
  HWND parent_ = nullptr;
  RECT area_ = {0, 0, 0, 0};
  std::vector<Entry> entries_;
  HWND current_ = nullptr;
};

}  // namespace sh
