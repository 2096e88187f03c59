// The installer's and uninstaller's helper that ends every running copy of
// the program started from the install folder, so its files can be
// replaced or removed:
//   CloseRunningCopies.exe <install folder> [seconds]
// Each copy is asked to close the way a user would (WM_CLOSE to each of its
// windows: the main window then saves Profile.db and releases every device),
// again and again as new windows appear (a start still in its language
// window or its question goes on to its main window), for up to the given
// seconds (10 by default); only a copy still running then is terminated.
// The exit code says what happened (installer/RunningCopies.h).
//   CloseRunningCopies.exe /remove-after-exit <file>
// waits for the process that started it to end, then deletes the file and
// its folder when that is left empty: the uninstaller's own file, which
// cannot go while it runs, where the system refuses to move it away.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "installer/RunningCopies.h"
#include "installer/win32/RunningCopyFinder.h"
#include "ui/main/win32/MainWindow.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/win32/AboutWindow.h"
#include "ui/windows/win32/LanguageWindow.h"
#include "ui/windows/win32/SettingsWindow.h"

namespace shadowpane {
namespace {

constexpr int kDefaultSeconds = 10;
constexpr DWORD kCloseRoundMs = 250;
constexpr DWORD kTerminateWaitMs = 5000;
// Every top-level window class of the program: main, language, Settings,
// About windows and the message box.
constexpr const wchar_t* kProgramWindowClasses[] = {kMainWindowClassName, kLanguageWindowClassName,
                                                    kSettingsWindowClassName, kAboutWindowClassName,
                                                    kMessageBoxClassName};
constexpr int kClassNameChars = 64;
constexpr wchar_t kRemoveAfterExit[] = L"/remove-after-exit";
constexpr DWORD kParentWaitMs = 60000;
constexpr int kDeleteTries = 50;
constexpr DWORD kDeleteRetryMs = 100;

struct RunningCopy {
  DWORD id = 0;
  HANDLE process = nullptr;  // null when it could not be opened
};

// A copy that cannot even be opened is kept, so the answer is not "nothing
// ran" while it holds the files.
std::vector<RunningCopy> FindCopies(const WideString& folder) {
  std::vector<RunningCopy> copies;
  for (DWORD id : RunningCopyIds(folder)) {
    copies.push_back({id, OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id)});
  }
  return copies;
}

BOOL CALLBACK CloseProgramWindow(HWND window, LPARAM processId) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != static_cast<DWORD>(processId)) return TRUE;
  wchar_t name[kClassNameChars] = {};
  GetClassNameW(window, name, kClassNameChars);
  for (const wchar_t* programClass : kProgramWindowClasses) {
    if (lstrcmpW(name, programClass) == 0) PostMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

bool HasEnded(const RunningCopy& copy, DWORD waitMs) {
  return copy.process != nullptr && WaitForSingleObject(copy.process, waitMs) == WAIT_OBJECT_0;
}

// Asks every copy to close, round after round, until all have ended or the
// time is up.
void AskToClose(const std::vector<RunningCopy>& copies, int seconds) {
  const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  for (;;) {
    bool allEnded = true;
    for (const RunningCopy& copy : copies) {
      if (HasEnded(copy, 0)) continue;
      allEnded = false;
      EnumWindows(CloseProgramWindow, static_cast<LPARAM>(copy.id));
    }
    if (allEnded || static_cast<LONG>(GetTickCount() - deadline) >= 0) return;
    Sleep(kCloseRoundMs);
  }
}

int EndCopies(const WideString& folder, int seconds) {
  std::vector<RunningCopy> copies = FindCopies(folder);
  if (copies.empty()) return kNoCopyRan;
  AskToClose(copies, seconds);
  int answer = kCopiesEnded;
  for (RunningCopy& copy : copies) {
    if (!HasEnded(copy, 0) && copy.process != nullptr) TerminateProcess(copy.process, 1);
    if (!HasEnded(copy, kTerminateWaitMs)) answer = kCopyStillRuns;
    if (copy.process != nullptr) CloseHandle(copy.process);
  }
  return answer;
}

int RemoveAfterExit(const wchar_t* file) {
  HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, ParentProcessId());
  if (parent != nullptr) {
    WaitForSingleObject(parent, kParentWaitMs);
    CloseHandle(parent);
  }
  for (int i = 0; i < kDeleteTries && !DeleteFileW(file); ++i) Sleep(kDeleteRetryMs);
  const std::wstring path(file);
  const size_t separator = path.find_last_of(L"\\/");
  if (separator != std::wstring::npos) RemoveDirectoryW(path.substr(0, separator).c_str());
  return GetFileAttributesW(file) == INVALID_FILE_ATTRIBUTES ? 0 : 1;
}

}  // namespace
}  // namespace shadowpane

// A window-less program: no console flashes up while the installer runs it.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return shadowpane::kBadArguments;
  int answer = shadowpane::kBadArguments;
  if (count == 3 && lstrcmpW(arguments[1], shadowpane::kRemoveAfterExit) == 0) {
    answer = shadowpane::RemoveAfterExit(arguments[2]);
  } else if (count >= 2 && arguments[1][0] != 0) {
    const int seconds = count > 2 ? _wtoi(arguments[2]) : shadowpane::kDefaultSeconds;
    answer = shadowpane::EndCopies(shadowpane::FoldedPath(arguments[1]), seconds);
  }
  LocalFree(arguments);
  return answer;
}
