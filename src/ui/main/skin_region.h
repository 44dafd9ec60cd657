// The window's shape from its skin: every pixel that is not the key colour
// belongs to the window, collected row by row as one-pixel-high runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sh {

struct PixelRun {
  int left, top, right;  // [left, right) on row `top`, one pixel high
};

// `pixels`: width * height values 0x00RRGGBB, top row first.
std::vector<PixelRun> NonKeyRuns(const std::vector<uint32_t>& pixels, int width, int height, uint32_t key);

constexpr uint32_t kSkinKeyColour = 0x0000FF00;  // pure green

}  // namespace sh
