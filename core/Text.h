// The program's one text type and the bounded helpers every layer uses.
// Names, paths, captions and table texts are UTF-16 in fixed buffers, so
// every helper takes the most units it may look at: a buffer that lacks its
// terminator is never read past its end. Portable: no platform headers.
#pragma once

#include <string>
#include <string_view>

namespace shadowpane {

// UTF-16 text unit. On Windows it has the size and representation of
// wchar_t; core/win32/TextCast.h is the one place that converts.
using WideChar = char16_t;
using WideString = std::u16string;
using WideView = std::u16string_view;

// Units before the terminator, looking at no more than maxUnits units.
// A null text has length 0.
inline int BoundedLength(const WideChar* text, int maxUnits) {
  if (text == nullptr) return 0;
  int length = 0;
  while (length < maxUnits && text[length] != 0) ++length;
  return length;
}

// Copies at most maxChars characters of text into a buffer of maxChars + 1
// units and terminates it. A null text gives the empty text. Answers the
// number of characters copied.
inline int CopyBounded(WideChar* buffer, int maxChars, const WideChar* text) {
  if (buffer == nullptr) return 0;
  if (maxChars < 0) maxChars = 0;
  const int length = BoundedLength(text, maxChars);
  for (int i = 0; i < length; ++i) buffer[i] = text[i];
  buffer[length] = 0;
  return length;
}

// Whether two texts are equal in their first maxUnits units (case-sensitive,
// whole text: "ab" differs from "abc"). Null counts as the empty text.
inline bool SameBounded(const WideChar* a, const WideChar* b, int maxUnits) {
  const int lengthA = BoundedLength(a, maxUnits);
  if (lengthA != BoundedLength(b, maxUnits)) return false;
  for (int i = 0; i < lengthA; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// The text of a bounded buffer as a string.
inline WideString BoundedString(const WideChar* text, int maxUnits) {
  return WideString(text == nullptr ? u"" : text, static_cast<std::size_t>(BoundedLength(text, maxUnits)));
}

}  // namespace shadowpane
