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

void InitButtonState(ButtonState& button, std::uintptr_t window, std::uintptr_t font,
                     int client_width, int client_height) {
  button = ButtonState{};
  button.window = window;
  button.font = font;
  button.sensitive = {0, 0, client_width, client_height};
}

void ApplyInset(ButtonState& button, int inset, int client_width, int client_height) {
  button.inset = inset;
  button.sensitive = {inset, inset, client_width - 2 * inset, client_height - 2 * inset};
}

bool InSensitiveRect(const ButtonState& button, int x, int y) {
  const SensitiveRect& r = button.sensitive;
  return r.x <= x && x <= r.x + r.width - 1 && r.y <= y && y <= r.y + r.height - 1;
}

void ApplyRange(ButtonState& button, std::intptr_t packed) {
  button.range_min = PackedLow(packed);
  button.range_max = PackedHigh(packed);
}

std::intptr_t PackedRange(const ButtonState& button) {
  return PackPair(button.range_min, button.range_max);
}

PressEffect PressButton(ButtonState& button, bool over) {
  if (!over) return PressEffect::kIgnored;
  if (button.kind == BXK_LATCH) {
    button.pressed = !button.pressed;
    return button.pressed ? PressEffect::kLatchOn : PressEffect::kLatchOff;
  }
  button.pressed = 1;
  if (button.kind == BXK_SPIN) {
    button.first_repeat_pending = 1;
    return PressEffect::kSpinPress;
  }
  return PressEffect::kTrackPress;
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
  start.was_pressed = button.pressed != 0;
  button.pressed = 0;
  return start;
}

bool CompleteRelease(ButtonState& button, const ReleaseStart& start, bool enabled, int cursor_y,
                     int client_height) {
  if (!start.handled || !enabled || !start.over || !start.was_pressed) return false;
  switch (button.kind) {
    case BXK_TOGGLE:
      if (button.togglable) button.checked = !button.checked;
      break;
    case BXK_CYCLE:
      button.value = button.value >= button.range_max ? button.range_min : button.value + 1;
      break;
    case BXK_SPIN:
      // A held spin button already stepped on its repeats: no extra step.
      if (button.first_repeat_pending) {
        const long long step = cursor_y <= client_height / 2 ? 1 : -1;
        button.value = ClampToRange(button.value + step, button.range_min, button.range_max);
      }
      break;
    default:
      break;
  }
  return true;
}

bool SpinRepeat(ButtonState& button, int cursor_y, int client_height) {
  const int inset = button.inset;
  long long value = button.value;
  if (cursor_y < inset) {
    value += SpinStep(inset - cursor_y, button.range_max);
  } else if (cursor_y >= client_height - inset) {
    value -= SpinStep(cursor_y - (client_height - inset), button.range_max);
  } else {
    value += cursor_y > client_height / 2 ? -1 : 1;
  }
  button.value = ClampToRange(value, button.range_min, button.range_max);
  const bool first = button.first_repeat_pending != 0;
  button.first_repeat_pending = 0;
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
