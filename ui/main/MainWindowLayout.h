// The main window's fixed geometry, colours and the few rules its painting
// follows: the status panel by protection state, the dotted group frames.
// Every size is for 96 DPI; the window scales each by its own DPI
// (ui/toolkit/DpiScaling.h). Portable: the Win32 painting
// (ui/main/win32/MainWindowPaint.cpp) draws with these numbers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Text.h"
#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/ToolkitColors.h"

namespace shadowpane {

constexpr int kMainWindowWidth = 496;
constexpr int kMainWindowHeight = 651;
// The bold font of the title and the status headline.
constexpr int kMainBoldFontHeight = 15;
// Client rows at the top that drag the window like a caption.
constexpr int kMainDragRows = 42;

// Skins: the window frame, the two status shields, the two lock marks.
constexpr int kSkinMainFrame = 5376;
constexpr int kSkinStatusShields = 5459;
constexpr int kSkinLockBlocked = 5460;
constexpr int kSkinLockUnblocked = 5461;
// Amber: a camera held, yet still open to other programs.
constexpr int kSkinLockShared = 5462;

// The lock mark of an entry by its data word: green when blocked, amber when
// blocked but shared, red otherwise.
int LockMarkSkin(std::uint32_t itemData);

// The frame skin: title band rows 0 to 55 (left end 4 wide, repeatable
// column at x 5, right end 110 wide from x 210), bottom edge rows 56 to 59
// (4 x 4 corners from x 0 and x 316), side edge the 3 x 1 row at (0, 43).
constexpr int kMainBandHeight = 56;
constexpr int kMainBandLeftWidth = 4;
constexpr int kMainBandRightWidth = 110;
constexpr int kMainBandRightSourceX = 210;
constexpr int kMainFillSourceX = 5;
constexpr int kMainBottomHeight = 4;
constexpr int kMainBottomSourceY = 56;
constexpr int kMainBottomRightSourceX = 316;
constexpr int kMainSideWidth = 3;
constexpr int kMainSideSourceY = 43;

// Title-bar buttons: x from the right edge, y 1, 17 high.
constexpr int kTitleButtonY = 1;
constexpr int kTitleButtonHeight = 17;

// The window's controls at 96 DPI: the close, hide and menu buttons (right
// ends 52, 76 and 100 pixels in from the right edge), then the video and
// the audio list.
struct MainControlPlace {
  int id;
  Rect rect;
};
std::vector<MainControlPlace> MainWindowControls(int dpi);
// The window's size at a DPI.
Size MainWindowSize(int dpi);

// Device lists and their entries.
constexpr int kDeviceEntryHeight = 30;
constexpr int kLockMarkX = 3;
constexpr int kLockMarkY = 8;
constexpr int kLockMarkSize = 13;
constexpr int kEntryTextX = 25;
// The entry's text ends this far short of its right edge.
constexpr int kEntryTextRightInset = 3;
// In high contrast, the word for the state at the entry's right end
// ("Blocked", "Not blocked", "Shared") takes this much width.
constexpr int kStateWordWidth = 90;
constexpr ToolkitColor kColorEntryText = MakeToolkitColor(81, 81, 81);
// An entry whose device a program uses: the name on an upper line, and
// "In use by ..." on a lower one, cut with "..." at the entry's end.
constexpr int kEntryNameTopInUse = 1;
constexpr int kEntryUseTop = 15;
constexpr ToolkitColor kColorEntryUseText = MakeToolkitColor(150, 92, 0);

// The popup menu opens at this client point, under the menu button.
constexpr int kMainMenuX = 395;
constexpr int kMainMenuY = 19;

// The status panel: (22, 62) to (W - 22, 123).
constexpr int kPanelLeft = 22;
constexpr int kPanelTop = 62;
constexpr int kPanelRightInset = 22;
constexpr int kPanelBottom = 123;
constexpr int kShieldWidth = 31;
constexpr int kShieldHeight = 41;
constexpr int kShieldX = 35;
constexpr int kShieldY = 72;

struct StatusPanelLook {
  ToolkitColor fill;
  ToolkitColor corners;    // the panel's four corner pixels
  ToolkitColor statusLine;
  int headline;            // string index
  int line;                // string index
  int shieldSourceX;
};

// Green with the check-mark shield when protected, red with the cross when
// at risk; while talking, at risk with the talk as its line.
StatusPanelLook PanelLook(int protectedState);

// The status texts inside the panel, both ending this far short of the
// window's right edge: the headline (bold) and the line below it (normal).
constexpr int kStatusTextRightInset = 30;
constexpr Rect kHeadlineBox{80, 76, 0, 90};    // right: W - kStatusTextRightInset
constexpr Rect kStatusLineBox{81, 95, 0, 120};  // right: W - kStatusTextRightInset

// The title, twice: dark, then light one pixel lower.
constexpr ToolkitColor kColorTitleDark = MakeToolkitColor(34, 59, 96);
constexpr ToolkitColor kColorTitleLight = MakeToolkitColor(250, 250, 252);
constexpr WideChar kMainTitleText[] = u"Shadowpane";

// Group frames: x 22 to W - 22, 222 high, tops 154 (video) and 407 (audio);
// 2-pixel dashes every 6 pixels in (192, 194, 194).
constexpr int kGroupLeft = 22;
constexpr int kGroupHeight = 222;
constexpr int kVideoGroupTop = 154;
constexpr int kAudioGroupTop = 407;
constexpr int kGroupWidthInset = 44;
constexpr int kGroupDashPeriod = 6;
constexpr int kGroupDashLength = 2;
constexpr int kGroupVerticalDashes = 36;
constexpr ToolkitColor kColorGroupDash = MakeToolkitColor(192, 194, 194);

// A group's caption starts here and ends at the frame's right edge.
constexpr int kGroupCaptionX = 31;
constexpr int kGroupCaptionRise = 18;  // above the frame's top

// Horizontal dashes of a frame w wide: none up to 6 pixels, else
// (w - 7) / 6 + 1, the first ending at x 27.
int GroupHorizontalDashes(int width);
constexpr int kGroupFirstDashEnd = kGroupLeft + 5;

}  // namespace shadowpane
