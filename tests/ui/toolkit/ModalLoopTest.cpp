#include "ui/toolkit/ModalLoop.h"

#include <gtest/gtest.h>

namespace shadowpane {
namespace {

constexpr std::uintptr_t kOuterWindow = 0x100;
constexpr std::uintptr_t kInnerWindow = 0x200;
constexpr std::uintptr_t kOtherWindow = 0x300;

TEST(ModalLoopStack, AWindowsEndReachesItsOwnLoopWhereverItIsNested) {
  ModalLoopStack loops;
  ModalLoopFrame outer;
  outer.window = kOuterWindow;
  ModalLoopFrame inner;
  inner.window = kInnerWindow;
  loops.Enter(outer);
  loops.Enter(inner);
  EXPECT_EQ(loops.innermost(), &inner);

  // The outer box answered while the inner one runs: only the outer frame
  // ends, and the inner loop goes on.
  EXPECT_EQ(loops.ReportEnd(kOuterWindow, 3), 1);
  EXPECT_TRUE(outer.ended);
  EXPECT_EQ(outer.result, 3);
  EXPECT_FALSE(inner.ended);
  EXPECT_FALSE(LoopMustEnd(inner, true));

  // The result is decided once.
  EXPECT_EQ(loops.ReportEnd(kOuterWindow, 1), 1);
  EXPECT_EQ(outer.result, 3);

  // A window no loop runs for is not absorbed: its caller posts the quit.
  EXPECT_EQ(loops.ReportEnd(kOtherWindow, 5), 0);

  EXPECT_EQ(loops.ReportEnd(kInnerWindow, 4), 1);
  loops.Leave(inner);
  EXPECT_EQ(loops.innermost(), &outer);
  EXPECT_EQ(FinishModalLoop(inner).result, 4);
  // Back in the outer loop, which ends before fetching anything more.
  EXPECT_TRUE(LoopMustEnd(outer, false));
  loops.Leave(outer);
  EXPECT_EQ(loops.innermost(), nullptr);
  EXPECT_EQ(loops.ReportEnd(kOuterWindow, 1), 0);
}

TEST(ModalLoopStack, LeavingAFrameThatIsNotInnermostKeepsTheOthersLinked) {
  ModalLoopStack loops;
  ModalLoopFrame a, b, c;
  a.window = 1;
  b.window = 2;
  c.window = 3;
  loops.Enter(a);
  loops.Enter(b);
  loops.Enter(c);
  loops.Leave(b);
  EXPECT_EQ(loops.innermost(), &c);
  EXPECT_EQ(c.outer, &a);
  EXPECT_EQ(loops.ReportEnd(2, 9), 0);
  EXPECT_EQ(loops.ReportEnd(1, 9), 1);
  EXPECT_TRUE(a.ended);
}

TEST(ModalLoopStack, TheSameWindowNestedTwiceEndsTheInnermostLoop) {
  ModalLoopStack loops;
  ModalLoopFrame first, second;
  first.window = second.window = kOuterWindow;
  loops.Enter(first);
  loops.Enter(second);
  EXPECT_EQ(loops.ReportEnd(kOuterWindow, 2), 1);
  EXPECT_TRUE(second.ended);
  EXPECT_FALSE(first.ended);
}

struct QuitCase {
  const char* name;
  bool ended;         // the window reported its end before the quit came
  bool existsAtQuit;  // the window is still there when the quit is fetched
  bool existsAfterClose;
  bool endsOnClose;  // closing made the window report its end
  QuitStep first;
  QuitStep second;
  int result;  // what the loop answers
};

// A foreign quit: the window is closed (or destroyed when it refuses), and
// the loop answers the window's own result and posts the quit again.
const QuitCase kQuitCases[] = {
    {"open box closes", false, true, false, true, QuitStep::CloseWindow, QuitStep::None, 1},
    {"box refusing to close is destroyed", false, true, true, false, QuitStep::CloseWindow,
     QuitStep::DestroyWindow, 0},
    {"box already answered", true, true, true, false, QuitStep::None, QuitStep::None, 4},
    {"box already gone", false, false, false, false, QuitStep::None, QuitStep::None, 0},
};

TEST(ModalLoopDecisions, AForeignQuitClosesTheWindowAndIsPostedAgain) {
  for (const QuitCase& c : kQuitCases) {
    SCOPED_TRACE(c.name);
    ModalLoopStack loops;
    ModalLoopFrame frame;
    frame.window = kOuterWindow;
    loops.Enter(frame);
    if (c.ended) loops.ReportEnd(kOuterWindow, 4);
    const QuitStep first = OnForeignQuit(frame, 11, c.existsAtQuit);
    EXPECT_EQ(first, c.first);
    if (first == QuitStep::CloseWindow) {
      if (c.endsOnClose) loops.ReportEnd(kOuterWindow, 1);
      EXPECT_EQ(AfterCloseRequest(frame, c.existsAfterClose), c.second);
    }
    // Whatever happened to the window, the loop fetches nothing more.
    EXPECT_TRUE(LoopMustEnd(frame, c.existsAfterClose && c.second == QuitStep::None));
    loops.Leave(frame);
    const ModalLoopOutcome outcome = FinishModalLoop(frame);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_TRUE(outcome.repostQuit);
    EXPECT_EQ(outcome.quitCode, 11);
  }
}

TEST(ModalLoopDecisions, MergedQuitsKeepTheLatestCodeAndAQuietLoopPostsNone) {
  ModalLoopFrame frame;
  frame.window = kOuterWindow;
  OnForeignQuit(frame, 5, true);
  OnForeignQuit(frame, 0, true);
  EXPECT_EQ(FinishModalLoop(frame).quitCode, 0);

  ModalLoopFrame quiet;
  quiet.window = kOuterWindow;
  EXPECT_FALSE(LoopMustEnd(quiet, true));
  quiet.ended = true;
  quiet.result = 0x103;
  const ModalLoopOutcome outcome = FinishModalLoop(quiet);
  EXPECT_EQ(outcome.result, 0x103);
  EXPECT_FALSE(outcome.repostQuit);
}

}  // namespace
}  // namespace shadowpane
