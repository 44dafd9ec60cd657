// Names of the special stores: the SID text that names the user's store.
#include "engine/special_stores.h"

#include <gtest/gtest.h>

namespace sh {
namespace {

// The user's store is named by the SID text; sub-authorities are unsigned.
TEST(SpecialStores, SidTextNamesTheUsersFormStore) {
  const uint8_t nt[6] = {0, 0, 0, 0, 0, 5};
  EXPECT_EQ(SidText(nt, {21, 3085031214u, 1563985344, 725345543, 1003}),
            "S-1-5-21-3085031214-1563985344-725345543-1003");
  EXPECT_EQ(FormStoreKey("jane"),
            "Software\\Microsoft\\Protected Storage System Provider\\jane\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db");
}

}  // namespace
}  // namespace sh
