// Opening a web link: the shell first, then the browser's registered
// command cut at its placeholder. (The error box's texts: the link's tests.)
#include <gtest/gtest.h>

#include <map>

#include "support/fake_shell.h"
#include "toolkit/link_errors.h"
#include "toolkit/open_url.h"

namespace sh::test {
namespace {

// Default values under a classes root, with the reader's length limit.
class FakeClasses : public IClassesReader {
 public:
  bool ReadDefault(const std::string& subKey, size_t maxChars, std::string* value) override {
    auto it = values.find(subKey);
    if (it == values.end() || it->second.size() > maxChars) return false;
    *value = it->second;
    return true;
  }
  std::map<std::string, std::string> values;
};

TEST(OpenUrl, TheShellFirstThenTheRegisteredBrowserCommand) {
  const struct {
    int openCode;
    std::string type, command;  // empty: no such value
    int result;
    std::string ran;  // empty: nothing run
  } cases[] = {
      {33, "web", "b.exe", 33, ""},  // the lowest success: the registry is not read
      {32, "web", "\"C:\\b.exe\" -nohome \"%1\"", 34, "\"C:\\b.exe\" -nohome  A"},
      {32, "web", "b.exe %1x \"%1\" tail", 34, "b.exe %1x  A"},  // the quoted form first
      {32, "web", "C:\\b.exe %1 -extra", 34, "C:\\b.exe  A"},
      {32, "web", "b.exe \"%1", 34, "b.exe \" A"},  // a lone quote is no part of it
      {32, "web", "b.exe %2 %", 34, "b.exe %2 % A"},
      {26, "", "b.exe", 26, ""},  // no web page type: the shell's code
      {26, "web", "", 26, ""},  // a type without a command
      {1, std::string(261, 't'), "b.exe", 1, ""},  // a type name over 260 characters is not used
      {1, std::string(260, 't'), "b.exe", 34, "b.exe A"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    FakeShell shell;
    shell.openCode = c.openCode;
    shell.runCode = 34;
    FakeClasses classes;
    if (!c.type.empty()) classes.values[".htm"] = c.type;
    if (!c.command.empty()) classes.values[c.type + "\\shell\\open\\command"] = c.command;
    EXPECT_EQ(OpenUrl("A", 3, shell, classes), c.result);
    EXPECT_EQ(shell.opened, std::vector<std::string>{"A"});
    EXPECT_EQ(shell.ran, c.ran.empty() ? std::vector<std::string>() : std::vector<std::string>{c.ran});
    EXPECT_EQ(shell.shows, std::vector<int>(shell.shows.size(), 3)) << "the show mode goes to both";
  }
}

}  // namespace
}  // namespace sh::test
