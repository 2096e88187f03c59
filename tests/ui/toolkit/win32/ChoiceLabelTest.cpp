#include <gtest/gtest.h>

#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/win32/ChoiceControl.h"
#include "ui/toolkit/win32/LabelControl.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

using testing::SendMouse;
using testing::TestHost;
using testing::WindowSize;

SIZE Measure(const wchar_t* text, int height = kToolkitFontHeight) {
  return testing::MeasureText(text, height);
}

HWND MakeCheckBox(const TestHost& host, const wchar_t* text, int id) {
  HWND c = host.AddControl(kChoiceClassName, text, 10, 10, 0, 0, id,
                           reinterpret_cast<LPVOID>(kSkinChoice));
  SendMessageW(c, CXM_KIND, 1, CXK_CHECKBOX);
  return c;
}

TEST(ChoiceControl, SizesItselfToItsTextAndGrowsWithIt) {
  TestHost host;
  HWND c = MakeCheckBox(host, L"Start with Windows", 1026);
  const SIZE text = Measure(L"Start with Windows");
  ASSERT_LT(text.cy, 14);
  EXPECT_EQ(WindowSize(c).cx, text.cx + 20);
  EXPECT_EQ(WindowSize(c).cy, 14);
  SetWindowTextW(c, L"Block every device when the program starts");
  EXPECT_EQ(WindowSize(c).cx, Measure(L"Block every device when the program starts").cx + 20);
  SetWindowTextW(c, L"two\nlines");
  EXPECT_EQ(WindowSize(c).cy, Measure(L"two\nlines").cy);
}

TEST(ChoiceControl, ClicksNotifyAndRadiosStayChecked) {
  TestHost host;
  HWND radio = host.AddControl(kChoiceClassName, L"English", 10, 10, 0, 0, 1028,
                               reinterpret_cast<LPVOID>(kSkinChoice));
  SendMouse(radio, WM_LBUTTONDOWN, 5, 5);
  SendMouse(radio, WM_LBUTTONDOWN, 5, 5);
  EXPECT_EQ(SendMessageW(radio, CXM_CHECKED, 0, 0), 1);
  EXPECT_EQ(host.CountOf(WM_COMMAND), 2);
  EXPECT_EQ(GetFocus(), radio);
  HWND box = MakeCheckBox(host, L"Block", 1029);
  SendMouse(box, WM_LBUTTONDOWN, 5, 5);
  EXPECT_EQ(SendMessageW(box, CXM_CHECKED, 0, 0), 1);
  SendMouse(box, WM_LBUTTONDOWN, 5, 5);
  EXPECT_EQ(SendMessageW(box, CXM_CHECKED, 0, 0), 0);
  EXPECT_EQ(host.notices().back().wParam, 1029u);
  EXPECT_EQ(host.notices().back().lParam, reinterpret_cast<LPARAM>(box));
}

TEST(ChoiceControl, CheckRadioInGroupLeavesOnlyTheFirstChecked) {
  TestHost host;
  HWND radios[4];
  for (int i = 0; i < 4; ++i) {
    radios[i] = host.AddControl(kChoiceClassName, L"r", 10, 10 + 20 * i, 0, 0, 1028 + i,
                                reinterpret_cast<LPVOID>(kSkinChoice));
    SendMessageW(radios[i], CXM_CHECKED, 1, 1);
  }
  CheckRadioInGroup(host.window(), 1029, 1028, 1030, 1031, 0);
  EXPECT_EQ(SendMessageW(radios[0], CXM_CHECKED, 0, 0), 0);
  EXPECT_EQ(SendMessageW(radios[1], CXM_CHECKED, 0, 0), 1);
  EXPECT_EQ(SendMessageW(radios[2], CXM_CHECKED, 0, 0), 0);
  EXPECT_EQ(SendMessageW(radios[3], CXM_CHECKED, 0, 0), 0);
}

TEST(ChoiceControl, PaintsTheSkinCellOfItsStateAndWhiteBehindTheText) {
  TestHost host;
  HWND c = MakeCheckBox(host, L"Box", 1026);
  testing::MoveCursorTo(host.window(), 390, 290);
  SendMessageW(c, CXM_CHECKED, 0x10001, 1);
  testing::Pump(20);
  for (int y = 0; y < 14; y += 3) {
    for (int x = 0; x < 13; x += 3) {
      ASSERT_EQ(testing::PixelAt(c, x, y), testing::SkinPixel(kSkinChoice, 13 + x, 14 + y)) << x << "," << y;
    }
  }
  EXPECT_EQ(testing::PixelAt(c, 15, 7), RGB(255, 255, 255));
  EnableWindow(c, FALSE);
  testing::Pump(20);
  EXPECT_EQ(testing::PixelAt(c, 6, 6), testing::SkinPixel(kSkinChoice, 13 + 6, 70 + 6));
  // A direct click on a disabled box reaches no parent.
  const int before = host.CountOf(WM_COMMAND);
  SendMouse(c, WM_LBUTTONDOWN, 5, 5);
  EXPECT_EQ(host.CountOf(WM_COMMAND), before);
}

TEST(LabelControl, SizesToOneLineButAtLeast14High) {
  TestHost host;
  HWND l = host.AddControl(kLabelClassName, L"Options", 10, 10, 0, 0, 1026, reinterpret_cast<LPVOID>(15));
  const SIZE text = Measure(L"Options", 15);
  EXPECT_EQ(WindowSize(l).cx, text.cx);
  EXPECT_EQ(WindowSize(l).cy, std::max<LONG>(text.cy, 14));
  HWND empty = host.AddControl(kLabelClassName, nullptr, 10, 40, 0, 0, 1027, nullptr);
  EXPECT_EQ(WindowSize(empty).cy, 14);
}

TEST(LabelControl, TwoLinesGetTheFivePixelGap) {
  TestHost host;
  HWND l = host.AddControl(kLabelClassName, L"First\nSecond", 10, 10, 0, 0, 1026, nullptr);
  EXPECT_EQ(WindowSize(l).cy, Measure(L"First\nSecond").cy + 5);
}

// The first painted row at or below `from` in column x, -1 when none.
int FirstInkRow(HWND window, int x, int from) {
  const SIZE size = WindowSize(window);
  for (int y = from; y < size.cy; ++y) {
    if (testing::PixelAt(window, x, y) != RGB(255, 255, 255)) return y;
  }
  return -1;
}

TEST(LabelControl, SecondLineIsPaintedFivePixelsBelowPlainSpacing) {
  TestHost host;
  HWND l = host.AddControl(kLabelClassName, L"I\nI", 10, 10, 0, 0, 1026, nullptr);
  testing::Pump(20);
  const int line = Measure(L"I").cy;
  const int first = FirstInkRow(l, 1, 0);
  ASSERT_GE(first, 0);
  int gap = first;
  while (gap < line && testing::PixelAt(l, 1, gap) != RGB(255, 255, 255)) ++gap;
  const int second = FirstInkRow(l, 1, gap);
  ASSERT_GE(second, 0);
  EXPECT_EQ(second - first, line + 5);
}

TEST(LabelControl, WrapsAtItsCreationWidthAndKeepsWithinItsHeight) {
  TestHost host;
  const wchar_t* text = L"Block devices the moment they are plugged in and tell me about each one";
  ASSERT_GT(Measure(text).cx, 120);
  HWND l = host.AddControl(kLabelClassName, text, 10, 10, 120, 0, 1026, nullptr);
  wchar_t wrapped[200] = {};
  GetWindowTextW(l, wrapped, 200);
  EXPECT_NE(wcschr(wrapped, L'\n'), nullptr);
  EXPECT_LE(WindowSize(l).cx, 120);
  EXPECT_EQ(WindowSize(l).cx, Measure(wrapped).cx);
  // Each line fits in 120 pixels.
  for (wchar_t* line = wrapped; line != nullptr;) {
    wchar_t* next = wcschr(line, L'\n');
    if (next != nullptr) *next = 0;
    EXPECT_LE(Measure(line).cx, 120) << static_cast<const void*>(line);
    line = next != nullptr ? next + 1 : nullptr;
  }
  HWND cut = host.AddControl(kLabelClassName, L"a\nb\nc\nd\ne", 10, 100, 0, 20, 1027, nullptr);
  EXPECT_EQ(WindowSize(cut).cy, 20);
}

TEST(LabelControl, AWordWiderThanTheLimitStaysWhole) {
  TestHost host;
  HWND l = host.AddControl(kLabelClassName, L"Incomprehensibilities are long", 10, 10, 30, 0, 1026, nullptr);
  wchar_t wrapped[64] = {};
  GetWindowTextW(l, wrapped, 64);
  EXPECT_STREQ(wrapped, L"Incomprehensibilities\nare\nlong");
}

TEST(LabelControl, ClicksReachTheParentInLabelCoordinates) {
  TestHost host;
  HWND l = host.AddControl(kLabelClassName, L"Heading", 50, 60, 0, 0, 1026, nullptr);
  SendMouse(l, WM_LBUTTONDOWN, 3, 4);
  ASSERT_EQ(host.CountOf(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(host.notices().back().lParam, MAKELPARAM(3, 4));
  SendMouse(l, WM_RBUTTONDOWN, 5, 6);
  EXPECT_EQ(host.CountOf(WM_RBUTTONDOWN), 1);
}

TEST(LabelControl, PaintsWhiteBackgroundAndTextColour) {
  TestHost host;
  HWND l = host.AddControl(kLabelClassName, L"\x2588\x2588\x2588", 10, 10, 0, 0, 1026, nullptr);
  testing::Pump(20);
  const SIZE size = WindowSize(l);
  bool sawTextColour = false;
  for (int x = 0; x < size.cx && !sawTextColour; ++x) {
    for (int y = 0; y < size.cy; ++y) {
      if (testing::PixelAt(l, x, y) == RGB(70, 70, 72)) sawTextColour = true;
    }
  }
  EXPECT_TRUE(sawTextColour);
}

}  // namespace
}  // namespace shadowpane
