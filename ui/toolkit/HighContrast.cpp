#include "ui/toolkit/HighContrast.h"

namespace shadowpane {

int SystemTextColorOf(ToolkitColor color) {
  switch (color) {
    case kColorDisabledText:
    case kColorListLabel:
    case kColorEditCue:
      return kSystemColorGrayText;
    case kColorHighlightText:
      return kSystemColorHighlightText;
    default:
      return kSystemColorWindowText;
  }
}

int SystemFillColorOf(ToolkitColor color) {
  return color == kColorHighlight ? kSystemColorHighlight : kSystemColorWindow;
}

}  // namespace shadowpane
