// The stand-in for the shell's open and the program run (IShellLauncher):
// records what was opened and run, answers with set codes.
#pragma once

#include <string>
#include <vector>

#include "toolkit/open_url.h"

namespace sh::test {

class FakeShell : public IShellLauncher {
 public:
  int ShellOpen(const std::string& target, int show) override {
    opened.push_back(target);
    shows.push_back(show);
    return openCode;
  }
  int RunProgram(const std::string& commandLine, int show) override {
    ran.push_back(commandLine);
    shows.push_back(show);
    return runCode;
  }
  int openCode = 42;  // above 32: opened
  int runCode = 33;   // above 31: started
  std::vector<std::string> opened, ran;
  std::vector<int> shows;
};

}  // namespace sh::test
