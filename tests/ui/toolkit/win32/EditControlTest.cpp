#include "ui/toolkit/win32/EditControl.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/toolkit/win32/FocusedHostTest.h"
#include "ui/toolkit/EditLogic.h"
#include "ui/toolkit/ToolkitColors.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

using testing::PixelAt;
using testing::Pump;
using testing::RectInParent;

constexpr int kEditId = 1040;

HWND Inner(HWND control) { return GetDlgItem(control, kEditInnerId); }

std::wstring TextOf(HWND window) {
  wchar_t buffer[512] = {};
  GetWindowTextW(window, buffer, 512);
  return buffer;
}

void SetCue(HWND control, const wchar_t* cue) {
  SendMessageW(control, EXM_CUETEXT, 1, reinterpret_cast<LPARAM>(cue));
}

void TypeInto(HWND field, const wchar_t* text) {
  SetFocus(field);
  for (const wchar_t* c = text; *c; ++c) SendMessageW(field, WM_CHAR, *c, 1);
  Pump();
}

class EditControlTest : public testing::FocusedHostTest {
 protected:
  HWND Make(int w, int h, const wchar_t* text = L"", void* param = nullptr) {
    return CreateControl(kEditClassName, text, 20, 20, w, h, kEditId, param);
  }
};

TEST_F(EditControlTest, SingleLineFieldForLowControls) {
  HWND control = Make(300, 30);
  ASSERT_NE(control, nullptr);
  HWND field = Inner(control);
  ASSERT_NE(field, nullptr);
  const RECT r = RectInParent(field);
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right - r.left, 286);
  EXPECT_EQ(r.bottom - r.top, 11);
  const LONG_PTR style = GetWindowLongPtrW(field, GWL_STYLE);
  EXPECT_TRUE(style & ES_AUTOHSCROLL);
  EXPECT_FALSE(style & ES_MULTILINE);
  wchar_t className[16] = {};
  GetClassNameW(field, className, 16);
  EXPECT_EQ(lstrcmpiW(className, L"EDIT"), 0);
  // The inner field uses the control's font.
  EXPECT_NE(SendMessageW(field, WM_GETFONT, 0, 0), 0);
}

TEST_F(EditControlTest, MultiLineFieldFromHeight46AndExtraStyleBits) {
  HWND tall = Make(300, 60, L"", reinterpret_cast<void*>(static_cast<UINT_PTR>(ES_NUMBER)));
  HWND field = Inner(tall);
  const RECT r = RectInParent(field);
  EXPECT_EQ(r.right - r.left, 286);
  EXPECT_EQ(r.bottom - r.top, 41);
  const LONG_PTR style = GetWindowLongPtrW(field, GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & ES_NUMBER);
  DestroyWindow(tall);
  HWND edge = Make(100, 46);
  EXPECT_TRUE(GetWindowLongPtrW(Inner(edge), GWL_STYLE) & ES_MULTILINE);
}

TEST_F(EditControlTest, TextAndLimitGoToTheInnerField) {
  HWND control = Make(300, 30, L"Hello");
  EXPECT_EQ(TextOf(Inner(control)), L"Hello");
  EXPECT_EQ(TextOf(control), L"Hello");
  EXPECT_EQ(GetWindowTextLengthW(control), 5);
  SetWindowTextW(control, L"changed");
  EXPECT_EQ(TextOf(Inner(control)), L"changed");

  SendMessageW(control, EM_LIMITTEXT, 100, 0);
  EXPECT_EQ(SendMessageW(control, EM_GETLIMITTEXT, 0, 0), 100);
  SetWindowTextW(control, L"");
  TypeInto(Inner(control), std::wstring(150, L'k').c_str());
  EXPECT_EQ(GetWindowTextLengthW(Inner(control)), 100);

  SendMessageW(control, EM_SETPASSWORDCHAR, L'*', 0);
  EXPECT_EQ(SendMessageW(control, EM_GETPASSWORDCHAR, 0, 0), L'*');
  SendMessageW(control, EM_SETSEL, 2, 5);
  DWORD start = 0, end = 0;
  SendMessageW(Inner(control), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 5u);
}

TEST_F(EditControlTest, ParentSeesFieldNotificationsAsTheControls) {
  HWND control = Make(300, 30);
  host.ClearNotices();
  TypeInto(Inner(control), L"a");
  bool sawChange = false;
  for (const auto& command : host.Commands()) {
    EXPECT_EQ(LOWORD(command.wParam), kEditId);
    EXPECT_EQ(reinterpret_cast<HWND>(command.lParam), control);
    if (HIWORD(command.wParam) == EN_CHANGE) sawChange = true;
  }
  EXPECT_TRUE(sawChange);
}

TEST_F(EditControlTest, CueShowsOnlyWhileTheFieldIsEmptyAndUnfocused) {
  HWND control = Make(300, 30);
  HWND field = Inner(control);
  SetCue(control, L"Search");
  // An empty, unfocused field makes way for the cue at once.
  EXPECT_FALSE(IsWindowVisible(field));

  // A click on the control brings the field back with the focus.
  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 15));
  Pump();
  EXPECT_TRUE(IsWindowVisible(field));
  EXPECT_EQ(GetFocus(), field);

  // Losing the focus while empty hides it again.
  SetFocus(host.window());
  Pump();
  EXPECT_FALSE(IsWindowVisible(field));

  // Typed text keeps it shown after the focus leaves.
  SendMessageW(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 15));
  TypeInto(field, L"x");
  SetFocus(host.window());
  Pump();
  EXPECT_TRUE(IsWindowVisible(field));

  // Clearing the text from outside lets the cue show again.
  SetWindowTextW(control, L"");
  Pump();
  EXPECT_FALSE(IsWindowVisible(field));
}

TEST_F(EditControlTest, CueTextStoreAndCopyRules) {
  HWND control = Make(300, 30);
  const std::wstring longCue(300, L'c');
  SetCue(control, longCue.c_str());
  wchar_t buffer[400];
  std::fill(buffer, buffer + 400, L'#');
  EXPECT_EQ(SendMessageW(control, EXM_CUETEXT, MAKEWPARAM(0, 399), reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(std::wstring(buffer), longCue.substr(0, 250));

  SetCue(control, L"0123456789");
  std::fill(buffer, buffer + 400, L'#');
  SendMessageW(control, EXM_CUETEXT, MAKEWPARAM(0, 5), reinterpret_cast<LPARAM>(buffer));
  EXPECT_EQ(std::wstring(buffer, 6), L"01234#");
  std::fill(buffer, buffer + 400, L'#');
  SendMessageW(control, EXM_CUETEXT, MAKEWPARAM(0, 20), reinterpret_cast<LPARAM>(buffer));
  EXPECT_EQ(std::wstring(buffer, 12), std::wstring(L"0123456789\0#", 12));

  // Null pointers store an empty cue and copy nothing.
  SendMessageW(control, EXM_CUETEXT, 1, 0);
  SendMessageW(control, EXM_CUETEXT, MAKEWPARAM(0, 20), 0);
  buffer[0] = L'#';
  SendMessageW(control, EXM_CUETEXT, MAKEWPARAM(0, 20), reinterpret_cast<LPARAM>(buffer));
  EXPECT_EQ(buffer[0], 0);
}

TEST_F(EditControlTest, EditStyleAddsAndRemovesFieldBits) {
  HWND control = Make(300, 30);
  HWND field = Inner(control);
  EXPECT_EQ(SendMessageW(control, EXM_EDITSTYLE, 1, ES_UPPERCASE), 0);
  EXPECT_TRUE(GetWindowLongPtrW(field, GWL_STYLE) & ES_UPPERCASE);
  TypeInto(field, L"ab");
  EXPECT_EQ(TextOf(control), L"AB");
  SendMessageW(control, EXM_EDITSTYLE, 0x10000, ES_UPPERCASE);
  EXPECT_FALSE(GetWindowLongPtrW(field, GWL_STYLE) & ES_UPPERCASE);
  EXPECT_TRUE(GetWindowLongPtrW(field, GWL_STYLE) & ES_AUTOHSCROLL);
}

TEST_F(EditControlTest, FieldColoursComeFromTheControl) {
  HWND control = Make(300, 30);
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush = SendMessageW(control, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(Inner(control)));
  ASSERT_NE(brush, 0);
  LOGBRUSH info{};
  ASSERT_NE(GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(info), &info), 0);
  EXPECT_EQ(info.lbColor, ToColorRef(kColorEditFace));
  EXPECT_EQ(GetTextColor(dc), ToColorRef(kColorText));
  EXPECT_EQ(GetBkColor(dc), ToColorRef(kColorEditFace));
  SetBkColor(dc, 0);
  EXPECT_EQ(SendMessageW(control, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0), brush);
  EXPECT_EQ(GetBkColor(dc), ToColorRef(kColorEditFace));
  DeleteDC(dc);
}

TEST_F(EditControlTest, PaintsFaceFrameCornersAndCue) {
  HWND control = Make(200, 30);
  SetCue(control, L"WWWWWW");
  RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(30);
  ASSERT_FALSE(IsWindowVisible(Inner(control)));
  EXPECT_EQ(PixelAt(control, 5, 15), ToColorRef(kColorEditFace));
  EXPECT_EQ(PixelAt(control, 195, 15), ToColorRef(kColorEditFace));
  EXPECT_EQ(PixelAt(control, 100, 0), ToColorRef(kColorFrame));
  EXPECT_EQ(PixelAt(control, 0, 15), ToColorRef(kColorFrame));
  EXPECT_EQ(PixelAt(control, 199, 15), ToColorRef(kColorFrame));
  EXPECT_EQ(PixelAt(control, 100, 29), ToColorRef(kColorFrame));
  for (POINT corner : {POINT{0, 0}, POINT{199, 0}, POINT{0, 29}, POINT{199, 29}})
    EXPECT_EQ(PixelAt(control, corner.x, corner.y), ToColorRef(kColorEditCorner)) << corner.x;
  // Some pixel of the cue's row is drawn in the cue colour.
  bool sawCue = false;
  for (int x = 10; x < 80 && !sawCue; ++x)
    for (int y = 8; y < 22 && !sawCue; ++y) sawCue = PixelAt(control, x, y) == ToColorRef(kColorEditCue);
  EXPECT_TRUE(sawCue);
}

TEST_F(EditControlTest, HostileInputIsSurvived) {
  // No text, no parameter; then a text far longer than any buffer.
  HWND control = CreateControl(kEditClassName, nullptr, 20, 20, 300, 30, kEditId, nullptr);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(TextOf(control), L"");
  const std::wstring huge(40000, L'h');
  SetWindowTextW(control, huge.c_str());
  wchar_t small[6];
  EXPECT_EQ(GetWindowTextW(control, small, 6), 5);
  EXPECT_STREQ(small, L"hhhhh");
  // A control too small for the field's insets gets a field of size zero.
  HWND tiny = Make(4, 4);
  ASSERT_NE(tiny, nullptr);
  const RECT r = RectInParent(Inner(tiny));
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  DestroyWindow(control);
  DestroyWindow(tiny);
  Pump();
}

}  // namespace
}  // namespace shadowpane
