#include "ui/windows/SecondaryWindowLogic.h"

namespace shadowpane {
namespace {

constexpr Size kCloseButtonSize{41, 17};
constexpr int kCloseButtonFromRight = 52;
constexpr int kCloseButtonTop = 1;
constexpr Size kBottomButtonSize{91, 37};
constexpr int kBottomButtonFromBottom = 54;
constexpr int kRightButtonFromRight = 113;

}  // namespace

std::vector<SeparatorLine> FrameSeparators(Size client) {
  const int right = client.width - kSeparatorInset;
  const int lowerY = client.height - kLowerSeparatorFromBottom;
  return {{{kSeparatorInset, kUpperSeparatorY}, {right, kUpperSeparatorY}},
          {{kSeparatorInset, lowerY}, {right, lowerY}}};
}

Point CentreOnOwner(const Rect& owner, Size window) {
  // C++ division truncates toward zero, so an owner smaller than the window
  // places it as the platform's arithmetic would.
  return {owner.left + (Width(owner) - window.width) / 2, owner.top + (Height(owner) - window.height) / 2};
}

Point CentreOnScreen(Size screen, Size window) {
  return {screen.width / 2 - window.width / 2, screen.height / 2 - window.height / 2};
}

ControlPlacement CloseButtonAt(int id, Size client) {
  return {id, ControlKind::CloseButton, u"",
          RectAt({client.width - kCloseButtonFromRight, kCloseButtonTop}, kCloseButtonSize), true};
}

ControlPlacement BottomButtonAt(int id, const WideChar* text, int x, Size client) {
  return {id, ControlKind::PushButton, text,
          RectAt({x, client.height - kBottomButtonFromBottom}, kBottomButtonSize), true};
}

bool IsTabStop(const ControlPlacement& control, const ControlPlacement* previous) {
  if (control.kind == ControlKind::Label) return false;
  if (control.kind != ControlKind::Radio) return true;
  return previous == nullptr || previous->kind != ControlKind::Radio;
}

int RightButtonX(Size client) { return client.width - kRightButtonFromRight; }

ControlPlacement SelfSizedAt(int id, ControlKind kind, const WideChar* text, int x, int y) {
  return {id, kind, text, {x, y, x, y}};
}

ControlPlacement SelfSizedAt(int id, ControlKind kind, const WideChar* text, int x, int y, int reachRight) {
  ControlPlacement control = SelfSizedAt(id, kind, text, x, y);
  control.reachRight = reachRight;
  return control;
}

int TextRowRight(Size client) { return client.width - kSeparatorInset; }

}  // namespace shadowpane
