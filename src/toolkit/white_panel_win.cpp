#include "toolkit/white_panel_win.h"

#include "toolkit/win_handles_win.h"

namespace sh {

void FrameInside(HDC dc, RECT r, HBRUSH brush, int width) {
  for (int i = 0; i < width; ++i) {
    FrameRect(dc, &r, brush);
    InflateRect(&r, -1, -1);
  }
}

void PaintWhitePanel(HDC dc, const RECT& client, HBRUSH white, const WhitePanelRules& rules) {
  FillRect(dc, &client, white ? white : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ScopedBrush rule(CreateSolidBrush(kPanelRuleColour));
  if (!rule) return;
  FrameInside(dc, client, rule.get(), rules.frameWidth);
  const RECT line = {client.left + rules.lineInset, client.top + rules.lineTop, client.right - rules.lineInset,
                     client.top + rules.lineTop + rules.lineHeight};
  FillRect(dc, &line, rule.get());
}

LRESULT WhitePanelControlColour(WPARAM wParam, LPARAM lParam, HBRUSH white, int redId) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetBkMode(dc, TRANSPARENT);
  if (redId != 0 && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == redId) SetTextColor(dc, RGB(255, 0, 0));
  return reinterpret_cast<LRESULT>(white);
}

}  // namespace sh
