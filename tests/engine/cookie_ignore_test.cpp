// Reading the ignored-cookies file: records end in CR CR LF, but files
// written by hand or with other line ends match once trimmed.
#include "engine/cookie_ignore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>

namespace sh {
namespace {

TEST(IgnoredCookies, WholeTrimmedNamesMatchIgnoringCase) {
  // Unique per process: other suites may run beside this one.
  const std::string path = ::testing::TempDir() + "shtest-" + std::to_string(std::random_device{}()) + "-igckies.swh";
  std::ofstream(path, std::ios::binary) << "Cookie:user@bank.example/\r\r\nCookie:a@one/\nCookie:b@two/\r\n  "
                                           "\tCookie:c@three/ \r\r\n\r\n\nCookie:d@four/";
  for (const char* kept : {"Cookie:user@bank.example/", "cookie:USER@BANK.EXAMPLE/", "Cookie:a@one/", "Cookie:b@two/",
                           "Cookie:c@three/", "Cookie:d@four/"})
    EXPECT_TRUE(IsCookieIgnored(path, kept)) << kept;
  for (const char* other :
       {"Cookie:user@bank.example", "Cookie:user@bank.example/x", "ookie:user@bank.example/", "", " "})
    EXPECT_FALSE(IsCookieIgnored(path, other)) << other;
  std::remove(path.c_str());
  EXPECT_FALSE(IsCookieIgnored(path, "Cookie:a@one/")) << "a missing file keeps nothing";
}

}  // namespace
}  // namespace sh
