// Display scaling without the platform: every window laid out at 120, 144,
// 168 and 192 DPI is its 96-DPI layout times the factor within a pixel,
// with no two controls overlapping that did not at 96 DPI, and controls
// that size themselves to their text (measured at the scaled font) still
// hold it. And the skin chooser: the drawn scale at or above.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "settings/Languages.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/MessageBoxLayout.h"
#include "ui/windows/AboutWindowLogic.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/SettingsWindowLogic.h"
#include "ui/windows/ShortcutsWindowLogic.h"

namespace shadowpane {
namespace {

constexpr int kScaledDpis[] = {120, 144, 168, 192};

// Text measured with a font scaled to dpi: 6 pixels a character and 13 a
// line at 96 DPI, each rounded as a real font's cell is.
class ScaledFontMeasurer : public TextMeasurer {
 public:
  explicit ScaledFontMeasurer(int dpi) : dpi_(dpi) {}
  TextExtent Measure(WideView text) const override {
    int widest = 0, current = 0, lines = 1;
    for (WideChar c : text) {
      current = c == u'\n' ? 0 : current + 1;
      if (c == u'\n') ++lines;
      if (current > widest) widest = current;
    }
    return {widest * 6 * dpi_ / 96 + 1, lines * Scale(13, dpi_)};
  }

 private:
  int dpi_;
};

struct Placed {
  std::string name;
  Rect rect;
};

// A window's controls in pixels at dpi, as its Win32 side places them: the
// 96-DPI place scaled, a self-sized control sized by its text measured at
// dpi in 96-DPI units, then scaled, then widened to its reach.
std::vector<Placed> PlaceAt(const std::vector<ControlPlacement>& controls, int dpi) {
  std::vector<Placed> placed;
  const ScaledFontMeasurer real(dpi);
  const DesignUnitMeasurer measurer(real, dpi);
  for (const ControlPlacement& c : controls) {
    Rect r = Scale(c.rect, dpi);
    if (Width(c.rect) == 0 && Height(c.rect) == 0) {
      const Size own = Scale(SizeChoiceToText(measurer.Measure(WideView(c.text))), dpi);
      r = RectAt({r.left, r.top}, own);
      // Then widened to its reach, when its text ends short of it.
      if (c.reachRight != 0 && Scale(c.reachRight, dpi) > r.right) r.right = Scale(c.reachRight, dpi);
      // Whatever the scaled font measures fits what the control took.
      const TextExtent text = real.Measure(WideView(c.text));
      EXPECT_GE(Width(r) - Scale(kChoiceTextX, dpi), text.width) << c.id << " at " << dpi;
      EXPECT_GE(Height(r), text.height) << c.id << " at " << dpi;
    }
    placed.push_back({std::to_string(c.id), r});
  }
  return placed;
}

struct WindowCase {
  const char* name;
  Size size;
  std::vector<Placed> (*controls)(int dpi);
};

std::vector<Placed> MainControls(int dpi) {
  std::vector<Placed> placed;
  for (const MainControlPlace& c : MainWindowControls(dpi)) placed.push_back({std::to_string(c.id), c.rect});
  return placed;
}
std::vector<Placed> SettingsAt(int dpi) { return PlaceAt(SettingsControls(kSettingsWindowSize), dpi); }
std::vector<Placed> LanguageAt(int dpi) { return PlaceAt(LanguageWindowControls(kLanguageWindowSize), dpi); }
std::vector<Placed> AboutAt(int dpi) { return PlaceAt(AboutControls(kAboutWindowSize), dpi); }
std::vector<Placed> ShortcutsAt(int dpi) {
  return PlaceAt(ShortcutsControls(kShortcutsWindowSize, LANGUAGE_ENGLISH, u"OK", u"Cancel"), dpi);
}
std::vector<Placed> MessageBoxAt(int dpi) {
  const Size box = MessageBoxSize(250, 26, MBX_BUTTONS_YESNOCANCEL | MBX_DONTSHOWAGAIN);
  std::vector<Placed> placed;
  for (const BoxButton& b : MessageBoxButtons(MBX_BUTTONS_YESNOCANCEL, box)) {
    placed.push_back({std::to_string(b.id), Scale(RectAt(b.origin, {kBoxButtonWidth, kBoxButtonHeight}), dpi)});
  }
  placed.push_back({"text", Scale(MessageTextRect(box, 26, true), dpi)});
  placed.push_back({"icon", Scale(RectAt({kMessageIconX, kMessageIconY}, {kMessageIconSize, kMessageIconSize}), dpi)});
  return placed;
}

bool Overlap(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool WithinAPixel(int scaled, int design, int dpi) { return std::abs(scaled * 96 - design * dpi) <= dpi; }

TEST(DpiLayout, EveryWindowScalesItsLayoutWithinAPixelAndNoControlsOverlap) {
  const WindowCase windows[] = {
      {"main", {kMainWindowWidth, kMainWindowHeight}, MainControls},
      {"settings", kSettingsWindowSize, SettingsAt},
      {"language", kLanguageWindowSize, LanguageAt},
      {"about", kAboutWindowSize, AboutAt},
      {"shortcuts", kShortcutsWindowSize, ShortcutsAt},
      {"message box", MessageBoxSize(250, 26, MBX_BUTTONS_YESNOCANCEL | MBX_DONTSHOWAGAIN), MessageBoxAt},
  };
  for (const WindowCase& w : windows) {
    const std::vector<Placed> design = w.controls(kDesignDpi);
    for (int dpi : kScaledDpis) {
      const Size size = Scale(w.size, dpi);
      EXPECT_TRUE(WithinAPixel(size.width, w.size.width, dpi) && WithinAPixel(size.height, w.size.height, dpi))
          << w.name << " at " << dpi;
      const std::vector<Placed> scaled = w.controls(dpi);
      ASSERT_EQ(scaled.size(), design.size()) << w.name;
      for (std::size_t i = 0; i < scaled.size(); ++i) {
        const Rect& s = scaled[i].rect;
        const Rect& d = design[i].rect;
        const std::string what = std::string(w.name) + " " + scaled[i].name + " at " + std::to_string(dpi);
        EXPECT_TRUE(WithinAPixel(s.left, d.left, dpi) && WithinAPixel(s.top, d.top, dpi)) << what;
        EXPECT_TRUE(WithinAPixel(s.right, d.right, dpi) || Width(d) == 0) << what;
        EXPECT_TRUE(s.right <= size.width && s.bottom <= size.height) << what << " leaves the window";
        for (std::size_t j = 0; j < i; ++j) {
          if (Overlap(design[i].rect, design[j].rect)) continue;
          EXPECT_FALSE(Overlap(s, scaled[j].rect)) << what << " overlaps " << scaled[j].name;
        }
      }
    }
  }
}

TEST(DpiLayout, ScaleRoundsLikeMulDivAndMeasuredTextNeverShrinksBack) {
  EXPECT_EQ(Scale(17, 120), 21);   // 21.25
  EXPECT_EQ(Scale(34, 120), 43);   // 42.5: halves away from zero
  EXPECT_EQ(Scale(-3, 144), -5);   // -4.5
  EXPECT_EQ(Scale(651, 96), 651);
  for (int dpi : kScaledDpis) {
    for (int pixels = 1; pixels < 400; ++pixels) {
      ASSERT_GE(Scale(Unscale(pixels, dpi), dpi), pixels) << pixels << " at " << dpi;
      ASSERT_EQ(ToDesign(Scale(pixels, dpi), dpi), pixels) << pixels << " at " << dpi;
    }
  }
}

TEST(DpiLayout, SkinChooserTakesTheDrawnScaleAtOrAboveNeverASmallerOne) {
  struct Case {
    int dpi;
    int drawnDpi;
  };
  const Case cases[] = {{72, 96},   {96, 96},   {97, 120},  {120, 120}, {132, 144}, {144, 144},
                        {168, 168}, {180, 192}, {192, 192}, {216, 240}, {288, 288}, {384, 288}};
  for (const Case& c : cases) {
    const int index = SkinScaleIndexFor(c.dpi);
    EXPECT_EQ(kSkinScaleDpis[index], c.drawnDpi) << c.dpi;
    EXPECT_EQ(SkinResourceId(5376, index), 5376 + 1000 * index);
  }
}

}  // namespace
}  // namespace shadowpane
