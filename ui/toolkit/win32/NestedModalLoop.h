// The toolkit's one nested modal loop, run by the message box (and the
// secondary windows) on the user-interface thread while their owner is
// disabled. The decisions it takes are in ui/toolkit/ModalLoop.h.
#pragma once

#include <windows.h>

namespace shadowpane {

// Serves the thread's messages for all its windows, each first offered to
// the dialog keyboard handling of `window`, until `window` has ended; answers
// the result it reported with EndModalLoop (0 when it went without one). A
// quit message fetched meanwhile closes the window (WM_CLOSE) and is posted
// again once the loop is over.
int RunModalLoop(HWND window);

// A modal window's WM_DESTROY reports its result here. When a loop runs for
// the window it ends with that result; otherwise the result is posted as the
// thread's quit message.
void EndModalLoop(HWND window, int result);

}  // namespace shadowpane
