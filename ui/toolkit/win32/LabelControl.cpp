#include "ui/toolkit/win32/LabelControl.h"

#include <new>

#include "ui/toolkit/TextWrap.h"
#include "ui/toolkit/win32/AccessibleControls.h"
#include "ui/toolkit/win32/DrawnText.h"
#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

struct LabelState {
  HWND window = nullptr;
  GdiObject<HFONT> font;
  LabelFont fontChoice;  // from the creation parameter, kept for a new DPI
  // Nesting of the sizing that setting a rebuilt text runs once more.
  int sizingDepth = 0;
};

// Setting the rebuilt text sizes once more; the rebuilt text fits the width
// it was built for, so a third round only happens if the window refused its
// size. The depth stops it there.
constexpr int kMaxSizingDepth = 2;

void SizeToText(LabelState& label) {
  HWND window = label.window;
  // Laid out in 96-DPI units, the text measured at the label's DPI.
  const int dpi = LayoutDpi(window);
  const Size client = ToDesign(ClientSize(window), dpi);
  wchar_t text[kLabelMeasureMaxChars + 1] = {};
  const int length = GetWindowTextW(window, text, kLabelMeasureMaxChars + 1);
  LabelLayout layout;
  {
    GdiTextMeasurer measurer(window, label.font.get());
    layout = LayoutLabel(WideView(AsCore(text), static_cast<std::size_t>(length)), client.width,
                         client.height, DesignUnitMeasurer(measurer, dpi));
  }
  ResizeWindow(window, Scale(Size{layout.width, layout.height}, dpi));
  if (layout.rewrapped && label.sizingDepth < kMaxSizingDepth) {
    ++label.sizingDepth;
    SetWindowTextW(window, AsWide(layout.text.c_str()));
    --label.sizingDepth;
  }
}

// The lines as they are drawn at a client size, left and top aligned: the
// text whole, or each line of a text with newlines at its place.
DrawnTexts LabelTexts(const LabelState& label, int width, int height) {
  wchar_t text[kLabelPaintMaxChars + 1] = {};
  const int length = GetWindowTextW(label.window, text, kLabelPaintMaxChars + 1);
  if (length <= 0) return {};
  const WideView view(AsCore(text), static_cast<std::size_t>(length));
  const UINT format = DT_LEFT | DT_TOP | kToolkitTextFlags;
  HFONT font = label.font.get();
  if (!ContainsNewline(view)) return {{font, {0, 0, width, height}, format, std::wstring(text, view.size())}};
  const std::vector<WideView> lines = SplitLines(view);
  const int dpi = LayoutDpi(label.window);
  int lineHeight = 0;
  if (!lines.empty()) {
    GdiTextMeasurer measurer(label.window, font);
    lineHeight = Unscale(measurer.Measure(lines.front()).height, dpi);
  }
  DrawnTexts texts;
  for (const PlacedLine& line : PlaceLabelLines(view, 0, lineHeight)) {
    texts.push_back({font, {0, Scale(line.top, dpi), width, height}, format,
                     std::wstring(AsWide(line.text.data()), line.text.size())});
  }
  return texts;
}

void DrawLabel(const LabelState& label, HDC dc, int width, int height) {
  FillWhite(dc, 0, 0, width, height);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ShownTextColor(kColorText));
  DrawTexts(dc, LabelTexts(label, width, height));
}

// The creation parameter picks the font: low word the cell height, a
// non-zero high word bold.
LabelState* MakeLabelState(HWND window, const CREATESTRUCTW& create) {
  auto* record = new (std::nothrow) LabelState;
  if (record == nullptr) return nullptr;
  const LabelFont font = LabelFontFromParam(reinterpret_cast<std::uintptr_t>(create.lpCreateParams));
  record->window = window;
  record->fontChoice = font;
  record->font.Reset(CreateToolkitFontFor(window, font.height, font.bold ? kFontWeightBold : kFontWeightNormal));
  return record;
}

// The parent moved to another DPI: the font anew and the size to the text
// (its place the parent moved).
void OnDpiChanged(LabelState& label) {
  const LabelFont font = label.fontChoice;
  label.font.Reset(CreateToolkitFontFor(label.window, font.height, font.bold ? kFontWeightBold : kFontWeightNormal));
  SizeToText(label);
  RepaintControl(label.window);
}

LRESULT HandleMessage(LabelState& label, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      SizeToText(label);
      return result;
    }
    case WM_PAINT: {
      OffscreenPaint paint(window);
      if (paint.dc() != nullptr) DrawLabel(label, paint.dc(), paint.width(), paint.height());
      return 0;
    }
    case kDpiChangedAfterParent:
      OnDpiChanged(label);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      // The parent gets the click in the label's own client coordinates.
      SendMessageW(GetParent(window), message, wParam, lParam);
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_GETOBJECT:
      return AnswerControlObject(window, wParam, lParam, DescribeLabel);
    case WM_DRAWN_TEXTS: {
      const Size size = ClientSize(window);
      return AnswerDrawnTexts(LabelTexts(label, size.width, size.height), lParam);
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

LRESULT CALLBACK LabelExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<LabelState>(window, message, wParam, lParam, RecordMadeAt::Create,
                                      MakeLabelState, HandleMessage);
}

}  // namespace shadowpane
