#include "ui/toolkit/win32/HighContrastMode.h"

#include "ui/toolkit/win32/GdiObject.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

// -1 until first read.
int gHighContrast = -1;
int gOverride = -1;

bool ReadSystemSetting() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0)) return false;
  return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

bool HighContrastOn() {
  if (gOverride >= 0) return gOverride == 1;
  if (gHighContrast < 0) gHighContrast = ReadSystemSetting() ? 1 : 0;
  return gHighContrast == 1;
}

void FollowHighContrast(HWND window) {
  gHighContrast = ReadSystemSetting() ? 1 : 0;
  // The colours may have changed even when the setting did not.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

void SetHighContrastForTests(int on) { gOverride = on; }

COLORREF ShownTextColor(ToolkitColor color) {
  return HighContrastOn() ? GetSysColor(SystemTextColorOf(color)) : ToColorRef(color);
}

COLORREF ShownFillColor(ToolkitColor color) {
  return HighContrastOn() ? GetSysColor(SystemFillColorOf(color)) : ToColorRef(color);
}

COLORREF ShownLineColor(ToolkitColor color) {
  return HighContrastOn() ? GetSysColor(SystemLineColorOf(color)) : ToColorRef(color);
}

void FrameFlat(HDC dc, RECT rect) {
  const GdiObject<HBRUSH> brush(CreateSolidBrush(ShownLineColor(kColorText)));
  if (brush) FrameRect(dc, &rect, brush.get());
}

}  // namespace shadowpane
