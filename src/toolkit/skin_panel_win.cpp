#include "toolkit/skin_panel_win.h"

#include <utility>

#include "res/resource.h"
#include "toolkit/bitmap_win.h"

namespace sh {
namespace {

// An off-screen copy of a DC's clip box: drawing goes to the buffer in the
// DC's own logical coordinates, and Flush copies it back over the clip box.
// On a printer DC (or when no buffer can be made) drawing goes straight to
// the DC.
class ClipBoxBuffer {
 public:
  explicit ClipBoxBuffer(HDC dc) : target_(dc) {
    GetClipBox(dc, &clip_);
    const int w = clip_.right - clip_.left, h = clip_.bottom - clip_.top;
    if (GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER || w <= 0 || h <= 0) return;
    memory_.reset(CreateCompatibleDC(dc));
    bitmap_.reset(CreateCompatibleBitmap(dc, w, h));
    if (!memory_ || !bitmap_) return;
    selection_.emplace(memory_.get(), bitmap_.get());
    SetWindowOrgEx(memory_.get(), clip_.left, clip_.top, nullptr);
    buffered_ = true;
  }
  ClipBoxBuffer(const ClipBoxBuffer&) = delete;
  ClipBoxBuffer& operator=(const ClipBoxBuffer&) = delete;

  HDC dc() const { return buffered_ ? memory_.get() : target_; }
  bool Flush() {
    if (!buffered_) return true;
    return BitBlt(target_, clip_.left, clip_.top, clip_.right - clip_.left, clip_.bottom - clip_.top,
                  memory_.get(), clip_.left, clip_.top, SRCCOPY) != 0;
  }

 private:
  HDC target_;
  RECT clip_ = {0, 0, 0, 0};
  ScopedBitmap bitmap_;
  ScopedMemoryDc memory_;
  std::optional<ScopedSelectObject> selection_;
  bool buffered_ = false;
};

}  // namespace

CSkinPanel::CSkinPanel(int templateId) : CSkinPanel(templateId, LoadBitmapResource(IDB_SKIN)) {}

CSkinPanel::CSkinPanel(int templateId, ScopedBitmap skin) : CDialog(templateId), skin_(std::move(skin)) {}

CSkinPanel::~CSkinPanel() = default;

bool CSkinPanel::PaintSkin(HDC dc) {
  if (!skin_ || dc == nullptr) return false;
  ClipBoxBuffer buffer(dc);
  RECT client = ClientRect();
  if (firstErase_) {
    skinDc_.reset(CreateCompatibleDC(buffer.dc()));
    if (!skinDc_) return false;
    skinSelection_.emplace(skinDc_.get(), skin_.get());
    firstErase_ = false;
  }
  BitBlt(buffer.dc(), 0, 0, client.right - client.left, client.bottom - client.top, skinDc_.get(),
         kSkinPanelOrigin.x, kSkinPanelOrigin.y, SRCCOPY);
  return buffer.Flush();
}

bool CSkinPanel::OnMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
  if (msg != WM_ERASEBKGND) return false;
  PaintSkin(reinterpret_cast<HDC>(wParam));
  *result = 1;
  return true;
}

}  // namespace sh
