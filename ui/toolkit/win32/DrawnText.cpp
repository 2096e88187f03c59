#include "ui/toolkit/win32/DrawnText.h"

#include <utility>

namespace shadowpane {

int ReadDrawnTexts(HWND control, DrawnTexts* texts) {
  if (texts == nullptr) return 0;
  texts->clear();
  return SendMessageW(control, WM_DRAWN_TEXTS, 0, reinterpret_cast<LPARAM>(texts)) == 1 ? 1 : 0;
}

LRESULT AnswerDrawnTexts(DrawnTexts texts, LPARAM lParam) {
  auto* out = reinterpret_cast<DrawnTexts*>(lParam);
  if (out == nullptr) return 0;
  *out = std::move(texts);
  return 1;
}

void DrawTexts(HDC dc, const DrawnTexts& texts) {
  for (const DrawnText& piece : texts) {
    if (piece.text.empty()) continue;
    HGDIOBJ previous = SelectObject(dc, piece.font);
    RECT rect = piece.rect;
    DrawTextW(dc, piece.text.c_str(), static_cast<int>(piece.text.size()), &rect, piece.format);
    SelectObject(dc, previous);
  }
}

}  // namespace shadowpane
