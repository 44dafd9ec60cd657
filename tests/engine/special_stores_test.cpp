// Names of the special stores: SID text, form-store keys, bin files.
#include <gtest/gtest.h>

#include "engine/special_stores.h"

namespace sh {
namespace {

TEST(SidText, StandardTextualForm) {
  const uint8_t nt[6] = {0, 0, 0, 0, 0, 5};
  EXPECT_EQ(SidText(nt, {21, 1085031214, 1563985344, 725345543, 1003}),
            "S-1-5-21-1085031214-1563985344-725345543-1003");
  EXPECT_EQ(SidText(nt, {18}), "S-1-5-18");
  EXPECT_EQ(SidText(nt, {4294967295u}), "S-1-5-4294967295");  // unsigned
  const uint8_t world[6] = {0, 0, 0, 0, 0, 1};
  EXPECT_EQ(SidText(world, {}), "S-1-1");
  const uint8_t wide[6] = {0, 0, 0x01, 0x02, 0x03, 0x04};
  EXPECT_EQ(SidText(wide, {7}), "S-1-16909060-7");
  const uint8_t huge[6] = {0x12, 0x34, 0, 0, 0, 1};
  EXPECT_EQ(SidText(huge, {7}), "S-1-0x123400000001-7");
}

TEST(FormStore, KeyPaths) {
  EXPECT_EQ(FormStoreBase("S-1-5-21-1-2-3-1000"),
            "Software\\Microsoft\\Protected Storage System Provider\\S-1-5-21-1-2-3-1000");
  EXPECT_EQ(FormStoreDataKey("jane"), "Software\\Microsoft\\Protected Storage System Provider\\jane\\Data");
  EXPECT_EQ(FormStoreKey("jane"),
            "Software\\Microsoft\\Protected Storage System Provider\\jane\\Data\\e161255a-37c3-11d2-bcaa-00c04fd929db");
}

TEST(RecycledFolder, FolderAndIndexFiles) {
  EXPECT_EQ(RecycledFolder("C:\\"), "C:\\Recycled");
  EXPECT_EQ(RecycledFolder("D:"), "D:\\Recycled");
  EXPECT_EQ(RecycledIndexInfo("C:\\Recycled"), "C:\\Recycled\\INFO");
  EXPECT_EQ(RecycledIndexInfo("C:\\Recycled\\"), "C:\\Recycled\\INFO");
  EXPECT_EQ(RecycledIndexInfo2("C:\\Recycled"), "C:\\Recycled\\INFO2");
}

}  // namespace
}  // namespace sh
