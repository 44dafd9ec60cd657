// The three-bitmap navigation button and the registry of selection groups
// that the buttons of one window share.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "toolkit/win_handles_win.h"
#include "toolkit/window_win.h"

namespace sh {

class CSkinButton;

// Who decides whether a press selects the button: usually the main window.
class ISkinButtonTarget {
 public:
  // Called on a press of the left mouse button on `button`. True lets the
  // button become selected (the rest of its group is deselected).
  virtual bool OnSkinButtonClicked(CSkinButton& button) = 0;

 protected:
  ~ISkinButtonTarget() = default;
};

// The list of all skin buttons of a window, by which a selection clears the
// others of the same group. Owned by the window that owns the buttons and
// must outlive them; buttons add and remove themselves.
class CSkinButtonGroups {
 public:
  CSkinButtonGroups() = default;
  CSkinButtonGroups(const CSkinButtonGroups&) = delete;
  CSkinButtonGroups& operator=(const CSkinButtonGroups&) = delete;

  void Add(CSkinButton* button);
  void Remove(CSkinButton* button);
  // Deselects (and repaints) every selected button of `button`'s group
  // other than `button`; buttons of other groups are not touched.
  void DeselectOthers(const CSkinButton& button);
  // The selected button of a group, or null.
  CSkinButton* SelectedIn(int group) const;
  size_t size() const { return buttons_.size(); }

 private:
  std::vector<CSkinButton*> buttons_;
};

// An owner-drawn push button drawn from three bitmaps. It draws itself
// (WM_PAINT and WM_PRINTCLIENT): the selected bitmap when selected, else
// the hover bitmap while the mouse is over it, else the normal one, at
// (0, 0). Its parent need not handle WM_DRAWITEM for it. While the mouse is
// over it the cursor is the hand (cursor resource 132 of the program, else
// the system's hand). A left press (or double click) asks the target; only
// on true does the button become selected. Presses give no BN_CLICKED.
class CSkinButton : public CSubclassedWindow {
 public:
  enum class Face { kNormal, kHover, kSelected };

  // `groups` and `target` must outlive the button.
  CSkinButton(CSkinButtonGroups& groups, ISkinButtonTarget& target, int group);
  ~CSkinButton() override;

  // Takes over the push button `button`: makes it owner-drawn, takes the
  // three bitmaps (a missing hover or selected bitmap falls back to the
  // normal one) and resizes the button to the normal bitmap, keeping its
  // top-left corner. False (and nothing changed) without a button or a
  // normal bitmap.
  bool Create(HWND button, ScopedBitmap normal, ScopedBitmap hover, ScopedBitmap selected);
  // As above with bitmap resources of this program.
  bool Create(HWND button, int normalId, int hoverId, int selectedId);

  // Selects the button as a successful press does: the other selected
  // buttons of its group are deselected and repainted.
  void Select();
  // Clears the selection of this button alone (used by the group).
  void Deselect();

  bool selected() const { return selected_; }
  bool hover() const { return hover_; }
  int group() const { return group_; }
  // The control identifier of the button (0 before Create).
  int id() const;
  Face face() const;
  HCURSOR cursor() const { return cursor_; }

  // Draws the current face at (0, 0) of `dc`.
  void Draw(HDC dc) const;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  HBITMAP FaceBitmap() const;

  CSkinButtonGroups& groups_;
  ISkinButtonTarget& target_;
  int group_;
  bool selected_ = false;
  bool hover_ = false;
  HCURSOR cursor_ = nullptr;  // shared cursor from LoadCursor: not destroyed
  ScopedBitmap normal_;
  mutable ScopedBitmap hoverBitmap_;     // loaded from hoverId_ when first shown
  mutable ScopedBitmap selectedBitmap_;  // likewise from selectedId_
  int hoverId_ = 0, selectedId_ = 0;
};

// Cursor resource 132 of `module` (this program when null) when present,
// else the system's hand cursor. Shared cursors: never destroyed.
HCURSOR LoadSkinHandCursor(HINSTANCE module = nullptr);

// Makes a push button owner-drawn (BS_OWNERDRAW replaces its button type).
void MakeOwnerDrawn(HWND button);

}  // namespace sh
