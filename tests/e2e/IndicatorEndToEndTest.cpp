// The indicator on screen as a user meets it: the real program with the
// setting on, under Wine with the test-only virtual camera. Its camera mark
// follows a block at 100 % and at 200 %, a reader hears the change, and a
// click on it reaches the window beneath.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "tests/e2e/AccessibilityProbe.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/support/win32/ScopedLogPixels.h"
#include "tests/support/win32/TestPlatform.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/IndicatorLogic.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/win32/IndicatorWindow.h"
#include "ui/toolkit/DpiScaling.h"

namespace shadowpane::e2e {
namespace {

using virtualdevices::PluggedDevice;

constexpr wchar_t kCameraName[] = L"Indicator Camera";
constexpr wchar_t kCameraPath[] = L"\\\\?\\virtual#indicator-camera";

// A point of a disc that no picture or stroke covers: its colour is the
// mark's, 2 design pixels below the disc's top, in the middle.
constexpr int kPlainDiscDrop = 2;

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

COLORREF DiscColour(HWND indicator, bool camera, int dpi) {
  RECT window{};
  GetWindowRect(indicator, &window);
  const Rect disc = IndicatorMarkRect(camera, dpi);
  return ScreenPixel(window.left + (disc.left + disc.right) / 2, window.top + disc.top + Scale(kPlainDiscDrop, dpi));
}

COLORREF Expected(IndicatorMark mark) { return static_cast<COLORREF>(MarkLook(mark).disc); }

// How far a channel read from the screen may be from the mark's colour.
// Windows blends the layered window (alpha kIndicatorAlpha) with what lies
// beneath, up to (255 - alpha) / 255 of a channel's range away; Xvfb shows
// it opaque, so Wine's pixel is exact.
const int kChannelTolerance = testing::OnWine(0, 255 - kIndicatorAlpha);

bool Near(int a, int b) { return std::abs(a - b) <= kChannelTolerance; }

bool LooksLike(COLORREF seen, IndicatorMark mark) {
  const COLORREF want = Expected(mark);
  return Near(GetRValue(seen), GetRValue(want)) && Near(GetGValue(seen), GetGValue(want)) &&
         Near(GetBValue(seen), GetBValue(want));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)(HANDLE);
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE, which this build's headers predate.
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

template <typename Fn>
Fn User32Export(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The DPI the program's indicator lays itself out at, as the system tells it.
int ProgramWindowDpi(HWND window) {
  const auto getDpi = User32Export<GetDpiForWindowFn>("GetDpiForWindow");
  return getDpi != nullptr ? static_cast<int>(getDpi(window)) : kDesignDpi;
}

class IndicatorTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    EndEveryProgramCopy();
    DeleteProgramKeys();
    SetFirstRunDone();
    SetSetting(L"Language", 0);
    SetSetting(L"ShowIndicator", 1);
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));  // the reader's side
    ASSERT_TRUE(camera_.ok());
    ASSERT_TRUE(program_.ok());
  }
  void TearDown() override {
    program_.EndAll();
    EndEveryProgramCopy();
    DeleteProgramKeys();
    CoUninitialize();
  }
  // Whether the list shows the camera blocked.
  static bool CameraBlocked(HWND main) {
    HWND list = GetDlgItem(main, IDC_VIDEO_LIST);
    const int index = FindEntry(list, kCameraName);
    return index >= 0 && ReadList(list)[static_cast<size_t>(index)].blocked;
  }
  // Starts the copy at the DPI; its main window, shown, and its indicator.
  bool Start(int dpi, HWND* main, HWND* indicator) {
    testing::ScopedLogPixels scale(static_cast<DWORD>(dpi));
    pid_ = program_.Start();
    *main = pid_ != 0 ? WaitForWindow(kMainClass, pid_) : nullptr;
    if (*main == nullptr || !WaitForVisibility(*main, true)) return false;
    *indicator = WaitForWindow(kIndicatorClassName, pid_);
    return *indicator != nullptr && WaitForVisibility(*indicator, true);
  }

  PluggedDevice camera_ = PluggedDevice::Camera(kCameraName, kCameraPath);
  ProgramCopy program_;  // after the device: ended before it is unplugged
  DWORD pid_ = 0;
};

TEST_P(IndicatorTest, TheCameraMarkTurnsGreenOnlyOnceTheCameraIsBlocked) {
  HWND main = nullptr;
  HWND indicator = nullptr;
  ASSERT_TRUE(Start(GetParam(), &main, &indicator));
  if (!testing::RunsOnWine()) {
    // Windows scales another process's window down for a caller that is not
    // DPI aware: measure in real pixels, as the program lays them out.
    const auto setAwareness = User32Export<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext");
    if (setAwareness != nullptr) setAwareness(kPerMonitorAware);
  }
  // Windows reads a changed LogPixels only at the next sign-in: the
  // indicator keeps the monitor's scale there.
  const int dpi = testing::OnWine(GetParam(), ProgramWindowDpi(indicator));

  RECT place{};
  GetWindowRect(indicator, &place);
  EXPECT_EQ(place.right - place.left, Scale(kIndicatorWidth, dpi));
  EXPECT_EQ(place.bottom - place.top, Scale(kIndicatorHeight, dpi));
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(place.right, work.right - Scale(kIndicatorMargin, dpi)) << "the bottom-right corner by default";
  EXPECT_EQ(place.bottom, work.bottom - Scale(kIndicatorMargin, dpi));

  EXPECT_TRUE(WaitUntil([&] { return LooksLike(DiscColour(indicator, true, dpi), IndicatorMark::AtRisk); }))
      << "the open camera is red";
  EXPECT_EQ(ReadAccessible(indicator).name.rfind(L"Camera at risk, ", 0), 0u);
  // Windows answers with the machine's own microphones, held or not: only
  // Wine's own input is known to be there, and open.
  if (testing::RunsOnWine()) {
    EXPECT_TRUE(LooksLike(DiscColour(indicator, false, dpi), IndicatorMark::AtRisk)) << "Wine's own input is open";
    EXPECT_EQ(ReadAccessible(indicator).name, L"Camera at risk, microphone at risk");
  }

  HWND video = GetDlgItem(main, IDC_VIDEO_LIST);
  ASSERT_TRUE(ClickEntry(video, FindEntry(video, kCameraName)));
  EXPECT_TRUE(WaitUntil([&] { return LooksLike(DiscColour(indicator, true, dpi), IndicatorMark::Protected); }))
      << "green once the camera is held";
  const AccessibleRead read = ReadAccessible(indicator);
  EXPECT_EQ(read.name.rfind(L"Camera protected, ", 0), 0u);
  // Windows answers with the machine's own microphones (as above).
  if (testing::RunsOnWine()) {
    EXPECT_TRUE(LooksLike(DiscColour(indicator, false, dpi), IndicatorMark::AtRisk));
    EXPECT_EQ(read.name, L"Camera protected, microphone at risk");
  }
  EXPECT_EQ(read.state & STATE_SYSTEM_FOCUSABLE, 0) << "never in the Tab order";

  // Unblocked again: red again. A click at once after the first one would
  // be a double click, which the list takes for no click.
  for (int attempt = 0; attempt < 3 && CameraBlocked(main); ++attempt) {
    ClickEntry(video, FindEntry(video, kCameraName));
    WaitUntil([&] { return !CameraBlocked(main); }, 2000);
  }
  ASSERT_FALSE(CameraBlocked(main));
  EXPECT_TRUE(WaitUntil([&] { return LooksLike(DiscColour(indicator, true, dpi), IndicatorMark::AtRisk); }));
}

INSTANTIATE_TEST_SUITE_P(At100And200Percent, IndicatorTest, ::testing::Values(96, 192));

// ---- a click passes through ----

bool gBeneathClicked = false;

LRESULT CALLBACK BeneathProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDOWN) gBeneathClicked = true;
  return DefWindowProcW(window, message, wParam, lParam);
}

// Pumps this thread's messages until check() holds or the limit passes.
template <typename Check>
bool PumpUntil(Check check, DWORD limitMs = kWaitLimitMs) {
  const DWORD start = GetTickCount();
  while (!check()) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (GetTickCount() - start > limitMs) return check();
    Sleep(20);
  }
  return true;
}

TEST_F(IndicatorTest, AClickOnTheIndicatorReachesTheWindowBeneathAndNothingIsActivated) {
  HWND main = nullptr;
  HWND indicator = nullptr;
  ASSERT_TRUE(Start(kDesignDpi, &main, &indicator));
  const LONG_PTR style = GetWindowLongPtrW(indicator, GWL_EXSTYLE);
  for (LONG_PTR bit : std::initializer_list<LONG_PTR>{WS_EX_TOPMOST, WS_EX_NOACTIVATE, WS_EX_TRANSPARENT, WS_EX_LAYERED, WS_EX_TOOLWINDOW}) {
    EXPECT_EQ(style & bit, bit) << std::hex << bit;
  }

  WNDCLASSW type{};
  type.lpfnWndProc = BeneathProc;
  type.hInstance = GetModuleHandleW(nullptr);
  type.lpszClassName = L"IndicatorBeneathTest";
  type.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  RegisterClassW(&type);
  RECT place{};
  GetWindowRect(indicator, &place);
  HWND beneath = CreateWindowExW(0, type.lpszClassName, L"beneath", WS_POPUP | WS_VISIBLE, place.left - 20,
                                 place.top - 20, place.right - place.left + 40, place.bottom - place.top + 40,
                                 nullptr, nullptr, type.hInstance, nullptr);
  ASSERT_NE(beneath, nullptr);
  SetForegroundWindow(beneath);
  PumpUntil([&] { return GetForegroundWindow() == beneath; }, 2000);

  const POINT centre{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
  EXPECT_EQ(WindowFromPoint(centre), beneath) << "the pointer's window is the one beneath";
  POINT client = centre;
  ScreenToClient(beneath, &client);
  // As ClickControlUntil: under load a first click may come before the new
  // window takes input.
  for (int attempt = 0; attempt < 3 && !gBeneathClicked; ++attempt) {
    ClickAt(beneath, client.x, client.y);
    PumpUntil([] { return gBeneathClicked; }, 2000);
  }
  EXPECT_TRUE(gBeneathClicked) << "the click went through";
  EXPECT_NE(GetForegroundWindow(), indicator);
  EXPECT_TRUE(IsWindowVisible(indicator) && IsWindowVisible(main));
  DestroyWindow(beneath);
}

}  // namespace
}  // namespace shadowpane::e2e
