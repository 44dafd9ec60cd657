#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/recorders.h"

namespace sh {
namespace {

TEST(SettingsEncoding, FlagIsOnlyTheExactTextOne) {
  EXPECT_EQ(FlagFromText("1"), 1);
  for (const char* off : {"", "0", "true", " 1", "01", "1 ", "11", "yes"}) EXPECT_EQ(FlagFromText(off), 0) << off;
}

TEST(SettingsEncoding, NumberIsTheLeadingInteger) {
  EXPECT_EQ(NumberFromText("2abc"), 2);
  EXPECT_EQ(NumberFromText("abc"), 0);
  EXPECT_EQ(NumberFromText(""), 0);
  EXPECT_EQ(NumberFromText("-3"), -3);
  EXPECT_EQ(TextFromInt(4), "4");
}

TEST(Settings, TypedAccessorsUseTheirEncodingsAndDefaults) {
  test::MapSettings store;
  CSettings settings(store);
  EXPECT_EQ(settings.Shred(), 0);
  EXPECT_EQ(settings.ShredMethod(), 0);
  EXPECT_EQ(settings.KeepURL(), "about:blank");
  EXPECT_EQ(settings.LastUpdate(), "");

  settings.SetShred(1);
  settings.SetShredMethod(3);
  settings.SetCleanStart(0);
  EXPECT_EQ(store.values["Shred"], "1");
  EXPECT_EQ(store.values["ShredMethod"], "3");
  EXPECT_EQ(store.values["CleanStart"], "0");
  EXPECT_EQ(settings.Shred(), 1);

  store.values["KeepURL"] = "";
  EXPECT_EQ(settings.KeepURL(), "about:blank") << "present but empty reads as the default";
  settings.SetKeepURL("http://example.com/");
  EXPECT_EQ(settings.KeepURL(), "http://example.com/");

  store.values["ShieldHomePage"] = "true";
  EXPECT_EQ(settings.ShieldHomePage(), 0);
  store.values["ShutDownOptions"] = "2x";
  EXPECT_EQ(settings.ShutDownOptions(), 2);
}

}  // namespace
}  // namespace sh
