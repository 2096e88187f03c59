// What a control draws its text with: the font (its quality is the font's),
// the rectangle and the DrawTextW flags, with the text drawn there. Each
// control works these out in one function that its paint draws from and
// that WM_DRAWN_TEXTS answers, so whoever asks (the text-fit test) sees
// exactly what is painted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace shadowpane {

struct DrawnText {
  HFONT font = nullptr;  // the control's own font; the control owns it
  RECT rect{};           // in the control's client pixels, as DrawTextW gets it
  UINT format = 0;       // DrawTextW flags
  std::wstring text;     // what is drawn there (a line, for a wrapped label)
};
using DrawnTexts = std::vector<DrawnText>;

// Sent to a control, in its own process only: lParam points to a DrawnTexts
// that the control fills with everything it would draw at its current size;
// the answer is 1 from a control that knows the message.
constexpr UINT WM_DRAWN_TEXTS = WM_APP + 0x120;

// The control's texts as it draws them; 1 when it answered.
int ReadDrawnTexts(HWND control, DrawnTexts* texts);
// A control's answer to WM_DRAWN_TEXTS.
LRESULT AnswerDrawnTexts(DrawnTexts texts, LPARAM lParam);
// Draws each text in its font, rectangle and flags; colours and background
// mode are the caller's, the DC's font is put back.
void DrawTexts(HDC dc, const DrawnTexts& texts);

}  // namespace shadowpane
