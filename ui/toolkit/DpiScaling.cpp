#include "ui/toolkit/DpiScaling.h"

namespace shadowpane {

int SkinScaleIndexFor(int dpi) {
  for (int i = 0; i < kSkinScaleCount; ++i) {
    if (kSkinScaleDpis[i] >= dpi) return i;
  }
  return kSkinScaleCount - 1;
}

}  // namespace shadowpane
