// The look the light panels share (control panel, Choose Items, the plugin
// wizard): white, framed and ruled in a pale blue-grey, controls drawn
// transparent on the white.
#pragma once

#include <windows.h>

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

// Fills `client` with `white` (the stock white brush when null), then the
// frame and the rule.
void PaintWhitePanel(HDC dc, const RECT& client, HBRUSH white, const WhitePanelRules& rules);

// The answer to WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: transparent text on
// `white`, red for the control `redId` (0: none).
LRESULT WhitePanelControlColour(WPARAM wParam, LPARAM lParam, HBRUSH white, int redId = 0);

}  // namespace sh
