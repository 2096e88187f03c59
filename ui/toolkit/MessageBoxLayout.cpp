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
  FillCaption(copy.okText, source->okText, kDefaultOkText);
  FillCaption(copy.cancelText, source->cancelText, kDefaultCancelText);
  FillCaption(copy.yesText, source->yesText, kDefaultYesText);
  FillCaption(copy.noText, source->noText, kDefaultNoText);
  return copy;
}

int ProvisionalBoxWidth(int textLength) {
  return textLength <= kShortMessageChars ? kNarrowBoxWidth : kWideBoxWidth;
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

Size MessageBoxSize(int textWidth, int textHeight, std::int32_t buttons) {
  Size box;
  box.width = textWidth + kTextMargin;
  box.height = std::max(textHeight + kBoxExtraHeight, kBoxMinHeight);
  const int set = NormalizedButtonSet(buttons);
  const int minWidth = set == MBX_BUTTONS_YESNOCANCEL ? kBoxMinWidthYesNoCancel
                       : set == MBX_BUTTONS_YESNO     ? kBoxMinWidthYesNo
                                                      : kBoxMinWidthOk;
  box.width = std::max(box.width, minWidth);
  if (HasDontShowAgain(buttons)) {
    box.height =
        textHeight >= kCheckBoxTallTextHeight ? textHeight + kCheckBoxExtraHeight : kBoxMinHeight;
    box.width = std::max(box.width, kCheckBoxMinWidth);
  }
  return box;
}

Point PlaceMessageBox(Size box, bool centreOnOwner, const Rect& owner, int screenWidth,
                      int screenHeight) {
  if (centreOnOwner) {
    const int ownerWidth = owner.right - owner.left;
    const int ownerHeight = owner.bottom - owner.top;
    return {owner.left + (ownerWidth - box.width) / 2, owner.top + (ownerHeight - box.height) / 2};
  }
  return {screenWidth / 2 - box.width / 2, screenHeight / 2 - box.height / 2};
}

std::vector<BoxButton> MessageBoxButtons(std::int32_t buttons, Size box) {
  const int c = box.width / 2;
  const int y = box.height - kButtonRowFromBottom;
  switch (NormalizedButtonSet(buttons)) {
    case MBX_BUTTONS_YESNOCANCEL:
      return {{kMessageBoxYesId, {c - 137, y}},
              {kMessageBoxNoId, {c - 45, y}},
              {kMessageBoxCancelId, {c + 47, y}}};
    case MBX_BUTTONS_YESNO:
      return {{kMessageBoxYesId, {c - 91, y}}, {kMessageBoxNoId, {c + 1, y}}};
    default:
      return {{kMessageBoxOkId, {c - 45, y}}};
  }
}

const WideChar* ButtonCaption(const MessageBoxParams& params, int id) {
  switch (id) {
    case kMessageBoxOkId:
      return params.okText;
    case kMessageBoxCancelId:
      return params.cancelText;
    case kMessageBoxYesId:
      return params.yesText;
    case kMessageBoxNoId:
      return params.noText;
    default:
      return u"";
  }
}

Point CheckBoxPosition(int textHeight) { return {kCheckBoxX, textHeight + kCheckBoxFromText}; }

Rect MessageTextRect(Size box, int textHeight, bool hasCheckBox) {
  Rect rect{kTextLeft, kTextTop, box.width - kTextRightMargin, box.height - kTextBottomMargin};
  if (textHeight < kMessageIconSize && !hasCheckBox)
    rect.top += (kMessageIconSize - textHeight) / 2;
  return rect;
}

int AnswerForCommand(int id, int checkState) {
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
  return code + 256 * (checkState & 0xFF);
}

int ResultOnClose(int result) { return result == 0 ? MBX_RESULT_OK : result; }

}  // namespace shadowpane
