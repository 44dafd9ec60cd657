#include "update/update_dlg_win.h"

#include "res/resource.h"
#include "toolkit/bitmap_win.h"

namespace sh {

const char kCheckingText[] = "Checking for updates ...";

namespace {
constexpr COLORREF kTextBackground = RGB(31, 122, 180);  // the picture's blue under the text
}

std::string UpdateBaseUrl(ISettingsStore& settings) {
  std::string base = settings.Read("TestUpdateBase");
  if (base.empty()) base = LoadResString(IDS_UPDATE_BASE);
  if (!base.empty() && base.back() != '/') base += '/';
  return base;
}

CUpdateDlg::CUpdateDlg(CListUpdater& updater, IPrompt& prompt, UINT waitMs)
    : CDialog(IDD_UPDATE), updater_(updater), prompt_(prompt), waitMs_(waitMs), text_(kCheckingText) {}

BOOL CUpdateDlg::OnInit() {
  background_ = LoadBitmapResource(IDB_UPDATE);
  brush_.reset(CreateSolidBrush(kTextBackground));
  SetItemText(IDC_UPDATE_TEXT, text_);
  // The window is the picture's size, in the middle of the work area.
  SIZE size = BitmapSize(background_.get());
  if (size.cx <= 0) size = SIZE{198, 65};
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(hwnd_, HWND_TOP, work.left + ((work.right - work.left) - size.cx) / 2,
               work.top + ((work.bottom - work.top) - size.cy) / 2, size.cx, size.cy, 0);
  SetTimer(hwnd_, kUpdateTimer, waitMs_, nullptr);
  return TRUE;
}

bool CUpdateDlg::OnCommand(int id, int, HWND) {
  // Escape while the dialog only waits: no check. Once the check runs, the
  // message boxes decide.
  if (id == IDCANCEL && !checking_) {
    KillTimer(hwnd_, kUpdateTimer);
    End(IDCANCEL);
  }
  return id == IDCANCEL || id == IDOK;
}

void CUpdateDlg::OnTimer() {
  KillTimer(hwnd_, kUpdateTimer);
  if (checking_) return;
  checking_ = true;
  outcome_ = RunUpdateConversation(updater_, prompt_, [this] {
    text_ = kDownloadingText;
    SetItemText(IDC_UPDATE_TEXT, text_);
    UpdateWindow(hwnd_);
  });
  End(outcome_ == UpdateOutcome::kDownloaded ? IDOK : IDCANCEL);
}

bool CUpdateDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  switch (msg) {
    case WM_TIMER:
      if (wParam != kUpdateTimer) return false;
      OnTimer();
      return true;
    case WM_ERASEBKGND:
      *result = 1;  // the picture covers the whole window
      return true;
    case WM_PAINT: {
      ScopedPaintDc paint(hwnd_);
      if (background_) DrawBitmap(paint.get(), 0, 0, background_.get());
      return true;
    }
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, RGB(255, 255, 255));
      SetBkMode(dc, TRANSPARENT);
      *result = reinterpret_cast<LRESULT>(brush_.get());
      return true;
    }
    default:
      (void)lParam;
      return false;
  }
}

}  // namespace sh
