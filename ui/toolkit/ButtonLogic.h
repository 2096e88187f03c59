// The button's record and its behaviour as plain functions: press, drag,
// release and click counting per kind, toggle, cycle and spin arithmetic,
// the sensitive rectangle. The window procedure (win32/ButtonControl.cpp)
// feeds these with the cursor position and does the platform's part.
#pragma once

#include <cstdint>

#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/PropertyMessage.h"
#include "ui/toolkit/ToolkitColors.h"

namespace shadowpane {

// Kinds.
constexpr int BXK_PUSH = 0;
constexpr int BXK_TOGGLE = 1;
constexpr int BXK_CYCLE = 2;
constexpr int BXK_SPIN = 3;
constexpr int BXK_LATCH = 4;

// Face styles.
constexpr int BXS_FRAMED = 0;
constexpr int BXS_STATE_STRIP = 1;

// Property messages (the property convention of the toolkit).
constexpr std::uint32_t BXM_KIND = 1026;
constexpr std::uint32_t BXM_FACESTYLE = 1027;
constexpr std::uint32_t BXM_FACEBITMAP = 1028;
constexpr std::uint32_t BXM_ICON1 = 1029;
constexpr std::uint32_t BXM_ICON2 = 1030;
constexpr std::uint32_t BXM_ICON1POS = 1031;
constexpr std::uint32_t BXM_ICON2POS = 1032;
constexpr std::uint32_t BXM_INSET = 1033;
constexpr std::uint32_t BXM_TEXTX = 1034;
constexpr std::uint32_t BXM_CHECKED = 1035;
constexpr std::uint32_t BXM_TOGGLABLE = 1036;
constexpr std::uint32_t BXM_VALUE = 1037;
constexpr std::uint32_t BXM_RANGE = 1038;

// WM_NOTIFY codes.
constexpr unsigned BXN_HOVER = 0;
constexpr unsigned BXN_LEAVE = 1;

// Window timers (TIMER_HOVER_WATCH, 100, is shared with the other controls).
constexpr unsigned TIMER_PRESS_TRACK = 101;
constexpr unsigned TIMER_SPIN_REPEAT = 102;
constexpr unsigned TIMER_HOVER_DWELL = 103;
constexpr unsigned kPressTrackPeriodMs = 10;
constexpr unsigned kSpinFirstDelayMs = 399;
constexpr unsigned kSpinRepeatPeriodMs = 77;
constexpr unsigned kHoverDwellMs = 191;

constexpr int kDefaultInset = 2;
constexpr int kTextCentred = -1;
// Captions longer than this are cut when painted.
constexpr int kButtonCaptionMaxChars = 127;

// Framed faces: 37 x 37 tiles, 18 x 18 corners.
constexpr int kFramedTile = 37;
constexpr int kFramedCorner = 18;

// One per button window; the window is the platform's handle, kept as an
// opaque value here (the Windows record beside it owns the font).
struct ButtonState {
  std::uintptr_t window = 0;
  int kind = BXK_PUSH;
  int faceStyle = BXS_FRAMED;
  int faceBitmap = 0;
  int icon1Bitmap = 0;
  int icon2Bitmap = 0;
  int icon1X = 0;
  int icon1Y = 0;
  int icon2X = 0;
  int icon2Y = 0;
  int textX = kTextCentred;
  int inset = kDefaultInset;
  Rect sensitive;  // client coordinates
  // Text colours by face: normal, hovered, pressed, disabled.
  ToolkitColor textColors[4] = {kColorButtonTextNormal, kColorButtonTextActive,
                                kColorButtonTextActive, kColorDisabledText};
  int rangeMin = 0;
  int rangeMax = 0;
  int value = 0;
  int checked = 0;
  int togglable = 1;
  int hovered = 0;
  int pressed = 0;
  int firstRepeatPending = 0;
};

// Initial record: the sensitive rectangle covers the client area as it is
// at creation (the inset property says 2 until BXM_INSET is sent).
void InitButtonState(ButtonState& button, std::uintptr_t window, Size client);

// BXM_INSET store: origin (i, i), size (client width - 2i, client height - 2i).
void ApplyInset(ButtonState& button, int inset, Size client);

bool InSensitiveRect(const ButtonState& button, int x, int y);

// BXM_RANGE store: minimum = low word, maximum = high word, each unsigned.
void ApplyRange(ButtonState& button, std::intptr_t packed);
std::intptr_t PackedRange(const ButtonState& button);

// What a left press asks the window to do.
enum class PressEffect {
  Ignored,        // not over the button: no capture, no focus, no face change
  TrackPress,     // push, toggle, cycle: capture, start TIMER_PRESS_TRACK
  SpinPress,      // spin: capture, start TIMER_SPIN_REPEAT at 399 ms
  LatchOn,        // latch now pressed: notify, then capture while still pressed
  LatchOff,       // latch now released: release the capture
};

// Left button down; `over` = the cursor is over the button.
PressEffect PressButton(ButtonState& button, bool over);

// TIMER_PRESS_TRACK tick: the face follows the cursor. Answers whether the
// pressed state changed (repaint).
bool TrackPress(ButtonState& button, bool over);

// Left button up, first half: answers the click decision inputs and clears
// pressed. `over` is ignored for a spin button (always counts as over).
struct ReleaseStart {
  bool handled = false;   // false for a latch button: it ignores releases
  bool wasPressed = false;
  bool over = false;
};
ReleaseStart BeginRelease(ButtonState& button, bool over);

// Left button up, second half (after the capture has been released):
// answers whether the click counts (then WM_COMMAND follows) and applies the
// kind's effect. `cursorY` is the cursor's client y, `clientHeight` H.
bool CompleteRelease(ButtonState& button, const ReleaseStart& start, bool enabled, int cursorY,
                     int clientHeight);

// TIMER_SPIN_REPEAT tick: one step by the cursor's distance from the
// sensitive band, clamped to the range. Answers whether this was the first
// repeat (the timer then restarts at 77 ms). WM_COMMAND follows every tick.
bool SpinRepeat(ButtonState& button, int cursorY, int clientHeight);

// Capture lost: pressed and hovered cleared (timers killed by the window).
void LoseCapture(ButtonState& button);

// Clamp first to the maximum, then to the minimum (a range whose minimum
// exceeds its maximum ends at the minimum).
int ClampToRange(long long value, int minimum, int maximum);

}  // namespace shadowpane
