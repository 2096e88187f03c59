// Drives the real Shadowpane.exe from another process, as a user and the
// system would: starts copies of it, finds its windows, clicks with the real
// mouse, reads its lists, its registry values and its Profile.db, and ends
// whatever it started.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "devices/ProfileCodec.h"
#include "tests/support/win32/TempFolder.h"

namespace shadowpane::e2e {

// The program's top-level window classes.
constexpr wchar_t kMainClass[] = L"KSP2MainWndClass";
constexpr wchar_t kLanguageClass[] = L"KSP2LanguagesWndClass";
constexpr wchar_t kSettingsClass[] = L"KSP2SettingsWndClass";
constexpr wchar_t kAboutClass[] = L"KSP2AboutWndClass";
constexpr wchar_t kMessageBoxClass[] = L"KQM2MessageExWndClass";
constexpr wchar_t kProgramFileName[] = L"Shadowpane.exe";

// How long a window or a process end is waited for before the test gives up
// (a limit against hanging, not a speed requirement).
constexpr DWORD kWaitLimitMs = 20000;

// The built program: <build>\Shadowpane.exe, two folders above the test
// programs in <build>\tests\virtualdevices.
std::wstring BuiltProgramPath();

// A folder of the executable's directory.
std::wstring FolderOf(const std::wstring& path);

// The first visible-or-not top-level window of the class that belongs to the
// process (any process for 0), waited for up to limitMs; null if none came.
HWND WaitForWindow(const wchar_t* className, DWORD processId, DWORD limitMs = kWaitLimitMs);
// Waits until no window of the class belongs to the process.
bool WaitForNoWindow(const wchar_t* className, DWORD processId, DWORD limitMs = kWaitLimitMs);
// Waits until the window is visible (or hidden, for visible = false).
bool WaitForVisibility(HWND window, bool visible, DWORD limitMs = kWaitLimitMs);
// Polls until check() holds; its last answer.
template <typename Check>
bool WaitUntil(Check check, DWORD limitMs = kWaitLimitMs) {
  const DWORD start = GetTickCount();
  while (!check()) {
    if (GetTickCount() - start > limitMs) return check();
    Sleep(50);
  }
  return true;
}

// Moves the real pointer to a client point of the window and presses and
// releases the left button there.
void ClickAt(HWND window, int clientX, int clientY);
// Clicks the centre of a child control.
bool ClickControl(HWND parent, int controlId);
// Clicks the control until done() holds, up to three times: under load a
// first click may come before the window takes input. done()'s answer.
template <typename Check>
bool ClickControlUntil(HWND parent, int controlId, Check done) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!ClickControl(parent, controlId)) return done();
    if (WaitUntil(done, 2000)) return true;
  }
  return false;
}

// How many processes run the executable of that file name.
int CountProcesses(const wchar_t* fileName);
// Ends every process whose executable is Shadowpane.exe; how many it ended.
int EndEveryProgramCopy();

// One copy of the program in a temporary folder of its own, so Profile.db
// lands there. Every process it starts is ended with it.
class ProgramCopy {
 public:
  ProgramCopy();
  ~ProgramCopy();
  ProgramCopy(const ProgramCopy&) = delete;
  ProgramCopy& operator=(const ProgramCopy&) = delete;

  bool ok() const { return copied_; }
  const std::wstring& folder() const { return folder_; }
  std::wstring ProfilePath() const { return folder_ + L"\\Profile.db"; }
  // Starts the copy with the arguments; its process id, or 0.
  DWORD Start(const std::wstring& arguments = L"");
  // Runs the copy with the arguments and its standard output on a pipe, as
  // a script would, until it ends; its exit code (-1 when it did not end)
  // and what it printed (UTF-8).
  long Run(const std::wstring& arguments, std::string* output, DWORD limitMs = kWaitLimitMs);
  // The process handle of a started process (null for an unknown id).
  HANDLE Process(DWORD processId) const;
  // Waits for the process's end; its exit code, or -1 when it did not end.
  long WaitForExit(DWORD processId, DWORD limitMs = kWaitLimitMs) const;
  bool IsRunning(DWORD processId) const;
  // Ends every process started here that still runs.
  void EndAll();

 private:
  // Starts the copy with the arguments; its process id, or 0.
  DWORD Launch(const std::wstring& arguments, STARTUPINFOW& startup, bool inheritHandles);

  testing::TempFolder temp_;
  std::wstring folder_;
  bool copied_ = false;
  std::vector<PROCESS_INFORMATION> started_;
};

// One entry of a device list in another process, with its blocked bit (the
// high word of the entry's data word).
struct ListedEntry {
  std::wstring name;
  bool blocked = false;
  // Held, yet open to other programs or not silent for them (amber mark).
  bool heldButShared = false;
  // A microphone heard for a talk (push-to-talk), its hold paused.
  bool talking = false;
};
std::vector<ListedEntry> ReadList(HWND list);
// Index of the entry with that name, -1 if absent.
int FindEntry(HWND list, const std::wstring& name);
// Clicks the entry's centre with the real pointer.
bool ClickEntry(HWND list, int index);

// The colour of the status panel's fill as the screen shows it.
COLORREF PanelColour(HWND mainWindow);

// The program's registry keys, the policy keys among them, and its entries
// in the user's Run and RunOnce keys: removed, and the values tests preset.
void DeleteProgramKeys();
// A policy value an organisation would push, under HKLM or HKCU.
void SetPolicy(HKEY root, const wchar_t* name, DWORD value);
void SetFirstRunDone();
void SetSetting(const wchar_t* name, DWORD value);
// A setting's REG_DWORD value, or -1 when it is missing or not a DWORD.
long ReadSetting(const wchar_t* name);
long ReadFirstRun();
// A REG_SZ setting's text; false when it is missing or of another type.
bool ReadSettingText(const wchar_t* name, std::wstring* text);
// The program's logon entry in the user's Run key (what gives muted inputs
// back at the next logon); false when there is none.
bool ReadRestoreInputsEntry(std::wstring* command);
// The entry earlier versions kept in the user's RunOnce key.
bool ReadOldRestoreInputsEntry(std::wstring* command);
void WriteOldRestoreInputsEntry(const std::wstring& command);

// Watches a registry key and its subkeys for changed values
// (RegNotifyChangeKeyValue, armed again after each notice).
class RegistryWatch {
 public:
  RegistryWatch(HKEY root, const wchar_t* path);
  ~RegistryWatch();
  RegistryWatch(const RegistryWatch&) = delete;
  RegistryWatch& operator=(const RegistryWatch&) = delete;
  bool ok() const { return armed_; }
  // Whether a value changed since the watch began or the last call.
  bool Changed();
  // Waits durationMs; the notices that came (writes closer together than
  // the watch is armed again count once).
  int CountFor(DWORD durationMs);

 private:
  bool Arm();
  HKEY key_ = nullptr;
  HANDLE event_ = nullptr;
  bool armed_ = false;
};
// The program's autostart entry in the user's Run key; false when none.
bool ReadUserAutostartEntry(std::wstring* command);

// Profile.db decoded; false when missing or rejected.
bool ReadProfile(const std::wstring& path, std::vector<ProfileRecord>* records);

}  // namespace shadowpane::e2e
