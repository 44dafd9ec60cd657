#include "ui/main/shutdown_helper_win.h"

#include "toolkit/platform_win.h"
#include "toolkit/win_handles_win.h"

namespace sh {

int CWinSessionEnder::EnablePrivilege(const char* name) {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()))
    return kTokenNotOpened;
  TOKEN_PRIVILEGES privileges = {};
  if (!LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid)) return kPrivilegeNotFound;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  return kPrivilegeEnabled;
}

BOOL CWinSessionEnder::EndSession(UINT flags, DWORD reserved) { return ExitWindowsEx(flags, reserved); }

ShutdownDialogFn FindShutdownDialog(HMODULE library) {
  if (library == nullptr) return nullptr;
  return reinterpret_cast<ShutdownDialogFn>(
      reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(60))));
}

bool CWinSessionEnder::ShowShutdownDialog() {
  ScopedLibrary shell(LoadLibraryA("shell32"));
  ShutdownDialogFn dialog = FindShutdownDialog(shell.get());
  if (dialog == nullptr) return false;
  dialog(nullptr);
  return true;
}

CShutdownHelper::CShutdownHelper(ISessionEnder& ender) : CShutdownHelper(ender, PlatformIsNtFamily()) {}

int CShutdownHelper::ExitWith(UINT flags) {
  if (ntFamily_) {
    int privilege = ender_.EnablePrivilege(kShutdownPrivilege);
    if (privilege != kPrivilegeEnabled) return privilege;
  }
  return ender_.EndSession(flags, 0);
}

void CShutdownHelper::ActOnShutdownOption(int option) {
  switch (option) {
    case kShutdownPowerOff: Shutdown(); break;
    case kShutdownRestart: Restart(); break;
    case kShutdownPrompt: ender_.ShowShutdownDialog(); break;
    default: break;
  }
}

}  // namespace sh
