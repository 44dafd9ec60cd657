// Where the authorization popup stands and how it slides: it grows out of
// the bottom-right corner of the screen's work area and shrinks back into
// it, 5 pixels a step. Plain geometry, so that the Win32 window only applies
// it.
#pragma once

namespace sh {

// A rectangle in screen pixels, right and bottom exclusive.
struct SlideRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const SlideRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

constexpr int kSlideStep = 5;

// The popup at full size: the picture's size, its bottom-right corner on
// the work area's.
SlideRect PopupFullRect(const SlideRect& workArea, int pictureWidth, int pictureHeight);

// Where the slide-in starts: the full width, no height, on the bottom edge.
SlideRect SlideInStart(const SlideRect& full);

// One step of the slide-in: the top of `growing` moves up a step and the
// result is true; false, with `growing` unchanged, once it is at least the
// full height less one step (the slide-in is over).
bool GrowStep(const SlideRect& full, SlideRect* growing);

// Where the slide-out starts: the full rectangle; or, when the answer came
// before the slide-in was over, the rectangle it had grown to, so that the
// popup does not jump up before it shrinks.
SlideRect SlideOutStart(const SlideRect& full, const SlideRect& growing);

// One step of the slide-out: the top of `shown` moves down a step and the
// result is true; false, with `shown` unchanged, once it is lower than 6
// pixels (the popup ends).
bool ShrinkStep(SlideRect* shown);

}  // namespace sh
