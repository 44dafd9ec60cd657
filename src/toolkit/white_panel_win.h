// The look the light panels share (control panel, Choose Items, the plugin
// wizard): white, framed and ruled in a pale blue-grey, controls drawn
// transparent on the white.
#pragma once

#include <windows.h>

#include "toolkit/skin_panel_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

constexpr COLORREF kPanelRuleColour = RGB(223, 229, 234);

struct WhitePanelRules {
  int frameWidth;  // pixels, just inside the client area
  int lineTop;     // the rule under the panel's header
  int lineInset;   // from each side
  int lineHeight;
};

// A frame `width` pixels wide just inside `r`.
void FrameInside(HDC dc, RECT r, HBRUSH brush, int width);

// A panel on a white ground: it paints its ground (white, frame, rule) and
// then Paint on WM_ERASEBKGND, and answers its controls' colour requests
// with transparent text on white, red for the control `redId` (0: none).
// It draws no skin, so it loads none.
class CWhitePanel : public CSkinPanel {
 public:
  CWhitePanel(int templateId, const WhitePanelRules& rules, int redId = 0);

 protected:
  // What the panel draws over its ground.
  virtual void Paint(HDC dc) = 0;
  // Derived panels pass the messages they do not handle on to here.
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  WhitePanelRules rules_;
  int redId_;
  ScopedBrush white_;
};

}  // namespace sh
