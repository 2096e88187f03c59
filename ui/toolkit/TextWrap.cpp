#include "ui/toolkit/TextWrap.h"

#include <algorithm>
#include <unordered_map>

namespace shadowpane {
namespace {

constexpr WideChar kSpace = u' ';
constexpr WideChar kNewline = u'\n';

std::vector<WideView> SplitPieces(WideView text) {
  std::vector<WideView> pieces;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == kSpace) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != kSpace) ++i;
    if (i > start) pieces.push_back(text.substr(start, i - start));
  }
  return pieces;
}

// A line can be shortened only at a space that has a word after it.
bool HasInnerSpace(WideView line) {
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    if (line[i] == kSpace && line[i + 1] != kSpace) return true;
  }
  return false;
}

// Line widths already measured: lines before the newest one do not change
// while a text is wrapped, so each is measured once (on Windows every
// measurement is a DrawTextW call).
class LineWidths {
 public:
  explicit LineWidths(const TextMeasurer& measurer) : measurer_(measurer) {}
  int Width(WideView line) {
    WideString key(line);
    auto found = widths_.find(key);
    if (found != widths_.end()) return found->second;
    const int width = measurer_.Measure(line).width;
    widths_.emplace(std::move(key), width);
    return width;
  }

 private:
  const TextMeasurer& measurer_;
  std::unordered_map<WideString, int> widths_;
};

// Width of the widest line that a break at a space could shorten.
int BreakableWidth(WideView text, LineWidths& measurer) {
  int widest = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(kNewline, start);
    if (end == WideView::npos) end = text.size();
    const WideView line = text.substr(start, end - start);
    if (HasInnerSpace(line)) widest = std::max(widest, measurer.Width(line));
    start = end + 1;
  }
  return widest;
}

void BreakIfTooWide(WideString& out, int& extra, int limit, LineWidths& measurer) {
  if (BreakableWidth(out, measurer) <= limit) return;
  const std::size_t lastSpace = out.rfind(kSpace);
  if (lastSpace == WideString::npos) return;
  out[lastSpace] = kNewline;
  extra += kLineGap;
}

std::vector<PlacedLine> PlaceLines(WideView text, int top, int lineHeight, bool paragraphGaps) {
  std::vector<PlacedLine> placed;
  for (WideView line : SplitLines(text)) {
    PlacedLine entry{line, top, true};
    if (paragraphGaps && line == u" ") {
      entry.drawn = false;
      top += kParagraphGap;
    } else {
      top += lineHeight + kLineGap;
    }
    placed.push_back(entry);
  }
  return placed;
}

}  // namespace

WrappedText WrapAtSpaces(WideView text, int limit, const TextMeasurer& measurer,
                         bool newlineTokens) {
  WrappedText result;
  const std::vector<WideView> pieces = SplitPieces(text);
  if (pieces.empty()) return result;
  LineWidths widths(measurer);
  const WideView token(kNewlineToken);
  WideString& out = result.text;
  out.assign(pieces[0]);
  std::size_t next = 1;
  while (true) {
    BreakIfTooWide(out, result.extra, limit, widths);
    if (next >= pieces.size()) break;
    if (newlineTokens && pieces[next] == token) {
      bool firstOfRun = true;
      while (next < pieces.size() && pieces[next] == token) {
        out.append(u" \n");
        result.extra += firstOfRun ? kLineGap : -kLineGap;
        firstOfRun = false;
        ++next;
      }
      if (next >= pieces.size()) break;
      out.append(pieces[next]);
    } else {
      out.push_back(kSpace);
      out.append(pieces[next]);
    }
    ++next;
  }
  return result;
}

int CountGapNewlines(WideView text) {
  int count = 0;
  std::size_t from = 0;
  while (from < text.size()) {
    const std::size_t found = text.find(kNewline, from);
    if (found == WideView::npos) break;
    ++count;
    from = found + 2;
  }
  return count;
}

bool ContainsNewline(WideView text) { return text.find(kNewline) != WideView::npos; }

bool ContainsNewlineToken(WideView text) { return text.find(WideView(kNewlineToken)) != WideView::npos; }

std::vector<WideView> SplitLines(WideView text) {
  std::vector<WideView> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(kNewline, start);
    if (end == WideView::npos) end = text.size();
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<PlacedLine> PlaceMessageLines(WideView text, int top, int lineHeight) {
  return PlaceLines(text, top, lineHeight, true);
}

std::vector<PlacedLine> PlaceLabelLines(WideView text, int top, int lineHeight) {
  return PlaceLines(text, top, lineHeight, false);
}

}  // namespace shadowpane
