// The yardstick for Shadowpane.exe's start-up, memory and CPU figures: a
// Win32 program that only registers a class, creates and shows one window
// and runs its message loop.
#include <windows.h>

#include "bench/win32/YardstickWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  HWND window = shadowpane::bench::CreateYardstickWindow(instance, L"ShadowpaneBenchMinimalWindow");
  if (window == nullptr) return 1;
  return shadowpane::bench::ShowAndRun(window);
}
