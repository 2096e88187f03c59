#include "ui/toolkit/EditLogic.h"

#include <gtest/gtest.h>

#include <string>

namespace shadowpane {
namespace {

TEST(EditCueText, StoreKeepsTheFirst250Characters) {
  WideChar cue[kCueTextUnits];
  const std::u16string longText(300, u'c');
  EXPECT_EQ(StoreCueText(cue, longText.c_str()), 250);
  EXPECT_EQ(std::u16string(cue), longText.substr(0, 250));
  EXPECT_EQ(StoreCueText(cue, u"short"), 5);
  // Nothing of the longer text survives behind the terminator.
  for (int i = 5; i < kCueTextUnits; ++i) ASSERT_EQ(cue[i], 0) << i;
  EXPECT_EQ(StoreCueText(cue, nullptr), 0);
  EXPECT_EQ(cue[0], 0);
}

TEST(EditCueText, CopyShorterThanTheCueAddsNoTerminator) {
  WideChar cue[kCueTextUnits];
  StoreCueText(cue, u"0123456789");
  WideChar buffer[32];
  std::fill(buffer, buffer + 32, u'#');
  EXPECT_EQ(CopyCueText(cue, buffer, 5), 5);
  EXPECT_EQ(std::u16string(buffer, 6), u"01234#");
}

TEST(EditCueText, CopyWithRoomCopiesTheTerminator) {
  WideChar cue[kCueTextUnits];
  StoreCueText(cue, u"0123456789");
  WideChar buffer[32];
  std::fill(buffer, buffer + 32, u'#');
  EXPECT_EQ(CopyCueText(cue, buffer, 20), 10);
  EXPECT_EQ(std::u16string(buffer, 12), std::u16string(u"0123456789\0#", 12));
  // Exactly as many characters as the cue still fits with its terminator.
  std::fill(buffer, buffer + 32, u'#');
  EXPECT_EQ(CopyCueText(cue, buffer, 10), 10);
  EXPECT_EQ(buffer[10], 0);
}

TEST(EditCueText, CopyEdgeCases) {
  WideChar cue[kCueTextUnits];
  StoreCueText(cue, u"abc");
  WideChar buffer[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(CopyCueText(cue, buffer, 0), 0);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(CopyCueText(cue, buffer, -1), 0);
  EXPECT_EQ(CopyCueText(cue, nullptr, 10), 0);
  StoreCueText(cue, u"");
  EXPECT_EQ(CopyCueText(cue, buffer, 0), 0);
  EXPECT_EQ(buffer[0], 0);  // an empty cue fits: just its terminator
}

TEST(EditInnerField, StyleAndPlaceFollowTheControlSize) {
  EXPECT_EQ(InnerFieldStyleBits(30, 0), kEditStyleAutoHScroll);
  EXPECT_EQ(InnerFieldStyleBits(45, 0), kEditStyleAutoHScroll);
  EXPECT_EQ(InnerFieldStyleBits(46, 0), kEditStyleMultiline);
  EXPECT_EQ(InnerFieldStyleBits(60, 0x20), kEditStyleMultiline | 0x20u);

  const Rect single = InnerFieldRect(300, 30);
  EXPECT_EQ(single.left, 7);
  EXPECT_EQ(single.top, 10);
  EXPECT_EQ(Width(single), 286);
  EXPECT_EQ(Height(single), 11);
  EXPECT_EQ(Height(InnerFieldRect(300, 60)), 41);
  const Rect tiny = InnerFieldRect(5, 5);
  EXPECT_EQ(Width(tiny), 0);
  EXPECT_EQ(Height(tiny), 0);
}

TEST(EditInnerField, CueBoxIsNeverInverted) {
  const Rect box = CueTextBox(300, 30);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.right, 280);
  EXPECT_EQ(box.bottom, 30);
  const Rect tiny = CueTextBox(12, 0);
  EXPECT_GE(tiny.right, tiny.left);
  EXPECT_TRUE(InnerFieldShown(1));
  EXPECT_FALSE(InnerFieldShown(0));
}

}  // namespace
}  // namespace shadowpane
