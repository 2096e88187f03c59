// Text units of the toolkit. Portable: no platform headers.
#pragma once

#include <string>
#include <string_view>

namespace shadowpane {

// UTF-16 text unit; on Windows the same size and representation as wchar_t,
// so a pointer to it is reinterpreted as LPCWSTR at the platform boundary.
using WideChar = char16_t;
using WideString = std::u16string;
using WideView = std::u16string_view;

// ToolkitFont: "Tahoma", cell height 13, normal weight (the label varies
// height and weight).
constexpr int kToolkitFontHeight = 13;
constexpr int kFontWeightNormal = 400;
constexpr int kFontWeightBold = 700;

// Number of units before the terminator, reading at most max_units units:
// a buffer that is not terminated within its size is never read past it.
inline int BoundedLength(const WideChar* text, int max_units) {
  if (text == nullptr) return 0;
  int n = 0;
  while (n < max_units && text[n] != 0) ++n;
  return n;
}

// Copies at most max_chars characters of text into a buffer of max_chars + 1
// units and terminates it. A null text gives an empty buffer.
inline void CopyBounded(WideChar* buffer, int max_chars, const WideChar* text) {
  const int n = BoundedLength(text, max_chars);
  for (int i = 0; i < n; ++i) buffer[i] = text[i];
  buffer[n] = 0;
}

}  // namespace shadowpane
