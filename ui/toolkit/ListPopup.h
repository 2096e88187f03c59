// Geometry of the toolkit's list popup: its height, the hit test that picks
// the hot item and the rectangles its painting fills. Portable: the Windows
// popup (ui/toolkit/win32/MenuControl.cpp) draws with these numbers.
#pragma once

#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/MenuItemList.h"

namespace shadowpane {

constexpr int kPopupMargin = 5;           // empty rows above and below the items
constexpr int kPopupItemHeight = 22;      // selectable items and labels
constexpr int kPopupSeparatorHeight = 11;
constexpr int kPopupWidth = 180;
constexpr int kPopupCreateHeight = 300;   // replaced by the computed height at creation
constexpr int kPopupBorder = 2;           // two framed rings of the frame colour
// The owner's client point the popup opens at: right under the Settings
// window's language picker.
constexpr int kPopupOwnerX = 37;
constexpr int kPopupOwnerY = 161;
// No item is hot.
constexpr int kNoHotItem = -1;

// Height of one item by type: 22 for items and labels, 11 for separators.
int MenuItemHeight(int type);

// The popup's height for a chain: both margins plus every item's height.
int PopupHeight(const MenuItem* first);

// The hot item for a cursor at client row clientY: the index of the
// selectable item under it, or kNoHotItem over a label, a separator, the
// margins or past the last item.
int PopupHitTest(const MenuItem* first, int clientY);

// Highlight band of the hot item whose row starts at y, in a popup W wide.
constexpr Rect PopupHighlightRect(int y, int width) {
  return {30, y, width - 5, y + kPopupItemHeight};
}
// Text of a selectable item (left-aligned, vertically centred).
constexpr Rect PopupItemTextRect(int y, int width) {
  return {38, y, width - 13, y + kPopupItemHeight};
}
// Text of a label.
constexpr Rect PopupLabelTextRect(int y, int width) {
  return {13, y, width - 13, y + kPopupItemHeight};
}
// The one-pixel separator line.
constexpr Rect PopupSeparatorRect(int y, int width) { return {30, y + 5, width - 5, y + 6}; }

// The selection mark, a right-pointing triangle, as four filled rectangles
// relative to the item row's top y.
constexpr int kPopupMarkParts = 4;
constexpr Rect PopupMarkPart(int part, int y) {
  return part == 0   ? Rect{14, y + 7, 16, y + 15}
         : part == 1 ? Rect{16, y + 8, 17, y + 14}
         : part == 2 ? Rect{17, y + 9, 18, y + 13}
                     : Rect{18, y + 10, 19, y + 12};
}

// The owner's WM_COMMAND wParam for a chosen item: the item's index in the
// high word, the low 16 bits of its command value in the low word.
constexpr unsigned PopupCommandWParam(int index, int commandValue) {
  return ((static_cast<unsigned>(index) & 0xFFFFu) << 16) |
         (static_cast<unsigned>(commandValue) & 0xFFFFu);
}

}  // namespace shadowpane
