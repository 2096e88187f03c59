// A keyboard shortcut pressed through the system's input, as the keyboard
// would press it: the modifiers down, the key down, then all up again.
#pragma once

#include <cstdint>

namespace shadowpane::e2e {

// The combination in its stored form (commands/Shortcuts.h).
void PressShortcut(std::uint32_t stored);
// Its first half, the keys held down; and its second, every key up again
// (the key first, then the modifiers).
void HoldShortcut(std::uint32_t stored);
void ReleaseShortcut(std::uint32_t stored);

}  // namespace shadowpane::e2e
