// Text measuring with DrawTextW and DT_CALCRECT in a given font, lines
// broken only at newlines, on a device context of the window that is
// released when the measurer goes.
#pragma once

#include <windows.h>

#include "core/win32/TextCast.h"
#include "ui/toolkit/TextMeasurer.h"

namespace shadowpane {

// Draw flags shared by measuring and painting: text is shown as written
// ('&' is not a mnemonic prefix) and never word-wrapped by the platform.
constexpr UINT kToolkitTextFlags = DT_NOPREFIX;

class GdiTextMeasurer : public TextMeasurer {
 public:
  GdiTextMeasurer(HWND window, HFONT font);
  ~GdiTextMeasurer() override;
  GdiTextMeasurer(const GdiTextMeasurer&) = delete;
  GdiTextMeasurer& operator=(const GdiTextMeasurer&) = delete;

  TextExtent Measure(WideView text) const override;

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ previousFont_ = nullptr;
};

// Measures text drawn into an existing device context with its current font.
TextExtent MeasureOnDc(HDC dc, WideView text);


}  // namespace shadowpane
