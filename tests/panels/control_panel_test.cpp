#include "panels/control_panel.h"

#include <gtest/gtest.h>

#include "support/recorders.h"

namespace sh {
namespace {

using test::MapSettings;

// The Run entry as Windows would hold it ("" when there is none).
class FakeRunEntry : public IRunEntry {
 public:
  bool Set(const std::string& command) override {
    entry = command;
    return true;
  }
  bool Delete() override {
    const bool had = !entry.empty();
    entry.clear();
    return had;
  }
  std::string entry;
};

const char kProgram[] = "C:\\Program Files\\SweepHarbor\\SweepHarbor.exe";
const std::string kMin = std::string("\"") + kProgram + "\" :MIN:";
const std::string kCln = std::string("\"") + kProgram + "\" :CLN:";

TEST(ControlPanelSettings, StartWithWindowsAndCleanAtStartKeepTheRunEntryInStep) {
  enum Step { kRunOn, kRunOff, kCleanOn, kCleanOff };
  const struct {
    const char* what;
    std::vector<Step> steps;
    std::string entry;
    int runAtStartup, cleanStart;
  } kCases[] = {
      {"run", {kRunOn}, kMin, 1, 0},
      {"clean also runs", {kCleanOn}, kCln, 1, 1},
      {"clean off, run still on", {kRunOn, kCleanOn, kCleanOff}, kMin, 1, 0},
      {"clean off after clean alone", {kCleanOn, kCleanOff}, kMin, 1, 0},
      {"run off stops cleaning", {kCleanOn, kRunOff}, "", 0, 0},
      {"clean off when it was off", {kRunOn, kRunOff, kCleanOff}, "", 0, 0},
  };
  for (const auto& c : kCases) {
    MapSettings store;
    FakeRunEntry run;
    CControlPanelSettings panel(store, run, kProgram);
    for (Step s : c.steps) {
      if (s == kRunOn || s == kRunOff) panel.RunAtStartup(s == kRunOn);
      else panel.CleanAtStart(s == kCleanOn);
    }
    EXPECT_EQ(run.entry, c.entry) << c.what;
    EXPECT_EQ(panel.settings().RunAtStartup(), c.runAtStartup) << c.what;
    EXPECT_EQ(panel.settings().CleanStart(), c.cleanStart) << c.what;
  }
  // No cut-off for a long program path.
  const std::string longPath = "C:\\" + std::string(300, 'x') + "\\SweepHarbor.exe";
  EXPECT_EQ(RunCommand(longPath, true), "\"" + longPath + "\" :CLN:");
}

}  // namespace
}  // namespace sh
