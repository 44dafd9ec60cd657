// The browser's version as the start-up reads it: up to four numbers of
// the registry's text, the missing ones 0; the Browsers tile shows the first
// two.
#include <gtest/gtest.h>

#include <vector>

#include "app/system_info.h"

namespace sh {
namespace {

struct BrowserSource : ISystemSource {
  OsVersionRecord ReadVersion() override { return {}; }
  bool ReadMemoryEx(uint64_t*, uint64_t*) override { return false; }
  void ReadMemoryBasic(uint64_t*, uint64_t*) override {}
  std::string ReadUserName() override { return ""; }
  std::string ReadBrowserVersionText() override { return text; }
  std::string text;
};

TEST(BrowserVersion, UpToFourNumbersTheMissingOnesZero) {
  const std::pair<const char*, std::vector<int>> kCases[] = {
      {"6.0.2900.2180", {6, 0, 2900, 2180}}, {"11.0.9600.19036", {11, 0, 9600, 19036}},
      {"5.5", {5, 5, 0, 0}},                 {"9.11.9600.20000.7", {9, 11, 9600, 20000}},
      {"7.x.6000", {7, 0, 0, 0}},  // reading stops at the first non-number
      {"", {0, 0, 0, 0}},
  };
  for (const auto& [text, numbers] : kCases) {
    BrowserSource source;
    source.text = text;
    CSystemInfo info;
    info.GatherSystemInfo(source);
    const BrowserVersion& v = info.Browser();
    EXPECT_EQ((std::vector<int>{v.major, v.minor, v.build, v.subBuild}), numbers) << text;
  }
}

}  // namespace
}  // namespace sh
