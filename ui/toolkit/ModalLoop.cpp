#include "ui/toolkit/ModalLoop.h"

namespace shadowpane {

void ModalLoopStack::Enter(ModalLoopFrame& frame) {
  frame.outer = innermost_;
  innermost_ = &frame;
}

void ModalLoopStack::Leave(ModalLoopFrame& frame) {
  for (ModalLoopFrame** link = &innermost_; *link != nullptr; link = &(*link)->outer) {
    if (*link == &frame) {
      *link = frame.outer;
      break;
    }
  }
  frame.outer = nullptr;
}

int ModalLoopStack::ReportEnd(std::uintptr_t window, int result) {
  for (ModalLoopFrame* frame = innermost_; frame != nullptr; frame = frame->outer) {
    if (frame->window != window) continue;
    // The result is decided once: a later report changes nothing.
    if (!frame->ended) {
      frame->ended = true;
      frame->result = result;
    }
    return 1;
  }
  return 0;
}

QuitStep OnForeignQuit(ModalLoopFrame& frame, int exitCode, bool windowExists) {
  frame.foreignQuit = true;
  frame.foreignCode = exitCode;
  return windowExists && !frame.ended ? QuitStep::CloseWindow : QuitStep::None;
}

QuitStep AfterCloseRequest(const ModalLoopFrame& frame, bool windowExists) {
  return windowExists && !frame.ended ? QuitStep::DestroyWindow : QuitStep::None;
}

ModalLoopOutcome FinishModalLoop(const ModalLoopFrame& frame) {
  ModalLoopOutcome outcome;
  outcome.result = frame.ended ? frame.result : 0;
  outcome.repostQuit = frame.foreignQuit;
  outcome.quitCode = frame.foreignCode;
  return outcome;
}

}  // namespace shadowpane
