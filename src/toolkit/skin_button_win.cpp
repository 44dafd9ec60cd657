#include "toolkit/skin_button_win.h"

#include <algorithm>
#include <utility>

#include "res/resource.h"
#include "toolkit/bitmap_win.h"

namespace sh {

void CSkinButtonGroups::Add(CSkinButton* button) {
  if (button && std::find(buttons_.begin(), buttons_.end(), button) == buttons_.end()) buttons_.push_back(button);
}

void CSkinButtonGroups::Remove(CSkinButton* button) {
  buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), button), buttons_.end());
}

void CSkinButtonGroups::DeselectOthers(const CSkinButton& button) {
  for (CSkinButton* other : buttons_)
    if (other != &button && other->group() == button.group() && other->selected()) other->Deselect();
}

CSkinButton* CSkinButtonGroups::SelectedIn(int group) const {
  for (CSkinButton* button : buttons_)
    if (button->group() == group && button->selected()) return button;
  return nullptr;
}

HCURSOR LoadSkinHandCursor(HINSTANCE module) {
  if (module == nullptr) module = GetModuleHandleA(nullptr);
  HCURSOR own = LoadCursorA(module, MAKEINTRESOURCEA(IDC_HANDCURSOR));
  return own ? own : LoadCursorA(nullptr, IDC_HAND);
}

void MakeOwnerDrawn(HWND button) {
  LONG_PTR style = GetWindowLongPtrA(button, GWL_STYLE);
  SetWindowLongPtrA(button, GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
}

CSkinButton::CSkinButton(CSkinButtonGroups& groups, ISkinButtonTarget& target, int group)
    : groups_(groups), target_(target), group_(group) {
  groups_.Add(this);
}

CSkinButton::~CSkinButton() {
  Unsubclass();
  groups_.Remove(this);
}

bool CSkinButton::Create(HWND button, ScopedBitmap normal, ScopedBitmap hover, ScopedBitmap selected) {
  if (button == nullptr || !IsWindow(button) || !normal) return false;
  if (!Subclass(button)) return false;
  normal_ = std::move(normal);
  hoverBitmap_ = std::move(hover);
  selectedBitmap_ = std::move(selected);
  hoverId_ = selectedId_ = 0;
  cursor_ = LoadSkinHandCursor();
  MakeOwnerDrawn(button);
  SizeWindowToBitmap(button, normal_.get());
  Invalidate(false);
  return true;
}

bool CSkinButton::Create(HWND button, int normalId, int hoverId, int selectedId) {
  // The hover and selected faces are loaded when first shown: the window's
  // buttons are made before its first paint, which shows normal faces only.
  if (!Create(button, LoadBitmapResource(normalId), ScopedBitmap(), ScopedBitmap())) return false;
  hoverId_ = hoverId;
  selectedId_ = selectedId;
  return true;
}

int CSkinButton::id() const { return hwnd_ ? GetDlgCtrlID(hwnd_) : 0; }

void CSkinButton::Select() {
  groups_.DeselectOthers(*this);
  if (!selected_) {
    selected_ = true;
    if (hwnd_) Invalidate(false);
  }
}

void CSkinButton::Deselect() {
  if (!selected_) return;
  selected_ = false;
  if (hwnd_) Invalidate(false);
}

CSkinButton::Face CSkinButton::face() const {
  if (selected_) return Face::kSelected;
  return hover_ ? Face::kHover : Face::kNormal;
}

HBITMAP CSkinButton::FaceBitmap() const {
  switch (face()) {
    case Face::kSelected:
      if (!selectedBitmap_ && selectedId_ != 0) selectedBitmap_ = LoadBitmapResource(selectedId_);
      if (selectedBitmap_) return selectedBitmap_.get();
      break;
    case Face::kHover:
      if (!hoverBitmap_ && hoverId_ != 0) hoverBitmap_ = LoadBitmapResource(hoverId_);
      if (hoverBitmap_) return hoverBitmap_.get();
      break;
    case Face::kNormal:
      break;
  }
  return normal_.get();
}

void CSkinButton::Draw(HDC dc) const { DrawBitmap(dc, 0, 0, FaceBitmap()); }

LRESULT CSkinButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      ScopedPaintDc paint(hwnd_);
      Draw(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT:
      Draw(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the bitmap covers the whole button
    case WM_SETCURSOR:
      if (cursor_) {
        SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      if (!hover_) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, hwnd_, 0};
        if (TrackMouseEvent(&track)) {
          hover_ = true;
          Invalidate(false);
        }
      }
      break;
    case WM_MOUSELEAVE:
      hover_ = false;
      Invalidate(false);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the button class turns a quick second press into this
      if (target_.OnSkinButtonClicked(*this)) Select();
      return 0;
    default:
      break;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace sh
