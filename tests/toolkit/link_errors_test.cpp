// The error texts of a link that fails to open, the browser command rule,
// the open-with-fallback flow and the maker's site addresses.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "toolkit/link_errors.h"
#include "toolkit/maker_site.h"
#include "toolkit/open_url.h"

namespace sh::test {
namespace {

TEST(LinkErrors, EveryCodeOfTheTableHasItsExactText) {
  const std::map<int, std::string> table = {
      {0, "The operating system is out\nof memory or resources."},
      {2, "The specified file was not found."},
      {3, "The specified path was not found."},
      {5, "The operating system denied\naccess to the specified file."},
      {8, "There was not enough memory to complete the operation."},
      {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
      {26, "A sharing violation occurred. "},
      {27, "The filename association is\nincomplete or invalid."},
      {28, "The DDE transaction could not\nbe completed because the request timed out."},
      {29, "The DDE transaction failed."},
      {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
      {31, "There is no application associated\nwith the given filename extension."},
      {32, "The specified dynamic-link library was not found."},
  };
  for (const auto& [code, text] : table) EXPECT_EQ(OpenErrorText(code), text) << "code " << code;
}

TEST(LinkErrors, CodesOutsideTheTableAreUnknownAndTheBoxLeadsWithTheFixedText) {
  EXPECT_EQ(OpenErrorText(1), "Unknown Error (1) occurred.");
  EXPECT_EQ(OpenErrorText(4), "Unknown Error (4) occurred.");
  EXPECT_EQ(OpenErrorText(33), "Unknown Error (33) occurred.");
  EXPECT_EQ(OpenErrorText(-7), "Unknown Error (-7) occurred.");
  EXPECT_STREQ(kOpenLinkFailedLead, "Unable to open hyperlink:\n\n");
  EXPECT_EQ(OpenLinkFailureMessage(26), "Unable to open hyperlink:\n\nA sharing violation occurred. ");
  EXPECT_EQ(OpenLinkFailureMessage(1), "Unable to open hyperlink:\n\nUnknown Error (1) occurred.");
  EXPECT_EQ(OpenLinkFailureMessage(2), "Unable to open hyperlink:\n\nThe specified file was not found.");
}

TEST(BrowserCommand, CutAtTheQuotedThenTheBarePlaceholderElseAppended) {
  EXPECT_EQ(BrowserCommandLine("\"C:\\Browser\\b.exe\" -nohome \"%1\"", "http://h/x"),
            "\"C:\\Browser\\b.exe\" -nohome  http://h/x");
  // The quoted form is looked for first, even when a bare "%1" comes
  // earlier in the command.
  EXPECT_EQ(BrowserCommandLine("b.exe %1x \"%1\" tail", "A"), "b.exe %1x  A");
  EXPECT_EQ(BrowserCommandLine("C:\\b.exe %1 -extra", "http://h/"), "C:\\b.exe  http://h/");
  EXPECT_EQ(BrowserCommandLine("%1", "http://h/"), " http://h/");
  // A lone quote before %1 is not the four-character form.
  EXPECT_EQ(BrowserCommandLine("b.exe \"%1", "A"), "b.exe \" A");
  EXPECT_EQ(BrowserCommandLine("\"C:\\b.exe\" -nohome", "http://h/p.htm"), "\"C:\\b.exe\" -nohome http://h/p.htm");
  EXPECT_EQ(BrowserCommandLine("", "http://h/"), " http://h/");
  // "%2" and "%" alone are not placeholders of the rule.
  EXPECT_EQ(BrowserCommandLine("b.exe %2 %", "A"), "b.exe %2 % A");
}

// Records the calls and answers with fixed codes.
class FakeShell : public IShellLauncher {
 public:
  int ShellOpen(const std::string& target, int show) override {
    calls.push_back("open " + target + " " + std::to_string(show));
    return openCode;
  }
  int RunProgram(const std::string& commandLine, int show) override {
    calls.push_back("run " + commandLine + " " + std::to_string(show));
    return runCode;
  }
  int openCode = 42;
  int runCode = 33;
  std::vector<std::string> calls;
};

class FakeClasses : public IClassesReader {
 public:
  bool ReadDefault(const std::string& subKey, size_t maxChars, std::string* value) override {
    reads.push_back(subKey);
    limits.push_back(maxChars);
    auto it = values.find(subKey);
    if (it == values.end() || it->second.size() > maxChars) return false;
    *value = it->second;
    return true;
  }
  std::map<std::string, std::string> values;
  std::vector<std::string> reads;
  std::vector<size_t> limits;
};

TEST(OpenUrl, ACodeAbove32IsReturnedAtOnceWithoutTheRegistry) {
  FakeShell shell;
  FakeClasses classes;
  classes.values[".htm"] = "htmlfile";
  classes.values["htmlfile\\shell\\open\\command"] = "b.exe";
  EXPECT_EQ(OpenUrl("http://h/", kShowNormal, shell, classes), 42);
  EXPECT_EQ(shell.calls, std::vector<std::string>{"open http://h/ 1"});
  EXPECT_TRUE(classes.reads.empty());
  shell.openCode = 33;  // the lowest success
  EXPECT_EQ(OpenUrl("a", 1, shell, classes), 33);
  EXPECT_TRUE(classes.reads.empty());
  shell.openCode = 32;  // the highest failure
  shell.runCode = 34;
  EXPECT_EQ(OpenUrl("a", 1, shell, classes), 34) << "the registered command ran";
  EXPECT_EQ(classes.reads.size(), 2u);
  EXPECT_EQ(shell.calls.back(), "run b.exe a 1");
}

TEST(OpenUrl, FallsBackToTheRegisteredBrowserCommand) {
  FakeShell shell;
  shell.openCode = 31;
  shell.runCode = 33;
  FakeClasses classes;
  classes.values[".htm"] = "webpage";
  classes.values["webpage\\shell\\open\\command"] = "\"C:\\b.exe\" -nohome \"%1\"";
  EXPECT_EQ(OpenUrl("http://h/help.htm", 3, shell, classes), 33);
  EXPECT_EQ(classes.reads, (std::vector<std::string>{".htm", "webpage\\shell\\open\\command"}));
  EXPECT_EQ(classes.limits[0], 260u);
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[0], "open http://h/help.htm 3");
  EXPECT_EQ(shell.calls[1], "run \"C:\\b.exe\" -nohome  http://h/help.htm 3");
}

TEST(OpenUrl, MissingTypeOrCommandReturnsTheShellsCode) {
  FakeShell shell;
  shell.openCode = 26;
  FakeClasses classes;
  EXPECT_EQ(OpenUrl("x", 1, shell, classes), 26);
  EXPECT_EQ(classes.reads, std::vector<std::string>{".htm"});

  classes.values[".htm"] = "webpage";
  classes.reads.clear();
  EXPECT_EQ(OpenUrl("x", 1, shell, classes), 26);
  EXPECT_EQ(classes.reads.size(), 2u);
  for (const auto& call : shell.calls) EXPECT_EQ(call.rfind("run", 0), std::string::npos) << call;
}

TEST(OpenUrl, ATypeNameLongerThan260CharactersIsNotUsed) {
  FakeShell shell;
  shell.openCode = 1;
  FakeClasses classes;
  std::string longType(261, 't');
  classes.values[".htm"] = longType;
  classes.values[longType + "\\shell\\open\\command"] = "b.exe";
  EXPECT_EQ(OpenUrl("x", 1, shell, classes), 1);
  classes.values[".htm"] = std::string(260, 't');
  classes.values[std::string(260, 't') + "\\shell\\open\\command"] = "b.exe";
  EXPECT_EQ(OpenUrl("x", 1, shell, classes), 33);
}

TEST(MakerSite, AddressesAreFormedFromTheOneHost) {
  EXPECT_STREQ(kMakerSite, "http://www.lumivale.example");
  EXPECT_EQ(MakerUrl("/help.htm"), "http://www.lumivale.example/help.htm");
  EXPECT_EQ(MakerUrl("/"), "http://www.lumivale.example/");
  EXPECT_EQ(MakerUrl(""), kMakerSite);
}

}  // namespace
}  // namespace sh::test
