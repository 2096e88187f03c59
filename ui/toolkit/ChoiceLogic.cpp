#include "ui/toolkit/ChoiceLogic.h"

#include <algorithm>

namespace shadowpane {
namespace {

constexpr int kRowHovered = 28;
constexpr int kRowDisabled = 56;

}  // namespace

void ClickChoice(ChoiceState& choice) {
  choice.checked = choice.kind == CXK_RADIO ? 1 : !choice.checked;
}

Size SizeChoiceToText(const TextExtent& text) {
  return {text.width + kChoiceTextX, std::max(text.height, kChoiceMinHeight)};
}

Point ChoiceBoxCell(const ChoiceState& choice, bool enabled) {
  Point cell;
  cell.x = choice.kind == CXK_CHECKBOX ? kChoiceBoxWidth : 0;
  cell.y = !enabled ? kRowDisabled : choice.hovered ? kRowHovered : 0;
  if (choice.checked) cell.y += kChoiceBoxHeight;
  return cell;
}

int ChoiceBoxTop(int clientHeight) { return std::max(0, (clientHeight - kChoiceBoxHeight) / 2); }

}  // namespace shadowpane
