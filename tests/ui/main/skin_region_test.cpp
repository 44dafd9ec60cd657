// The window's shape from its skin: one-pixel-high runs of the pixels that
// are not the key colour, row by row.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/main/skin_region.h"

namespace sh {
namespace {

TEST(SkinRegion, EveryPixelThatIsNotTheKeyColourIsInExactlyOneRun) {
  constexpr uint32_t G = kSkinKeyColour, X = 0x00123456, T = 0xFF000000;  // T: not part of the colour
  const std::vector<uint32_t> pixels = {X, G, G, X | T,  // a run at each end
                                        X, X, X, X,      // a whole row
                                        G, X, G, G | T,  // one pixel
                                        G, G, G, G};     // nothing
  std::vector<std::string> runs;
  for (const PixelRun& r : NonKeyRuns(pixels, 4, 4, G))
    runs.push_back(std::to_string(r.top) + ":" + std::to_string(r.left) + "-" + std::to_string(r.right));
  EXPECT_EQ(runs, (std::vector<std::string>{"0:0-1", "0:3-4", "1:0-4", "2:1-2"}));
  EXPECT_TRUE(NonKeyRuns(pixels, 4, 5, G).empty()) << "fewer pixels than the size says";
}

}  // namespace
}  // namespace sh
