// The popup outlines and the skinned frame, on real windows and device
// contexts.
#include "ui/toolkit/win32/PopupFrame.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/toolkit/MenuTestLists.h"
#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/win32/MenuControl.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

using testing::SkinPixel;

HWND MakePlainPopup(int width, int height) {
  testing::RegisterForTests();
  return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 10, width, height, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

// The window's region is the platform's plain shape with exactly the given
// pixels toggled: every other point of the window and a margin around it
// lies inside the one exactly when it lies inside the other.
void ExpectShapeIsPlainWithToggled(HWND window, HRGN plain, const std::vector<POINT>& toggled) {
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(window, shape), ERROR);
  const SIZE size = testing::WindowSize(window);
  int differing = 0;
  for (int y = -2; y < size.cy + 3; ++y) {
    for (int x = -2; x < size.cx + 3; ++x) {
      bool listed = false;
      for (const POINT& p : toggled) listed = listed || (p.x == x && p.y == y);
      const bool inShape = PtInRegion(shape, x, y) != FALSE;
      const bool inPlain = PtInRegion(plain, x, y) != FALSE;
      if (listed) {
        EXPECT_NE(inShape, inPlain) << x << "," << y;
      } else if (inShape != inPlain && ++differing < 5) {
        ADD_FAILURE() << "unexpected difference at " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(differing, 0);
  DeleteObject(shape);
  DeleteObject(plain);
}

std::vector<POINT> RoundedToggles(int w, int h) {
  return {{1, 1}, {w - 2, 1}, {1, h - 2}, {w - 2, h - 2}};
}
HRGN PlainRounded(int w, int h) { return CreateRoundRectRgn(0, 0, w + 1, h + 1, 8, 8); }

TEST(PopupFrame, RoundedRegionTogglesTheFourPixelsNextToTheCorners) {
  const SIZE sizes[] = {{540, 360}, {135, 180}, {319, 200}};
  for (const SIZE& s : sizes) {
    SCOPED_TRACE(s.cx);
    HWND window = MakePlainPopup(s.cx, s.cy);
    ASSERT_NE(window, nullptr);
    SetRoundedRegion(window, s.cx, s.cy);
    ExpectShapeIsPlainWithToggled(window, PlainRounded(s.cx, s.cy), RoundedToggles(s.cx, s.cy));
    DestroyWindow(window);
  }
}

TEST(PopupFrame, CutCornerRegionTogglesTheFourCornerPixels) {
  HWND window = MakePlainPopup(180, 109);
  ASSERT_NE(window, nullptr);
  SetCutCornerRegion(window, 180, 109);
  ExpectShapeIsPlainWithToggled(window, CreateRectRgn(0, 0, 181, 110),
                                {{0, 0}, {179, 0}, {0, 108}, {179, 108}});
  DestroyWindow(window);
}

bool boxOutlineChecked = false;

// Runs inside the message box's own loop.
void CALLBACK CheckBoxOutlineAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND box = FindWindowW(kMessageBoxClassName, nullptr);
  if (box == nullptr) return;
  const SIZE s = testing::WindowSize(box);
  ExpectShapeIsPlainWithToggled(box, PlainRounded(s.cx, s.cy), RoundedToggles(s.cx, s.cy));
  boxOutlineChecked = true;
  SendMessageW(box, WM_CLOSE, 0, 0);
}

TEST(PopupFrame, TheMessageBoxAndTheListPopupWearTheirOutlines) {
  testing::TestHost host(500, 400, 100, 100);
  boxOutlineChecked = false;
  SetTimer(nullptr, 0, 60, CheckBoxOutlineAndClose);
  EXPECT_EQ(ShowMessageBox(host.window(), L"Outline", MBX_BUTTONS_OK, MBX_ICON_INFO),
            MBX_RESULT_OK);
  EXPECT_TRUE(boxOutlineChecked);

  MenuItemList list;
  testing::AddLanguageItems(&list);
  ASSERT_EQ(ShowMenuPopup(&list, host.window()), 1);
  HWND popup = FindWindowW(kMenuClassName, nullptr);
  ASSERT_NE(popup, nullptr);
  const SIZE s = testing::WindowSize(popup);
  ExpectShapeIsPlainWithToggled(popup, CreateRectRgn(0, 0, s.cx + 1, s.cy + 1),
                                {{0, 0}, {s.cx - 1, 0}, {0, s.cy - 1}, {s.cx - 1, s.cy - 1}});
  DestroyWindow(popup);
  ClearMenuItemList(&list);
}

// Where the frame's pieces land in a W x H area, and the skin pixel each
// destination pixel comes from.
struct FramePixel {
  const char* what;
  int x, y;    // destination; negative counts from the right or bottom edge
  int sx, sy;  // source in the frame skin
};
const FramePixel kFramePixels[] = {
    {"band left piece", 0, 0, 0, 0},         {"band left piece end", 3, 42, 3, 42},
    {"band fill start", 4, 10, 5, 10},       {"band fill end", -111, 20, 5, 20},
    {"band right piece", -110, 0, 210, 0},   {"band right corner", -1, 42, 319, 42},
    {"bottom left piece", 0, -4, 0, 43},     {"bottom left end", 3, -1, 3, 46},
    {"bottom fill start", 4, -3, 5, 44},     {"bottom fill end", -5, -1, 5, 46},
    {"bottom right piece", -4, -4, 316, 43}, {"bottom right corner", -1, -1, 319, 46},
    {"left side top", 0, 43, 0, 30},         {"left side bottom", 2, -5, 2, 30},
    {"right side top", -3, 43, 0, 30},       {"right side bottom", -1, -5, 2, 30},
};

TEST(PopupFrame, SkinFramePiecesLandWhereTheSlicingPutsThem) {
  for (int skin : {kSkinFrame, 5377}) {
    for (SIZE size : {SIZE{300, 200}, SIZE{540, 360}}) {
      SCOPED_TRACE(::testing::Message() << skin << " " << size.cx);
      HDC screen = GetDC(nullptr);
      HDC dc = CreateCompatibleDC(screen);
      HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
      ReleaseDC(nullptr, screen);
      HGDIOBJ previous = SelectObject(dc, bitmap);
      // A colour no skin pixel has shows what the frame leaves alone.
      const COLORREF untouched = RGB(1, 2, 3);
      HBRUSH fill = CreateSolidBrush(untouched);
      RECT all{0, 0, size.cx, size.cy};
      FillRect(dc, &all, fill);
      DeleteObject(fill);

      DrawSkinFrame(dc, skin, size.cx, size.cy);
      for (const FramePixel& p : kFramePixels) {
        const int x = p.x < 0 ? size.cx + p.x : p.x;
        const int y = p.y < 0 ? size.cy + p.y : p.y;
        EXPECT_EQ(GetPixel(dc, x, y), SkinPixel(skin, p.sx, p.sy)) << p.what;
      }
      const Rect body = SkinFrameBody(size.cx, size.cy);
      EXPECT_EQ(body.left, 3);
      EXPECT_EQ(body.top, 43);
      EXPECT_EQ(body.right, size.cx - 3);
      EXPECT_EQ(body.bottom, size.cy - 4);
      for (POINT p : std::vector<POINT>{{body.left, body.top},
                                        {body.right - 1, body.bottom - 1},
                                        {size.cx / 2, size.cy / 2}}) {
        EXPECT_EQ(GetPixel(dc, p.x, p.y), untouched) << p.x << "," << p.y;
      }
      SelectObject(dc, previous);
      DeleteObject(bitmap);
      DeleteDC(dc);
    }
  }
}

}  // namespace
}  // namespace shadowpane
