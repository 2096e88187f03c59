// The GUI entry point of Shadowpane.exe.
#include <windows.h>
#include <shellapi.h>

#include "program/win32/StartUp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const wchar_t* first = arguments != nullptr && count > 1 ? arguments[1] : L"";
  shadowpane::RunShadowpane(instance, first);
  if (arguments != nullptr) LocalFree(arguments);
  // Every way out answers 0.
  return 0;
}
