#include "ui/toolkit/win32/MessageBoxWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/win32/ChoiceControl.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

using testing::PixelAt;
using testing::SendMouse;
using testing::SkinPixel;
using testing::TestHost;
using testing::WindowSize;

SIZE Measure(const wchar_t* text, int height = kToolkitFontHeight) {
  return testing::MeasureText(text, height);
}

// Steps run by timers inside the box's own nested loop, one after another;
// a last step closes a box that is still open so that a failure never hangs.
std::vector<std::function<void(HWND)>> scriptSteps;
std::size_t nextStep = 0;

HWND FindBox() { return FindWindowW(kMessageBoxClassName, nullptr); }

void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND box = FindBox();
  if (nextStep < scriptSteps.size()) {
    scriptSteps[nextStep++](box);
    SetTimer(nullptr, 0, 60, RunStep);
  } else if (box != nullptr) {
    ADD_FAILURE() << "the box was still open after its script";
    SendMessageW(box, WM_CLOSE, 0, 0);
  }
}

int RunScripted(std::vector<std::function<void(HWND)>> steps, const std::function<int()>& show) {
  scriptSteps = std::move(steps);
  nextStep = 0;
  SetTimer(nullptr, 0, 60, RunStep);
  return show();
}

void Click(HWND control) {
  SendMouse(control, WM_MOUSEMOVE, 40, 18);
  SendMouse(control, WM_LBUTTONDOWN, 40, 18);
  SendMouse(control, WM_LBUTTONUP, 40, 18);
}

std::wstring TextOf(HWND window) {
  wchar_t text[1200] = {};
  GetWindowTextW(window, text, 1200);
  return text;
}

TEST(MessageBoxWindow, ShortTextBoxIsSizedPlacedPaintedAndDisablesItsOwner) {
  TestHost host(500, 400, 200, 150);
  HWND owner = host.window();
  const wchar_t* text = L"Device has been plugged in.";
  const int result = RunScripted(
      {[&](HWND box) {
         ASSERT_NE(box, nullptr);
         EXPECT_FALSE(IsWindowEnabled(owner));
         EXPECT_EQ(GetParent(box), owner);
         const SIZE size = WindowSize(box);
         EXPECT_EQ(size.cx, std::max<LONG>(Measure(text).cx + 120, 135));
         EXPECT_EQ(size.cy, 180);
         RECT r{};
         GetWindowRect(box, &r);
         EXPECT_EQ(r.left, 200 + (500 - size.cx) / 2);
         EXPECT_EQ(r.top, 150 + (400 - 180) / 2);
         HWND ok = GetDlgItem(box, kMessageBoxOkId);
         ASSERT_NE(ok, nullptr);
         EXPECT_EQ(testing::PositionInParent(ok).x, size.cx / 2 - 45);
         EXPECT_EQ(testing::PositionInParent(ok).y, 180 - 54);
         EXPECT_EQ(TextOf(ok), L"OK");
         EXPECT_EQ(GetDlgItem(box, kMessageBoxCheckId), nullptr);
         // Body white; band, edges and icon from their skins.
         EXPECT_EQ(PixelAt(box, 5, 150), RGB(255, 255, 255));
         EXPECT_EQ(PixelAt(box, size.cx - 50, 10), SkinPixel(kSkinFrame, 210 + 60, 10));
         EXPECT_EQ(PixelAt(box, 20, 10), SkinPixel(kSkinFrame, 5, 10));
         EXPECT_EQ(PixelAt(box, 1, 100), SkinPixel(kSkinFrame, 1, 30));
         EXPECT_EQ(PixelAt(box, size.cx / 2, 178), SkinPixel(kSkinFrame, 5, 45));
         EXPECT_EQ(PixelAt(box, 25 + 24, 55 + 24), SkinPixel(kSkinMessageIcons, 48 * 2 + 24, 24));
         // Shape: round corners and the cut pixels next to them.
         HRGN shape = CreateRectRgn(0, 0, 0, 0);
         ASSERT_NE(GetWindowRgn(box, shape), ERROR);
         EXPECT_FALSE(PtInRegion(shape, 0, 0));
         EXPECT_FALSE(PtInRegion(shape, 1, 1));
         EXPECT_FALSE(PtInRegion(shape, size.cx - 2, size.cy - 2));
         EXPECT_TRUE(PtInRegion(shape, 4, 4));
         EXPECT_TRUE(PtInRegion(shape, size.cx / 2, 0));
         DeleteObject(shape);
         Click(ok);
       }},
      [&] { return ShowMessageBox(owner, text, MBX_BUTTONS_OK, MBX_ICON_WARNING); });
  EXPECT_EQ(result, MBX_RESULT_OK);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindBox(), nullptr);
}

TEST(MessageBoxWindow, TickedCheckBoxAddsDontShowAgain) {
  TestHost host;
  MessageBoxParams params;
  params.buttons = MBX_BUTTONS_OK | MBX_DONTSHOWAGAIN;
  params.modal = 1;
  const int result = RunScripted(
      {[&](HWND box) {
         ASSERT_NE(box, nullptr);
         HWND check = GetDlgItem(box, kMessageBoxCheckId);
         ASSERT_NE(check, nullptr);
         EXPECT_EQ(TextOf(check), L"Don't show again");
         EXPECT_EQ(SendMessageW(check, CXM_KIND, 0, 0), CXK_CHECKBOX);
         EXPECT_EQ(testing::PositionInParent(check).x, 89);
         EXPECT_GE(WindowSize(box).cx, 319);
         SendMouse(check, WM_LBUTTONDOWN, 4, 4);
         Click(GetDlgItem(box, kMessageBoxOkId));
       }},
      [&] { return ShowMessageBoxEx(&params, host.window(), L"Remember this?"); });
  EXPECT_EQ(result, 0x101);
}

TEST(MessageBoxWindow, YesNoButtonsAndClosingByTheSystemAnswersOne) {
  TestHost host;
  const wchar_t* text =
      L"Another instance of Shadowpane is already running.\n \nDo you want to restart the program?";
  const int result = RunScripted(
      {[&](HWND box) {
         ASSERT_NE(box, nullptr);
         const int c = WindowSize(box).cx / 2;
         HWND yes = GetDlgItem(box, kMessageBoxYesId);
         HWND no = GetDlgItem(box, kMessageBoxNoId);
         ASSERT_NE(yes, nullptr);
         ASSERT_NE(no, nullptr);
         EXPECT_EQ(testing::PositionInParent(yes).x, c - 91);
         EXPECT_EQ(testing::PositionInParent(no).x, c + 1);
         EXPECT_EQ(GetDlgItem(box, kMessageBoxOkId), nullptr);
         SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
       }},
      [&] { return ShowMessageBox(host.window(), text, MBX_BUTTONS_YESNO, MBX_ICON_QUESTION); });
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(IsWindowEnabled(host.window()));
}

// Enter presses the default button (the first), which has the focus when
// the box opens; Escape the one that cancels: Cancel, else No, else OK. A
// Tab moves the focus to the next button, and Enter then presses that one.
TEST(MessageBoxWindow, EnterPressesTheDefaultAndEscapeTheCancellingButton) {
  struct Case {
    std::int32_t buttons;
    std::vector<WPARAM> keys;
    int result;
  };
  const Case cases[] = {
      {MBX_BUTTONS_OK, {VK_RETURN}, MBX_RESULT_OK},
      {MBX_BUTTONS_OK, {VK_ESCAPE}, MBX_RESULT_OK},
      {MBX_BUTTONS_YESNO, {VK_RETURN}, MBX_RESULT_YES},
      {MBX_BUTTONS_YESNO, {VK_ESCAPE}, MBX_RESULT_NO},
      {MBX_BUTTONS_YESNO, {VK_TAB, VK_RETURN}, MBX_RESULT_NO},
      {MBX_BUTTONS_YESNOCANCEL, {VK_ESCAPE}, MBX_RESULT_CANCEL},
      {MBX_BUTTONS_YESNOCANCEL, {VK_RETURN}, MBX_RESULT_YES},
  };
  for (const Case& c : cases) {
    TestHost host;
    int focusAtStart = 0;
    const int result = RunScripted(
        {[&](HWND box) {
           ASSERT_NE(box, nullptr);
           focusAtStart = GetDlgCtrlID(GetFocus());
           // Each key goes where the focus is when it is pressed.
           for (size_t i = 0; i + 1 < c.keys.size(); ++i) {
             PostMessageW(GetFocus(), WM_KEYDOWN, c.keys[i], 0);
             PostMessageW(GetFocus(), WM_KEYUP, c.keys[i], 0xC0000001);
           }
         },
         [&](HWND) {
           PostMessageW(GetFocus(), WM_KEYDOWN, c.keys.back(), 0);
           PostMessageW(GetFocus(), WM_KEYUP, c.keys.back(), 0xC0000001);
         }},
        [&] { return ShowMessageBox(host.window(), L"Save?", c.buttons, MBX_ICON_QUESTION); });
    EXPECT_EQ(result, c.result) << c.buttons << " " << c.keys.size();
    EXPECT_EQ(focusAtStart, c.buttons == MBX_BUTTONS_OK ? kMessageBoxOkId : kMessageBoxYesId);
  }
}

TEST(MessageBoxWindow, NewlineTokensBecomeLinesAndLongTextWrapsAt310) {
  TestHost host;
  const int result = RunScripted(
      {[&](HWND box) {
         ASSERT_NE(box, nullptr);
         EXPECT_EQ(TextOf(box), L"First \n \nSecond");
         const int line = Measure(L"First").cy;
         EXPECT_EQ(WindowSize(box).cy, std::max(3 * line + 132, 180));
         Click(GetDlgItem(box, kMessageBoxYesId));
       }},
      [&] {
        return ShowMessageBox(host.window(), L"First <nl> <nl> Second", MBX_BUTTONS_YESNO,
                              MBX_ICON_INFO);
      });
  EXPECT_EQ(result, MBX_RESULT_YES);

  std::wstring longText;
  while (longText.size() < 140) longText += L"Camera blocked. ";
  const int wrapped = RunScripted(
      {[&](HWND box) {
        ASSERT_NE(box, nullptr);
        std::wstring shown = TextOf(box);
        ASSERT_NE(shown.find(L'\n'), std::wstring::npos);
        int widest = 0;
        std::size_t start = 0;
        while (start <= shown.size()) {
          std::size_t end = shown.find(L'\n', start);
          if (end == std::wstring::npos) end = shown.size();
          widest = std::max<int>(widest, Measure(shown.substr(start, end - start).c_str()).cx);
          start = end + 1;
        }
        EXPECT_LE(widest, 310);
        EXPECT_GT(widest, 250);
        EXPECT_EQ(WindowSize(box).cx, Measure(shown.c_str()).cx + 120);
        SendMessageW(box, WM_CLOSE, 0, 0);
      }},
      [&] {
        return ShowMessageBox(host.window(), longText.c_str(), MBX_BUTTONS_OK, MBX_ICON_INFO);
      });
  EXPECT_EQ(wrapped, 1);
}

TEST(MessageBoxWindow, NonModalBoxReturnsAtOnceAndLivesOnItsOwn) {
  TestHost host;
  MessageBoxParams params;
  params.modal = 0;
  params.buttons = MBX_BUTTONS_YESNO;
  EXPECT_EQ(ShowMessageBoxEx(&params, host.window(), L"x"), 0);
  EXPECT_EQ(FindBox(), nullptr);
  EXPECT_EQ(ShowMessageBoxEx(nullptr, host.window(), L"x"), 0);

  params.buttons = MBX_BUTTONS_OK;
  CopyBounded(params.okText, kCaptionMaxChars, u"Fine");
  EXPECT_EQ(ShowMessageBoxEx(&params, host.window(), L"On its own"), 1);
  HWND box = FindBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetParent(box), nullptr);
  EXPECT_TRUE(IsWindowEnabled(host.window()));
  RECT r{};
  GetWindowRect(box, &r);
  EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - (r.right - r.left) / 2);
  HWND ok = GetDlgItem(box, kMessageBoxOkId);
  EXPECT_EQ(TextOf(ok), L"Fine");
  Click(ok);
  EXPECT_FALSE(IsWindow(box));
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST(MessageBoxWindow, HostileTextsAndParameters) {
  TestHost host;
  // Far longer than the 999 characters the box reads, without a space.
  const std::wstring huge(5000, L'W');
  int result = RunScripted({[&](HWND box) {
                             ASSERT_NE(box, nullptr);
                             EXPECT_GT(WindowSize(box).cx, 430);  // the word stays whole
                             SendMessageW(box, WM_CLOSE, 0, 0);
                           }},
                           [&] { return ShowMessageBox(host.window(), huge.c_str(), 0, 0); });
  EXPECT_EQ(result, 1);

  result = RunScripted({[&](HWND box) {
                         ASSERT_NE(box, nullptr);
                         EXPECT_EQ(WindowSize(box).cy, 180);
                         Click(GetDlgItem(box, kMessageBoxOkId));
                       }},
                       [&] { return ShowMessageBox(nullptr, nullptr, 0, 99); });
  EXPECT_EQ(result, 1);

  MessageBoxParams params;
  params.modal = 1;
  params.buttons = MBX_BUTTONS_YESNO;
  for (WideChar& c : params.noText) c = u'n';  // not terminated
  result = RunScripted({[&](HWND box) {
                         ASSERT_NE(box, nullptr);
                         EXPECT_EQ(TextOf(GetDlgItem(box, kMessageBoxNoId)).size(), 100u);
                         Click(GetDlgItem(box, kMessageBoxNoId));
                       }},
                       [&] { return ShowMessageBoxEx(&params, host.window(), L""); });
  EXPECT_EQ(result, MBX_RESULT_NO);
}

}  // namespace
}  // namespace shadowpane
