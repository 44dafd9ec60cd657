// minimal_dialog.exe: the smallest dialog program that still paints, the
// yardstick of the start-up benchmark (bench/startup_bench.cpp). The
// template lives in memory, so that no resource loading separates it from a
// bare DialogBox call; it ends on WM_CLOSE.
#include <windows.h>

namespace {

// A DLGTEMPLATE followed by its empty menu, default class and title, with
// no controls. DialogBoxIndirect wants it DWORD-aligned.
struct alignas(4) DialogTemplate {
  DLGTEMPLATE head;
  WORD menu;
  WORD windowClass;
  WCHAR title[15];
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_PAINT: {
      // Paints as the real window does, so that both first paints cost
      // at least a BeginPaint / draw / EndPaint.
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(dialog, &ps);
      RECT r;
      GetClientRect(dialog, &r);
      FillRect(dc, &r, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
      SetBkMode(dc, TRANSPARENT);
      DrawTextA(dc, "Minimal dialog", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(dialog, &ps);
      return TRUE;
    }
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

int main() {
  DialogTemplate t = {};
  t.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME | DS_CENTER;
  t.head.cdit = 0;
  t.head.cx = 200;
  t.head.cy = 100;
  const char* title = "Minimal dialog";
  for (int i = 0; title[i] && i < 14; ++i) t.title[i] = static_cast<WCHAR>(title[i]);
  DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &t.head, nullptr, DialogProc, 0);
  return 0;
}
