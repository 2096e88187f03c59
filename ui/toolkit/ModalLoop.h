// The decisions of the toolkit's one nested modal loop (the message box, the
// secondary windows), kept apart from the platform's message calls.
//
// A loop runs for one window and ends when THAT window is gone: the window
// reports its end and its result (EndModalLoop at its WM_DESTROY), which the
// thread's loop stack records in the loop's own frame. No window ends a loop
// with a quit message any more, so every quit message a loop fetches belongs
// to someone else (the program's main window, or the system): the loop closes
// its window as the system's close would, ends, and posts that quit again so
// that every enclosing loop, the program's main loop last, ends in turn.
// Portable: no platform headers.
#pragma once

#include <cstdint>

namespace shadowpane {

// One running loop, innermost first through `outer`.
struct ModalLoopFrame {
  std::uintptr_t window = 0;
  bool ended = false;        // the window reported its end
  int result = 0;            // ... with this result
  bool foreignQuit = false;  // a quit message that was not the window's reached the loop
  int foreignCode = 0;       // its exit code (the latest, as merged quits keep)
  ModalLoopFrame* outer = nullptr;
};

// The loops running on one thread, innermost first. Loops nest strictly, so
// the innermost frame is always the one to leave.
class ModalLoopStack {
 public:
  void Enter(ModalLoopFrame& frame);
  void Leave(ModalLoopFrame& frame);
  // A window's end: records the result in the innermost running frame of
  // that window (the first report decides it). Answers 1 when a loop runs
  // for the window (it must be woken), 0 when none does.
  int ReportEnd(std::uintptr_t window, int result);
  const ModalLoopFrame* innermost() const { return innermost_; }

 private:
  ModalLoopFrame* innermost_ = nullptr;
};

// Asked before each fetch: a loop whose window has reported its end or no
// longer exists (it died while an inner loop ran) fetches nothing more.
constexpr bool LoopMustEnd(const ModalLoopFrame& frame, bool windowExists) {
  return frame.ended || !windowExists;
}

enum class QuitStep {
  None,            // nothing to do to the window
  CloseWindow,     // send it WM_CLOSE: owner re-enabled, a box answers as closed
  DestroyWindow,   // it refused to close: destroy it all the same
};

// A quit message reached the loop: kept to be posted again, and a window
// still open is asked to close.
QuitStep OnForeignQuit(ModalLoopFrame& frame, int exitCode, bool windowExists);
// After the close request: a window that is still there is destroyed, so
// that no window keeps the thread's quit from reaching the main loop.
QuitStep AfterCloseRequest(const ModalLoopFrame& frame, bool windowExists);

struct ModalLoopOutcome {
  int result = 0;           // the window's result; 0 when it went without one
  bool repostQuit = false;  // post the foreign quit again
  int quitCode = 0;
};
ModalLoopOutcome FinishModalLoop(const ModalLoopFrame& frame);

}  // namespace shadowpane
