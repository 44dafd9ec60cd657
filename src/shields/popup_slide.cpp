#include "shields/popup_slide.h"

namespace sh {
namespace {

// Below this height a slide-out step ends the popup.
constexpr int kShrinkEnd = 6;

bool SlideInOver(const SlideRect& full, const SlideRect& growing) {
  return growing.Height() >= full.Height() - kSlideStep;
}

}  // namespace

SlideRect PopupFullRect(const SlideRect& workArea, int pictureWidth, int pictureHeight) {
  return SlideRect{workArea.right - pictureWidth, workArea.bottom - pictureHeight, workArea.right, workArea.bottom};
}

SlideRect SlideInStart(const SlideRect& full) { return SlideRect{full.left, full.bottom, full.right, full.bottom}; }

bool GrowStep(const SlideRect& full, SlideRect* growing) {
  if (SlideInOver(full, *growing)) return false;
  growing->top -= kSlideStep;
  return true;
}

SlideRect SlideOutStart(const SlideRect& full, const SlideRect& growing) {
  if (SlideInOver(full, growing)) return full;
  return SlideRect{full.left, growing.top, full.right, full.bottom};
}

bool ShrinkStep(SlideRect* shown) {
  if (shown->Height() < kShrinkEnd) return false;
  shown->top += kSlideStep;
  return true;
}

}  // namespace sh
