// The main window's indicator hooks on Wine, with the shell's notification
// state through the tests' seam (Wine always answers "accepts
// notifications"): the indicator is made only when wanted, hides while a
// full-screen program or a presentation runs and comes back after, follows
// the setting and the policy, and moves to the chosen corner. A talking
// microphone's mark wears its ring on screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "settings/Settings.h"
#include "ui/main/IndicatorLogic.h"
#include "ui/main/win32/IndicatorWindow.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/MainWindowIndicator.h"
#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/win32/HighContrastMode.h"
#include "ui/toolkit/win32/WindowDpi.h"

namespace shadowpane {
namespace {

int gState = kQunsAcceptsNotifications;
int gQueries = 0;
int FakeNotificationState() {
  ++gQueries;
  return gState;
}

class IndicatorWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetNotificationStateQueryForTests(FakeNotificationState);
    gState = kQunsAcceptsNotifications;
    gQueries = 0;
    settings_.showIndicator = 1;
    data_.services.settings = &settings_;
  }
  void TearDown() override {
    StopIndicator(data_);
    SetNotificationStateQueryForTests(nullptr);
  }
  bool Shown() const { return data_.indicator != nullptr && IsWindowVisible(data_.indicator); }

  Settings settings_;
  MainWindowData data_;
};

TEST_F(IndicatorWindowTest, HiddenWhileAFullScreenProgramOrAPresentationRuns) {
  struct Step {
    int state;
    bool shown;
  };
  const Step steps[] = {
      {kQunsBusy, false},                {kQunsAcceptsNotifications, true}, {kQunsRunningD3DFullScreen, false},
      {kQunsQuietTime, true},            {kQunsPresentationMode, false},    {kQunsNotPresent, true},
  };
  for (const Step& step : steps) {
    gState = step.state;
    UpdateIndicator(data_);  // as the audio poll's tick does
    EXPECT_EQ(Shown(), step.shown) << "state " << step.state;
  }
  EXPECT_EQ(GetForegroundWindow() == data_.indicator, false) << "shown without being activated";
}

TEST_F(IndicatorWindowTest, MadeOnlyWhenWantedAndTheShellAskedOnlyWhileTheSettingIsOn) {
  settings_.showIndicator = 0;
  UpdateIndicator(data_);
  EXPECT_EQ(data_.indicator, nullptr);
  EXPECT_EQ(gQueries, 0);

  settings_.showIndicator = 1;
  UpdateIndicator(data_);
  EXPECT_TRUE(Shown());

  // A policy forces it off over the user's setting.
  data_.policy.showIndicator = {true, 0};
  UpdateIndicator(data_);
  EXPECT_FALSE(Shown());
  data_.policy.showIndicator = {};
  UpdateIndicator(data_);
  EXPECT_TRUE(Shown());

  StopIndicator(data_);
  EXPECT_EQ(data_.indicator, nullptr);
}

TEST_F(IndicatorWindowTest, MovesToTheChosenCornerOfTheWorkArea) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int margin = Scale(kIndicatorMargin, SystemDpi());
  for (int corner : {kIndicatorCornerTopLeft, kIndicatorCornerBottomRight, kIndicatorCornerTopRight,
                     kIndicatorCornerBottomLeft}) {
    settings_.indicatorCorner = corner;
    UpdateIndicator(data_);
    RECT place{};
    GetWindowRect(data_.indicator, &place);
    const bool right = corner == kIndicatorCornerTopRight || corner == kIndicatorCornerBottomRight;
    const bool bottom = corner == kIndicatorCornerBottomLeft || corner == kIndicatorCornerBottomRight;
    EXPECT_EQ(right ? place.right : place.left, right ? work.right - margin : work.left + margin) << corner;
    EXPECT_EQ(bottom ? place.bottom : place.top, bottom ? work.bottom - margin : work.top + margin) << corner;
  }
}

// A point on the microphone's ring: above the disc's middle, inside the
// ring's band.
COLORREF RingPixel(HWND indicator) {
  const int dpi = SystemDpi();
  const Rect ring = IndicatorRingRect(false, dpi);
  RECT window{};
  GetWindowRect(indicator, &window);
  HDC screen = GetDC(nullptr);
  const COLORREF colour =
      GetPixel(screen, window.left + (ring.left + ring.right) / 2, window.top + ring.top + Scale(1, dpi));
  ReleaseDC(nullptr, screen);
  return colour;
}

// Windows blends the layered window with what lies beneath (alpha
// kIndicatorAlpha); Xvfb shows it opaque. Near enough either way.
bool Near(COLORREF a, ToolkitColor b) {
  const COLORREF want = static_cast<COLORREF>(b);
  const int tolerance = 255 - kIndicatorAlpha;
  return std::abs(GetRValue(a) - GetRValue(want)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(want)) <= tolerance && std::abs(GetBValue(a) - GetBValue(want)) <= tolerance;
}

// Pumps this thread's messages (the window paints here) until the pixel
// shows the colour or the limit passes.
bool RingShows(HWND indicator, ToolkitColor colour) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (Near(RingPixel(indicator), colour)) return true;
    if (GetTickCount() - start > 5000) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

TEST(IndicatorDrawingTest, ATalkingMicrophoneWearsTheRingAndAnOpenOneDoesNot) {
  if (HighContrastOn()) GTEST_SKIP() << "the ring takes the highlight colour in high contrast";
  HWND indicator = CreateIndicatorWindow();
  ASSERT_NE(indicator, nullptr);
  ShowIndicator(indicator, {IndicatorMark::Protected, IndicatorMark::Talking}, 0, kIndicatorCornerTopLeft);
  EXPECT_TRUE(RingShows(indicator, kIndicatorRingColor)) << "talking: the ring";
  ShowIndicator(indicator, {IndicatorMark::Protected, IndicatorMark::AtRisk}, 0, kIndicatorCornerTopLeft);
  EXPECT_TRUE(RingShows(indicator, kIndicatorPlateColor)) << "open: the plate where the ring was";
  DestroyWindow(indicator);
}

}  // namespace
}  // namespace shadowpane
