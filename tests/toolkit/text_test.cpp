// The text helpers the cleaner matches names and builds paths and lines with.
#include <gtest/gtest.h>

#include "toolkit/text.h"

namespace sh {
namespace {

TEST(Text, HelpersHandleCaseAndEdges) {
  EXPECT_TRUE(EqualsNoCase("Desktop.INI", "desktop.ini"));
  EXPECT_FALSE(EqualsNoCase("desktop.ini", "desktop.in"));
  EXPECT_FALSE(EqualsNoCase("index.dat", "index.dax"));
  EXPECT_EQ(ToUpperAscii("Software\\az"), "SOFTWARE\\AZ");
  std::string s = "a\\\\b\\\\\\\\c";
  ReplaceAll(s, "\\\\", "\\");
  EXPECT_EQ(s, "a\\b\\\\c") << "one left-to-right pass";
  EXPECT_EQ(StripTrailing("C:\\Temp\\\\", '\\'), "C:\\Temp");
  EXPECT_EQ(StripLeading("\\\\x", '\\'), "x");
  EXPECT_EQ(TrimWhite(" \t name\r\r\n"), "name");
  EXPECT_EQ(FileNamePart("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(FileNamePart("b.txt"), "b.txt");
  EXPECT_EQ(Format("%s-%d", std::string(5000, 'x').c_str(), 7), std::string(5000, 'x') + "-7");
}

}  // namespace
}  // namespace sh
