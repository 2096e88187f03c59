// The real program started under a prefix at 150 % and at 200 %: Wine then
// answers that DPI for every window, and the main window lays itself out
// natively at that scale instead of keeping its 96-DPI pixels. One start
// per scale; the prefix's own scale comes back afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/e2e/ProgramDriver.h"
#include "tests/support/win32/ScopedLogPixels.h"
#include "tests/support/win32/TestPlatform.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLayout.h"

namespace shadowpane::e2e {
namespace {

// What a scaled size may differ from the 96-DPI one times the factor.
constexpr int kToleranceInPixels = 2;

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using SetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)(HANDLE);
// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE, which this build's headers predate.
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

template <typename Fn>
Fn User32Export(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The DPI the program's window lays itself out at, as the system tells it.
int WindowDpi(HWND window) {
  const auto getDpi = User32Export<GetDpiForWindowFn>("GetDpiForWindow");
  return getDpi != nullptr ? static_cast<int>(getDpi(window)) : 96;
}

SIZE SizeOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

class DisplayScaleTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    EndEveryProgramCopy();
    DeleteProgramKeys();
    SetFirstRunDone();
    SetSetting(L"Language", 0);
    ASSERT_TRUE(program_.ok());
  }
  void TearDown() override {
    program_.EndAll();
    EndEveryProgramCopy();
    DeleteProgramKeys();
  }
  ProgramCopy program_;
};

TEST_P(DisplayScaleTest, TheMainWindowAndItsListsMeasureTheirDesignSizeTimesTheScale) {
  const int dpi = GetParam();
  DWORD pid = 0;
  {
    testing::ScopedLogPixels scale(static_cast<DWORD>(dpi));
    pid = program_.Start();
    ASSERT_NE(pid, 0u);
    // Shown, it has read the scale and laid itself out; the prefix's own
    // scale may come back now.
    HWND main = WaitForWindow(kMainClass, pid);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForVisibility(main, true));
  }
  HWND main = WaitForWindow(kMainClass, pid);
  if (!testing::RunsOnWine()) {
    // Windows scales another process's window down for a caller that is not
    // DPI aware: measure in real pixels, as the program lays them out.
    const auto setAwareness = User32Export<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext");
    if (setAwareness != nullptr) setAwareness(kPerMonitorAware);
  }
  // Windows reads LogPixels only at the next sign-in: the program keeps the monitor's scale.
  const double factor = testing::OnWine(dpi, WindowDpi(main)) / 96.0;
  const SIZE window = SizeOf(main);
  EXPECT_NEAR(window.cx, kMainWindowWidth * factor, kToleranceInPixels);
  EXPECT_NEAR(window.cy, kMainWindowHeight * factor, kToleranceInPixels);
  // Every control (title buttons, lists) at its 96-DPI size times the
  // factor, and the lists' entries as tall.
  for (const MainControlPlace& place : MainWindowControls(96)) {
    SCOPED_TRACE(place.id);
    HWND control = GetDlgItem(main, place.id);
    ASSERT_NE(control, nullptr);
    EXPECT_NEAR(SizeOf(control).cx, Width(place.rect) * factor, kToleranceInPixels);
    EXPECT_NEAR(SizeOf(control).cy, Height(place.rect) * factor, kToleranceInPixels);
  }
  for (int list : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
    const LRESULT itemHeight = SendMessageW(GetDlgItem(main, list), LB_GETITEMHEIGHT, 0, 0);
    EXPECT_NEAR(static_cast<double>(itemHeight), kDeviceEntryHeight * factor, kToleranceInPixels);
  }
}

INSTANTIATE_TEST_SUITE_P(At150And200Percent, DisplayScaleTest, ::testing::Values(144, 192));

}  // namespace
}  // namespace shadowpane::e2e
