#include <gtest/gtest.h>

#include <string>

#include "model/memory_files.h"
#include "paths/path_macros.h"

namespace sh {
namespace {

// `whole` is false where a token stood for nothing: the path then names
// something wider than meant (a parent, a root) and must not be cleaned.
TEST(ExpandPathMacros, TokensAndTheRulesAroundThem) {
  test::FakeMachine v;
  v.values.insert({{"IE_Cache", ":WINDIR:\\Cache"},  // a later row expands it
                   {"APP_DATA", ":Recent:\\AppData"},  // an earlier row does not
                   {"IE_Cookies", "\\\\server\\cookies"}, {"Recent", "C:\\Recent"}, {"Sys_Temp", "C:\\Temp\\"},
                   {"Win_Temp", " "}, {"OutlookFolder", "C:\\L\\OE"}, {"OutlookFolder2", ""},
                   {"MSN_Received_Files_Folder", "\\"}, {"LOCAL_APPDATA", "C:\\L"}, {"COMMON_APPDATA", "C:\\All"},
                   {"AOL_DATA_PATH", "C:\\AOL"}, {"AIM", "screen1"}});
  const struct {
    const char* text;
    const char* expanded;
    bool whole;
  } cases[] = {
      {":IE_Cache:|:APPDATA:", "C:\\WINDOWS\\Cache|:Recent:\\AppData", true},
      {":Recent:;:Recent:", "C:\\Recent;C:\\Recent", true},
      {":APPDATA:|:LOCAL_APPDATA:|:COMMON_APPDATA:", ":Recent:\\AppData|C:\\L|C:\\All", true},
      {":AOL_DATA_PATH:\\:AOL_USER:|:PF:|:SYS:", "C:\\AOL\\screen1|C:\\Program Files|C:\\WINDOWS\\system32", true},
      {":Sys_Temp:\\*.tmp", "C:\\Temp\\*.tmp", true},
      {":WINDIR:\\\\Temp", "C:\\WINDOWS\\Temp", true},
      {"a\\\\\\\\b|a\\\\\\b", "a\\\\b|a\\\\b", true},  // one left-to-right pass
      {"\\\\server\\share\\\\x", "\\\\server\\share\\x", true},  // a network path keeps its leading pair
      {":IE_Cookies:\\x", "\\\\server\\cookies\\x", true},
      {"x\\\\\\\\server", "x\\\\server", true},
      // Unknown tokens, other cases and tokens of other texts stay as written.
      {":windir:\\x|:WINDIR\\x|:YAHOO_USER:|:IE_History:", ":windir:\\x|:WINDIR\\x|:YAHOO_USER:|:IE_History:", true},
      {":OutlookFolder:|:OutlookFolder2:\\Inbox", "C:\\L\\OE|\\Inbox", false},
      {"x\\:Win_Temp:\\y", "x\\ \\y", false},
      {":MSN_Received_Files_Folder:\\x", "\\\\x", false},
      {":WINDIR:\\:OutlookFolder2:", "C:\\WINDOWS\\", false},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(ExpandPathMacros(text, v), c.whole) << c.text;
    EXPECT_EQ(text, c.expanded) << c.text;
  }
}

TEST(ExpandYahooUser, ReplacesOnlyItsTokenAndTellsAnEmptyId) {
  test::FakeMachine v;
  for (const std::string id : {"jdoe", ""}) {
    v.values["YAHOO"] = id;
    std::string text = "HKEY_CURRENT_USER\\Software\\Yahoo\\pager\\profiles\\:YAHOO_USER:\\:YAHOO_USER:\\:WINDIR:";
    EXPECT_EQ(ExpandYahooUser(text, v), !id.empty());
    EXPECT_EQ(text, "HKEY_CURRENT_USER\\Software\\Yahoo\\pager\\profiles\\" + id + "\\" + id + "\\:WINDIR:");
    std::string none = "HKEY_CURRENT_USER\\Software";
    EXPECT_TRUE(ExpandYahooUser(none, v));
  }
}

}  // namespace
}  // namespace sh
