#include "ui/toolkit/win32/NestedModalLoop.h"

#include <cstdint>

#include "ui/toolkit/ModalLoop.h"
#include "ui/toolkit/win32/DialogKeys.h"

namespace shadowpane {
namespace {

// The loops running on this thread (only the user-interface thread runs any).
thread_local ModalLoopStack runningLoops;

std::uintptr_t Key(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

bool Exists(HWND window) { return IsWindow(window) != FALSE; }

void CloseForQuit(ModalLoopFrame& frame, HWND window, int exitCode) {
  if (OnForeignQuit(frame, exitCode, Exists(window)) != QuitStep::CloseWindow) return;
  SendMessageW(window, WM_CLOSE, 0, 0);
  if (AfterCloseRequest(frame, Exists(window)) == QuitStep::DestroyWindow) DestroyWindow(window);
}

}  // namespace

int RunModalLoop(HWND window) {
  ModalLoopFrame frame;
  frame.window = Key(window);
  runningLoops.Enter(frame);
  MSG msg{};
  while (!LoopMustEnd(frame, Exists(window))) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      CloseForQuit(frame, window, static_cast<int>(msg.wParam));
      continue;
    }
    if (!RouteDialogMessage(window, msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  runningLoops.Leave(frame);
  const ModalLoopOutcome outcome = FinishModalLoop(frame);
  if (outcome.repostQuit) PostQuitMessage(outcome.quitCode);
  return outcome.result;
}

void EndModalLoop(HWND window, int result) {
  if (runningLoops.ReportEnd(Key(window), result)) {
    // A window can end inside GetMessageW (a message sent from another
    // thread); the posted no-op lets its loop look at its frame again.
    PostMessageW(nullptr, WM_NULL, 0, 0);
    return;
  }
  PostQuitMessage(result);
}

}  // namespace shadowpane
