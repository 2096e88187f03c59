// The toolkit's colour table. Values are packed like the platform's COLORREF
// (red in the low byte, then green, then blue), so Windows code uses them
// unchanged.
#pragma once

#include <cstdint>

namespace shadowpane {

using ToolkitColor = std::uint32_t;

constexpr ToolkitColor MakeToolkitColor(int r, int g, int b) {
  return static_cast<ToolkitColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Ordinary text: labels, choice text, list items, message text, edit text.
constexpr ToolkitColor kColorText = MakeToolkitColor(70, 70, 72);
constexpr ToolkitColor kColorButtonTextNormal = MakeToolkitColor(81, 81, 81);
// Button text while hovered or pressed.
constexpr ToolkitColor kColorButtonTextActive = MakeToolkitColor(51, 51, 51);
// Disabled text of buttons and choice controls.
constexpr ToolkitColor kColorDisabledText = MakeToolkitColor(169, 169, 169);
// Edit field face and the inner field's text background.
constexpr ToolkitColor kColorEditFace = MakeToolkitColor(243, 243, 243);
constexpr ToolkitColor kColorEditCue = MakeToolkitColor(155, 155, 157);
// Edit frame; list popup frame and separators.
constexpr ToolkitColor kColorFrame = MakeToolkitColor(220, 220, 220);
constexpr ToolkitColor kColorEditCorner = MakeToolkitColor(244, 244, 244);
// List popup highlight and selection mark.
constexpr ToolkitColor kColorHighlight = MakeToolkitColor(86, 121, 179);
constexpr ToolkitColor kColorHighlightCorner = MakeToolkitColor(170, 188, 217);
constexpr ToolkitColor kColorListLabel = MakeToolkitColor(161, 161, 163);
constexpr ToolkitColor kColorHighlightText = MakeToolkitColor(255, 255, 255);
// Backgrounds of choice, label, list popup and message body (the stock white
// brush on Windows).
constexpr ToolkitColor kColorBackground = MakeToolkitColor(255, 255, 255);

}  // namespace shadowpane
