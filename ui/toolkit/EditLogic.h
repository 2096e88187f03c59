// The rules of the toolkit's edit control that need no window: the inner
// field's style and place, when it is shown, and the cue text's store and
// copy rules. Portable: no platform headers.
#pragma once

#include <cstdint>

#include "core/Text.h"
#include "ui/toolkit/Geometry.h"

namespace shadowpane {

// The control's own messages (property numbering of the toolkit).
constexpr std::uint32_t EXM_EDITSTYLE = 1026;
constexpr std::uint32_t EXM_CUETEXT = 1027;

// Id of the inner EDIT field, a child of the control.
constexpr int kEditInnerId = 1026;

// The cue text: at most 250 characters and a terminator.
constexpr int kCueTextChars = 250;
constexpr int kCueTextUnits = kCueTextChars + 1;

// Style bits of the inner field that the control chooses (same values as
// the platform's ES_MULTILINE and ES_AUTOHSCROLL).
constexpr std::uint32_t kEditStyleMultiline = 0x0004;
constexpr std::uint32_t kEditStyleAutoHScroll = 0x0080;
// Controls at least this high get a multi-line field.
constexpr int kEditMultilineMinHeight = 46;

// The inner field's style bits beyond WS_CHILD | WS_VISIBLE: multi-line or
// horizontal auto-scroll by the control's height, plus the caller's extra
// bits from the creation parameter.
constexpr std::uint32_t InnerFieldStyleBits(int clientHeight, std::uint32_t extraBits) {
  return (clientHeight >= kEditMultilineMinHeight ? kEditStyleMultiline : kEditStyleAutoHScroll) |
         extraBits;
}

// The inner field sits at (7, 10), (W - 14) x (H - 19). A control too small
// for that gets a field of size 0 rather than a negative one.
Rect InnerFieldRect(int clientWidth, int clientHeight);

// The cue text's rectangle, (10, 0) to (W - 20, H), right and bottom
// excluded; never inverted.
Rect CueTextBox(int clientWidth, int clientHeight);

// The field is shown while it has text or the focus; after it loses the
// focus, or changes while unfocused, only its text decides.
constexpr bool InnerFieldShown(int textLength) { return textLength > 0; }

// Stores the first 250 characters of text as the cue (a null text clears
// it). Answers the stored length.
int StoreCueText(WideChar (&cue)[kCueTextUnits], const WideChar* text);

// Copies the cue to buffer: the whole text with its terminator when it has
// at most n characters, else exactly its first n characters and no
// terminator. A null buffer or a negative n copies nothing. Answers the
// number of characters copied.
int CopyCueText(const WideChar (&cue)[kCueTextUnits], WideChar* buffer, int n);

}  // namespace shadowpane
