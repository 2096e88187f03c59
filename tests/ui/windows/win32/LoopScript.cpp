#include "tests/ui/windows/win32/LoopScript.h"

#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/win32/AboutWindow.h"
#include "ui/windows/win32/LanguageWindow.h"
#include "ui/windows/win32/SettingsWindow.h"

namespace shadowpane::testing {
namespace {

constexpr UINT kStepPeriodMs = 60;

std::vector<std::function<void()>> steps;
std::size_t nextStep = 0;
UINT_PTR stepTimer = 0;

BOOL CALLBACK CloseLeftOver(HWND window, LPARAM) {
  const wchar_t* classes[] = {kSettingsWindowClassName, kLanguageWindowClassName, kAboutWindowClassName,
                              kMessageBoxClassName};
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  for (const wchar_t* c : classes) {
    if (lstrcmpW(name, c) == 0) SendMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  stepTimer = 0;
  if (nextStep < steps.size()) {
    const std::size_t step = nextStep++;
    stepTimer = SetTimer(nullptr, 0, kStepPeriodMs, RunStep);
    steps[step]();
    return;
  }
  EnumThreadWindows(GetCurrentThreadId(), CloseLeftOver, 0);
}

}  // namespace

void RegisterWindowsForTests() {
  RegisterForTests();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (!GetClassInfoExW(instance, kSettingsWindowClassName, &existing)) RegisterSettingsWindowClass(instance);
  if (!GetClassInfoExW(instance, kLanguageWindowClassName, &existing)) RegisterLanguageWindowClass(instance);
  if (!GetClassInfoExW(instance, kAboutWindowClassName, &existing)) RegisterAboutWindowClass(instance);
}

void RunScripted(std::vector<std::function<void()>> script, const std::function<void()>& open) {
  RegisterWindowsForTests();
  // The cursor starts away from every control, so nothing hovers by itself.
  SetCursorPos(1270, 1010);
  steps = std::move(script);
  nextStep = 0;
  stepTimer = SetTimer(nullptr, 0, kStepPeriodMs, RunStep);
  open();
  if (stepTimer != 0) KillTimer(nullptr, stepTimer);
  stepTimer = 0;
  steps.clear();
  Pump(10);
}

HWND FindOpen(const wchar_t* className) { return FindWindowW(className, nullptr); }

void ClickAt(HWND window, int x, int y) {
  SendMouse(window, WM_MOUSEMOVE, x, y);
  SendMouse(window, WM_LBUTTONDOWN, x, y);
  if (IsWindow(window)) SendMouse(window, WM_LBUTTONUP, x, y);
}

void ClickControl(HWND parent, int id) {
  HWND control = GetDlgItem(parent, id);
  if (control == nullptr) return;
  const SIZE size = WindowSize(control);
  ClickAt(control, size.cx / 2, size.cy / 2);
}

void PressKeys(HWND window, std::initializer_list<WPARAM> keys) {
  SetFocus(window);
  // The keys reach the window through the loop's dialog manager once the
  // step is over.
  for (WPARAM key : keys) {
    PostMessageW(window, WM_KEYDOWN, key, 0);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
  }
}

int InkIn(HWND window, const RECT& rect) {
  UpdateWindow(window);
  HDC dc = GetDC(window);
  int ink = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (GetPixel(dc, x, y) != RGB(255, 255, 255)) ++ink;
    }
  }
  ReleaseDC(window, dc);
  return ink;
}

}  // namespace shadowpane::testing
