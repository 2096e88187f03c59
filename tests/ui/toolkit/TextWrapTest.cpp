#include "ui/toolkit/TextWrap.h"

#include <gtest/gtest.h>

#include "tests/ui/toolkit/FakeTextMeasurer.h"

namespace shadowpane {
namespace {

using testing::Chars;
using testing::FakeTextMeasurer;

TEST(WrapAtSpaces, BreaksBeforeTheWordThatMakesALineTooWide) {
  FakeTextMeasurer m;
  WrappedText w = WrapAtSpaces(u"aaaa bbbb cccc dddd", Chars(9), m, false);
  EXPECT_EQ(w.text, u"aaaa bbbb\ncccc dddd");
  EXPECT_EQ(w.extra, 5);
  w = WrapAtSpaces(u"aaaa bbbb cccc dddd", Chars(4), m, false);
  EXPECT_EQ(w.text, u"aaaa\nbbbb\ncccc\ndddd");
  EXPECT_EQ(w.extra, 15);
}

TEST(WrapAtSpaces, RunsOfSpacesSeparateLikeOneAndEdgesVanish) {
  FakeTextMeasurer m;
  EXPECT_EQ(WrapAtSpaces(u"   a    b  ", 1000, m, false).text, u"a b");
  const WrappedText empty = WrapAtSpaces(u"", 10, m, false);
  EXPECT_EQ(empty.text, u"");
  EXPECT_EQ(empty.extra, 0);
  EXPECT_EQ(WrapAtSpaces(u"     ", 10, m, false).text, u"");
}

TEST(WrapAtSpaces, AWordWiderThanTheLimitStaysWholeAndLaterWordsStillShareLines) {
  FakeTextMeasurer m;
  WrappedText w = WrapAtSpaces(u"Supercalifragilistic is it so", Chars(6), m, false);
  EXPECT_EQ(w.text, u"Supercalifragilistic\nis it\nso");
  EXPECT_EQ(w.extra, 10);
  // A long word in the middle takes its own line only.
  w = WrapAtSpaces(u"ab Supercalifragilistic cd ef", Chars(6), m, false);
  EXPECT_EQ(w.text, u"ab\nSupercalifragilistic\ncd ef");
}

TEST(WrapAtSpaces, NewlineTokensStartLinesAndRunsCountOneGap) {
  FakeTextMeasurer m;
  WrappedText w = WrapAtSpaces(u"Hello <nl> World", 1000, m, true);
  EXPECT_EQ(w.text, u"Hello \nWorld");
  EXPECT_EQ(w.extra, 5);
  w = WrapAtSpaces(u"A <nl> <nl> B", 1000, m, true);
  EXPECT_EQ(w.text, u"A \n \nB");
  EXPECT_EQ(w.extra, 0);
  w = WrapAtSpaces(u"A <nl> <nl> <nl> B", 1000, m, true);
  EXPECT_EQ(w.extra, -5);
  w = WrapAtSpaces(u"A <nl>", 1000, m, true);
  EXPECT_EQ(w.text, u"A \n");
  // Without tokens enabled (the label) the token is an ordinary word.
  EXPECT_EQ(WrapAtSpaces(u"A <nl> B", 1000, m, false).text, u"A <nl> B");
}

TEST(WrapAtSpaces, AWordAfterATokenTooWideDoesNotTakeTheTokensSpace) {
  FakeTextMeasurer m;
  const WrappedText w = WrapAtSpaces(u"ab <nl> Supercalifragilistic", Chars(6), m, true);
  EXPECT_EQ(w.text, u"ab \nSupercalifragilistic");
  EXPECT_EQ(w.extra, 5);
}

TEST(CountGapNewlines, ANewlineRightAfterACountedOneIsNotCounted) {
  EXPECT_EQ(CountGapNewlines(u""), 0);
  EXPECT_EQ(CountGapNewlines(u"a\nb"), 1);
  EXPECT_EQ(CountGapNewlines(u"a\n\nb"), 1);
  EXPECT_EQ(CountGapNewlines(u"a\n\n\nb"), 2);
  EXPECT_EQ(CountGapNewlines(u"a\n \nb"), 2);
  EXPECT_EQ(CountGapNewlines(u"a\n"), 1);
  EXPECT_EQ(CountGapNewlines(u"\n"), 1);
}

TEST(PlaceLines, EmptyLinesVanishAndGapsFollowTheRules) {
  const std::vector<PlacedLine> label = PlaceLabelLines(u"one\n\ntwo\n", 0, 13);
  ASSERT_EQ(label.size(), 2u);
  EXPECT_EQ(label[0].text, u"one");
  EXPECT_EQ(label[0].top, 0);
  EXPECT_EQ(label[1].top, 18);
  const std::vector<PlacedLine> message = PlaceMessageLines(u"A \n \nB", 55, 13);
  ASSERT_EQ(message.size(), 3u);
  EXPECT_TRUE(message[0].drawn);
  EXPECT_FALSE(message[1].drawn);
  EXPECT_EQ(message[1].top, 73);
  EXPECT_EQ(message[2].top, 81);
  EXPECT_EQ(message[2].text, u"B");
}

}  // namespace
}  // namespace shadowpane
