#include "tests/e2e/ShortcutKeys.h"

#include <windows.h>

#include <vector>

#include "commands/Shortcuts.h"

namespace shadowpane::e2e {
namespace {

// The modifiers in the order they go down, then the key.
std::vector<WORD> KeysOf(std::uint32_t stored) {
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
  return keys;
}

void AddKey(std::vector<INPUT>& inputs, WORD key, DWORD flags) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = flags;
  inputs.push_back(input);
}

void AddDowns(std::vector<INPUT>& inputs, const std::vector<WORD>& keys) {
  for (WORD key : keys) AddKey(inputs, key, 0);
}

void AddUps(std::vector<INPUT>& inputs, const std::vector<WORD>& keys) {
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) AddKey(inputs, *key, KEYEVENTF_KEYUP);
}

void Send(std::vector<INPUT>& inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void PressShortcut(std::uint32_t stored) {
  const std::vector<WORD> keys = KeysOf(stored);
  std::vector<INPUT> inputs;
  AddDowns(inputs, keys);
  AddUps(inputs, keys);
  Send(inputs);
}

void HoldShortcut(std::uint32_t stored) {
  std::vector<INPUT> inputs;
  AddDowns(inputs, KeysOf(stored));
  Send(inputs);
}

void ReleaseShortcut(std::uint32_t stored) {
  std::vector<INPUT> inputs;
  AddUps(inputs, KeysOf(stored));
  Send(inputs);
}

}  // namespace shadowpane::e2e
