// Word wrapping, the message box's layout and the label's sizing over any
// text, any wrap limit and a measurer whose characters have any width
// (0 to 20 pixels, lines 13 high). Wrapping keeps the input's words in their
// order and only turns spaces into newlines (and "<nl>" tokens into lines);
// every line it could still break fits the limit; the heights count 5
// pixels per inserted line; the box is at least its minimum size and holds
// its text, check box and buttons without overlap.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "ui/toolkit/LabelLayout.h"
#include "ui/toolkit/MessageBoxLayout.h"
#include "ui/toolkit/TextWrap.h"

using namespace shadowpane;

namespace {

constexpr int kLineHeight = 13;
constexpr int kWidestChar = 20;

// Like DrawTextW with DT_CALCRECT: lines broken only at newlines.
class VariableWidthMeasurer : public TextMeasurer {
 public:
  std::array<int, 16> widths{};
  TextExtent Measure(WideView text) const override {
    int widest = 0;
    int current = 0;
    int lines = 1;
    for (WideChar c : text) {
      if (c == u'\n') {
        ++lines;
        current = 0;
        continue;
      }
      current += widths[c % widths.size()];
      widest = std::max(widest, current);
    }
    return {widest, lines * kLineHeight};
  }
};

std::vector<WideView> Split(WideView text, bool atNewlines) {
  std::vector<WideView> words;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u' ' || (atNewlines && text[i] == u'\n')) {
      if (i > start) words.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return words;
}

int Count(WideView text, WideChar c) {
  return static_cast<int>(std::count(text.begin(), text.end(), c));
}

// What wrapping must keep: the words between spaces and newlines, a "<nl>"
// token after the first piece dropped (it becomes a line of its own).
std::vector<WideView> ExpectedWords(WideView text, bool tokens, int& tokenCount, int& tokenRuns) {
  tokenCount = tokenRuns = 0;
  std::vector<WideView> words;
  const std::vector<WideView> pieces = Split(text, false);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (tokens && i > 0 && pieces[i] == WideView(kNewlineToken)) {
      ++tokenCount;
      if (pieces[i - 1] != WideView(kNewlineToken) || i == 1) ++tokenRuns;
      continue;
    }
    for (WideView word : Split(pieces[i], true)) words.push_back(word);
  }
  return words;
}

void CheckWrap(WideView text, int limit, const TextMeasurer& measurer, bool tokens) {
  const WrappedText wrapped = WrapAtSpaces(text, limit, measurer, tokens);
  int tokenCount = 0;
  int tokenRuns = 0;
  FUZZ_CHECK(Split(wrapped.text, true) == ExpectedWords(text, tokens, tokenCount, tokenRuns));
  // Breaks: newlines the wrap added beyond the input's own and the tokens'.
  const int breaks = Count(wrapped.text, u'\n') - Count(text, u'\n') - tokenCount;
  FUZZ_CHECK(breaks >= 0);
  FUZZ_CHECK(wrapped.extra == kLineGap * (breaks + tokenRuns - (tokenCount - tokenRuns)));
  // A line that still has a space before a word could have been broken
  // there: it must fit, but for the spaces at its end, which show nothing
  // (a token's line keeps one).
  for (WideView line : SplitLines(wrapped.text)) {
    line = line.substr(0, line.find_last_not_of(u' ') + 1);
    const bool breakable = line.find(u' ') != WideView::npos;
    if (breakable) FUZZ_CHECK(measurer.Measure(line).width <= limit);
  }
}

void CheckMessageBox(WideView text, int limit, const TextMeasurer& measurer, std::int32_t buttons) {
  const MessageTextLayout layout = LayoutMessageText(text, limit, measurer);
  const WideView shown = text.substr(0, kMessageTextMaxChars);
  if (!layout.rebuilt) FUZZ_CHECK(layout.text == shown);
  int tokens = 0;
  int runs = 0;
  FUZZ_CHECK(Split(layout.text, true) == ExpectedWords(shown, layout.rebuilt, tokens, runs));
  const TextExtent extent = measurer.Measure(layout.text);
  FUZZ_CHECK(layout.width == extent.width);
  FUZZ_CHECK(layout.width <= kWidestChar * kMessageTextMaxChars);
  FUZZ_CHECK(layout.height >= 0 && layout.height <= extent.height + kLineGap * extent.height);

  const Size box = MessageBoxSize(layout.width, layout.height, buttons);
  const int set = NormalizedButtonSet(buttons);
  const bool check = HasDontShowAgain(buttons);
  const int minWidth = check || set == MBX_BUTTONS_YESNOCANCEL ? 319
                       : set == MBX_BUTTONS_YESNO               ? 226
                                                                : 135;
  FUZZ_CHECK(box.width >= minWidth && box.width >= layout.width + kTextMargin);
  FUZZ_CHECK(check || box.height >= 180);

  // The text rectangle lies inside the box and is big enough for the text.
  const Rect rect = MessageTextRect(box, layout.height, check);
  FUZZ_CHECK(rect.left >= 0 && rect.right <= box.width && rect.right - rect.left >= layout.width);
  FUZZ_CHECK(rect.top >= 0 && rect.top + layout.height <= rect.bottom);
  // Check box below the text, buttons below both, all inside the box.
  int rowTop = rect.top + layout.height;
  if (check) {
    const Point at = CheckBoxPosition(layout.height);
    FUZZ_CHECK(at.y >= rect.top + layout.height);
    rowTop = at.y + kLineHeight;
  }
  int right = 0;
  for (const BoxButton& button : MessageBoxButtons(buttons, box)) {
    FUZZ_CHECK(button.origin.x >= right && button.origin.x + kBoxButtonWidth <= box.width);
    FUZZ_CHECK(button.origin.y >= rowTop && button.origin.y + kBoxButtonHeight <= box.height);
    right = button.origin.x + kBoxButtonWidth;
  }

  // Painting moves down by at least the line gap per line, never up.
  int top = rect.top - 1;
  for (const PlacedLine& line : PlaceMessageLines(layout.text, rect.top, kLineHeight)) {
    FUZZ_CHECK(line.top > top && !line.text.empty());
    top = line.top;
  }
}

void CheckLabel(WideView text, int limitWidth, int limitHeight, const TextMeasurer& measurer) {
  const LabelLayout layout = LayoutLabel(text, limitWidth, limitHeight, measurer);
  const WideView measured = text.substr(0, kLabelMeasureMaxChars);
  FUZZ_CHECK(layout.rewrapped == (limitWidth != 0 && measurer.Measure(measured).width > limitWidth));
  if (layout.rewrapped) {
    int tokens = 0;
    int runs = 0;
    FUZZ_CHECK(Split(layout.text, true) == ExpectedWords(measured, false, tokens, runs));
    FUZZ_CHECK(layout.width == measurer.Measure(layout.text).width);
  } else {
    FUZZ_CHECK(layout.width == measurer.Measure(measured).width);
    FUZZ_CHECK(layout.height >= std::min(kLabelMinHeight, limitHeight ? limitHeight : 14));
  }
  if (limitHeight != 0) FUZZ_CHECK(layout.height <= limitHeight);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  VariableWidthMeasurer measurer;
  for (int& width : measurer.widths) width = input.ConsumeIntegralInRange(0, kWidestChar);
  const int limit = input.ConsumeIntegralInRange(0, 600);
  const auto buttons = input.ConsumeIntegralInRange<std::int32_t>(0, 7);
  const int labelHeight = input.ConsumeBool() ? 0 : input.ConsumeIntegralInRange(1, 200);
  // The rest is the text, UTF-16LE: a little beyond what the box reads.
  const std::vector<std::uint8_t> bytes = input.ConsumeRemainingBytes<std::uint8_t>();
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size() && text.size() < 1100; i += 2) {
    text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
  }

  // The message box wraps at the limit its provisional width gives, or at
  // any limit; the label at any.
  const bool boxLimit = text.size() % 2 == 0;
  CheckWrap(text, limit, measurer, !boxLimit);
  CheckMessageBox(text,
                  boxLimit ? ProvisionalBoxWidth(static_cast<int>(text.size())) - kTextMargin : limit,
                  measurer, buttons);
  CheckLabel(text, limit, labelHeight, measurer);
  return 0;
}
