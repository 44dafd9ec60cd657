// The web-link static: a static text that changes colour and underline
// under the mouse, shows a hand cursor and a tooltip with its address, and
// opens the address in the default browser (with a fallback through the
// browser's registered command and an error box that names the failure).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/open_url.h"
#include "toolkit/seams.h"
#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"

namespace sh {

// The real shell and program run: ShellExecuteA "open" and WinExec.
class CWinShellLauncher : public IShellLauncher {
 public:
  int ShellOpen(const std::string& target, int show) override;
  int RunProgram(const std::string& commandLine, int show) override;
};

// Default values under a classes root: HKEY_CLASSES_ROOT, or in tests a key
// of their own laid out the same way. The root is not owned.
class CRegistryClassesReader : public IClassesReader {
 public:
  explicit CRegistryClassesReader(HKEY root = HKEY_CLASSES_ROOT) : root_(root) {}
  bool ReadDefault(const std::string& subKey, size_t maxChars, std::string* value) override;

 private:
  HKEY root_;
};

// OpenUrl with the registry under `classesRoot`.
int OpenURL(const std::string& address, int show, IShellLauncher& shell, HKEY classesRoot = HKEY_CLASSES_ROOT);

// Cursor 106 of "<windowsFolder>\winhlp32.exe" (the Windows folder when
// empty), copied; the module is loaded as a data file (its bitness does not
// matter) and released at once. Empty when any step fails.
ScopedCursor LoadHelpHandCursor(const std::string& windowsFolder = std::string());

// Where a link finds the registry and the help program; tests point both
// at places of their own.
struct LinkSystem {
  HKEY classesRoot = HKEY_CLASSES_ROOT;
  std::string windowsFolder;  // empty: the Windows folder
};

class CLinkStatic : public CSubclassedWindow {
 public:
  // A hover colour with all bits set: the system highlight colour.
  static constexpr COLORREF kHighlightColour = 0xFFFFFFFF;
  static constexpr UINT_PTR kHoverTimerId = 100;
  static constexpr UINT kHoverTimerPeriod = 100;  // ms
  static constexpr COLORREF kDefaultLinkColour = RGB(0, 0, 238);
  static constexpr COLORREF kDefaultVisitedColour = RGB(85, 26, 139);
  static constexpr COLORREF kDefaultHoverColour = RGB(255, 0, 0);

  // `shell` and `prompt` must outlive the link.
  CLinkStatic(IShellLauncher& shell, IPrompt& prompt, LinkSystem system = LinkSystem());
  ~CLinkStatic() override;

  // Takes over the static `control`: adds SS_NOTIFY; an empty address
  // becomes the control's text, an empty text shows the address; makes the
  // normal and underlined fonts from the control's font (else the default
  // interface font, else the system font). The hand cursor and the tooltip
  // with the address for the whole client area come with the pointer.
  bool Attach(HWND control);

  // Setters store the value and, when attached, update the tooltip or repaint.
  void SetURL(const std::string& address);
  // Link, visited and hover colours; a hover colour of kHighlightColour is
  // the system highlight colour.
  void SetColours(COLORREF link, COLORREF visited, COLORREF hover = kHighlightColour);

  const std::string& url() const { return url_; }
  bool visited() const { return visited_; }
  bool over() const { return over_; }
  // The text colour of the colour request in the current state: hover
  // colour while over, else visited colour when visited, else link colour.
  COLORREF TextColour() const;
  // True when the control now shows the underlined font.
  bool underlined() const;
  // Made when the pointer first comes over the link (or asked for here).
  HCURSOR hand_cursor() {
    MakePointerExtras();
    return handCursor_.get();
  }
  HWND tooltip() {
    MakePointerExtras();
    return tooltip_.get();
  }
  // The tooltip's text (empty without a tooltip).
  std::string TooltipText();

  // Paints the background instead of the button-face fill: a link that
  // lies on a picture (the home screen) shows the picture beneath it. The
  // painter gets the erase DC and the control; false falls back to the fill.
  void SetBackgroundPainter(std::function<bool(HDC, HWND)> painter) { backgroundPainter_ = std::move(painter); }

  // Opens `address` (OpenURL with this link's shell and registry).
  int OpenURL(const std::string& address, int show);

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void MakeFonts();
  void ApplyFont(bool underlined);
  void CreateTooltip();
  void MakePointerExtras();
  void OnClick();
  void Repaint();

  IShellLauncher& shell_;
  IPrompt& prompt_;
  LinkSystem system_;
  std::function<bool(HDC, HWND)> backgroundPainter_;
  ScopedFont underlinedFont_;
  ScopedFont normalFont_;
  HFONT originalFont_ = nullptr;  // the control's own font, given back at the end
  HFONT currentFont_ = nullptr;
  COLORREF linkColour_ = kDefaultLinkColour;
  COLORREF visitedColour_ = kDefaultVisitedColour;
  COLORREF hoverColour_ = kDefaultHoverColour;
  bool over_ = false;
  bool visited_ = false;
  std::string url_;
  ScopedCursor handCursor_;
  ScopedWindow tooltip_;
  bool extrasMade_ = false;
};

}  // namespace sh
