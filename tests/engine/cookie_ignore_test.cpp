// The ignored-cookies file: record bytes, reading back, bad input.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "engine/cookie_ignore.h"
#include "support/recorders.h"

namespace sh::test {
namespace {

// Unique per process: other suites may run beside this one.
std::string TempFile(const std::string& name) {
  static const std::string token = std::to_string(std::random_device{}());
  return ::testing::TempDir() + "shtest-" + token + "-" + name;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

TEST(IgnoredCookies, RecordsEndInCrCrLfAndReadBackIgnoringCase) {
  const std::string path = TempFile("igckies-roundtrip.swh");
  ASSERT_TRUE(WriteIgnoredCookies(path, {"Cookie:user@bank.example/", "Cookie:user@mail.example/inbox/"}));

  EXPECT_EQ(FileBytes(path), "Cookie:user@bank.example/\r\r\nCookie:user@mail.example/inbox/\r\r\n");
  EXPECT_TRUE(IsCookieIgnored(path, "Cookie:user@bank.example/"));
  EXPECT_TRUE(IsCookieIgnored(path, "cookie:USER@MAIL.EXAMPLE/INBOX/"));
  // Whole names only.
  EXPECT_FALSE(IsCookieIgnored(path, "Cookie:user@bank.example"));
  EXPECT_FALSE(IsCookieIgnored(path, "Cookie:user@bank.example/x"));
  EXPECT_FALSE(IsCookieIgnored(path, "ookie:user@bank.example/"));
  EXPECT_FALSE(IsCookieIgnored(path, ""));
  std::remove(path.c_str());
}

// Files written by hand or by other line-end conventions still match once
// trimmed; the folder step gets the lines as read.
TEST(IgnoredCookies, ReadersTrimWhiteSpaceOfAnyLineEnd) {
  const std::string path = TempFile("igckies-ends.swh");
  PutBytes(path, "Cookie:a@one/\nCookie:b@two/\r\n  \tCookie:c@three/ \r\r\n\r\n\nCookie:d@four/");

  for (const char* name : {"Cookie:a@one/", "Cookie:b@two/", "Cookie:c@three/", "Cookie:d@four/"})
    EXPECT_TRUE(IsCookieIgnored(path, name)) << name;
  EXPECT_FALSE(IsCookieIgnored(path, " "));

  std::vector<std::string> lines = ReadIgnoredCookieLines(path);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Cookie:a@one/");
  EXPECT_EQ(lines[2].substr(0, 3), "  \t");  // not trimmed
  EXPECT_EQ(lines.back(), "Cookie:d@four/");
  std::remove(path.c_str());
}

TEST(IgnoredCookies, MissingFileIgnoresNothing) {
  const std::string path = TempFile("igckies-absent.swh");
  std::remove(path.c_str());
  EXPECT_FALSE(IsCookieIgnored(path, "Cookie:a@one/"));
  EXPECT_TRUE(ReadIgnoredCookieLines(path).empty());
}

TEST(IgnoredCookies, EmptyListLeavesAnEmptyFile) {
  const std::string path = TempFile("igckies-empty.swh");
  PutBytes(path, "Cookie:old@one/\r\r\n");
  ASSERT_TRUE(WriteIgnoredCookies(path, {}));
  EXPECT_EQ(FileBytes(path), "");
  EXPECT_FALSE(IsCookieIgnored(path, "Cookie:old@one/"));
  std::remove(path.c_str());
}

TEST(IgnoredCookies, NamesThatCannotReadBackAreRefusedAndTheFileKept) {
  const std::string path = TempFile("igckies-bad.swh");
  PutBytes(path, "Cookie:old@one/\r\r\n");
  EXPECT_FALSE(WriteIgnoredCookies(path, {"Cookie:a@one/", "Cookie:two\nlines/"}));
  EXPECT_FALSE(WriteIgnoredCookies(path, {"Cookie:a@one/", ""}));
  EXPECT_EQ(FileBytes(path), "Cookie:old@one/\r\r\n");
  EXPECT_FALSE(WriteIgnoredCookies(TempFile("no-such-folder/x/Igckies.swh"), {"Cookie:a@one/"}));
  std::remove(path.c_str());
}

// The data-file rule puts a backslash between folder and name; on Linux
// that makes a file of that whole name beside the folder, which is as good.
TEST(IgnoredCookies, FileInTheDataFolderOfTheSettings) {
  MapSettings settings;
  const std::string folder = TempFile("datafolder");
  std::filesystem::create_directory(folder);
  settings.values["path"] = folder;
  const std::string path = folder + "\\Igckies.swh";
  ASSERT_TRUE(WriteIgnoredCookies(path, {"Cookie:user@kept.example/"}));
  EXPECT_TRUE(IsCookieIgnored(settings, "Cookie:user@kept.example/"));
  EXPECT_FALSE(IsCookieIgnored(settings, "Cookie:user@other.example/"));
  std::remove(path.c_str());
  std::filesystem::remove(folder);
}

}  // namespace
}  // namespace sh::test
