#include "ui/toolkit/win32/ToolkitCommon.h"

#include <gtest/gtest.h>

#include "tests/ui/toolkit/win32/ToolkitTestHost.h"

namespace shadowpane {
namespace {

TEST(ToolkitRegistration, ClassesHaveTheirCursorsAndFourBytesOfExtraSpace) {
  testing::RegisterForTests();
  struct Expected {
    const wchar_t* name;
    const wchar_t* cursor;
  };
  const Expected classes[] = {{kButtonClassName, IDC_ARROW}, {kLabelClassName, IDC_ARROW},
                              {kChoiceClassName, IDC_HAND},  {kEditClassName, IDC_IBEAM},
                              {kMenuClassName, IDC_ARROW},   {kMessageBoxClassName, IDC_ARROW}};
  for (const Expected& e : classes) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), e.name, &info)) << e.name;
    EXPECT_EQ(info.style, 0u);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 4);
    EXPECT_EQ(info.hbrBackground, nullptr);
    EXPECT_EQ(info.hIcon, nullptr);
    EXPECT_EQ(info.hCursor, LoadCursorW(nullptr, e.cursor)) << e.name;
  }
  // A second registration fails, and says so.
  EXPECT_EQ(RegisterToolkitClasses(GetModuleHandleW(nullptr)), 0);
  EXPECT_EQ(RegisterMessageBoxClass(GetModuleHandleW(nullptr)), 0);
}

// A record that is never made: its window lives on without one.
struct NeverMade {};
NeverMade* MakeNothing(HWND, const CREATESTRUCTW&) { return nullptr; }
LRESULT NeverCalled(NeverMade&, HWND, UINT, WPARAM, LPARAM) {
  ADD_FAILURE() << "a window without its record reached the handler";
  return 0;
}
LRESULT CALLBACK RecordlessProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<NeverMade>(window, message, wParam, lParam, RecordMadeAt::Create, MakeNothing,
                                     NeverCalled);
}

TEST(RecordWindowProc, AWindowWithoutItsRecordGetsTheDefaultAnswers) {
  constexpr wchar_t kRecordlessClass[] = L"RecordlessTestWindow";
  static const int registered =
      RegisterRecordClass(GetModuleHandleW(nullptr), kRecordlessClass, RecordlessProc, IDC_ARROW);
  ASSERT_EQ(registered, 1);
  EXPECT_EQ(ToolkitInstance(), GetModuleHandleW(nullptr));
  HWND window = CreateWindowExW(0, kRecordlessClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 120, 80, nullptr, nullptr,
                                ToolkitInstance(), nullptr);
  ASSERT_NE(window, nullptr);
  // DefWindowProcW answered the frame's sizing, so the client area lies
  // inside the border instead of filling the window.
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_LT(client.right, 120);
  EXPECT_LT(client.bottom, 80);
  // And it keeps a text it is sent.
  EXPECT_EQ(SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"plain")), TRUE);
  wchar_t text[8]{};
  GetWindowTextW(window, text, 8);
  EXPECT_STREQ(text, L"plain");
  DestroyWindow(window);
}

TEST(ToolkitFont, IsTahomaThirteenPixelsNonAntialiased) {
  HFONT font = CreateToolkitFont();
  ASSERT_NE(font, nullptr);
  LOGFONTW info{};
  ASSERT_NE(GetObjectW(font, sizeof(info), &info), 0);
  EXPECT_EQ(info.lfHeight, 13);
  EXPECT_EQ(info.lfWeight, 400);
  EXPECT_EQ(info.lfQuality, NONANTIALIASED_QUALITY);
  EXPECT_EQ(info.lfPitchAndFamily, FF_SWISS | DEFAULT_PITCH);
  EXPECT_STREQ(info.lfFaceName, L"Tahoma");
  DeleteObject(font);
}

LRESULT CALLBACK CaptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCHITTEST) return CaptionHitTest(window, lParam, wParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeCaptionWindow(int x, int y) {
  testing::RegisterTestClass(L"CaptionTestWindow", CaptionProc);
  return testing::CreateTestPopup(L"CaptionTestWindow", x, y, 200, 100);
}

LRESULT HitAt(HWND window, int screenX, int screenY) {
  return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(screenX, screenY));
}

TEST(CaptionHitTest, TopTwentyNineRowsDragTheWindow) {
  HWND w = MakeCaptionWindow(300, 200);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(HitAt(w, 350, 200), HTCAPTION);
  EXPECT_EQ(HitAt(w, 350, 228), HTCAPTION);
  EXPECT_EQ(HitAt(w, 350, 229), HTCLIENT);
  EXPECT_EQ(HitAt(w, 10, 10), HTNOWHERE);
  DestroyWindow(w);
}

TEST(CaptionHitTest, NegativeScreenCoordinatesOfAMonitorLeftOrAbove) {
  HWND w = MakeCaptionWindow(-400, -300);
  ASSERT_NE(w, nullptr);
  RECT r{};
  GetWindowRect(w, &r);
  ASSERT_LT(r.top, 0);
  EXPECT_EQ(HitAt(w, r.left + 50, r.top + 5), HTCAPTION);
  EXPECT_EQ(HitAt(w, r.left + 50, r.top + 28), HTCAPTION);
  EXPECT_EQ(HitAt(w, r.left + 50, r.top + 29), HTCLIENT);
  DestroyWindow(w);
}

TEST(ToolkitWindows, RecordIsInTheExtraSpaceAndClearedAtDestruction) {
  testing::TestHost host;
  HWND b = host.AddControl(kButtonClassName, L"x", 0, 0, 10, 10, 1026);
  auto* record = GetWindowRecord<void>(b);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(*reinterpret_cast<HWND*>(record), b);  // the window is the first field
  // Text set from the creation data although WM_NCCREATE skips the default.
  wchar_t text[8] = {};
  GetWindowTextW(b, text, 8);
  EXPECT_STREQ(text, L"x");
  DestroyWindow(b);
  EXPECT_FALSE(IsWindow(b));
}

}  // namespace
}  // namespace shadowpane
