#include "ui/windows/ShortcutsWindowLogic.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace shadowpane {
namespace {

constexpr std::uint32_t kCtrlAltM = EncodeShortcut(kShortcutControl | kShortcutAlt, 'M');
constexpr std::uint32_t kCtrlAltC = EncodeShortcut(kShortcutControl | kShortcutAlt, 'C');
constexpr std::uint32_t kShiftM = EncodeShortcut(kShortcutShift, 'M');

TEST(ShortcutsWindowLogicTest, OkSavesWhatTheSystemTookAndKeepsTheWindowForTheRest) {
  const struct {
    ShortcutSet wanted;
    bool refused[kShortcutActionCount];
    ShortcutSet saved;
    RowMessage second;
    bool close;
  } cases[] = {
      {{{kCtrlAltM, kCtrlAltC, 0, 0}}, {}, {{kCtrlAltM, kCtrlAltC, 0, 0}}, RowMessage::None, true},
      // Held by another program: not saved, the row says so, the window stays.
      {{{kCtrlAltM, kCtrlAltC, 0, 0}}, {false, true}, {{kCtrlAltM, 0, 0, 0}}, RowMessage::Taken, false},
      // A combination the field never records is never saved either.
      {{{kCtrlAltM, kShiftM, 0, 0}}, {false, true}, {{kCtrlAltM, 0, 0, 0}}, RowMessage::None, true},
      // Two rows with one combination: the second is this window's, not another program's.
      {{{kCtrlAltM, kCtrlAltM, 0, 0}}, {false, true}, {{kCtrlAltM, 0, 0, 0}}, RowMessage::UsedByAnotherRow, false},
  };
  for (const auto& c : cases) {
    const ShortcutsOk ok = DecideShortcutsOk(c.wanted, c.refused);
    EXPECT_TRUE(ok.saved == c.saved);
    EXPECT_EQ(ok.messages[1], c.second);
    EXPECT_EQ(ok.close, c.close);
  }
}

TEST(ShortcutsWindowLogicTest, FieldsAndMessagesReadInTheLanguage) {
  EXPECT_EQ(ShortcutFieldText(kNoShortcut, 0, WideView()), u"None");
  EXPECT_EQ(ShortcutFieldText(EncodeShortcut(7, 'M'), 1, WideView()), u"Strg+Alt+Umschalt+M");
  EXPECT_EQ(ShortcutFieldText(EncodeShortcut(kShortcutAlt, 0x2D), 0, u"Insert"), u"Alt+Insert");
  EXPECT_EQ(RowMessageText(RowMessage::Taken, 0), u"This shortcut is used by another program.");
  EXPECT_EQ(RowMessageText(RowMessage::NeedsCtrlOrAlt, 3), u"Una scorciatoia richiede Ctrl o Alt.");
  EXPECT_TRUE(RowMessageText(RowMessage::None, 2).empty());
  EXPECT_EQ(ShortcutRowOf(IDC_SHORTCUTS_CLEAR + 4, IDC_SHORTCUTS_CLEAR), 4);
  EXPECT_EQ(ShortcutRowOf(IDC_SHORTCUTS_CLEAR + 5, IDC_SHORTCUTS_CLEAR), -1);
  EXPECT_EQ(ShortcutRowOf(IDC_SHORTCUTS_OK, IDC_SHORTCUTS_FIELD), -1);
}

TEST(ShortcutsWindowLogicTest, RowsStayBetweenTheSeparatorsAndApart) {
  const Size client = kShortcutsWindowSize;
  const std::vector<ControlPlacement> controls = ShortcutsControls(client, 0, u"OK", u"Cancel");
  ASSERT_EQ(controls.size(), 3u + 3u * kShortcutActionCount);
  const std::vector<SeparatorLine> lines = FrameSeparators(client);
  for (int row = 0; row < kShortcutActionCount; ++row) {
    const Rect field = ShortcutFieldPlace(row);
    const Rect clear = controls[3 + 3 * row + 1].rect;
    const Rect message = controls[3 + 3 * row + 2].rect;
    EXPECT_GT(field.top, lines[0].from.y);
    EXPECT_LT(message.bottom, lines[1].from.y);
    EXPECT_LT(field.right, clear.left);
    EXPECT_LE(clear.right, client.width - kSeparatorInset);
    EXPECT_LE(std::max(field.bottom, clear.bottom), message.top) << row;
    if (row > 0) {
      EXPECT_GE(clear.top, controls[3 + 3 * (row - 1) + 2].rect.bottom);
    }
  }
}

}  // namespace
}  // namespace shadowpane
