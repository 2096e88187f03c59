#include "ui/toolkit/MessageBoxLayout.h"

#include <gtest/gtest.h>

#include "tests/ui/toolkit/FakeTextMeasurer.h"
#include "ui/toolkit/TextWrap.h"

namespace shadowpane {
namespace {

using testing::Chars;
using testing::FakeTextMeasurer;

TEST(MessageBoxLayout, TextLengthPicksTheWrapLimit) {
  EXPECT_EQ(ProvisionalBoxWidth(0), 370);
  EXPECT_EQ(ProvisionalBoxWidth(100), 370);
  EXPECT_EQ(ProvisionalBoxWidth(101), 430);
  EXPECT_EQ(ProvisionalBoxWidth(100) - kTextMargin, 250);
  EXPECT_EQ(ProvisionalBoxWidth(101) - kTextMargin, 310);
}

TEST(MessageBoxLayout, ShortTextStaysOnOneLineInAMinimalBox) {
  FakeTextMeasurer m;
  const MessageTextLayout t = LayoutMessageText(u"Done.", 250, m);
  EXPECT_FALSE(t.rebuilt);
  EXPECT_EQ(t.text, u"Done.");
  EXPECT_EQ(t.height, 13);
  const Size box = MessageBoxSize(t.width, t.height, MBX_BUTTONS_OK);
  EXPECT_EQ(box.width, Chars(5) + 120);
  EXPECT_EQ(box.height, 180);
  EXPECT_EQ(MessageBoxSize(Chars(2), 13, MBX_BUTTONS_OK).width, 135);
}

TEST(MessageBoxLayout, NewlineTokensAndGivenNewlines) {
  FakeTextMeasurer m;
  MessageTextLayout t = LayoutMessageText(u"First <nl> Second", 250, m);
  EXPECT_TRUE(t.rebuilt);
  EXPECT_EQ(t.text, u"First \nSecond");
  EXPECT_EQ(t.height, 26 + 5);
  t = LayoutMessageText(u"First<nl>Second", 250, m);
  EXPECT_EQ(t.text, u"First<nl>Second");
  EXPECT_EQ(t.height, 13);
  t = LayoutMessageText(u"First <nl> <nl> Second", 250, m);
  EXPECT_EQ(t.text, u"First \n \nSecond");
  EXPECT_EQ(t.height, 39);
  // The restart question: two counted newlines (the third follows at once).
  t = LayoutMessageText(
      u"Another instance of Shadowpane is already running.\n \nDo you want to restart the program?",
      310, m);
  EXPECT_FALSE(t.rebuilt);
  EXPECT_EQ(t.height, 39 + 10);
}

TEST(MessageBoxLayout, LongTextWrapsAtItsLimit) {
  FakeTextMeasurer m;
  WideString text;
  while (text.size() < 101) text += u"wrap ";
  text.resize(101);
  ASSERT_GT(ProvisionalBoxWidth(static_cast<int>(text.size())), 370);
  const MessageTextLayout t = LayoutMessageText(text, 310, m);
  ASSERT_TRUE(t.rebuilt);
  EXPECT_LE(t.width, 310);
  EXPECT_GT(t.width, 250);
  for (WideView line : SplitLines(t.text)) EXPECT_LE(m.Measure(line).width, 310);
  EXPECT_EQ(t.height, 2 * 13 + 5);
  // Text past the 999 characters the box reads is ignored.
  const WideString huge(3000, u'x');
  EXPECT_EQ(LayoutMessageText(huge, 310, m).width, Chars(999));
}

TEST(MessageBoxLayout, SizesPerButtonSetAndCheckBox) {
  EXPECT_EQ(MessageBoxSize(10, 13, MBX_BUTTONS_YESNO).width, 226);
  EXPECT_EQ(MessageBoxSize(10, 13, MBX_BUTTONS_YESNOCANCEL).width, 319);
  EXPECT_EQ(MessageBoxSize(300, 100, MBX_BUTTONS_OK).width, 420);
  EXPECT_EQ(MessageBoxSize(300, 100, MBX_BUTTONS_OK).height, 232);
  Size box = MessageBoxSize(10, 13, MBX_BUTTONS_OK | MBX_DONTSHOWAGAIN);
  EXPECT_EQ(box.width, 319);
  EXPECT_EQ(box.height, 180);
  box = MessageBoxSize(10, 20, MBX_BUTTONS_OK | MBX_DONTSHOWAGAIN);
  EXPECT_EQ(box.height, 179);
  box = MessageBoxSize(10, 60, MBX_BUTTONS_OK | MBX_DONTSHOWAGAIN);
  EXPECT_EQ(box.height, 219);
}

TEST(MessageBoxLayout, ButtonsSitAroundTheCentre) {
  const Size box{320, 180};
  std::vector<BoxButton> b = MessageBoxButtons(MBX_BUTTONS_OK, box);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(b[0].id, kMessageBoxOkId);
  EXPECT_EQ(b[0].origin.x, 115);
  EXPECT_EQ(b[0].origin.y, 126);
  b = MessageBoxButtons(MBX_BUTTONS_YESNO | MBX_DONTSHOWAGAIN, box);
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].id, kMessageBoxYesId);
  EXPECT_EQ(b[0].origin.x, 69);
  EXPECT_EQ(b[1].id, kMessageBoxNoId);
  EXPECT_EQ(b[1].origin.x, 161);
  b = MessageBoxButtons(MBX_BUTTONS_YESNOCANCEL, box);
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(b[0].origin.x, 23);
  EXPECT_EQ(b[1].origin.x, 115);
  EXPECT_EQ(b[2].id, kMessageBoxCancelId);
  EXPECT_EQ(b[2].origin.x, 207);
}

TEST(MessageBoxLayout, PlacementOnOwnerOrScreen) {
  const Size box{300, 180};
  Point p = PlaceMessageBox(box, true, {100, 50, 600, 450}, 1280, 1024);
  EXPECT_EQ(p.x, 200);
  EXPECT_EQ(p.y, 160);
  p = PlaceMessageBox(box, false, {100, 50, 600, 450}, 1280, 1024);
  EXPECT_EQ(p.x, 490);
  EXPECT_EQ(p.y, 422);
}

TEST(MessageBoxLayout, TextRectangleCentresShortTextAgainstTheIcon) {
  Rect r = MessageTextRect({300, 180}, 13, false);
  EXPECT_EQ(r.left, 89);
  EXPECT_EQ(r.top, 55 + 17);
  EXPECT_EQ(r.right, 269);
  EXPECT_EQ(r.bottom, 103);
  EXPECT_EQ(MessageTextRect({300, 180}, 13, true).top, 55);
  EXPECT_EQ(MessageTextRect({300, 180}, 60, false).top, 55);
  EXPECT_EQ(CheckBoxPosition(13).y, 82);
}

TEST(MessageBoxLayout, AnswersAddTheCheckBoxState) {
  EXPECT_EQ(AnswerForCommand(kMessageBoxOkId, 0), MBX_RESULT_OK);
  EXPECT_EQ(AnswerForCommand(kMessageBoxOkId, 1), 0x101);
  EXPECT_EQ(AnswerForCommand(kMessageBoxNoId, 0x301), 0x104);
  EXPECT_EQ(AnswerForCommand(1, 0), 0);  // Enter through dialog keys
  EXPECT_EQ(AnswerForCommand(2, 0), 0);  // Escape
  EXPECT_EQ(ResultOnClose(0), 1);
  EXPECT_EQ(ResultOnClose(4), 4);
}

TEST(MessageBoxLayout, ParameterCopyFillsDefaultsAndCutsCaptions) {
  MessageBoxParams copy = CopyParamsWithDefaults(nullptr);
  EXPECT_EQ(copy.buttons, 0);
  EXPECT_EQ(copy.modal, 0);
  EXPECT_EQ(WideView(copy.okText), u"OK");
  EXPECT_EQ(WideView(copy.noText), u"No");
  MessageBoxParams given;
  given.buttons = MBX_BUTTONS_YESNO;
  for (WideChar& c : given.yesText) c = u'y';  // no terminator anywhere
  copy = CopyParamsWithDefaults(&given);
  EXPECT_EQ(WideView(copy.yesText).size(), 100u);
  EXPECT_EQ(WideView(ButtonCaption(copy, kMessageBoxCancelId)), u"Cancel");
  EXPECT_EQ(WideView(ButtonCaption(copy, 1)), u"");
}

}  // namespace
}  // namespace shadowpane
