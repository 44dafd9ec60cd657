// Thin, non-owning wrappers over HWND and a dialog base whose single dialog
// procedure routes messages to small member functions.
#pragma once

#include <windows.h>

#include <string>

namespace sh {

// A window this object does not own: it never destroys it.
class CWindow {
 public:
  CWindow() = default;
  explicit CWindow(HWND hwnd) : hwnd_(hwnd) {}
  HWND hwnd() const { return hwnd_; }
  explicit operator bool() const { return hwnd_ != nullptr; }
  void Attach(HWND hwnd) { hwnd_ = hwnd; }

  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  std::string Text() const;
  void SetText(const std::string& text) const { SetWindowTextA(hwnd_, text.c_str()); }
  std::string ItemText(int id) const { return CWindow(Item(id)).Text(); }
  void SetItemText(int id, const std::string& text) const { SetDlgItemTextA(hwnd_, id, text.c_str()); }
  void Show(int how = SW_SHOW) const { ShowWindow(hwnd_, how); }
  void ShowItem(int id, bool show) const { ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
  bool Visible() const { return IsWindowVisible(hwnd_) != 0; }
  void Move(int x, int y, int cx, int cy, bool repaint = true) const { MoveWindow(hwnd_, x, y, cx, cy, repaint); }
  RECT ClientRect() const;
  RECT WindowRect() const;
  void Invalidate(bool erase = true) const { InvalidateRect(hwnd_, nullptr, erase); }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return SendMessageA(hwnd_, msg, w, l); }
  bool Post(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return PostMessageA(hwnd_, msg, w, l) != 0; }

 protected:
  HWND hwnd_ = nullptr;
};

// Reflection: a parent hands a control's WM_CTLCOLOR* request back to the
// control as message kReflectBase + the original message (same wParam and
// lParam), so that a control can answer its own colours. A control that
// does not know the message answers 0 (no brush) and the parent goes on as
// usual. The base lies above the common controls' CCM_* messages.
constexpr UINT kReflectBase = WM_USER + 0x1C00;
// True for the WM_CTLCOLOR* messages that carry the control in lParam.
bool IsControlColourMessage(UINT msg);
// Sends a WM_CTLCOLOR* message back to its control. True, with *result the
// brush, when the control answered with a brush. Any window procedure of a
// parent may call it; CDialog does so before OnMessage.
bool ReflectControlColour(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

// A dialog from a template. Derived classes override what they handle; the
// dialog procedure finds the object through the window's user data.
// WM_CTLCOLOR* requests are first reflected to the control (above); a
// control that answers decides its colours, others reach OnMessage.
class CDialog : public CWindow {
 public:
  explicit CDialog(int templateId) : templateId_(templateId) {}
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally; the result passed to EndDialog.
  INT_PTR DoModal(HWND parent);
  // Creates the dialog modeless (a child page when its template says so).
  bool Create(HWND parent);
  // As Create, from a template in memory (tests, dialogs built in code).
  // The template must stay valid for the call only.
  bool CreateIndirect(HWND parent, const DLGTEMPLATE* dialogTemplate);
  int templateId() const { return templateId_; }

 protected:
  // WM_INITDIALOG; TRUE lets the system set the focus.
  virtual BOOL OnInit() { return TRUE; }
  // WM_COMMAND; true when handled. The default ends a modal dialog on
  // IDOK and IDCANCEL.
  virtual bool OnCommand(int id, int code, HWND control);
  // WM_NOTIFY; true when handled, with *result the value to return.
  virtual bool OnNotify(int id, NMHDR* header, LRESULT* result);
  // Every other message; true when handled, with *result the value to
  // return from the dialog procedure (DWLP_MSGRESULT is set where needed).
  virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
  void End(INT_PTR result);
  bool modal() const { return modal_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

  int templateId_;
  bool modal_ = false;
};

// Replaces a control's window procedure with this object's WndProc for the
// life of the object (or of the control). Used by the skinned controls.
class CSubclassedWindow : public CWindow {
 public:
  CSubclassedWindow() = default;
  virtual ~CSubclassedWindow();
  CSubclassedWindow(const CSubclassedWindow&) = delete;
  CSubclassedWindow& operator=(const CSubclassedWindow&) = delete;

  bool Subclass(HWND control);
  void Unsubclass();

 protected:
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

// A string resource of this module, empty when missing.
std::string LoadResString(int id);

}  // namespace sh
