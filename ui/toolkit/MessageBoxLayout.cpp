#include "ui/toolkit/MessageBoxLayout.h"

#include <algorithm>

#include "ui/toolkit/TextWrap.h"

namespace shadowpane {
namespace {

constexpr int kBoxExtraHeight = 132;
constexpr int kBoxMinHeight = 180;
constexpr int kBoxMinWidthOk = 135;
constexpr int kBoxMinWidthYesNo = 226;
constexpr int kBoxMinWidthYesNoCancel = 319;
// With the check box: more height for its row, and room for its text.
constexpr int kCheckBoxExtraHeight = 159;
constexpr int kCheckBoxTallTextHeight = 20;
constexpr int kCheckBoxMinWidth = 319;
constexpr int kButtonRowFromBottom = 54;
constexpr int kCheckBoxX = 89;
constexpr int kCheckBoxFromText = 69;
constexpr int kTextLeft = 89;
constexpr int kTextTop = 55;
constexpr int kTextRightMargin = 31;
constexpr int kTextBottomMargin = 77;

void FillCaption(WideChar* caption, const WideChar* given, const WideChar* fallback) {
  CopyBounded(caption, kCaptionMaxChars, given);
  if (caption[0] == 0) CopyBounded(caption, kCaptionMaxChars, fallback);
}

}  // namespace

MessageBoxParams CopyParamsWithDefaults(const MessageBoxParams* source) {
  MessageBoxParams copy;
  const MessageBoxParams empty;
  if (source == nullptr) source = &empty;
  copy.buttons = source->buttons;
  copy.icon = source->icon;
  copy.modal = source->modal;
  FillCaption(copy.ok_text, source->ok_text, kDefaultOkText);
  FillCaption(copy.cancel_text, source->cancel_text, kDefaultCancelText);
  FillCaption(copy.yes_text, source->yes_text, kDefaultYesText);
  FillCaption(copy.no_text, source->no_text, kDefaultNoText);
  return copy;
}

int ProvisionalBoxWidth(int text_length) {
  return text_length <= kShortMessageChars ? kNarrowBoxWidth : kWideBoxWidth;
}

MessageTextLayout LayoutMessageText(WideView text, int limit, const TextMeasurer& measurer) {
  text = text.substr(0, kMessageTextMaxChars);
  const TextExtent measured = measurer.Measure(text);
  MessageTextLayout layout;
  if ((limit != 0 && measured.width > limit) || ContainsNewlineToken(text)) {
    WrappedText wrapped = WrapAtSpaces(text, limit, measurer, true);
    const TextExtent out = measurer.Measure(wrapped.text);
    layout.rebuilt = true;
    layout.text = std::move(wrapped.text);
    layout.width = out.width;
    layout.height = out.height + wrapped.extra;
    return layout;
  }
  layout.text.assign(text);
  layout.width = measured.width;
  layout.height = measured.height + kLineGap * CountGapNewlines(text);
  return layout;
}

int NormalizedButtonSet(std::int32_t buttons) {
  if (buttons & MBX_BUTTONS_YESNOCANCEL) return MBX_BUTTONS_YESNOCANCEL;
  if (buttons & MBX_BUTTONS_YESNO) return MBX_BUTTONS_YESNO;
  return MBX_BUTTONS_OK;
}

bool HasDontShowAgain(std::int32_t buttons) { return (buttons & MBX_DONTSHOWAGAIN) != 0; }

BoxSize MessageBoxSize(int text_width, int text_height, std::int32_t buttons) {
  BoxSize box;
  box.width = text_width + kTextMargin;
  box.height = std::max(text_height + kBoxExtraHeight, kBoxMinHeight);
  const int set = NormalizedButtonSet(buttons);
  const int min_width = set == MBX_BUTTONS_YESNOCANCEL ? kBoxMinWidthYesNoCancel
                        : set == MBX_BUTTONS_YESNO     ? kBoxMinWidthYesNo
                                                       : kBoxMinWidthOk;
  box.width = std::max(box.width, min_width);
  if (HasDontShowAgain(buttons)) {
    box.height = text_height >= kCheckBoxTallTextHeight ? text_height + kCheckBoxExtraHeight
                                                        : kBoxMinHeight;
    box.width = std::max(box.width, kCheckBoxMinWidth);
  }
  return box;
}

BoxPoint PlaceMessageBox(BoxSize box, bool centre_on_owner, const BoxRect& owner, int screen_width,
                         int screen_height) {
  if (centre_on_owner) {
    const int owner_width = owner.right - owner.left;
    const int owner_height = owner.bottom - owner.top;
    return {owner.left + (owner_width - box.width) / 2, owner.top + (owner_height - box.height) / 2};
  }
  return {screen_width / 2 - box.width / 2, screen_height / 2 - box.height / 2};
}

std::vector<BoxButton> MessageBoxButtons(std::int32_t buttons, BoxSize box) {
  const int c = box.width / 2;
  const int y = box.height - kButtonRowFromBottom;
  switch (NormalizedButtonSet(buttons)) {
    case MBX_BUTTONS_YESNOCANCEL:
      return {{kMessageBoxYesId, c - 137, y}, {kMessageBoxNoId, c - 45, y},
              {kMessageBoxCancelId, c + 47, y}};
    case MBX_BUTTONS_YESNO:
      return {{kMessageBoxYesId, c - 91, y}, {kMessageBoxNoId, c + 1, y}};
    default:
      return {{kMessageBoxOkId, c - 45, y}};
  }
}

const WideChar* ButtonCaption(const MessageBoxParams& params, int id) {
  switch (id) {
    case kMessageBoxOkId:
      return params.ok_text;
    case kMessageBoxCancelId:
      return params.cancel_text;
    case kMessageBoxYesId:
      return params.yes_text;
    case kMessageBoxNoId:
      return params.no_text;
    default:
      return u"";
  }
}

BoxPoint CheckBoxPosition(int text_height) { return {kCheckBoxX, text_height + kCheckBoxFromText}; }

BoxRect MessageTextRect(BoxSize box, int text_height, bool has_check_box) {
  BoxRect rect{kTextLeft, kTextTop, box.width - kTextRightMargin, box.height - kTextBottomMargin};
  if (text_height < kMessageIconSize && !has_check_box) rect.top += (kMessageIconSize - text_height) / 2;
  return rect;
}

int AnswerForCommand(int id, int check_state) {
  int code = 0;
  switch (id) {
    case kMessageBoxOkId:
      code = MBX_RESULT_OK;
      break;
    case kMessageBoxCancelId:
      code = MBX_RESULT_CANCEL;
      break;
    case kMessageBoxYesId:
      code = MBX_RESULT_YES;
      break;
    case kMessageBoxNoId:
      code = MBX_RESULT_NO;
      break;
    default:
      return 0;
  }
  return code + 256 * (check_state & 0xFF);
}

int ResultOnClose(int result) { return result == 0 ? MBX_RESULT_OK : result; }

}  // namespace shadowpane
