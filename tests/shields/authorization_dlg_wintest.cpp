// The authorization popup run for real through the shields' seam.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "shields/shield_question_win.h"
#include "toolkit/gui_fixture.h"

namespace sh {
namespace {

int Height(const RECT& r) { return r.bottom - r.top; }

// A step of the script: `act` runs once the popup has stood still for
// `settle` ticks since the step before, or with settle 0 once it shrinks.
struct Step {
  int settle;
  std::function<void(HWND popup)> act;
};

// The popup over an owner window, the main window's stand-in, whose timer
// runs the script during the popup's modal loop and samples the popup.
struct PopupRun {
  explicit PopupRun(std::vector<Step> steps) : script(std::move(steps)) {}
  bool Ask(const std::string& text) {
    static PopupRun* current;
    current = this;
    SetTimer(owner.get(), 77, 10, [](HWND, UINT, UINT_PTR, DWORD) { current->Tick(); });
    return CWinShieldQuestion(owner.get()).Allow("IE Home Page Changed", text);
  }
  void Tick() {
    HWND p = nullptr;
    while ((p = FindWindowExA(nullptr, p, "#32770", nullptr)) != nullptr && GetWindow(p, GW_OWNER) != owner.get()) {
    }
    if (p == nullptr) return;
    popup = p;
    samples.push_back(CWindow(p).WindowRect());
    ownerEnabled |= IsWindowEnabled(owner.get()) != 0;
    if (GetTickCount() - start > 15000) {
      ADD_FAILURE() << "the popup did not end";
      EndDialog(p, 0);
    } else if (done < script.size() && Ready(script[done].settle)) {
      lastStep = samples.size();
      script[done++].act(p);
    }
  }
  bool Ready(int settle) const {
    const size_t n = samples.size();
    if (settle == 0) return n >= 2 && Height(samples[n - 1]) < Height(samples[n - 2]);
    if (n < lastStep + settle) return false;
    for (size_t i = n - settle; i < n; ++i)
      if (!EqualRect(&samples[i], &samples.back()) || Height(samples[i]) == 0) return false;
    return true;
  }

  std::vector<Step> script;
  ScopedWindow owner{CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 20, 20, 300, 200, nullptr, nullptr,
                                     nullptr, nullptr)};
  const DWORD start = GetTickCount();
  HWND popup = nullptr;           // the last one seen
  std::vector<RECT> samples;      // the popup's rectangle at each tick
  size_t done = 0, lastStep = 0;  // steps run; samples when the last one ran
  bool ownerEnabled = false;      // at any tick while the popup was there
};

// One popup as a user meets it: it grows out of the work area's
// bottom-right corner in 5-pixel steps to 220 pixels, top-most, without a
// caption, its title and question painted, while the owner is disabled.
// Enter, Escape and the close command neither answer nor end it; the last
// click counts, also one during the slide-out, after which it ends. The
// text is long and holds '%' and '&'.
TEST(AuthorizationPopup, GrowsAnswersByTheLastClickAndSlidesOut) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  LONG style = 0, exStyle = 0;
  test::Canvas shot(234, 220);
  const auto key = [](WPARAM vk) {
    return [vk](HWND p) {
      HWND focus = GetFocus();
      for (UINT msg : {WM_KEYDOWN, WM_KEYUP}) PostMessageA(focus && IsChild(p, focus) ? focus : p, msg, vk, 0);
    };
  };
  PopupRun run({{5,
                 [&](HWND p) {
                   style = GetWindowLongA(p, GWL_STYLE), exStyle = GetWindowLongA(p, GWL_EXSTYLE);
                   UpdateWindow(p);
                   const RECT r = CWindow(p).WindowRect();
                   ScopedGetDc screen(nullptr);
                   BitBlt(shot.dc(), 0, 0, 234, 220, screen.get(), r.left, r.top, SRCCOPY);
                   key(VK_RETURN)(p);
                 }},
                {15, key(VK_ESCAPE)},
                {15, [](HWND p) { PostMessageA(p, WM_CLOSE, 0, 0); }},
                {15, [](HWND p) { PostMessageA(GetDlgItem(p, IDC_AUTH_YES), BM_CLICK, 0, 0); }},
                {0, [](HWND p) { PostMessageA(GetDlgItem(p, IDC_AUTH_NO), BM_CLICK, 0, 0); }}});
  EXPECT_FALSE(run.Ask("(" + std::string(100000, 'x') + "%s%n&&) Allow?"));
  EXPECT_EQ(run.done, 5u) << "it stopped standing after input " << run.done;
  EXPECT_FALSE(run.ownerEnabled);
  EXPECT_FALSE(IsWindow(run.popup));
  int previous = 0;
  for (const RECT& r : run.samples) {
    if (Height(r) == 0) continue;
    EXPECT_TRUE(r.left == work.right - 234 && r.right == work.right && r.bottom == work.bottom) << r.left;
    EXPECT_TRUE(Height(r) % 5 == 0 && Height(r) >= previous) << Height(r);
    if ((previous = Height(r)) == 220) break;
  }
  EXPECT_EQ(previous, 220);
  EXPECT_LE(Height(run.samples.back()), 20) << "seen to shrink away";
  EXPECT_TRUE((style & WS_CAPTION) == 0 && (exStyle & WS_EX_TOPMOST) != 0);
  for (RECT r : {RECT{47, 33, 217, 57}, RECT{14, 75, 221, 163}}) {
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) dark += (shot.Pixel(x, y) & 0xC0C0C0) == 0;
    EXPECT_GT(dark, 20) << "text painted at " << r.top;
  }
}

}  // namespace
}  // namespace sh
