// A small helper for the installer test: what a shell script cannot ask
// Wine directly. Commands (exit code 0 on success):
//   folders                    the user's local application data and Start-menu
//                              programs folders, one per line
//   wait-window <seconds>      the program's main window appears in time
//   close-window <seconds>     WM_CLOSE to the main window, then its process
//                              ends in time (else it is terminated, exit 1)
//   no-window                  no main window exists
//   wait-class <class> <seconds>
//                              a window of that class appears in time; prints
//                              the id of its process
//   class-before-main <class> <seconds>
//                              a window of that class appears before the main
//                              window does (exit 1 once the main window is
//                              there without it, or when the time is up)
//   copies <folder>            prints the ids of the processes running from
//                              the folder, one per line
//   hold <file> <seconds>      keeps the file open, sharing nothing, until its
//                              standard input ends (at most that long);
//                              prints "held" once it is open
//   shortcut-target <file.lnk> prints the program the shortcut starts
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "installer/win32/RunningCopyFinder.h"

namespace {

constexpr wchar_t kMainClass[] = L"KSP2MainWndClass";

HWND MainWindow() { return FindWindowW(kMainClass, nullptr); }

int Folders() {
  wchar_t local[MAX_PATH] = {}, programs[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, local)) ||
      FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs))) {
    return 1;
  }
  std::printf("%ls\n%ls\n", local, programs);
  return 0;
}

int WaitWindow(int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (MainWindow() != nullptr) return 0;
    Sleep(100);
  }
  return 1;
}

int CloseWindow(int seconds) {
  HWND window = MainWindow();
  if (window == nullptr) return 2;
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
  if (process == nullptr) return 3;
  PostMessageW(window, WM_CLOSE, 0, 0);
  const DWORD waited = WaitForSingleObject(process, static_cast<DWORD>(seconds) * 1000);
  if (waited != WAIT_OBJECT_0) {
    // Never leave the test blocked on a program that did not close.
    TerminateProcess(process, 1);
    CloseHandle(process);
    return 1;
  }
  CloseHandle(process);
  return 0;
}

int WaitClass(const wchar_t* className, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    if (HWND window = FindWindowW(className, nullptr)) {
      DWORD processId = 0;
      GetWindowThreadProcessId(window, &processId);
      std::printf("%lu\n", static_cast<unsigned long>(processId));
      return 0;
    }
    Sleep(100);
  }
  return 1;
}

int ClassBeforeMain(const wchar_t* className, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    // The main window read first: a window of the class that came before
    // it is still seen by the second look.
    const bool mainThere = MainWindow() != nullptr;
    if (FindWindowW(className, nullptr) != nullptr) return 0;
    if (mainThere) return 1;
    Sleep(100);
  }
  return 1;
}

int Copies(const wchar_t* folder) {
  for (DWORD id : shadowpane::RunningCopyIds(shadowpane::FoldedPath(folder))) {
    std::printf("%lu\n", static_cast<unsigned long>(id));
  }
  return 0;
}

DWORD WINAPI ReadUntilEnd(void*) {
  char unit = 0;
  DWORD read = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &unit, 1, &read, nullptr) && read > 0) {
  }
  return 0;
}

int Hold(const wchar_t* file, int seconds) {
  HANDLE held = CreateFileW(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 1;
  std::printf("held\n");
  std::fflush(stdout);
  // Until the script closes our input (a read on another thread, as a
  // pipe's read cannot be given a time limit).
  HANDLE reader = CreateThread(nullptr, 0, ReadUntilEnd, nullptr, 0, nullptr);
  if (reader != nullptr) {
    WaitForSingleObject(reader, static_cast<DWORD>(seconds) * 1000);
    CloseHandle(reader);
  }
  CloseHandle(held);
  return 0;
}

int ShortcutTarget(const wchar_t* file) {
  if (FAILED(CoInitialize(nullptr))) return 1;
  int result = 1;
  IShellLinkW* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
      wchar_t target[MAX_PATH] = {};
      if (SUCCEEDED(persist->Load(file, STGM_READ)) &&
          SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0))) {
        std::printf("%ls\n", target);
        result = 0;
      }
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return result;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count < 2) return 64;
  const std::wstring command = arguments[1];
  const int number = count > 2 ? _wtoi(arguments[2]) : 0;
  const int second = count > 3 ? _wtoi(arguments[3]) : 0;
  int result = 64;
  if (command == L"folders") result = Folders();
  else if (command == L"wait-window") result = WaitWindow(number);
  else if (command == L"close-window") result = CloseWindow(number);
  else if (command == L"no-window") result = MainWindow() == nullptr ? 0 : 1;
  else if (command == L"wait-class" && count > 3) result = WaitClass(arguments[2], second);
  else if (command == L"class-before-main" && count > 3) result = ClassBeforeMain(arguments[2], second);
  else if (command == L"copies" && count > 2) result = Copies(arguments[2]);
  else if (command == L"hold" && count > 3) result = Hold(arguments[2], second);
  else if (command == L"shortcut-target" && count > 2) result = ShortcutTarget(arguments[2]);
  LocalFree(arguments);
  std::fflush(stdout);
  return result;
}
