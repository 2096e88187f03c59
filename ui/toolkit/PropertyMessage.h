// The property-message convention shared by the toolkit's classes. Each class
// numbers its own messages from WM_USER + 2 (1026) upward; the numbers
// overlap between classes. For a property message, a non-zero low word of
// wParam stores lParam as the new value, a non-zero high word repaints the
// whole control, and the result is the current value after any store.
#pragma once

#include <cstdint>

namespace shadowpane {

constexpr std::uint32_t kFirstToolkitMessage = 1026;  // WM_USER + 2

constexpr std::uintptr_t kPropertyRead = 0;                // only read
constexpr std::uintptr_t kPropertyStore = 1;               // store, no repaint
constexpr std::uintptr_t kPropertyStoreRepaint = 0x10001;  // store and repaint

constexpr bool PropertyStores(std::uintptr_t wParam) { return (wParam & 0xFFFFu) != 0; }
constexpr bool PropertyRepaints(std::uintptr_t wParam) { return ((wParam >> 16) & 0xFFFFu) != 0; }

// Stores lParam into an int property when the request says so; answers the
// current value.
inline int ApplyIntProperty(int& field, std::uintptr_t wParam, std::intptr_t lParam) {
  if (PropertyStores(wParam)) field = static_cast<int>(lParam);
  return field;
}

// Two 16-bit halves of a packed pair property (positions, ranges): the low
// word and the high word, each read as an unsigned 16-bit value.
constexpr int PackedLow(std::intptr_t value) { return static_cast<int>(value & 0xFFFF); }
constexpr int PackedHigh(std::intptr_t value) { return static_cast<int>((value >> 16) & 0xFFFF); }
constexpr std::intptr_t PackPair(int low, int high) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(low) & 0xFFFFu) |
                                    ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16));
}

// Window timer of the polling hover tracker: every control that tracks
// hovering polls the cursor with it while hovered.
constexpr unsigned TIMER_HOVER_WATCH = 100;
constexpr unsigned kHoverWatchPeriodMs = 10;

// Rows at the top of a toolkit popup window that drag it like a caption.
constexpr int kCaptionDragRows = 29;

}  // namespace shadowpane
