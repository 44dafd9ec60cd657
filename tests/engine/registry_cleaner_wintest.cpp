// Registry entries of a spot on real keys of the test prefix, through the
// real cleaners. Which keys a spot may touch, the walk's order and the counts
// are tested natively (spot_cleaner_test.cpp).
#include <gtest/gtest.h>

#include "engine/registry_scratch_key.h"
#include "engine/wine_rig.h"

namespace sh::test {
namespace {

const HKEY kUser = HKEY_CURRENT_USER;
const RegRoot kUserRoot = RegRoot::kCurrentUser;

TEST(RegistryOnWine, KeysAreEmptiedAndMadeAgainValuesDeleted) {
  ScratchKey scratch("registry");
  const std::string target = scratch / "Target", typed = scratch / "Typed";
  SetString(kUser, target, "", "default");
  SetString(kUser, target, "MRUList", "ab");
  SetString(kUser, target + "\\One\\Two", "y", "2");
  MakeKey(kUser, target + "\\One\\Two\\Three");
  SetString(kUser, typed, "", "default");
  SetString(kUser, typed, "url1", "http://a/");
  SetString(kUser, typed, "url2", "http://b/");
  SetString(kUser, typed + "\\Child", "c", "kept");
  SetString(kUser, scratch / "Sibling", "keep", "me");
  CCleaningSpot spot("Recent documents", 1);
  spot.AddRegKey(kUserRoot, target);
  spot.AddRegKey(kUserRoot, scratch / "Missing\\Deeper");
  spot.AddRegValue(kUserRoot, typed, "");  // the key's default value
  spot.AddRegValue(kUserRoot, typed, "url1");
  WinRig rig;

  rig.Clean(spot);

  EXPECT_TRUE(KeyExists(kUser, target));
  EXPECT_TRUE(SubKeys(kUser, target).empty());
  EXPECT_TRUE(ValueNames(kUser, target).empty());
  EXPECT_FALSE(KeyExists(kUser, scratch / "Missing")) << "a missing key is never created";
  EXPECT_EQ(ValueNames(kUser, typed), std::vector<std::string>{"url2"});
  EXPECT_EQ(ReadString(kUser, typed + "\\Child", "c"), "kept");
  EXPECT_EQ(ReadString(kUser, scratch / "Sibling", "keep"), "me");
  EXPECT_EQ(rig.report.outcomes[0].keys, 3);
}

// Wine lets RegDeleteKey through whatever a key's access list says
// (/work/shared/wine-notes.md): access denied on a delete cannot be made
// here. A key whose list forbids listing it, holding a subkey of its own,
// cannot be deleted either way, and that is what stays here.
TEST(RegistryOnWine, SubkeyThatCannotGoLeavesTheRestGoing) {
  ScratchKey scratch("regstuck");
  const std::string target = scratch / "T";
  MakeKey(kUser, target + "\\a\\deep");
  MakeKey(kUser, target + "\\b\\held");
  MakeKey(kUser, target + "\\c");
  ASSERT_TRUE(SetKeyDacl(kUser, target + "\\b", 0));
  CCleaningSpot spot("Stuck", 1);
  spot.AddRegKey(kUserRoot, target);
  WinRig rig;

  rig.Clean(spot);

  EXPECT_EQ(SubKeys(kUser, target), std::vector<std::string>{"b"});
  EXPECT_TRUE(rig.log.Has(logline::CouldNotDeleteKey(kUserRoot, target + "\\b")));
  EXPECT_TRUE(rig.log.Has(logline::CouldNotDeleteKey(kUserRoot, target)));
  EXPECT_EQ(rig.report.outcomes[0].keys, 0);
}

}  // namespace
}  // namespace sh::test
