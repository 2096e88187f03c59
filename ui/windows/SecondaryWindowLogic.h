// The geometry the three secondary windows share: where a window is placed,
// the frame's separator lines and title, the controls' kinds and places.
// Portable: no platform headers.
#pragma once

#include <vector>

#include "core/Text.h"
#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/ToolkitColors.h"

namespace shadowpane {

// Frame skin of the Settings and About windows (320 x 47, sliced as the
// message box's 5378, which frames the language window).
constexpr int kSkinSecondaryFrame = 5377;

// The separator lines under the title band and above the buttons, from x 15
// to W - 15 (the end excluded), in this colour.
constexpr ToolkitColor kColorSeparator = MakeToolkitColor(217, 217, 219);
constexpr int kSeparatorInset = 15;
constexpr int kUpperSeparatorY = 83;
constexpr int kLowerSeparatorFromBottom = 69;

// The title: bold, one line, left and top aligned in this rectangle.
constexpr Rect kTitleRect{19, 51, 300, 71};

// The record's third font: Tahoma 15, normal weight.
constexpr int kLargeFontHeight = 15;

// Ids of the controls and commands of every secondary window start here
// (WM_USER + 2).
constexpr int kFirstControlId = 1026;

struct SeparatorLine {
  Point from;
  Point to;  // excluded
};

// The two separator lines of a W x H client area: y 83 and y H - 69.
std::vector<SeparatorLine> FrameSeparators(Size client);

// Centred on the owner's window rectangle: owner left + (owner width - W) / 2,
// and the same vertically, the halves truncating toward zero.
Point CentreOnOwner(const Rect& owner, Size window);
// Centred on the screen: screen width / 2 - W / 2, and the same vertically.
Point CentreOnScreen(Size screen, Size window);

// How each control of a secondary window is made and set up.
enum class ControlKind {
  CloseButton,   // state-strip close button (5392)
  PushButton,    // framed push button (5456), inset 2
  Picker,        // push button with the drop-down arrow, text from x 10
  Label,         // label, 15-pixel font, sized to its text
  CheckBox,      // choice control as a check box, sized to its text
  Radio,         // choice control as a radio, sized to its text
  NumberField,   // the toolkit's edit control, digits only
};

struct ControlPlacement {
  int id = 0;
  ControlKind kind = ControlKind::PushButton;
  const WideChar* text = u"";
  Rect rect;  // a zero size: the control sizes itself to its text
  // Last in the Tab order (the buttons at the bottom, then the close
  // button), so Tab starts with the window's content.
  bool trailing = false;
  // A control sized to its text is then widened to end here (a 96-DPI x,
  // excluded) when its text is narrower: a glyph that reaches past its
  // advance, or a font a little wider than the one measured, is not cut by
  // the control's own edge. 0: as wide as its text.
  int reachRight = 0;
};

// Which controls Tab stops at: all but labels; of a run of radios only the
// first (the arrows move within the group).
bool IsTabStop(const ControlPlacement& control, const ControlPlacement* previous);

// The close button 41 x 17 at (W - 52, 1).
ControlPlacement CloseButtonAt(int id, Size client);
// A 91 x 37 push button standing 54 pixels above the bottom, at x.
ControlPlacement BottomButtonAt(int id, const WideChar* text, int x, Size client);
// The OK place at the right: x = W - 113.
int RightButtonX(Size client);
// A control that sizes itself to its text, at (x, y).
ControlPlacement SelfSizedAt(int id, ControlKind kind, const WideChar* text, int x, int y);
// The same, then widened to end at reachRight when its text is narrower.
ControlPlacement SelfSizedAt(int id, ControlKind kind, const WideChar* text, int x, int y, int reachRight);
// Where a text row of a W-wide window may reach: the right separator's end.
int TextRowRight(Size client);

}  // namespace shadowpane
