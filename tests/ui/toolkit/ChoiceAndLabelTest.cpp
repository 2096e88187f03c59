#include <gtest/gtest.h>

#include "tests/ui/toolkit/FakeTextMeasurer.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/LabelLayout.h"
#include "ui/toolkit/TextWrap.h"

namespace shadowpane {
namespace {

using testing::Chars;
using testing::FakeTextMeasurer;

TEST(ChoiceLogic, RadioStaysCheckedAndCheckBoxFlips) {
  ChoiceState radio;
  ClickChoice(radio);
  EXPECT_EQ(radio.checked, 1);
  ClickChoice(radio);
  EXPECT_EQ(radio.checked, 1);
  ChoiceState box;
  box.kind = CXK_CHECKBOX;
  ClickChoice(box);
  EXPECT_EQ(box.checked, 1);
  ClickChoice(box);
  EXPECT_EQ(box.checked, 0);
}

TEST(ChoiceLogic, SizesToTextPlusBoxAndAtLeast14High) {
  Size s = SizeChoiceToText({60, 13});
  EXPECT_EQ(s.width, 80);
  EXPECT_EQ(s.height, 14);
  s = SizeChoiceToText({60, 26});
  EXPECT_EQ(s.height, 26);
  EXPECT_EQ(ChoiceBoxTop(14), 0);
  EXPECT_EQ(ChoiceBoxTop(26), 6);
  EXPECT_EQ(ChoiceBoxTop(5), 0);
}

TEST(ChoiceLogic, SkinCellFollowsKindStateAndCheck) {
  ChoiceState c;
  Point cell = ChoiceBoxCell(c, true);
  EXPECT_EQ(cell.x, 0);
  EXPECT_EQ(cell.y, 0);
  c.kind = CXK_CHECKBOX;
  c.checked = 1;
  c.hovered = 1;
  cell = ChoiceBoxCell(c, true);
  EXPECT_EQ(cell.x, 13);
  EXPECT_EQ(cell.y, 42);
  cell = ChoiceBoxCell(c, false);  // disabled wins over hovered, keeps checked
  EXPECT_EQ(cell.y, 70);
  c.checked = 0;
  EXPECT_EQ(ChoiceBoxCell(c, false).y, 56);
}

TEST(LabelLayout, UnlimitedLabelTakesTheTextSizeButAtLeast14High) {
  FakeTextMeasurer m;
  LabelLayout l = LayoutLabel(u"Settings", 0, 0, m);
  EXPECT_FALSE(l.rewrapped);
  EXPECT_EQ(l.width, Chars(8));
  EXPECT_EQ(l.height, 14);
  l = LayoutLabel(u"one\ntwo", 0, 0, m);
  EXPECT_EQ(l.height, 26 + 5);
  l = LayoutLabel(u"", 0, 0, m);
  EXPECT_EQ(l.width, 0);
  EXPECT_EQ(l.height, 14);
}

TEST(LabelLayout, WrapsAtTheWidthLimitAndTakesTheWidestLine) {
  FakeTextMeasurer m;
  // 20 words of 4 letters = 99 characters, wider than 120 pixels (20 chars).
  WideString text;
  for (int i = 0; i < 20; ++i) text += i == 0 ? u"word" : u" word";
  const LabelLayout l = LayoutLabel(text, 120, 0, m);
  ASSERT_TRUE(l.rewrapped);
  for (WideView line : SplitLines(l.text)) EXPECT_LE(m.Measure(line).width, 120);
  EXPECT_EQ(l.width, Chars(19));  // "word word word word"
  EXPECT_EQ(l.height, 5 * 13 + 4 * 5);
  // The rebuilt text, set again, keeps the size: no second wrap.
  const LabelLayout again = LayoutLabel(l.text, l.width, l.height, m);
  EXPECT_FALSE(again.rewrapped);
  EXPECT_EQ(again.width, l.width);
  EXPECT_EQ(again.height, l.height);
}

TEST(LabelLayout, HeightLimitCutsAndLongTextIsMeasuredUpToItsBuffer) {
  FakeTextMeasurer m;
  EXPECT_EQ(LayoutLabel(u"a\nb\nc\nd", 0, 20, m).height, 20);
  EXPECT_EQ(LayoutLabel(u"aaaa bbbb cccc", Chars(4), 20, m).height, 20);
  const WideString huge(5000, u'x');
  EXPECT_EQ(LayoutLabel(huge, 0, 0, m).width, Chars(1023));
}

TEST(LabelLayout, FontParameterPicksHeightAndWeight) {
  LabelFont f = LabelFontFromParam(15);
  EXPECT_EQ(f.height, 15);
  EXPECT_FALSE(f.bold);
  f = LabelFontFromParam(0x1000F);
  EXPECT_TRUE(f.bold);
  EXPECT_EQ(f.height, 15);
  EXPECT_EQ(LabelFontFromParam(0).height, 13);
}

}  // namespace
}  // namespace shadowpane
