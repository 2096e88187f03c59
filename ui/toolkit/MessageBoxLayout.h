// The message box's parameters, result codes and layout rules as plain
// functions: text wrapping and height, the box's size, place and shape
// points, the button row, the check box, the text rectangle, the answer.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/TextMeasurer.h"

namespace shadowpane {

// Button sets, and the flag that adds the "Don't show again" check box.
constexpr std::int32_t MBX_BUTTONS_OK = 0;
constexpr std::int32_t MBX_BUTTONS_YESNO = 1;
constexpr std::int32_t MBX_BUTTONS_YESNOCANCEL = 2;
constexpr std::int32_t MBX_DONTSHOWAGAIN = 4;

// Icons: cells of the message-box icon skin, left to right.
constexpr std::int32_t MBX_ICON_INFO = 0;
constexpr std::int32_t MBX_ICON_QUESTION = 1;
constexpr std::int32_t MBX_ICON_WARNING = 2;
constexpr std::int32_t MBX_ICON_ERROR = 3;
constexpr std::int32_t MBX_ICON_STOP = 4;
constexpr int kMessageIconCount = 5;

// Result codes: the toolkit's own, unlike the platform's IDYES / IDNO.
constexpr int MBX_RESULT_OK = 1;
constexpr int MBX_RESULT_CANCEL = 2;
constexpr int MBX_RESULT_YES = 3;
constexpr int MBX_RESULT_NO = 4;
constexpr int MBX_RESULT_DONTSHOWAGAIN = 0x100;

// Child controls.
constexpr int kMessageBoxOkId = 1026;
constexpr int kMessageBoxCancelId = 1027;
constexpr int kMessageBoxYesId = 1028;
constexpr int kMessageBoxNoId = 1029;
constexpr int kMessageBoxCheckId = 1030;

// Captions hold at most 100 characters and a terminator.
constexpr int kCaptionUnits = 101;
constexpr int kCaptionMaxChars = kCaptionUnits - 1;

constexpr WideChar kDefaultOkText[] = u"OK";
constexpr WideChar kDefaultCancelText[] = u"Cancel";
constexpr WideChar kDefaultYesText[] = u"Yes";
constexpr WideChar kDefaultNoText[] = u"No";
constexpr WideChar kDontShowAgainText[] = u"Don't show again";

// The window's creation parameter.
struct MessageBoxParams {
  std::int32_t buttons = MBX_BUTTONS_OK;
  std::int32_t icon = MBX_ICON_INFO;
  std::int32_t modal = 0;
  WideChar okText[kCaptionUnits] = {};
  WideChar cancelText[kCaptionUnits] = {};
  WideChar yesText[kCaptionUnits] = {};
  WideChar noText[kCaptionUnits] = {};
};

// The box's own copy: a null source counts as all fields zero; captions are
// cut to 100 characters (also when the caller's buffer is not terminated)
// and empty ones take the English defaults.
MessageBoxParams CopyParamsWithDefaults(const MessageBoxParams* source);

// Text read from the window at most.
constexpr int kMessageTextMaxChars = 999;
// Texts up to this length get the narrow box.
constexpr int kShortMessageChars = 100;
constexpr int kNarrowBoxWidth = 370;
constexpr int kWideBoxWidth = 430;
constexpr int kProvisionalBoxHeight = 100;
// The wrap limit is the client width less this margin (250 or 310).
constexpr int kTextMargin = 120;

// Provisional width by the text's length; it fixes the wrap limit.
int ProvisionalBoxWidth(int textLength);

struct MessageTextLayout {
  bool rebuilt = false;
  WideString text;   // the text the box shows (rebuilt or as given)
  int width = 0;     // width of the widest line of that text
  int height = 0;    // text height including the line gaps
};
// Wraps at `limit` when the text is wider, or turns "<nl>" tokens into
// lines; otherwise keeps the text and adds 5 pixels per counted newline.
MessageTextLayout LayoutMessageText(WideView text, int limit, const TextMeasurer& measurer);

// The button set a value selects: the value-2 bit, else the value-1 bit,
// else OK alone.
int NormalizedButtonSet(std::int32_t buttons);
bool HasDontShowAgain(std::int32_t buttons);

Size MessageBoxSize(int textWidth, int textHeight, std::int32_t buttons);

// Centred on the owner's window rectangle when modal with an owner, else on
// the primary screen.
Point PlaceMessageBox(Size box, bool centreOnOwner, const Rect& owner, int screenWidth,
                      int screenHeight);

constexpr int kBoxButtonWidth = 91;
constexpr int kBoxButtonHeight = 37;
struct BoxButton {
  int id = 0;
  Point origin;  // top-left corner in the box's client area
};
// The buttons of a set, left to right, at y = H - 54 around c = W / 2.
std::vector<BoxButton> MessageBoxButtons(std::int32_t buttons, Size box);
// The caption of a button id from the box's parameter copy.
const WideChar* ButtonCaption(const MessageBoxParams& params, int id);

// The "Don't show again" check box: (89, text height + 69).
Point CheckBoxPosition(int textHeight);

// The text rectangle (89, 55, W - 31, H - 77); without a check box a text
// lower than the icon is centred against it.
Rect MessageTextRect(Size box, int textHeight, bool hasCheckBox);

// Icon and text geometry.
constexpr int kMessageIconSize = 48;
constexpr int kMessageIconX = 25;
constexpr int kMessageIconY = 55;
// The answer for a button's command: its code plus 256 times the low 8 bits
// of the check box state; 0 for a command that is no button of the box.
int AnswerForCommand(int id, int checkState);
// A box closed without a button answers OK.
int ResultOnClose(int result);

}  // namespace shadowpane
