#include <gtest/gtest.h>

#include "toolkit/text.h"

namespace sh {
namespace {

TEST(Text, AbsolutePathsAreDriveOrServerPaths) {
  for (const char* p : {"C:\\", "c:\\Temp", "\\\\server\\share", "\\\\server"}) EXPECT_TRUE(IsAbsolutePath(p)) << p;
  // An unresolved macro such as ":IE_Cache:\" must never count as absolute:
  // it would clean the root of the current drive.
  for (const char* p : {"", ":IE_Cache:\\", "\\Temp", "Temp", "C:", "C:Temp", "\\\\", "\\\\\\x", "1:\\x"})
    EXPECT_FALSE(IsAbsolutePath(p)) << p;
}

TEST(Text, DriveRoots) {
  for (const char* p : {"C:", "C:\\", "C:\\\\", "\\\\server\\share", "\\\\server\\share\\", "\\\\server"})
    EXPECT_TRUE(IsDriveRoot(p)) << p;
  for (const char* p : {"C:\\Temp", "\\\\server\\share\\dir", "C:\\found.000"}) EXPECT_FALSE(IsDriveRoot(p)) << p;
}

TEST(Text, HelpersHandleEdges) {
  std::string s = "a\\\\b\\\\\\\\c";
  ReplaceAll(s, "\\\\", "\\");
  EXPECT_EQ(s, "a\\b\\\\c") << "one left-to-right pass";
  std::string t = "x";
  ReplaceAll(t, "", "y");
  EXPECT_EQ(t, "x");
  EXPECT_EQ(StripTrailing("C:\\Temp\\\\", '\\'), "C:\\Temp");
  EXPECT_EQ(StripLeading("\\\\x", '\\'), "x");
  EXPECT_EQ(TrimWhite(" \t name\r\r\n"), "name");
  EXPECT_EQ(FileNamePart("C:\\a\\b.txt"), "b.txt");
  EXPECT_EQ(FileNamePart("b.txt"), "b.txt");
  EXPECT_TRUE(EqualsNoCase("Desktop.INI", "desktop.ini"));
  EXPECT_FALSE(EqualsNoCase("desktop.ini", "desktop.in"));
  EXPECT_EQ(Format("%s-%d", std::string(5000, 'x').c_str(), 7).size(), 5002u);
}

}  // namespace
}  // namespace sh
