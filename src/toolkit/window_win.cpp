#include "toolkit/window_win.h"

#include <vector>

namespace sh {

std::string CWindow::Text() const {
  int n = GetWindowTextLengthA(hwnd_);
  if (n <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(n) + 1);
  int got = GetWindowTextA(hwnd_, buffer.data(), n + 1);
  return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

RECT CWindow::ClientRect() const {
  RECT r = {0, 0, 0, 0};
  GetClientRect(hwnd_, &r);
  return r;
}

RECT CWindow::WindowRect() const {
  RECT r = {0, 0, 0, 0};
  GetWindowRect(hwnd_, &r);
  return r;
}

CDialog::~CDialog() {
  // A modeless page still alive when its owner object goes must not call
  // back into a destroyed object.
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
    if (!modal_) DestroyWindow(hwnd_);
  }
}

INT_PTR CDialog::DoModal(HWND parent) {
  modal_ = true;
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  return result;
}

bool CDialog::Create(HWND parent) {
  modal_ = false;
  HWND hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
}

bool CDialog::CreateIndirect(HWND parent, const DLGTEMPLATE* dialogTemplate) {
  modal_ = false;
  if (dialogTemplate == nullptr) return false;
  HWND hwnd = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, parent, DialogProc,
                                         reinterpret_cast<LPARAM>(this));
  return hwnd != nullptr;
}

void CDialog::End(INT_PTR result) {
  if (modal_) EndDialog(hwnd_, result);
  else DestroyWindow(hwnd_);
}

bool CDialog::OnCommand(int id, int, HWND) {
  if (modal_ && (id == IDOK || id == IDCANCEL)) {
    End(id);
    return true;
  }
  return false;
}

bool CDialog::OnNotify(int, NMHDR*, LRESULT*) { return false; }
bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
    return self->OnInit();
  }
  auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  INT_PTR handled = self->Dispatch(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return handled;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      LRESULT result = 0;
      if (!OnNotify(static_cast<int>(header->idFrom), header, &result)) return FALSE;
      SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    default: {
      LRESULT result = 0;
      if (IsControlColourMessage(msg) && ReflectControlColour(msg, wParam, lParam, &result))
        return static_cast<INT_PTR>(result);
      if (!OnMessage(msg, wParam, lParam, &result)) return FALSE;
      // Messages whose answer is the dialog procedure's own return value.
      switch (msg) {
        case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX: case WM_CTLCOLORSCROLLBAR: case WM_COMPAREITEM: case WM_VKEYTOITEM:
        case WM_CHARTOITEM: case WM_QUERYDRAGICON:
          return static_cast<INT_PTR>(result);
        default:
          SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
          return TRUE;
      }
    }
  }
}

bool IsControlColourMessage(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      return true;
    default:
      return false;
  }
}

bool ReflectControlColour(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  HWND control = reinterpret_cast<HWND>(lParam);
  if (!IsControlColourMessage(msg) || control == nullptr || !IsWindow(control)) return false;
  LRESULT brush = SendMessageA(control, kReflectBase + msg, wParam, lParam);
  if (brush == 0) return false;
  *result = brush;
  return true;
}

namespace {

// The object and the procedure it replaced, kept on the control itself.
const char kSubclassObject[] = "SweepHarbor.Subclass";
const char kSubclassPrevious[] = "SweepHarbor.SubclassPrevious";

WNDPROC PreviousProc(HWND hwnd) { return reinterpret_cast<WNDPROC>(GetPropA(hwnd, kSubclassPrevious)); }

}  // namespace

CSubclassedWindow::~CSubclassedWindow() { Unsubclass(); }

// A classic procedure chain rather than comctl32's SetWindowSubclass: the
// skinned controls are made before the first paint, when comctl32 is not
// loaded yet (see common_controls_win.h).
bool CSubclassedWindow::Subclass(HWND control) {
  Unsubclass();
  if (control == nullptr || GetPropA(control, kSubclassPrevious) != nullptr) return false;
  const auto previous = reinterpret_cast<HANDLE>(GetWindowLongPtrA(control, GWLP_WNDPROC));
  if (previous == nullptr || !SetPropA(control, kSubclassPrevious, previous) ||
      !SetPropA(control, kSubclassObject, this)) {
    RemovePropA(control, kSubclassPrevious);
    return false;
  }
  SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
  hwnd_ = control;
  return true;
}

void CSubclassedWindow::Unsubclass() {
  if (hwnd_ && IsWindow(hwnd_)) {
    // Another procedure put on top of ours keeps calling ours, which then
    // only passes messages on; otherwise the control gets its own back.
    RemovePropA(hwnd_, kSubclassObject);
    if (GetWindowLongPtrA(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc)) {
      SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviousProc(hwnd_)));
      RemovePropA(hwnd_, kSubclassPrevious);
    }
  }
  hwnd_ = nullptr;
}

LRESULT CSubclassedWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) { return Default(msg, wParam, lParam); }

LRESULT CSubclassedWindow::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(PreviousProc(hwnd_), hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK CSubclassedWindow::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CSubclassedWindow*>(GetPropA(hwnd, kSubclassObject));
  const WNDPROC previous = PreviousProc(hwnd);
  if (msg == WM_NCDESTROY) {
    if (self != nullptr) self->Unsubclass();
    RemovePropA(hwnd, kSubclassObject);
    RemovePropA(hwnd, kSubclassPrevious);
  } else if (self != nullptr) {
    return self->WndProc(msg, wParam, lParam);
  }
  return previous != nullptr ? CallWindowProcA(previous, hwnd, msg, wParam, lParam)
                             : DefWindowProcA(hwnd, msg, wParam, lParam);
}

std::string LoadResString(int id) {
  char buffer[1024];
  int n = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace sh
