// The base of the main window's panels: a child dialog whose background is
// the part of the main skin that lies under it.
#pragma once

#include <windows.h>

#include <optional>

#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"

namespace sh {

// Client point of the main window where the panel area starts; the panel's
// (0, 0) shows this point of the skin.
constexpr POINT kSkinPanelOrigin = {155, 107};

// A panel paints, on WM_ERASEBKGND, the skin rectangle of its client size
// that starts at kSkinPanelOrigin, through an off-screen buffer of the clip
// box (drawn directly on a printer DC), and reports the background erased.
// Derived panels that override OnMessage pass the messages they do not
// handle on to CSkinPanel::OnMessage.
class CSkinPanel : public CDialog {
 public:
  // Loads the skin, bitmap resource 129 of this program.
  explicit CSkinPanel(int templateId);
  // With a skin made elsewhere (tests, other skins).
  CSkinPanel(int templateId, ScopedBitmap skin);
  ~CSkinPanel() override;

  HBITMAP skin() const { return skin_.get(); }
  // True until the first erase has made the skin DC.
  bool first_erase() const { return firstErase_; }
  // Paints the background into `dc` as WM_ERASEBKGND does; false when
  // there is no skin or nothing could be drawn.
  bool PaintSkin(HDC dc);

 protected:
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  ScopedBitmap skin_;
  ScopedMemoryDc skinDc_;
  std::optional<ScopedSelectObject> skinSelection_;  // skin_ in skinDc_
  bool firstErase_ = true;
};

}  // namespace sh
