// Drives a modal secondary window from inside its own loop, as a user
// would: steps run one after another on thread timers while the opening
// function blocks, and clicks go to the controls' places with the real
// cursor there.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>

namespace shadowpane::testing {

// Registers the toolkit's classes, the message box and the three secondary
// window classes (once per process).
void RegisterWindowsForTests();

// Starts the steps (one every 60 ms, the next one's timer set before a step
// runs, so a step that opens a window of its own is followed all the same),
// runs `open`, which blocks in its loop, then stops whatever is left. After
// the last step, every secondary window and message box still open is
// closed, so a failing test never hangs.
void RunScripted(std::vector<std::function<void()>> steps, const std::function<void()>& open);

// The open secondary window (or message box) of a class, or null.
HWND FindOpen(const wchar_t* className);

// Moves the cursor to the child's centre and presses and releases the left
// button there.
void ClickControl(HWND parent, int id);
// The same at a client point of a window.
void ClickAt(HWND window, int x, int y);

// Gives the window the focus and posts each key's press and release for
// the window's loop to hand to the dialog manager.
void PressKeys(HWND window, std::initializer_list<WPARAM> keys);

// Pixels of a client rectangle that are not white.
int InkIn(HWND window, const RECT& rect);

}  // namespace shadowpane::testing
