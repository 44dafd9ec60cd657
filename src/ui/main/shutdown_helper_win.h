// Ending the Windows session after a shutdown cleaning: shut down, restart,
// or the Windows shut-down dialog. Every call that could end the session
// goes through ISessionEnder, so tests record instead of ending Wine.
#pragma once

#include <windows.h>

namespace sh {

// Results of enabling the shutdown privilege.
constexpr int kPrivilegeEnabled = 21;
constexpr int kPrivilegeNotFound = 22;
constexpr int kTokenNotOpened = 256;

constexpr char kShutdownPrivilege[] = "SeShutdownPrivilege";

class ISessionEnder {
 public:
  virtual ~ISessionEnder() = default;
  // Enables the named privilege in the process token: kTokenNotOpened,
  // kPrivilegeNotFound, or kPrivilegeEnabled whatever the adjustment said.
  virtual int EnablePrivilege(const char* name) = 0;
  // ExitWindowsEx(flags, reserved); its result.
  virtual BOOL EndSession(UINT flags, DWORD reserved) = 0;
  // The Windows shut-down dialog (shell32 export 60) with no owner; false
  // when the library or the export is missing.
  virtual bool ShowShutdownDialog() = 0;
};

// The real calls. Under Wine, EndSession ends the whole Wine session.
class CWinSessionEnder : public ISessionEnder {
 public:
  int EnablePrivilege(const char* name) override;
  BOOL EndSession(UINT flags, DWORD reserved) override;
  bool ShowShutdownDialog() override;
};

// shell32's export 60 (the shut-down dialog) as `library` finds it; null
// when missing. The caller keeps the library loaded while it uses it.
using ShutdownDialogFn = void(WINAPI*)(HWND owner);
ShutdownDialogFn FindShutdownDialog(HMODULE library);

// The after-cleaning action of ShutDownOptions.
enum ShutdownOption { kShutdownNone = 0, kShutdownPowerOff = 1, kShutdownRestart = 2, kShutdownPrompt = 3 };

class CShutdownHelper {
 public:
  // ntFamily: the platform family; without it, PlatformIsNtFamily().
  CShutdownHelper(ISessionEnder& ender, bool ntFamily) : ender_(ender), ntFamily_(ntFamily) {}
  explicit CShutdownHelper(ISessionEnder& ender);

  // ExitWindowsEx(EWX_SHUTDOWN, 0) / (EWX_REBOOT, 0) after enabling the
  // shutdown privilege on NT. The privilege result (256 or 22) when it could
  // not be enabled, else the result of ExitWindowsEx.
  int Shutdown() { return ExitWith(EWX_SHUTDOWN); }
  int Restart() { return ExitWith(EWX_REBOOT); }
  // 1 shut down, 2 restart, 3 the shut-down dialog, anything else nothing.
  void ActOnShutdownOption(int option);

 private:
  int ExitWith(UINT flags);
  ISessionEnder& ender_;
  bool ntFamily_;
};

}  // namespace sh
