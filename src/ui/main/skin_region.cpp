#include "ui/main/skin_region.h"

namespace sh {

std::vector<PixelRun> NonKeyRuns(const std::vector<uint32_t>& pixels, int width, int height, uint32_t key) {
  std::vector<PixelRun> runs;
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
    return runs;
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = &pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
    int x = 0;
    while (x < width) {
      while (x < width && (row[x] & 0x00FFFFFF) == key) ++x;
      int start = x;
      while (x < width && (row[x] & 0x00FFFFFF) != key) ++x;
      if (x > start) runs.push_back(PixelRun{start, y, x});
    }
  }
  return runs;
}

}  // namespace sh
