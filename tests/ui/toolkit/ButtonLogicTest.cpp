#include "ui/toolkit/ButtonLogic.h"

#include <gtest/gtest.h>

namespace shadowpane {
namespace {

ButtonState MakeButton(int kind, int w = 91, int h = 37) {
  ButtonState b;
  InitButtonState(b, 1, {w, h});
  b.kind = kind;
  return b;
}

// Press over the button, release at (over, y): answers whether it counted.
bool Click(ButtonState& b, bool overAtRelease = true, int y = 5, int h = 37) {
  PressButton(b, true);
  const ReleaseStart start = BeginRelease(b, overAtRelease);
  LoseCapture(b);
  return CompleteRelease(b, start, true, y, h);
}

TEST(ButtonLogic, APressOutsideTheSensitiveRectangleChangesNothing) {
  ButtonState b = MakeButton(BXK_PUSH);
  ApplyInset(b, 2, {91, 37});
  EXPECT_FALSE(InSensitiveRect(b, 1, 1));
  EXPECT_EQ(PressButton(b, InSensitiveRect(b, 1, 1)), PressEffect::Ignored);
  EXPECT_EQ(b.pressed, 0);
}

TEST(ButtonLogic, InsetMakesTheSensitiveRectangle) {
  ButtonState b = MakeButton(BXK_PUSH);
  EXPECT_EQ(b.inset, 2);
  EXPECT_TRUE(InSensitiveRect(b, 0, 0));  // whole client area until BXM_INSET
  ApplyInset(b, 2, {91, 37});
  EXPECT_EQ(b.sensitive.left, 2);
  EXPECT_EQ(b.sensitive.top, 2);
  EXPECT_EQ(Width(b.sensitive), 87);
  EXPECT_EQ(Height(b.sensitive), 33);
  EXPECT_TRUE(InSensitiveRect(b, 2, 2));
  EXPECT_TRUE(InSensitiveRect(b, 88, 34));
  EXPECT_FALSE(InSensitiveRect(b, 89, 34));
  EXPECT_FALSE(InSensitiveRect(b, 88, 35));
}

TEST(ButtonLogic, PushClickCountsOnlyWhenReleasedOverAfterPress) {
  ButtonState b = MakeButton(BXK_PUSH);
  EXPECT_EQ(PressButton(b, true), PressEffect::TrackPress);
  EXPECT_EQ(b.pressed, 1);
  // Drag off: the face follows the cursor.
  EXPECT_TRUE(TrackPress(b, false));
  EXPECT_EQ(b.pressed, 0);
  EXPECT_FALSE(TrackPress(b, false));
  EXPECT_TRUE(TrackPress(b, true));
  EXPECT_EQ(b.pressed, 1);
  EXPECT_TRUE(TrackPress(b, false));
  const ReleaseStart start = BeginRelease(b, false);
  EXPECT_FALSE(CompleteRelease(b, start, true, 5, 37));

  EXPECT_TRUE(Click(b));
  // A release without a press (pressed 0) does not count.
  const ReleaseStart stray = BeginRelease(b, true);
  EXPECT_FALSE(CompleteRelease(b, stray, true, 5, 37));
}

TEST(ButtonLogic, DisabledButtonCountsNoClick) {
  ButtonState b = MakeButton(BXK_TOGGLE);
  PressButton(b, true);
  const ReleaseStart start = BeginRelease(b, true);
  EXPECT_FALSE(CompleteRelease(b, start, false, 5, 37));
  EXPECT_EQ(b.checked, 0);
}

TEST(ButtonLogic, ToggleFlipsOnlyWhenTogglable) {
  ButtonState b = MakeButton(BXK_TOGGLE);
  EXPECT_TRUE(Click(b));
  EXPECT_EQ(b.checked, 1);
  EXPECT_TRUE(Click(b));
  EXPECT_EQ(b.checked, 0);
  b.togglable = 0;
  EXPECT_TRUE(Click(b));  // still notifies
  EXPECT_EQ(b.checked, 0);
}

TEST(ButtonLogic, CycleCountsAroundTheRange) {
  ButtonState b = MakeButton(BXK_CYCLE);
  ApplyRange(b, PackPair(0, 3));
  int seen[5];
  for (int& v : seen) {
    ASSERT_TRUE(Click(b));
    v = b.value;
  }
  EXPECT_EQ(seen[0], 1);
  EXPECT_EQ(seen[1], 2);
  EXPECT_EQ(seen[2], 3);
  EXPECT_EQ(seen[3], 0);
  EXPECT_EQ(seen[4], 1);
  b.value = 0x7FFFFFFF;  // no overflow at the top of int
  ASSERT_TRUE(Click(b));
  EXPECT_EQ(b.value, 0);
}

TEST(ButtonLogic, SpinClickStepsByHalfAndClamps) {
  ButtonState b = MakeButton(BXK_SPIN);
  ApplyRange(b, PackPair(0, 100));
  b.value = 50;
  EXPECT_EQ(PressButton(b, true), PressEffect::SpinPress);
  EXPECT_EQ(b.firstRepeatPending, 1);
  ReleaseStart start = BeginRelease(b, false);  // a spin release always counts as over
  EXPECT_TRUE(CompleteRelease(b, start, true, 18, 37));
  EXPECT_EQ(b.value, 51);
  EXPECT_TRUE(Click(b, true, 19));
  EXPECT_EQ(b.value, 50);
  b.value = 100;
  EXPECT_TRUE(Click(b, true, 0));
  EXPECT_EQ(b.value, 100);
  b.value = 0;
  EXPECT_TRUE(Click(b, true, 30));
  EXPECT_EQ(b.value, 0);
}

TEST(ButtonLogic, SpinRepeatAcceleratesWithDistanceAndStaysInRange) {
  ButtonState b = MakeButton(BXK_SPIN);
  ApplyRange(b, PackPair(0, 100));
  ApplyInset(b, 2, {91, 37});
  b.value = 10;
  PressButton(b, true);
  // 20 pixels above the button: d = 22, (22 / 9 + 2) * 100 / 100 + 1 = 5.
  EXPECT_TRUE(SpinRepeat(b, -20, 37));
  EXPECT_EQ(b.value, 15);
  EXPECT_FALSE(SpinRepeat(b, -20, 37));
  EXPECT_EQ(b.value, 20);
  // Inside the band: by the half the cursor is in.
  SpinRepeat(b, 10, 37);
  EXPECT_EQ(b.value, 21);
  SpinRepeat(b, 30, 37);
  EXPECT_EQ(b.value, 20);
  // Below: y = 57 is 22 below H - i = 35: the same step of 5.
  SpinRepeat(b, 57, 37);
  EXPECT_EQ(b.value, 15);
  for (int i = 0; i < 10; ++i) SpinRepeat(b, 500, 37);
  EXPECT_EQ(b.value, 0);
  for (int i = 0; i < 10; ++i) SpinRepeat(b, -30000, 37);
  EXPECT_EQ(b.value, 100);
  // The release after repeats adds no extra step.
  const ReleaseStart start = BeginRelease(b, true);
  EXPECT_TRUE(CompleteRelease(b, start, true, 30, 37));
  EXPECT_EQ(b.value, 100);
}

TEST(ButtonLogic, LatchTogglesOnPressesAndIgnoresReleases) {
  ButtonState b = MakeButton(BXK_LATCH);
  EXPECT_EQ(PressButton(b, true), PressEffect::LatchOn);
  EXPECT_EQ(b.pressed, 1);
  const ReleaseStart start = BeginRelease(b, true);
  EXPECT_FALSE(start.handled);
  EXPECT_FALSE(CompleteRelease(b, start, true, 5, 37));
  EXPECT_EQ(b.pressed, 1);
  EXPECT_EQ(PressButton(b, false), PressEffect::Ignored);
  EXPECT_EQ(PressButton(b, true), PressEffect::LatchOff);
  EXPECT_EQ(b.pressed, 0);
}

TEST(ButtonLogic, RangePacksUnsignedHalves) {
  ButtonState b = MakeButton(BXK_SPIN);
  ApplyRange(b, 0x00640000);
  EXPECT_EQ(b.rangeMin, 0);
  EXPECT_EQ(b.rangeMax, 100);
  EXPECT_EQ(PackedRange(b), 0x00640000);
  ApplyRange(b, PackPair(0xFFFF, 0xFFFF));
  EXPECT_EQ(b.rangeMin, 65535);
  EXPECT_EQ(b.rangeMax, 65535);
  EXPECT_EQ(ClampToRange(5, 10, 3), 10);
}

}  // namespace
}  // namespace shadowpane
