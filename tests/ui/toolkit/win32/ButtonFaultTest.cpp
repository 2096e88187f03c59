// A parent may destroy a button while the button is notifying it. Run on
// the guarded heap: a button that touched its freed record afterwards would
// stop this test with an access violation.
#include <gtest/gtest.h>

#include "tests/ui/toolkit/win32/GuardedHeap.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/win32/ButtonControl.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

using testing::GuardedHeap;
using testing::Notice;
using testing::SendMouse;
using testing::TestHost;

constexpr int kId = 1050;

struct Case {
  const char* name;
  int kind;
  // What the parent's user does to the held button.
  void (*act)(HWND button);
};

void Release(HWND b) { SendMouse(b, WM_LBUTTONUP, 40, 18); }
// The system disables a window through WM_CANCELMODE, then WM_ENABLE.
void Disable(HWND b) { EnableWindow(b, FALSE); }
// A WM_ENABLE that finds the button still holding the mouse.
void EnableMessage(HWND b) { SendMessageW(b, WM_ENABLE, FALSE, 0); }

const Case kCases[] = {
    {"push release", BXK_PUSH, Release},
    {"toggle release", BXK_TOGGLE, Release},
    {"cycle release", BXK_CYCLE, Release},
    {"spin release", BXK_SPIN, Release},
    {"push disable", BXK_PUSH, Disable},
    {"push WM_ENABLE", BXK_PUSH, EnableMessage},
    {"toggle WM_ENABLE", BXK_TOGGLE, EnableMessage},
};

TEST(ButtonFault, ParentDestroyingTheButtonOnLeaveEndsEverythingTheButtonDoes) {
  TestHost host;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const int freedBefore = testing::FreedGuardedBlocks();
    HWND b = nullptr;
    {
      GuardedHeap guard;  // the button's record lives on pages of its own
      b = host.AddControl(kButtonClassName, L"OK", 20, 20, 91, 37, kId);
      ASSERT_NE(b, nullptr);
      SendMessageW(b, BXM_FACEBITMAP, kPropertyStore, kSkinPushButton);
      SendMessageW(b, BXM_KIND, kPropertyStore, c.kind);
      SendMessageW(b, BXM_RANGE, kPropertyStore, MAKELPARAM(0, 9));
      SendMessageW(b, BXM_INSET, kPropertyStore, kDefaultInset);
    }
    SendMouse(b, WM_MOUSEMOVE, 40, 18);
    SendMouse(b, WM_LBUTTONDOWN, 40, 18);
    ASSERT_EQ(GetCapture(), b);
    host.ClearNotices();
    int noticesAtDestruction = -1;
    host.OnNotice([&](const Notice& n) {
      if (n.message == WM_NOTIFY && n.code == BXN_LEAVE && IsWindow(b)) {
        DestroyWindow(b);
        noticesAtDestruction = static_cast<int>(host.notices().size());
      }
    });
    c.act(b);
    host.OnNotice(nullptr);
    EXPECT_FALSE(IsWindow(b));
    ASSERT_EQ(noticesAtDestruction, 1) << "the leave notice came first and alone";
    // Nothing reached the parent from the dead button: no click, no second
    // leave.
    EXPECT_EQ(host.notices().size(), 1u);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_GE(testing::FreedGuardedBlocks(), freedBefore + 1) << "the record was freed";
    testing::Pump(30);  // timers of the dead button must not fire into freed memory
  }
}

}  // namespace
}  // namespace shadowpane
