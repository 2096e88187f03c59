// The GUI entry point of Shadowpane.exe.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "core/win32/TextCast.h"
#include "program/win32/StartUp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** split = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<shadowpane::WideString> arguments;
  for (int i = 1; split != nullptr && i < count; ++i) arguments.emplace_back(shadowpane::AsCore(split[i]));
  if (split != nullptr) LocalFree(split);
  // A program that ran answers 0; a command its own code.
  return shadowpane::RunShadowpane(instance, arguments);
}
