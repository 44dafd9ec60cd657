#include "toolkit/open_url.h"

#include "toolkit/link_errors.h"

namespace sh {

const char kWebPageExtension[] = ".htm";
const char kOpenCommandKey[] = "\\shell\\open\\command";

int OpenUrl(const std::string& address, int show, IShellLauncher& shell, IClassesReader& classes) {
  int code = shell.ShellOpen(address, show);
  if (code > 32) return code;
  std::string type;
  if (!classes.ReadDefault(kWebPageExtension, kMaxClassText, &type)) return code;
  std::string command;
  if (!classes.ReadDefault(type + kOpenCommandKey, kMaxCommandText, &command)) return code;
  return shell.RunProgram(BrowserCommandLine(command, address), show);
}

}  // namespace sh
