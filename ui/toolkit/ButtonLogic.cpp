#include "ui/toolkit/ButtonLogic.h"

namespace shadowpane {
namespace {

// Every 9 pixels beyond the sensitive band add one hundredth of the maximum.
constexpr int kSpinPixelsPerStep = 9;
constexpr int kSpinBaseSteps = 2;
constexpr int kSpinPercent = 100;

// 64-bit so that a far cursor, a large range or a large value cannot
// overflow before the clamp.
long long SpinStep(int distance, int maximum) {
  const long long steps = static_cast<long long>(distance / kSpinPixelsPerStep) + kSpinBaseSteps;
  return steps * maximum / kSpinPercent + 1;
}

}  // namespace

void InitButtonState(ButtonState& button, std::uintptr_t window, Size client) {
  button = ButtonState{};
  button.window = window;
  button.sensitive = RectAt({0, 0}, client);
}

void ApplyInset(ButtonState& button, int inset, Size client) {
  button.inset = inset;
  button.sensitive = Deflate(RectAt({0, 0}, client), inset);
}

bool InSensitiveRect(const ButtonState& button, int x, int y) {
  return Contains(button.sensitive, x, y);
}

void ApplyRange(ButtonState& button, std::intptr_t packed) {
  button.rangeMin = PackedLow(packed);
  button.rangeMax = PackedHigh(packed);
}

std::intptr_t PackedRange(const ButtonState& button) {
  return PackPair(button.rangeMin, button.rangeMax);
}

PressEffect PressButton(ButtonState& button, bool over) {
  if (!over) return PressEffect::Ignored;
  if (button.kind == BXK_LATCH) {
    button.pressed = !button.pressed;
    return button.pressed ? PressEffect::LatchOn : PressEffect::LatchOff;
  }
  button.pressed = 1;
  if (button.kind == BXK_SPIN) {
    button.firstRepeatPending = 1;
    return PressEffect::SpinPress;
  }
  return PressEffect::TrackPress;
}

bool TrackPress(ButtonState& button, bool over) {
  if (over && !button.pressed) {
    button.pressed = 1;
    return true;
  }
  if (!over && button.pressed) {
    button.pressed = 0;
    return true;
  }
  return false;
}

ReleaseStart BeginRelease(ButtonState& button, bool over) {
  ReleaseStart start;
  if (button.kind == BXK_LATCH) return start;
  start.handled = true;
  start.over = button.kind == BXK_SPIN ? true : over;
  start.wasPressed = button.pressed != 0;
  button.pressed = 0;
  return start;
}

bool CompleteRelease(ButtonState& button, const ReleaseStart& start, bool enabled, int cursorY,
                     int clientHeight) {
  if (!start.handled || !enabled || !start.over || !start.wasPressed) return false;
  switch (button.kind) {
    case BXK_TOGGLE:
      if (button.togglable) button.checked = !button.checked;
      break;
    case BXK_CYCLE:
      button.value = button.value >= button.rangeMax ? button.rangeMin : button.value + 1;
      break;
    case BXK_SPIN:
      // A held spin button already stepped on its repeats: no extra step.
      if (button.firstRepeatPending) {
        const long long step = cursorY <= clientHeight / 2 ? 1 : -1;
        button.value = ClampToRange(button.value + step, button.rangeMin, button.rangeMax);
      }
      break;
    default:
      break;
  }
  return true;
}

bool SpinRepeat(ButtonState& button, int cursorY, int clientHeight) {
  const int inset = button.inset;
  long long value = button.value;
  if (cursorY < inset) {
    value += SpinStep(inset - cursorY, button.rangeMax);
  } else if (cursorY >= clientHeight - inset) {
    value -= SpinStep(cursorY - (clientHeight - inset), button.rangeMax);
  } else {
    value += cursorY > clientHeight / 2 ? -1 : 1;
  }
  button.value = ClampToRange(value, button.rangeMin, button.rangeMax);
  const bool first = button.firstRepeatPending != 0;
  button.firstRepeatPending = 0;
  return first;
}

void LoseCapture(ButtonState& button) {
  button.pressed = 0;
  button.hovered = 0;
}

int ClampToRange(long long value, int minimum, int maximum) {
  if (value > maximum) value = maximum;
  if (value < minimum) value = minimum;
  return static_cast<int>(value);
}

}  // namespace shadowpane
