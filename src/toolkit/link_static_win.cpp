#include "toolkit/link_static_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <utility>
#include <vector>

#include "toolkit/common_controls_win.h"
#include "toolkit/link_errors.h"

namespace sh {
namespace {

constexpr int kHelpProgramHandCursor = 106;
constexpr UINT_PTR kTooltipToolId = 1;
constexpr size_t kTooltipTextMax = 1024;

TOOLINFOA ToolInfo(HWND link) {
  TOOLINFOA info = {};
  info.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every comctl32 since 4.7
  info.hwnd = link;
  info.uId = kTooltipToolId;
  return info;
}

}  // namespace

int CWinShellLauncher::ShellOpen(const std::string& target, int show) {
  HINSTANCE result = ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, show);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

int CWinShellLauncher::RunProgram(const std::string& commandLine, int show) {
  return static_cast<int>(WinExec(commandLine.c_str(), static_cast<UINT>(show)));
}

bool CRegistryClassesReader::ReadDefault(const std::string& subKey, size_t maxChars, std::string* value) {
  ScopedHKey key;
  if (RegOpenKeyExA(root_, subKey.c_str(), 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) return false;
  std::vector<char> buffer(maxChars + 1, '\0');
  DWORD size = static_cast<DWORD>(buffer.size());
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS)
    return false;  // missing, or longer than the buffer (ERROR_MORE_DATA)
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  size_t length = 0;
  while (length < size && buffer[length] != '\0') ++length;
  if (length > maxChars) return false;
  value->assign(buffer.data(), length);
  return true;
}

int OpenURL(const std::string& address, int show, IShellLauncher& shell, HKEY classesRoot) {
  CRegistryClassesReader classes(classesRoot);
  return OpenUrl(address, show, shell, classes);
}

ScopedCursor LoadHelpHandCursor(const std::string& windowsFolder) {
  std::string folder = windowsFolder;
  if (folder.empty()) {
    char buffer[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return ScopedCursor();
    folder.assign(buffer, n);
  }
  std::string path = folder + "\\winhlp32.exe";
  ScopedLibrary library(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!library) return ScopedCursor();
  HCURSOR shared = LoadCursorA(library.get(), MAKEINTRESOURCEA(kHelpProgramHandCursor));
  if (shared == nullptr) return ScopedCursor();
  return ScopedCursor(CopyIcon(shared));
}

CLinkStatic::CLinkStatic(IShellLauncher& shell, IPrompt& prompt, LinkSystem system)
    : shell_(shell), prompt_(prompt), system_(std::move(system)) {}

CLinkStatic::~CLinkStatic() {
  HWND control = hwnd_;
  Unsubclass();
  if (control && IsWindow(control)) {
    KillTimer(control, kHoverTimerId);
    // The fonts go with this object: give the control its own font back.
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(originalFont_), FALSE);
  }
}

bool CLinkStatic::Attach(HWND control) {
  if (control == nullptr || !Subclass(control)) return false;
  SetWindowLongPtrA(hwnd_, GWL_STYLE, GetWindowLongPtrA(hwnd_, GWL_STYLE) | SS_NOTIFY);
  std::string text = Text();
  if (url_.empty()) url_ = text;
  if (text.empty()) SetText(url_);
  MakeFonts();
  ApplyFont(false);
  // The cursor and the tooltip wait for the pointer: a window with several
  // links shows sooner without a library load and a window per link.
  return true;
}

void CLinkStatic::MakePointerExtras() {
  if (extrasMade_ || hwnd_ == nullptr) return;
  extrasMade_ = true;
  handCursor_ = LoadHelpHandCursor(system_.windowsFolder);
  CreateTooltip();
}

void CLinkStatic::MakeFonts() {
  originalFont_ = reinterpret_cast<HFONT>(Send(WM_GETFONT));
  HFONT base = originalFont_;
  if (base == nullptr) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  if (base == nullptr) base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  LOGFONTA font = {};
  if (base == nullptr || GetObjectA(base, sizeof font, &font) == 0) return;
  font.lfUnderline = FALSE;
  normalFont_.reset(CreateFontIndirectA(&font));
  font.lfUnderline = TRUE;
  underlinedFont_.reset(CreateFontIndirectA(&font));
}

void CLinkStatic::ApplyFont(bool underlined) {
  HFONT font = underlined ? underlinedFont_.get() : normalFont_.get();
  if (font == nullptr || hwnd_ == nullptr) return;
  currentFont_ = font;
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

bool CLinkStatic::underlined() const { return currentFont_ != nullptr && currentFont_ == underlinedFont_.get(); }

void CLinkStatic::CreateTooltip() {
  InitCommonControlClasses(ICC_BAR_CLASSES);
  tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                 GetModuleHandleA(nullptr), nullptr));
  if (!tooltip_) return;
  TOOLINFOA info = ToolInfo(hwnd_);
  info.uFlags = TTF_SUBCLASS;
  info.rect = ClientRect();
  info.lpszText = &url_[0];
  SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

std::string CLinkStatic::TooltipText() {
  MakePointerExtras();
  if (!tooltip_) return std::string();
  std::vector<char> buffer(kTooltipTextMax, '\0');
  TOOLINFOA info = ToolInfo(hwnd_);
  info.lpszText = buffer.data();
  SendMessageA(tooltip_.get(), TTM_GETTEXTA, buffer.size(), reinterpret_cast<LPARAM>(&info));
  buffer.back() = '\0';
  return std::string(buffer.data());
}

void CLinkStatic::SetURL(const std::string& address) {
  url_ = address;
  if (!hwnd_) return;
  if (tooltip_) {
    TOOLINFOA info = ToolInfo(hwnd_);
    info.lpszText = &url_[0];
    SendMessageA(tooltip_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  }
}

void CLinkStatic::SetColours(COLORREF link, COLORREF visited, COLORREF hover) {
  linkColour_ = link;
  visitedColour_ = visited;
  hoverColour_ = hover;
  Repaint();
}

COLORREF CLinkStatic::TextColour() const {
  if (over_) return hoverColour_ == kHighlightColour ? GetSysColor(COLOR_HIGHLIGHT) : hoverColour_;
  return visited_ ? visitedColour_ : linkColour_;
}

int CLinkStatic::OpenURL(const std::string& address, int show) {
  return ::sh::OpenURL(address, show, shell_, system_.classesRoot);
}

void CLinkStatic::Repaint() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void CLinkStatic::OnClick() {
  over_ = false;
  int result = OpenURL(url_, SW_SHOWNORMAL);
  if (result > 32) {
    visited_ = true;
    Repaint();
    return;
  }
  MessageBeep(MB_ICONEXCLAMATION);
  PromptRequest request;
  request.text = OpenLinkFailureMessage(result);
  request.kind = PromptKind::kOk;
  request.icon = PromptIcon::kWarning;
  prompt_.Ask(request);
}

LRESULT CLinkStatic::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kReflectBase + WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, TextColour());
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(HOLLOW_BRUSH));
    }
    case WM_ERASEBKGND: {
      if (backgroundPainter_ && backgroundPainter_(reinterpret_cast<HDC>(wParam), hwnd_)) return 1;
      RECT client = ClientRect();
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_SETCURSOR:
      MakePointerExtras();
      if (handCursor_) {
        SetCursor(handCursor_.get());
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      MakePointerExtras();
      if (!over_) {
        over_ = true;
        ApplyFont(true);
        Repaint();
        SetTimer(hwnd_, kHoverTimerId, kHoverTimerPeriod, nullptr);
      }
      break;
    case WM_TIMER:
      if (wParam != kHoverTimerId) break;
      {
        POINT cursor = {0, 0};
        GetCursorPos(&cursor);
        ScreenToClient(hwnd_, &cursor);
        RECT client = ClientRect();
        if (!PtInRect(&client, cursor)) {
          over_ = false;
          KillTimer(hwnd_, kHoverTimerId);
          ApplyFont(false);
          client.bottom += 10;
          InvalidateRect(hwnd_, &client, TRUE);
        }
      }
      return 0;
    case WM_LBUTTONDOWN:
      OnClick();
      break;  // the static's own handling still reports STN_CLICKED
    case WM_DESTROY:
      KillTimer(hwnd_, kHoverTimerId);
      tooltip_.reset();
      break;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace sh
