#include "ui/toolkit/ListPopup.h"

#include <climits>

namespace shadowpane {

int MenuItemHeight(int type) {
  return type == MIT_SEPARATOR || (type != MIT_ITEM && type != MIT_LABEL) ? kPopupSeparatorHeight
                                                                          : kPopupItemHeight;
}

int PopupHeight(const MenuItem* first) {
  int height = 2 * kPopupMargin;
  for (const MenuItem* item = first; item != nullptr; item = item->next) {
    // A list far taller than any screen stops growing instead of wrapping
    // around to a negative height.
    if (height > INT_MAX - kPopupItemHeight) return INT_MAX;
    height += MenuItemHeight(item->type);
  }
  return height;
}

int PopupHitTest(const MenuItem* first, int clientY) {
  const int y = clientY - kPopupMargin;
  int top = 0;
  for (const MenuItem* item = first; item != nullptr; item = item->next) {
    const int height = MenuItemHeight(item->type);
    if (top <= y && y < top + height) return item->type == MIT_ITEM ? item->index : kNoHotItem;
    if (top > INT_MAX - height) break;
    top += height;
  }
  return kNoHotItem;
}

}  // namespace shadowpane
