// Opening a web address: the shell's "open", and when that fails the
// browser's registered open command for web pages run directly. The shell
// and the program run are a seam (tests answer them); the registry is read
// through a small reader so tests can point it at keys of their own.
#pragma once

#include <cstddef>
#include <string>

namespace sh {

// Show mode of a normally shown window (SW_SHOWNORMAL).
constexpr int kShowNormal = 1;

class IShellLauncher {
 public:
  virtual ~IShellLauncher() = default;
  // The shell's "open" of `target` with no parameters and no folder, shown
  // with `show`; the shell's code (above 32 means success).
  virtual int ShellOpen(const std::string& target, int show) = 0;
  // Runs a command line with the system's run-program operation; its code
  // (above 31 means success).
  virtual int RunProgram(const std::string& commandLine, int show) = 0;
};

// Default values of keys under the classes root.
class IClassesReader {
 public:
  virtual ~IClassesReader() = default;
  // The default value of `subKey`; false when the key or its default value
  // is missing, is not text, or is longer than `maxChars` characters.
  virtual bool ReadDefault(const std::string& subKey, size_t maxChars, std::string* value) = 0;
};

// Longest web page type name read (characters).
constexpr size_t kMaxClassText = 260;
// Longest browser command read; a bound of ours, well above real commands.
constexpr size_t kMaxCommandText = 2048;
// The web page file type and the key under a type that holds its command.
extern const char kWebPageExtension[];  // ".htm"
extern const char kOpenCommandKey[];    // "\shell\open\command"

// Opens `address`: the shell's "open" first (a code above 32 is returned at
// once); otherwise the default value of ".htm" names the type, the default
// value of <type>"\shell\open\command" is the browser's command, and
// BrowserCommandLine(command, address) is run. When either value cannot be
// read, the shell's code is returned; otherwise the run's code.
int OpenUrl(const std::string& address, int show, IShellLauncher& shell, IClassesReader& classes);

}  // namespace sh
