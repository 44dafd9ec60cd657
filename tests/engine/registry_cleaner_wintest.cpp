// Registry entries of a spot on real keys of the test prefix, through the
// real cleaners. Which keys a spot may touch, what happens to a key that
// cannot go, and the counts are tested natively (spot_cleaner_test.cpp).
#include <gtest/gtest.h>

#include "engine/wine_rig.h"

namespace sh::test {
namespace {

const HKEY kUser = HKEY_CURRENT_USER;
const RegRoot kUserRoot = RegRoot::kCurrentUser;

TEST(RegistryOnWine, KeysAreEmptiedAndMadeAgainValuesDeleted) {
  const std::string scratch = "Software\\shtest-registry-" + std::to_string(GetCurrentProcessId());
  const std::string target = scratch + "\\Target", typed = scratch + "\\Typed";
  RegistryGuard guard;  // removes the scratch key again
  guard.SetString(kUser, target, "", "default");
  guard.SetString(kUser, target, "MRUList", "ab");
  guard.SetString(kUser, target + "\\One\\Two\\Three", "y", "2");
  for (const char* name : {"", "url1", "url2"}) guard.SetString(kUser, typed, name, "http://a/");
  guard.SetString(kUser, typed + "\\Child", "c", "kept");
  guard.SetString(kUser, scratch + "\\Sibling", "keep", "me");
  CCleaningSpot spot("Recent documents", 1);
  spot.AddRegKey(kUserRoot, target);
  spot.AddRegKey(kUserRoot, scratch + "\\Missing\\Deeper");
  spot.AddRegValue(kUserRoot, typed, "");  // the key's default value
  spot.AddRegValue(kUserRoot, typed, "url1");
  WinRig rig;

  rig.Clean(spot);

  EXPECT_TRUE(KeyExists(kUser, target));
  EXPECT_TRUE(Names(kUser, target).empty());
  EXPECT_TRUE(Names(kUser, target, false).empty());
  EXPECT_FALSE(KeyExists(kUser, scratch + "\\Missing")) << "a missing key is never created";
  EXPECT_EQ(Names(kUser, typed, false), std::vector<std::string>{"url2"});
  EXPECT_EQ(ReadValue(kUser, typed + "\\Child", "c"), "kept");
  EXPECT_EQ(ReadValue(kUser, scratch + "\\Sibling", "keep"), "me");
  EXPECT_EQ(rig.report.outcomes[0].keys, 3);
}

}  // namespace
}  // namespace sh::test
