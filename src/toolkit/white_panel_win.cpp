#include "toolkit/white_panel_win.h"


namespace sh {

void FrameInside(HDC dc, RECT r, HBRUSH brush, int width) {
  for (int i = 0; i < width; ++i) {
    FrameRect(dc, &r, brush);
    InflateRect(&r, -1, -1);
  }
}

CWhitePanel::CWhitePanel(int templateId, const WhitePanelRules& rules, int redId)
    : CSkinPanel(templateId, ScopedBitmap()), rules_(rules), redId_(redId), white_(CreateSolidBrush(RGB(255, 255, 255))) {}

bool CWhitePanel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const RECT client = ClientRect();
      FillRect(dc, &client, white_ ? white_.get() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      ScopedBrush rule(CreateSolidBrush(kPanelRuleColour));
      if (rule) {
        FrameInside(dc, client, rule.get(), rules_.frameWidth);
        const RECT line = {client.left + rules_.lineInset, client.top + rules_.lineTop,
                           client.right - rules_.lineInset, client.top + rules_.lineTop + rules_.lineHeight};
        FillRect(dc, &line, rule.get());
      }
      Paint(dc);
      *result = 1;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      if (redId_ != 0 && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == redId_) SetTextColor(dc, RGB(255, 0, 0));
      *result = reinterpret_cast<LRESULT>(white_.get());
      return true;
    }
    default:
      return CSkinPanel::OnMessage(msg, wParam, lParam, result);
  }
}

}  // namespace sh
