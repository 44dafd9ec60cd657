// Names of the special stores: the SID text that names the user's store.
#include "engine/special_stores.h"

#include <gtest/gtest.h>

namespace sh {
namespace {

TEST(SpecialStores, SidTextAndFormStoreKey) {
  const uint8_t nt[6] = {0, 0, 0, 0, 0, 5}, wide[6] = {0, 0, 0x01, 0x02, 0x03, 0x04},
                huge[6] = {0x12, 0x34, 0, 0, 0, 1};
  EXPECT_EQ(SidText(nt, {21, 1085031214, 1563985344, 725345543, 1003}),
            "S-1-5-21-1085031214-1563985344-725345543-1003");
  EXPECT_EQ(SidText(nt, {4294967295u}), "S-1-5-4294967295");  // unsigned
  EXPECT_EQ(SidText(wide, {}), "S-1-16909060");
  EXPECT_EQ(SidText(huge, {7}), "S-1-0x123400000001-7");
  EXPECT_EQ(FormStoreKey("jane"),
            "Software\\Microsoft\\Protected Storage System Provider\\jane\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db");
}

}  // namespace
}  // namespace sh
