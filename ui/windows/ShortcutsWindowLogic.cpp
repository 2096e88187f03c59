#include "ui/windows/ShortcutsWindowLogic.h"

namespace shadowpane {
namespace {

constexpr int kFirstRowTop = 95;
constexpr int kRowStep = 62;
constexpr int kLabelX = 19;
constexpr int kLabelDown = 9;
constexpr int kFieldX = 250;
constexpr int kFieldDown = 5;
constexpr Size kFieldSize{190, 27};
constexpr int kClearX = 450;
constexpr Size kClearSize{91, 37};
constexpr int kMessageDown = 40;
constexpr int kMessageHeight = 18;
// A row's label may widen up to this far before its field.
constexpr int kLabelFieldGap = 6;
constexpr int kCancelFromRight = 205;

constexpr CommandText kRowLabels[kShortcutActionCount] = {
    CommandText::ShortcutBlockAllLabel,
    CommandText::ShortcutUnblockAllLabel,
    CommandText::ShortcutToggleMicrophonesLabel,
    CommandText::ShortcutToggleCamerasLabel,
    CommandText::ShortcutHoldToTalkLabel,
};

// The talk row's label is longer than the room before the field: it takes
// a line of its own, and the field, button and message move down by it.
constexpr int kOwnLineRow = static_cast<int>(ShortcutAction::HoldToTalk);
constexpr int kOwnLineDrop = 24;

int RowTop(int row) { return kFirstRowTop + row * kRowStep; }
int FieldRowTop(int row) { return RowTop(row) + (row == kOwnLineRow ? kOwnLineDrop : 0); }
int LabelTop(int row) { return RowTop(row) + (row == kOwnLineRow ? 0 : kLabelDown); }
// A label may widen up to its field, or on a line of its own to the row's end.
int LabelReachRight(int row) { return row == kOwnLineRow ? kClearX + kClearSize.width : kFieldX - kLabelFieldGap; }

}  // namespace

std::vector<ControlPlacement> ShortcutsControls(Size client, int language, const WideChar* okText,
                                                const WideChar* cancelText) {
  std::vector<ControlPlacement> controls = {
      CloseButtonAt(IDC_SHORTCUTS_CLOSE, client),
      BottomButtonAt(IDC_SHORTCUTS_OK, okText, RightButtonX(client), client),
      BottomButtonAt(IDC_SHORTCUTS_CANCEL, cancelText, client.width - kCancelFromRight, client),
  };
  for (int row = 0; row < kShortcutActionCount; ++row) {
    const int top = FieldRowTop(row);
    controls.push_back(SelfSizedAt(IDC_SHORTCUTS_LABEL + row, ControlKind::Label,
                                   CommandTextIn(kRowLabels[row], language), kLabelX, LabelTop(row),
                                   LabelReachRight(row)));
    controls.push_back({IDC_SHORTCUTS_CLEAR + row, ControlKind::PushButton,
                        CommandTextIn(CommandText::ShortcutClear, language), RectAt({kClearX, top}, kClearSize)});
    // Sized to the window, not to its first (empty) text.
    controls.push_back({IDC_SHORTCUTS_MESSAGE + row, ControlKind::Label, u"", ShortcutMessagePlace(row, client)});
  }
  return controls;
}

Rect ShortcutMessagePlace(int row, Size client) {
  return RectAt({kLabelX, FieldRowTop(row) + kMessageDown}, {client.width - 2 * kLabelX, kMessageHeight});
}

Rect ShortcutFieldPlace(int row) { return RectAt({kFieldX, FieldRowTop(row) + kFieldDown}, kFieldSize); }

int ShortcutRowOf(int id, int firstId) {
  const int row = id - firstId;
  return row >= 0 && row < kShortcutActionCount ? row : -1;
}

WideString ShortcutFieldText(std::uint32_t stored, int language, WideView keyName) {
  const WideString text = FormatShortcut(stored, language, keyName);
  return text.empty() ? WideString(CommandTextIn(CommandText::ShortcutNone, language)) : text;
}

WideString RowMessageText(RowMessage message, int language) {
  switch (message) {
    case RowMessage::NeedsCtrlOrAlt:
      return CommandTextIn(CommandText::ShortcutNeedsCtrlOrAlt, language);
    case RowMessage::Taken:
      return CommandTextIn(CommandText::ShortcutTaken, language);
    case RowMessage::UsedByAnotherRow:
      return CommandTextIn(CommandText::ShortcutUsedByAnotherAction, language);
    default:
      return WideString();
  }
}

ShortcutsOk DecideShortcutsOk(const ShortcutSet& wanted, const bool (&refused)[kShortcutActionCount]) {
  ShortcutsOk ok;
  for (int i = 0; i < kShortcutActionCount; ++i) {
    const bool valid = CheckShortcut(wanted.stored[i]) == ShortcutCheck::Valid;
    // The system refuses the second registration of a combination, which
    // would read as another program's; it is this window's own row.
    bool earlierRow = false;
    for (int j = 0; j < i; ++j) earlierRow = earlierRow || wanted.stored[j] == wanted.stored[i];
    if (valid && earlierRow) {
      ok.messages[i] = RowMessage::UsedByAnotherRow;
      ok.close = false;
    } else if (valid && refused[i]) {
      ok.messages[i] = RowMessage::Taken;
      ok.close = false;
    } else {
      ok.saved.stored[i] = valid ? wanted.stored[i] : kNoShortcut;
    }
  }
  return ok;
}

}  // namespace shadowpane
