#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "model/memory_files.h"
#include "paths/path_macros.h"

namespace sh {
namespace {

using test::MapMacroValues;

std::string Expand(std::string text, MapMacroValues& values) {
  ExpandPathMacros(text, values);
  return text;
}

MapMacroValues AllStored() {
  MapMacroValues v;
  v.stored = {{"IE_Cache", "C:\\Cache"},
              {"IE_Cookies", "C:\\Cookies"},
              {"Recent", "C:\\Recent"},
              {"Sys_Temp", "C:\\Temp\\"},
              {"Win_Temp", "C:\\WINDOWS\\temp"},
              {"OutlookFolder", "C:\\L\\OE"},
              {"OutlookFolder2", "C:\\R\\OE"},
              {"MSN_Received_Files_Folder", "C:\\Docs\\My Received Files"},
              {"APP_DATA", "C:\\R"},
              {"LOCAL_APPDATA", "C:\\L"},
              {"COMMON_APPDATA", "C:\\All"},
              {"AOL_DATA_PATH", "C:\\AOL"}};
  v.aim = "screen1";
  return v;
}

TEST(ExpandPathMacros, EveryTokenGivesItsOwnValue) {
  MapMacroValues v = AllStored();
  EXPECT_EQ(Expand(":IE_Cache:\\Content.IE5", v), "C:\\Cache\\Content.IE5");
  EXPECT_EQ(Expand(":IE_Cookies:", v), "C:\\Cookies");
  EXPECT_EQ(Expand(":Recent:", v), "C:\\Recent");
  EXPECT_EQ(Expand(":Win_Temp:", v), "C:\\WINDOWS\\temp");
  EXPECT_EQ(Expand(":MSN_Received_Files_Folder:", v), "C:\\Docs\\My Received Files");
  EXPECT_EQ(Expand(":AOL_DATA_PATH:\\:AOL_USER:", v), "C:\\AOL\\screen1");
  EXPECT_EQ(Expand(":PF:\\App", v), "C:\\Program Files\\App");
  EXPECT_EQ(Expand(":SYS:\\x.dll", v), "C:\\WINDOWS\\system32\\x.dll");
  // Tokens that share a stem never match inside each other.
  EXPECT_EQ(Expand(":APPDATA:|:LOCAL_APPDATA:|:COMMON_APPDATA:", v), "C:\\R|C:\\L|C:\\All");
  EXPECT_EQ(Expand(":OutlookFolder:|:OutlookFolder2:", v), "C:\\L\\OE|C:\\R\\OE");
  // Every occurrence, not only the first.
  EXPECT_EQ(Expand(":Recent:;:Recent:", v), "C:\\Recent;C:\\Recent");
}

TEST(ExpandPathMacros, DoubledBackslashesCollapseInOnePass) {
  MapMacroValues v = AllStored();
  EXPECT_EQ(Expand(":WINDIR:\\\\Temp", v), "C:\\WINDOWS\\Temp");
  // Sys_Temp ends in a backslash, the file's path adds one more.
  EXPECT_EQ(Expand(":Sys_Temp:\\*.tmp", v), "C:\\Temp\\*.tmp");
  // One left-to-right pass: four become two, three become two.
  EXPECT_EQ(Expand("a\\\\\\\\b", v), "a\\\\b");
  EXPECT_EQ(Expand("a\\\\\\b", v), "a\\\\b");
}

// A redirected profile or a share: the leading pair stays, the rule goes on
// after it.
TEST(ExpandPathMacros, NetworkPathsKeepTheirLeadingPair) {
  MapMacroValues v = AllStored();
  v.stored["APP_DATA"] = "\\\\server\\profiles\\bob\\AppData";
  const std::pair<const char*, const char*> cases[] = {
      {"\\\\server\\share", "\\\\server\\share"},
      {"\\\\server\\share\\\\x", "\\\\server\\share\\x"},
      {":APPDATA:\\Mozilla", "\\\\server\\profiles\\bob\\AppData\\Mozilla"},
      {"x\\\\\\\\server", "x\\\\server"},  // only a leading pair
  };
  for (const auto& c : cases) EXPECT_EQ(Expand(c.first, v), c.second) << c.first;
}

TEST(ExpandPathMacros, TokensAreCaseSensitiveAndExact) {
  MapMacroValues v = AllStored();
  EXPECT_EQ(Expand(":windir:\\x", v), ":windir:\\x");
  EXPECT_EQ(Expand(":WINDIR\\x", v), ":WINDIR\\x");
  EXPECT_EQ(Expand(":YAHOO_USER:", v), ":YAHOO_USER:");  // not a path macro
  EXPECT_EQ(Expand(":IE_History:", v), ":IE_History:");  // stored, but has no token
}

// A token that stands for nothing leaves a path to something wider than
// meant; the expansion says so, and still expands the rest.
TEST(ExpandPathMacros, TellsWhenATokenStoodForNothing) {
  struct Case {
    const char* text;
    const char* expanded;
    bool whole;
  };
  const Case cases[] = {
      {":OutlookFolder:\\Inbox", "\\Inbox", false},
      {"x\\:APPDATA:\\y", "x\\y", false},
      {":Sys_Temp:", "", false},
      {":Recent:\\x", "\\\\x", false},                          // only backslashes (and no share)
      {":Win_Temp:\\x", " \\x", false},                         // only a blank
      {":WINDIR:\\:COMMON_APPDATA:", "C:\\WINDOWS\\", false},   // one of two
      {":IE_Cache:", "\\Cache", false},                         // a later token a value brought
      {":WINDIR:\\Temp", "C:\\WINDOWS\\Temp", true},
  };
  MapMacroValues v;
  v.stored = {{"Recent", "\\"}, {"Win_Temp", " "}, {"IE_Cache", ":APPDATA:\\Cache"}};
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(ExpandPathMacros(text, v), c.whole) << c.text;
    EXPECT_EQ(text, c.expanded) << c.text;
  }
}

TEST(ExpandPathMacros, LaterRowsExpandWhatEarlierValuesBrought) {
  MapMacroValues v;
  v.stored["IE_Cache"] = ":WINDIR:\\Cache";      // row 15 comes later: expanded
  v.stored["APP_DATA"] = ":Recent:\\AppData";    // row 3 came earlier: stays
  EXPECT_EQ(Expand(":IE_Cache:", v), "C:\\WINDOWS\\Cache");
  EXPECT_EQ(Expand(":APPDATA:", v), ":Recent:\\AppData");
}

TEST(ExpandPathMacros, LooksUpOnlyTheTokensPresent) {
  MapMacroValues v = AllStored();
  Expand("C:\\plain\\path", v);
  EXPECT_TRUE(v.lookups.empty());
  Expand(":LOCAL_APPDATA:\\a;:LOCAL_APPDATA:\\b;:WINDIR:", v);
  EXPECT_EQ(v.lookups, (std::vector<std::string>{"LOCAL_APPDATA", "WINDIR"}));
}

TEST(ExpandYahooUser, ReplacesOnlyItsToken) {
  MapMacroValues v = AllStored();
  v.yahoo = "jdoe";
  std::string text = "HKEY_CURRENT_USER\\Software\\Yahoo\\pager\\profiles\\:YAHOO_USER:\\:YAHOO_USER:\\:WINDIR:";
  ExpandYahooUser(text, v);
  EXPECT_EQ(text, "HKEY_CURRENT_USER\\Software\\Yahoo\\pager\\profiles\\jdoe\\jdoe\\:WINDIR:");
  v.lookups.clear();
  std::string none = "HKEY_CURRENT_USER\\Software";
  EXPECT_TRUE(ExpandYahooUser(none, v));
  EXPECT_TRUE(v.lookups.empty());
  v.yahoo = "";
  std::string profile = "HKEY_CURRENT_USER\\Software\\Yahoo\\Pager\\profiles\\:YAHOO_USER:";
  EXPECT_FALSE(ExpandYahooUser(profile, v)) << profile;
}

}  // namespace
}  // namespace sh
