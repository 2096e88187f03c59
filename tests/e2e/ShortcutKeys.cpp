#include "tests/e2e/ShortcutKeys.h"

#include <windows.h>

#include <vector>

#include "commands/Shortcuts.h"

namespace shadowpane::e2e {

void PressShortcut(std::uint32_t stored) {
  struct Modifier {
    std::uint32_t bit;
    WORD key;
  };
  const Modifier modifiers[] = {
      {kShortcutControl, VK_CONTROL}, {kShortcutAlt, VK_MENU}, {kShortcutShift, VK_SHIFT}, {kShortcutWin, VK_LWIN}};
  std::vector<WORD> keys;
  for (const Modifier& m : modifiers) {
    if ((ShortcutModifiers(stored) & m.bit) != 0) keys.push_back(m.key);
  }
  keys.push_back(static_cast<WORD>(ShortcutKey(stored)));
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace shadowpane::e2e
