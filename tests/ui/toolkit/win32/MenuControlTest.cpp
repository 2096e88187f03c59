#include "ui/toolkit/win32/MenuControl.h"

#include <gtest/gtest.h>

#include "tests/ui/toolkit/MenuTestLists.h"
#include "tests/ui/toolkit/win32/FocusedHostTest.h"
#include "ui/toolkit/ListPopup.h"
#include "ui/toolkit/ToolkitColors.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

using testing::MoveCursorTo;
using testing::PixelAt;
using testing::Pump;

// Rows of the language list's items in the popup's client area.
constexpr int kEnglishY = 5;
constexpr int kSeparatorY = 27;
constexpr int kDeutscheY = 38;
constexpr int kEspanolY = 60;
constexpr int kItalianoY = 82;

HWND FindPopup() { return FindWindowW(kMenuClassName, nullptr); }

class MenuControlTest : public testing::FocusedHostTest {
 protected:
  void SetUp() override {
    FocusedHostTest::SetUp();
    testing::AddLanguageItems(&list);
  }
  void TearDown() override {
    if (HWND popup = FindPopup()) DestroyWindow(popup);
    Pump();
    ClearMenuItemList(&list);
    FocusedHostTest::TearDown();
  }

  HWND Open() {
    EXPECT_EQ(ShowMenuPopup(&list, host.window()), 1);
    Pump(20);
    return FindPopup();
  }

  // Moves the real cursor onto a client point of the popup and tells the
  // popup, as the system does when the mouse moves.
  void HoverAt(HWND popup, int x, int y) {
    MoveCursorTo(popup, x, y);
    SendMessageW(popup, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    UpdateWindow(popup);
    Pump(20);
  }

  void ClickAt(HWND popup, int x, int y) {
    HoverAt(popup, x, y);
    SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Pump();
  }

  MenuItemList list;
};

TEST_F(MenuControlTest, OpensUnderTheOwnersPointSizedToItsItems) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(IsWindowVisible(popup));
  EXPECT_EQ(GetParent(popup), host.window());
  RECT bounds{};
  GetWindowRect(popup, &bounds);
  POINT origin{37, 161};
  ClientToScreen(host.window(), &origin);
  EXPECT_EQ(bounds.left, origin.x);
  EXPECT_EQ(bounds.top, origin.y);
  EXPECT_EQ(bounds.right - bounds.left, 180);
  EXPECT_EQ(bounds.bottom - bounds.top, 109);
  EXPECT_EQ(GetWindowLongPtrW(popup, GWL_STYLE) & (WS_POPUP | WS_CHILD), WS_POPUP);

  // Its shape is the rectangle without the four corner pixels.
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(popup, shape), ERROR);
  EXPECT_FALSE(PtInRegion(shape, 0, 0));
  EXPECT_FALSE(PtInRegion(shape, 179, 0));
  EXPECT_FALSE(PtInRegion(shape, 0, 108));
  EXPECT_FALSE(PtInRegion(shape, 179, 108));
  EXPECT_TRUE(PtInRegion(shape, 1, 0));
  EXPECT_TRUE(PtInRegion(shape, 0, 1));
  EXPECT_TRUE(PtInRegion(shape, 178, 108));
  DeleteObject(shape);
}

TEST_F(MenuControlTest, MissingEmptyOrOwnerlessListsOpenNothing) {
  EXPECT_EQ(ShowMenuPopup(nullptr, host.window()), 0);
  MenuItemList empty;
  EXPECT_EQ(ShowMenuPopup(&empty, host.window()), 0);
  EXPECT_EQ(ShowMenuPopup(&list, nullptr), 0);
  EXPECT_EQ(ShowMenuPopup(&list, reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7FFF0))), 0);
  Pump();
  EXPECT_EQ(FindPopup(), nullptr);
}

TEST_F(MenuControlTest, PaintsFrameMarkSeparatorAndHighlight) {
  MarkMenuItemByIndex(&list, 0);
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  HoverAt(popup, 100, kEspanolY + 10);
  const COLORREF frame = ToColorRef(kColorFrame);
  const COLORREF highlight = ToColorRef(kColorHighlight);
  const COLORREF corner = ToColorRef(kColorHighlightCorner);
  const COLORREF white = RGB(255, 255, 255);
  // Two-pixel frame, white inside it.
  EXPECT_EQ(PixelAt(popup, 0, 50), frame);
  EXPECT_EQ(PixelAt(popup, 1, 50), frame);
  EXPECT_EQ(PixelAt(popup, 2, 50), white);
  EXPECT_EQ(PixelAt(popup, 179, 50), frame);
  EXPECT_EQ(PixelAt(popup, 178, 50), frame);
  EXPECT_EQ(PixelAt(popup, 90, 108), frame);
  // The mark of English: the triangle's left column and its tip.
  EXPECT_EQ(PixelAt(popup, 14, kEnglishY + 7), highlight);
  EXPECT_EQ(PixelAt(popup, 15, kEnglishY + 14), highlight);
  EXPECT_EQ(PixelAt(popup, 18, kEnglishY + 10), highlight);
  EXPECT_EQ(PixelAt(popup, 18, kEnglishY + 9), white);
  EXPECT_EQ(PixelAt(popup, 13, kEnglishY + 10), white);
  // The separator line.
  EXPECT_EQ(PixelAt(popup, 30, kSeparatorY + 5), frame);
  EXPECT_EQ(PixelAt(popup, 174, kSeparatorY + 5), frame);
  EXPECT_EQ(PixelAt(popup, 175, kSeparatorY + 5), white);
  EXPECT_EQ(PixelAt(popup, 100, kSeparatorY + 4), white);
  // The hot item's band with its softened corners.
  EXPECT_EQ(PixelAt(popup, 30, kEspanolY), corner);
  EXPECT_EQ(PixelAt(popup, 174, kEspanolY), corner);
  EXPECT_EQ(PixelAt(popup, 30, kEspanolY + 21), corner);
  EXPECT_EQ(PixelAt(popup, 174, kEspanolY + 21), corner);
  EXPECT_EQ(PixelAt(popup, 31, kEspanolY), highlight);
  EXPECT_EQ(PixelAt(popup, 32, kEspanolY + 11), highlight);
  EXPECT_EQ(PixelAt(popup, 175, kEspanolY + 11), white);
  EXPECT_EQ(PixelAt(popup, 29, kEspanolY + 11), white);
  // Some of its text is white on the band.
  bool sawText = false;
  for (int x = 38; x < 90 && !sawText; ++x)
    for (int y = kEspanolY + 4; y < kEspanolY + 18 && !sawText; ++y)
      sawText = PixelAt(popup, x, y) == white;
  EXPECT_TRUE(sawText);
  // Other items are not highlighted.
  EXPECT_EQ(PixelAt(popup, 32, kDeutscheY + 11), white);
}

TEST_F(MenuControlTest, ChoosingAnItemReportsIndexAndCommandThenCloses) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  host.ClearNotices();
  ClickAt(popup, 100, kEspanolY + 11);
  ASSERT_EQ(host.Commands().size(), 1u);
  EXPECT_EQ(HIWORD(host.Commands()[0].wParam), 3);
  EXPECT_EQ(LOWORD(host.Commands()[0].wParam), 4866);
  EXPECT_EQ(host.Commands()[0].lParam, 0);
  EXPECT_FALSE(IsWindow(popup));
  // The owner's own list is untouched by the popup.
  EXPECT_EQ(list.count, 5);
  for (const MenuItem* item = list.first; item != nullptr; item = item->next) EXPECT_EQ(item->mark, 0);
}

TEST_F(MenuControlTest, MarginsAndSeparatorHighlightNothingAndIgnoreClicks) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  host.ClearNotices();
  for (int y : {2, kSeparatorY + 5, kItalianoY + 22 + 2}) {
    // First make an item hot, then move onto the dead row.
    HoverAt(popup, 100, kDeutscheY + 5);
    ASSERT_EQ(PixelAt(popup, 32, kDeutscheY + 11), ToColorRef(kColorHighlight));
    ClickAt(popup, 100, y);
    EXPECT_EQ(PixelAt(popup, 32, kDeutscheY + 11), RGB(255, 255, 255)) << y;
    EXPECT_TRUE(IsWindow(popup)) << y;
  }
  EXPECT_TRUE(host.Commands().empty());
}

TEST_F(MenuControlTest, LeavingThePopupClearsTheHighlight) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  HoverAt(popup, 100, kItalianoY + 5);
  ASSERT_EQ(PixelAt(popup, 32, kItalianoY + 11), ToColorRef(kColorHighlight));
  // The cursor leaves without another mouse move reaching the popup: the
  // hover watch notices within a few ticks.
  MoveCursorTo(host.window(), 300, 20);
  Pump(80);
  UpdateWindow(popup);
  EXPECT_EQ(PixelAt(popup, 32, kItalianoY + 11), RGB(255, 255, 255));
  host.ClearNotices();
  SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, kItalianoY + 5));
  Pump();
  EXPECT_TRUE(host.Commands().empty());
  EXPECT_TRUE(IsWindow(popup));
}

TEST_F(MenuControlTest, LosingTheFocusClosesWithoutAChoice) {
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetFocus(), popup);
  host.ClearNotices();
  SetForegroundWindow(host.window());
  SetFocus(host.window());
  Pump(20);
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_TRUE(host.Commands().empty());

  popup = Open();
  ASSERT_NE(popup, nullptr);
  SendMessageW(popup, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_TRUE(host.Commands().empty());
}

TEST_F(MenuControlTest, LabelsAreGreyAndNeverChosen) {
  ClearMenuItemList(&list);
  AddMenuItem(MIT_LABEL, u"WWWWWWWW", &list, 1);
  AddMenuItem(MIT_ITEM, u"Pick", &list, 2);
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  RECT bounds{};
  GetWindowRect(popup, &bounds);
  EXPECT_EQ(bounds.bottom - bounds.top, 10 + 22 + 22);
  host.ClearNotices();
  ClickAt(popup, 20, 15);
  EXPECT_TRUE(host.Commands().empty());
  bool sawGrey = false;
  for (int x = 13; x < 90 && !sawGrey; ++x)
    for (int y = 8; y < 24 && !sawGrey; ++y) sawGrey = PixelAt(popup, x, y) == ToColorRef(kColorListLabel);
  EXPECT_TRUE(sawGrey);
  ClickAt(popup, 100, 5 + 22 + 11);
  ASSERT_EQ(host.Commands().size(), 1u);
  EXPECT_EQ(host.Commands()[0].wParam, MAKEWPARAM(2, 1));
}

TEST_F(MenuControlTest, DirectCreationWithoutItemsIsHarmless) {
  HWND popup = CreateWindowExW(0, kMenuClassName, nullptr, WS_POPUP | WS_VISIBLE, 10, 10, 180, 300,
                               host.window(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(popup, nullptr);
  RECT bounds{};
  GetWindowRect(popup, &bounds);
  EXPECT_EQ(bounds.bottom - bounds.top, 10);
  SendMessageW(popup, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  Pump();
  EXPECT_TRUE(IsWindow(popup));
  DestroyWindow(popup);
}

TEST_F(MenuControlTest, LongTextsAreCutAndPaintedWithoutHarm) {
  ClearMenuItemList(&list);
  const std::u16string longText(1000, u'L');
  AddMenuItem(MIT_ITEM, longText.c_str(), &list, 7);
  AddMenuItem(MIT_ITEM, u"", &list, 8);
  HWND popup = Open();
  ASSERT_NE(popup, nullptr);
  HoverAt(popup, 100, 5 + 22 + 3);
  // The empty item is hot and highlighted; the long one is painted clipped.
  EXPECT_EQ(PixelAt(popup, 100, 5 + 22 + 11), ToColorRef(kColorHighlight));
  host.ClearNotices();
  ClickAt(popup, 100, 5 + 22 + 3);
  ASSERT_EQ(host.Commands().size(), 1u);
  EXPECT_EQ(host.Commands()[0].wParam, MAKEWPARAM(8, 1));
}

}  // namespace
}  // namespace shadowpane
