#include "ui/toolkit/win32/AccessibleControls.h"

#include <string>

#include "core/win32/TextCast.h"
#include "ui/toolkit/ButtonLogic.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

WideString WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return WideString();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(window, &text[0], length + 1);
  return WideString(AsCore(text.c_str()), static_cast<std::size_t>(read > 0 ? read : 0));
}

int ReadProperty(HWND window, UINT message) {
  return static_cast<int>(SendMessageW(window, message, kPropertyRead, 0));
}

}  // namespace

void DescribeByText(HWND window, AccessibleDescription& description) {
  const WideString text = WindowText(window);
  description.name = NameFromCaption(text);
  description.shortcut = ShortcutFromCaption(text);
}

void DescribeButton(HWND window, AccessibleDescription& description) {
  DescribeByText(window, description);
  description.states = WindowStates(window);
  const bool toggle = ReadProperty(window, BXM_KIND) == BXK_TOGGLE;
  description.role = toggle ? AccessibleRole::CheckButton : AccessibleRole::PushButton;
  if (toggle && ReadProperty(window, BXM_CHECKED) != 0) description.states |= kAccChecked;
}

void DescribeChoice(HWND window, AccessibleDescription& description) {
  DescribeByText(window, description);
  description.states = WindowStates(window);
  const bool radio = ReadProperty(window, CXM_KIND) == CXK_RADIO;
  description.role = radio ? AccessibleRole::RadioButton : AccessibleRole::CheckButton;
  if (ReadProperty(window, CXM_CHECKED) != 0) description.states |= kAccChecked;
}

void DescribeLabel(HWND window, AccessibleDescription& description) {
  DescribeByText(window, description);
  description.role = AccessibleRole::StaticText;
  description.states = (WindowStates(window) & kAccInvisible) | kAccReadOnly;
  // An empty label (a message line with nothing to say) is nothing to read.
  if (description.name.empty()) description.states |= kAccInvisible;
}

void DescribeEdit(HWND window, AccessibleDescription& description) {
  description.role = AccessibleRole::Text;
  description.states = WindowStates(window);
  description.value = WindowText(window);
}

void DescribeShortcutField(HWND window, AccessibleDescription& description) {
  description.role = AccessibleRole::HotKeyField;
  description.states = WindowStates(window);
  description.value = WindowText(window);
}

void DescribeToolkitWindow(HWND window, AccessibleDescription& description) {
  if (description.child != kAccessibleSelf) return;
  description.name = WindowText(window);
  description.role = AccessibleRole::Dialog;
  description.states = WindowStates(window) & ~kAccFocusable;
}

LRESULT AnswerControlObject(HWND window, WPARAM wParam, LPARAM lParam,
                            void (*describer)(HWND, AccessibleDescription&)) {
  return AnswerGetObject(window, wParam, lParam, AccessibleShape::Control, describer);
}

LRESULT AnswerWindowObject(HWND window, WPARAM wParam, LPARAM lParam) {
  return AnswerGetObject(window, wParam, lParam, AccessibleShape::Window, DescribeToolkitWindow);
}

}  // namespace shadowpane
