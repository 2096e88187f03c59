// The nested modal loop with real windows: a quit message that is not the
// box's own, a box opened inside another box's loop, and an owner destroyed
// while its box is open.
#include "ui/toolkit/win32/NestedModalLoop.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

using testing::SendMouse;
using testing::TestHost;

// The exit code a guard posts when an expected quit never came.
constexpr int kNoQuitArrived = -77;
constexpr UINT kStepPeriodMs = 60;
constexpr UINT kGuardMs = 3000;

// Steps run one after another by thread timers inside whichever loop is
// running. The next step's timer starts before a step runs, so a step that
// opens a box (and so blocks in that box's loop) is followed all the same.
std::vector<std::function<void()>> loopSteps;
std::size_t nextLoopStep = 0;
UINT_PTR stepTimer = 0;

BOOL CALLBACK CloseBox(HWND window, LPARAM) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, kMessageBoxClassName) == 0) SendMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

void CALLBACK RunLoopStep(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  stepTimer = 0;
  if (nextLoopStep < loopSteps.size()) {
    const std::size_t step = nextLoopStep++;
    stepTimer = SetTimer(nullptr, 0, kStepPeriodMs, RunLoopStep);
    loopSteps[step]();
    return;
  }
  // Past the script: close what is still open so that a failure never hangs.
  EnumThreadWindows(GetCurrentThreadId(), CloseBox, 0);
}

void StartSteps(std::vector<std::function<void()>> steps) {
  loopSteps = std::move(steps);
  nextLoopStep = 0;
  stepTimer = SetTimer(nullptr, 0, kStepPeriodMs, RunLoopStep);
}

HWND Box(const wchar_t* text) { return FindWindowW(kMessageBoxClassName, text); }

void Click(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  ASSERT_NE(button, nullptr);
  SendMouse(button, WM_MOUSEMOVE, 40, 18);
  SendMouse(button, WM_LBUTTONDOWN, 40, 18);
  SendMouse(button, WM_LBUTTONUP, 40, 18);
}

void CALLBACK GuardQuit(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  PostQuitMessage(kNoQuitArrived);
}

// An outer GetMessageW loop such as the program's main loop: answers the
// exit code of the quit message that ends it.
int RunOuterLoop() {
  const UINT_PTR guard = SetTimer(nullptr, 0, kGuardMs, GuardQuit);
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  KillTimer(nullptr, guard);
  // No step of this test may run into the next one.
  if (stepTimer != 0) KillTimer(nullptr, stepTimer);
  stepTimer = 0;
  loopSteps.clear();
  return static_cast<int>(msg.wParam);
}

TEST(ModalLoop, AQuitPostedWhileABoxIsOpenClosesTheBoxAndReachesTheOuterLoop) {
  TestHost host;
  HWND owner = host.window();
  HWND seen = nullptr;
  StartSteps({[&] {
    seen = Box(L"Open");
    ASSERT_NE(seen, nullptr);
    PostQuitMessage(7);
  }});
  const int result = ShowMessageBox(owner, L"Open", MBX_BUTTONS_YESNO, MBX_ICON_QUESTION);
  EXPECT_EQ(result, MBX_RESULT_OK);  // closed as the system closes it
  EXPECT_NE(seen, nullptr);
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(RunOuterLoop(), 7);
}

TEST(ModalLoop, ABoxOpenedInsideAnotherBoxsLoopAnswersItsOwnCaller) {
  TestHost host;
  HWND owner = host.window();
  int innerResult = 0;
  bool innerOpenAfterOuterAnswer = false;
  StartSteps(
      {[&] { innerResult = ShowMessageBox(owner, L"Inner", MBX_BUTTONS_YESNO, MBX_ICON_QUESTION); },
       [&] {
         HWND inner = Box(L"Inner");
         ASSERT_NE(inner, nullptr);
         // Both boxes are centred on the owner: move the inner one
         // aside so that the click reaches the outer one.
         SetWindowPos(inner, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
         Click(Box(L"Outer"), kMessageBoxYesId);
       },
       [&] {
         // The outer box is answered and gone; the inner one stays.
         EXPECT_EQ(Box(L"Outer"), nullptr);
         innerOpenAfterOuterAnswer = Box(L"Inner") != nullptr;
         Click(Box(L"Inner"), kMessageBoxNoId);
       }});
  const int outerResult = ShowMessageBox(owner, L"Outer", MBX_BUTTONS_YESNO, MBX_ICON_QUESTION);
  EXPECT_TRUE(innerOpenAfterOuterAnswer);
  EXPECT_EQ(innerResult, MBX_RESULT_NO);
  EXPECT_EQ(outerResult, MBX_RESULT_YES);
  EXPECT_EQ(Box(nullptr), nullptr);
  EXPECT_TRUE(IsWindowEnabled(owner));
  // Neither answer left a quit message behind.
  PostQuitMessage(9);
  EXPECT_EQ(RunOuterLoop(), 9);
}

TEST(ModalLoop, AQuitInsideNestedBoxesEndsEveryLoopInTurn) {
  TestHost host;
  HWND owner = host.window();
  int innerResult = 0;
  StartSteps({[&] {
                innerResult = ShowMessageBox(owner, L"Inner", MBX_BUTTONS_OK, MBX_ICON_INFO);
                // The inner loop handed the quit on; the outer one is next.
                EXPECT_NE(Box(L"Outer"), nullptr);
              },
              [&] { PostQuitMessage(3); }});
  const int outerResult = ShowMessageBox(owner, L"Outer", MBX_BUTTONS_YESNO, MBX_ICON_QUESTION);
  EXPECT_EQ(innerResult, MBX_RESULT_OK);
  EXPECT_EQ(outerResult, MBX_RESULT_OK);
  EXPECT_EQ(Box(nullptr), nullptr);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(RunOuterLoop(), 3);
}

// An owner like the program's main window: its end quits the thread.
constexpr int kOwnerQuitCode = 42;
LRESULT CALLBACK QuittingOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(kOwnerQuitCode);
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeQuittingOwner() {
  testing::RegisterTestClass(L"QuittingOwner", QuittingOwnerProc);
  return testing::CreateTestPopup(L"QuittingOwner", 150, 150, 400, 300);
}

TEST(ModalLoop, AnOwnerDestroyedWhileItsBoxIsOpenEndsTheBoxAndThenTheProgram) {
  testing::RegisterForTests();
  HWND owner = MakeQuittingOwner();
  ASSERT_NE(owner, nullptr);
  HWND seen = nullptr;
  StartSteps({[&] {
    seen = Box(L"Owned");
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindowEnabled(owner));
    DestroyWindow(owner);  // destroys the box first, then quits
  }});
  const int result = ShowMessageBox(owner, L"Owned", MBX_BUTTONS_OK, MBX_ICON_INFO);
  EXPECT_EQ(result, MBX_RESULT_OK);
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_FALSE(IsWindow(owner));
  EXPECT_EQ(RunOuterLoop(), kOwnerQuitCode);
}

TEST(ModalLoop, AWindowEndingWithoutALoopPostsItsResultAsTheQuit) {
  testing::RegisterForTests();
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  EndModalLoop(window, 5);
  DestroyWindow(window);
  EXPECT_EQ(RunOuterLoop(), 5);
  // A loop over a window that is already gone answers at once with nothing.
  EXPECT_EQ(RunModalLoop(window), 0);
}

}  // namespace
}  // namespace shadowpane
