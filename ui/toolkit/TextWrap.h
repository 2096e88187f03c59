// Word wrapping and line rules shared by the label and the message box.
// Text is broken only at spaces, by replacing the space before a word that
// makes a line too wide with a newline; every inserted line break adds a
// 5-pixel gap to the height the control needs.
#pragma once

#include <vector>

#include "ui/toolkit/TextMeasurer.h"

namespace shadowpane {

// Extra pixels between two lines of a label or message text.
constexpr int kLineGap = 5;
// The message box's paragraph token: "word <nl> word" starts a new line.
constexpr WideChar kNewlineToken[] = u"<nl>";

struct WrappedText {
  WideString text;  // the rebuilt text, line breaks as newlines
  int extra = 0;    // pixels to add to the measured height for the gaps
};

// Rebuilds text so that every line that can be broken is at most `limit`
// pixels wide. Pieces are the runs of non-space characters (runs of spaces
// separate like one). With `newlineTokens`, a "<nl>" piece becomes " \n"
// and a run of them adds one gap in all (each further one takes one back).
//
// A piece that is wider than the limit by itself is left unbroken: a line
// without a space inside it cannot be shortened, so it neither takes the
// break that belongs to an earlier space nor forces every later word onto a
// line of its own.
WrappedText WrapAtSpaces(WideView text, int limit, const TextMeasurer& measurer,
                         bool newlineTokens);

// Newlines counted for line gaps: the search resumes two characters after
// each newline found, so a newline directly after a counted one is not
// counted.
int CountGapNewlines(WideView text);

bool ContainsNewline(WideView text);
bool ContainsNewlineToken(WideView text);

// The lines of a text split at newlines; empty lines vanish.
std::vector<WideView> SplitLines(WideView text);

// A line that is exactly one space is a paragraph gap of this height.
constexpr int kParagraphGap = 8;

struct PlacedLine {
  WideView text;
  int top = 0;
  bool drawn = false;  // false for a one-space paragraph gap
};
// The message lines from the rectangle's top: each line moves the next one
// down by the line height + 5, a line of one space by 8.
std::vector<PlacedLine> PlaceMessageLines(WideView text, int top, int lineHeight);
// The label's lines: each moves the next one down by the line height + 5.
std::vector<PlacedLine> PlaceLabelLines(WideView text, int top, int lineHeight);

}  // namespace shadowpane
