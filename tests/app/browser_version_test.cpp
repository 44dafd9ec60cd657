// The browser's version as the start-up reads it: up to four numbers of
// the registry's text, the missing ones 0; the Browsers tile shows the first
// two.
#include <gtest/gtest.h>

#include <vector>

#include "app/system_info.h"

namespace sh {
namespace {

TEST(BrowserVersion, UpToFourNumbersTheMissingOnesZero) {
  const std::pair<const char*, std::vector<int>> kCases[] = {
      {"11.0.9600.19036", {11, 0, 9600, 19036}}, {"5.5", {5, 5, 0, 0}},
      {"9.11.9600.20000.7", {9, 11, 9600, 20000}}, {"", {0, 0, 0, 0}},
      {"7.x.6000", {7, 0, 0, 0}},  // reading stops at the first non-number
  };
  for (const auto& [text, numbers] : kCases) {
    const BrowserVersion v = ParseBrowserVersion(text);
    EXPECT_EQ((std::vector<int>{v.major, v.minor, v.build, v.subBuild}), numbers) << text;
  }
}

}  // namespace
}  // namespace sh
