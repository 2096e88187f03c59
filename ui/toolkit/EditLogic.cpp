#include "ui/toolkit/EditLogic.h"

#include <algorithm>

namespace shadowpane {

Rect InnerFieldRect(int clientWidth, int clientHeight) {
  return RectAt({7, 10}, {std::max(0, clientWidth - 14), std::max(0, clientHeight - 19)});
}

Rect CueTextBox(int clientWidth, int clientHeight) {
  const int right = std::max(10, clientWidth - 20);
  return {10, 0, right, std::max(0, clientHeight)};
}

int StoreCueText(WideChar (&cue)[kCueTextUnits], const WideChar* text) {
  std::fill(cue, cue + kCueTextUnits, WideChar{0});
  CopyBounded(cue, kCueTextChars, text);
  return BoundedLength(cue, kCueTextChars);
}

int CopyCueText(const WideChar (&cue)[kCueTextUnits], WideChar* buffer, int n) {
  if (buffer == nullptr || n < 0) return 0;
  const int length = BoundedLength(cue, kCueTextChars);
  if (length <= n) {
    std::copy(cue, cue + length, buffer);
    buffer[length] = 0;
    return length;
  }
  std::copy(cue, cue + n, buffer);
  return n;
}

}  // namespace shadowpane
