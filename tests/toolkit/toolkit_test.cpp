// The toolkit's portable helpers: opening a web link (the shell first, then
// the browser's registered command cut at its placeholder; the error box's
// texts: the link's tests), the text helpers, the recursive lock, and the
// window's shape from its skin.
#include <gtest/gtest.h>

#include <map>

#include "support/fake_shell.h"
#include "support/test_thread.h"
#include "toolkit/open_url.h"
#include "toolkit/recursive_lock.h"
#include "toolkit/text.h"
#include "ui/main/skin_region.h"

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

// The text helpers the cleaner matches names and builds paths and lines with
// (the others are seen at work in the walk's, the macros' and the data
// files' tests).
TEST(Text, HelpersHandleCaseAndEdges) {
  EXPECT_EQ(StripLeading("\\\\x", '\\'), "x");
  EXPECT_EQ(TrimWhite(" \t name\r\r\n"), "name");
  EXPECT_EQ(Format("%s-%d", std::string(5000, 'x').c_str(), 7), std::string(5000, 'x') + "-7");
}

// Re-entrant on the owning thread; another thread gets it only once every
// entry has been left.
TEST(RecursiveLock, OwnerReentersOthersWaitForTheLastLeave) {
  CRecursiveLock lock;
  auto otherThreadTakes = [&lock] {
    bool took = false;
    TestThread([&] {
      if ((took = lock.try_lock())) lock.unlock();
    }).Join();
    return took;
  };
  lock.lock();
  EXPECT_TRUE(lock.try_lock()) << "the owner enters again";
  EXPECT_FALSE(otherThreadTakes()) << "held twice";
  lock.unlock();
  EXPECT_FALSE(otherThreadTakes()) << "still held once";
  lock.unlock();
  EXPECT_TRUE(otherThreadTakes()) << "left as often as entered";
}

// The window's shape from its skin: one-pixel-high runs of the pixels that
// are not the key colour, row by row.
TEST(SkinRegion, EveryPixelThatIsNotTheKeyColourIsInExactlyOneRun) {
  constexpr uint32_t G = kSkinKeyColour, X = 0x00123456, T = 0xFF000000;  // T: not part of the colour
  const std::vector<uint32_t> pixels = {X, G, G, X | T,  // a run at each end
                                        X, X, X, X,      // a whole row
                                        G, X, G, G | T,  // one pixel
                                        G, G, G, G};     // nothing
  std::vector<std::string> runs;
  for (const PixelRun& r : NonKeyRuns(pixels, 4, 4, G))
    runs.push_back(std::to_string(r.top) + ":" + std::to_string(r.left) + "-" + std::to_string(r.right));
  EXPECT_EQ(runs, (std::vector<std::string>{"0:0-1", "0:3-4", "1:0-4", "2:1-2"}));
  EXPECT_TRUE(NonKeyRuns(pixels, 4, 5, G).empty()) << "fewer pixels than the size says";
}

}  // namespace
}  // namespace sh::test
