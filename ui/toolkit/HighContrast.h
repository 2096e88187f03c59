// What the windows draw while the system's high contrast is on: the
// system's colours in place of the skins' (text on window colour, frames
// and lines in the text colour, highlights in the highlight colours), the
// skins' bands and faces left out and drawn flat, pictures kept. Which
// system colour each toolkit colour becomes is decided here. Portable: the
// system colour indexes are the platform's numbers (COLOR_*).
#pragma once

#include "ui/toolkit/ToolkitColors.h"

namespace shadowpane {

constexpr int kSystemColorWindow = 5;          // COLOR_WINDOW
constexpr int kSystemColorWindowText = 8;      // COLOR_WINDOWTEXT
constexpr int kSystemColorHighlight = 13;      // COLOR_HIGHLIGHT
constexpr int kSystemColorHighlightText = 14;  // COLOR_HIGHLIGHTTEXT
constexpr int kSystemColorGrayText = 17;       // COLOR_GRAYTEXT

// The system colour a toolkit colour takes as text: grey texts (disabled,
// labels of a list, cue texts) the grey text colour, the highlight's text
// the highlight text colour, every other the window text colour.
int SystemTextColorOf(ToolkitColor color);
// ... as a fill: the highlight the highlight colour, every other fill
// (white, the panel's green or red, the edit face) the window colour.
int SystemFillColorOf(ToolkitColor color);
// ... as a line or frame: the window text colour.
constexpr int SystemLineColorOf(ToolkitColor) { return kSystemColorWindowText; }

}  // namespace shadowpane
