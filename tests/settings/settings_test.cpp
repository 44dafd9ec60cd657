#include <gtest/gtest.h>

#include <utility>

#include "settings/settings.h"
#include "support/recorders.h"

namespace sh {
namespace {

TEST(SettingsEncoding, FlagsNumbersAndTheKeepUrlDefault) {
  EXPECT_EQ(FlagFromText("1"), 1);
  for (const char* off : {"", "0", "true", " 1", "01", "1 ", "11", "yes"}) EXPECT_EQ(FlagFromText(off), 0) << off;
  for (auto [text, n] : {std::pair{"2abc", 2}, {"abc", 0}, {"", 0}, {"-3", -3}}) EXPECT_EQ(NumberFromText(text), n);
  test::MapSettings store;
  store.values["KeepURL"] = "";
  EXPECT_EQ(CSettings(store).KeepURL(), "about:blank") << "present but empty";
}

}  // namespace
}  // namespace sh
