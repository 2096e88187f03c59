#include "program/win32/StartUp.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "settings/Settings.h"
#include "commands/CommandDecisions.h"
#include "commands/CommandLine.h"
#include "commands/ShortcutSettings.h"
#include "policy/PolicyRules.h"
#include "policy/win32/RegistryPolicySource.h"
#include "program/SettingsMutedEndpointStore.h"
#include "program/StartUpRules.h"
#include "settings/win32/RegistryStore.h"
#include "program/win32/ConsoleOutput.h"
#include "program/win32/InputsRestore.h"
#include "program/win32/RunningCopyCommand.h"
#include "core/win32/ExecutablePath.h"
#include "core/win32/TextCast.h"
#include "devices/win32/Win32CaptureServices.h"
#include "devices/win32/Win32EndpointHolders.h"
#include "devices/win32/Win32MutedEndpointsLock.h"
#include "devices/win32/Win32ProfileFile.h"
#include "devices/win32/WindowPoster.h"
#include "ui/main/MenuCommands.h"
#include "ui/main/MainWindowIds.h"
#include "ui/main/MainWindowLayout.h"
#include "ui/main/win32/MenuCommands.h"
#include "ui/main/win32/HotKeys.h"
#include "ui/main/win32/MainWindow.h"
#include "ui/main/win32/MainWindowAccess.h"
#include "ui/main/win32/TrayIcon.h"
#include "ui/toolkit/MessageBoxLayout.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"
#include "ui/toolkit/win32/ToolkitCommon.h"
#include "ui/windows/win32/AboutWindow.h"
#include "ui/windows/win32/LanguageWindow.h"
#include "ui/windows/win32/SettingsWindow.h"
#include "ui/windows/win32/ShortcutsWindow.h"
#include "ui/windows/win32/RecentUseWindow.h"
#include "usage/win32/RegistryUsageSource.h"
#include "usage/win32/Win32AudioSessionSource.h"
#include "usage/win32/Win32ProcessSource.h"
#include "usage/win32/Win32RecentUseFile.h"

namespace shadowpane {
namespace {

constexpr wchar_t kProgramCaption[] = L"Shadowpane";
constexpr wchar_t kToolkitError[] = L"ERROR: Failed to initialize toolkit";
constexpr wchar_t kClassesError[] = L"ERROR: Failed to initialize the window classes";
constexpr wchar_t kComError[] = L"ERROR: Failed to initialize COM";
constexpr wchar_t kMainWindowError[] = L"ERROR: Failed to create the main window";
constexpr wchar_t kFirstRunKeyPath[] = L"Software\\KESTRALYNX\\Shadowpane\\2001";

// The store the shortcuts window saves to; start-up's, set before the main
// window exists and kept until the loop has ended.
KeyValueStore* g_settingsStore = nullptr;

// The shortcuts window's registrations are the main window's hot keys.
void RegisterMainWindowShortcuts(const ShortcutSet& shortcuts, bool (&refused)[kShortcutActionCount]) {
  const HotKeyRefusals refusals = RegisterShortcuts(MainWindowHandle(), shortcuts);
  for (int i = 0; i < kShortcutActionCount; ++i) refused[i] = refusals.refused[i];
}

int ShowShortcuts(HWND owner) {
  ShortcutsWindowServices services;
  services.store = g_settingsStore;
  services.registerShortcuts = RegisterMainWindowShortcuts;
  return ShowShortcutsWindow(owner, services);
}

void UseExecutableFolder() {
  // A path the system cut short names some other folder: none is taken.
  const std::wstring path = ExecutablePathUpTo(kExecutablePathChars);
  const WideString folder = ExecutableFolder(WideString(AsCore(path.c_str()), path.size()));
  if (!folder.empty()) SetCurrentDirectoryW(AsWide(folder.c_str()));
}

// The application's classes, the message box first; 1 when all registered.
int RegisterApplicationClasses(HINSTANCE instance) {
  return RegisterMessageBoxClass(instance) && RegisterSettingsWindowClass(instance) &&
         RegisterMainWindowClass(instance) && RegisterAboutWindowClass(instance) &&
         RegisterLanguageWindowClass(instance) && RegisterShortcutsWindowClass(instance) &&
         RegisterRecentUseWindowClass(instance);
}

// Ends the copy that owns the window found, and no other: a copy of
// another session has a window this desktop does not see. It is asked to
// close first, so it saves its profile and lets its devices go; only one
// that has not ended in time is terminated. 1 once it has gone (so this
// copy may open Profile.db), 0 when it cannot be reached or outlives even
// its termination (this copy then stops too).
int EndRunningCopy(HWND running) {
  DWORD processId = 0;
  GetWindowThreadProcessId(running, &processId);
  if (processId == 0 || processId == GetCurrentProcessId()) return 0;
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
  if (process == nullptr) return 0;
  PostMessageW(running, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process, kRestartCloseWaitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process, 0);
  }
  const int gone = WaitForSingleObject(process, kRestartCloseWaitMs) == WAIT_OBJECT_0 ? 1 : 0;
  CloseHandle(process);
  return gone;
}

// A command line's command for the copy that runs; its exit code.
int CommandRunningCopy(HWND running, const Command& command) {
  CommandAnswer answer;
  const int exitCode =
      RegisterCommandReplyClass(ToolkitInstance()) ? RunOnRunningCopy(running, command, answer) : kExitNotBlocked;
  PrintLines(answer.lines);
  return exitCode;
}

// 1 to carry on as the only instance, 0 to end this process. While the
// policy withdraws the exit, a restart would end the running copy, so none
// is offered: the running copy is raised, as when the user answers no.
int EnsureSingleInstance(const EnforcedPolicy& policy) {
  HWND running = FindWindowW(kMainWindowClassName, nullptr);
  if (running == nullptr) return 1;
  const int answer = policy.allowExit
                         ? ShowMessageBox(nullptr, AsWide(kAlreadyRunningText), MBX_BUTTONS_YESNO, MBX_ICON_QUESTION)
                         : MBX_RESULT_NO;
  if (answer != MBX_RESULT_YES) {
    // With a time limit: a first copy that hangs must not hang this one.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(running, WM_TRAY_NOTIFY, 0, WM_LBUTTONDOWN, SMTO_ABORTIFHUNG, kRaiseWaitMs, &ignored);
    return 0;
  }
  return EndRunningCopy(running);
}

// The first start takes the first-run mark even when the policy withholds
// the page, so a policy withdrawn later opens no page at some later start.
void OpenFirstRunPage(const EnforcedPolicy& policy) {
  std::unique_ptr<KeyValueKey> key = OpenRegistryKey(HKEY_LOCAL_MACHINE, kFirstRunKeyPath);
  if (!key) key = OpenRegistryKey(HKEY_CURRENT_USER, kFirstRunKeyPath);
  if (!TakeFirstRun(key.get()) || !policy.showFirstRunPage) return;
  const WideString address = WideString(kWebSite) + kFirstRunPage;
  OpenWebPage(AsWide(address.c_str()));
}

// COM on the user-interface thread for the whole run: the capture graphs
// need it, and so do the accessible objects every window answers with, the
// first of them the restart question's message box.
class ComApartment {
 public:
  ComApartment() : result_(CoInitialize(nullptr)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool ok() const { return SUCCEEDED(result_); }

 private:
  HRESULT result_;
};

int RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (RouteMainWindowMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int RunShadowpane(HINSTANCE instance, const std::vector<WideString>& arguments) {
  const ParsedCommandLine parsed = ParseCommandLine(arguments);
  if (parsed.result == ParseResult::Usage) {
    PrintText(kCommandLineUsage);
    return kExitUsage;
  }
  if (parsed.result == ParseResult::RestoreInputs) return RestoreInputs();
  // A command goes to the copy that runs; without one, a block, unblock or
  // toggle starts this copy hidden, which carries it out itself.
  Command startCommand;
  if (parsed.result == ParseResult::Command) {
    HWND running = FindWindowW(kMainWindowClassName, nullptr);
    if (running != nullptr) return CommandRunningCopy(running, parsed.command);
    if (parsed.command.action == CommandAction::Status || parsed.command.action == CommandAction::Quit) {
      PrintLines({kNotRunningLine});
      return kExitNotFound;
    }
    startCommand = parsed.command;
  }
  UseExecutableFolder();
  gChosenLanguage = -1;
  if (!RegisterToolkitClasses(instance)) {
    MessageBoxW(nullptr, kToolkitError, kProgramCaption, MB_OK | MB_ICONERROR);
    return 0;
  }
  if (!RegisterApplicationClasses(instance)) {
    MessageBoxW(nullptr, kClassesError, kProgramCaption, MB_OK | MB_ICONERROR);
    return 0;
  }
  ComApartment com;
  // The policy keys, read now for start-up's own decisions and again by the
  // main window at every refresh.
  RegistryPolicySource policySource;
  const EnforcedPolicy policy = ReadEnforcedPolicy(policySource);
  if (startCommand.action != CommandAction::None) {
    // A copy that started meanwhile takes the command: no question.
    HWND running = FindWindowW(kMainWindowClassName, nullptr);
    if (running != nullptr) return CommandRunningCopy(running, startCommand);
  } else if (!EnsureSingleInstance(policy)) {
    return 0;
  }
  OpenFirstRunPage(policy);
  if (!com.ok()) {
    ShowMessageBox(nullptr, kComError, MBX_BUTTONS_OK, MBX_ICON_ERROR);
    return 0;
  }

  RegistryStore store;
  // A forced language is the organisation's choice: nothing to ask, and
  // nothing stored, so the user is asked once the policy is withdrawn.
  if (!policy.language.forced && !EnsureLanguageChosen(store)) {
    ShowLanguageWindow(AsWide(kMainTitleText), LoadProgramIcon(kIconApplication, GetSystemMetrics(SM_CXICON)));
  }
  // The user's own settings for the whole run, as saved; the main window
  // replaces them on the Settings window's OK and acts on them with the
  // policy's forced values over them.
  Settings settings;
  LoadSettings(store, settings);
  if (gChosenLanguage >= 0) {
    settings.language = gChosenLanguage;
    SaveSettings(store, settings);
  }
  const Settings effective = EffectiveSettings(settings, policy);
  if (policy.startup.forced) ApplyAutostart(store, effective.startup);
  gDisplayLanguage = effective.language;

  // The record of muted inputs is read and the first refresh takes its
  // blocks and gives back the rest under the lock /restore-inputs takes.
  // Should that not come in time, the start goes on: a copy that never
  // starts protects nothing.
  InputsLock inputsLock;
  inputsLock.Acquire(kInputsLockWaitMs);
  // The logon entry lives in the Run key now; the one earlier versions
  // kept in RunOnce goes. A path too long for any entry is logged.
  if (!SettleRestoreInputsEntry(store)) OutputDebugStringW(AsWide(kNoRestoreEntryLogLine));
  // Everything the main window works with lives until the loop has ended.
  SettingsMutedEndpointStore mutedEndpointStore(store);
  Win32MutedEndpointsLock mutedEndpointsLock;
  MutedEndpoints mutedEndpoints(mutedEndpointStore, &mutedEndpointsLock);
  Win32EndpointHolderSystem endpointHolderSystem;
  EndpointHolders endpointHolders(endpointHolderSystem);
  Win32CaptureServices captureServices;
  WindowPoster poster;
  Win32ProfileFile profileFile;  // Profile.db in the working directory
  RegistryUsageSource usageRecords;
  Win32AudioSessionSource audioSessions;  // its own multithreaded thread, joined when the window goes
  Win32ProcessSource usageProcesses;
  Win32RecentUseFile recentUseFile;       // RecentUse.db beside Profile.db
  MainWindowServices services;
  services.captureServices = &captureServices;
  services.poster = &poster;
  services.mutedEndpoints = &mutedEndpoints;
  services.endpointHolders = &endpointHolders;
  services.profileFile = &profileFile;
  services.settingsStore = &store;
  services.settings = &settings;
  services.policySource = &policySource;
  services.showSettings = ShowSettingsWindow;
  services.showAbout = ShowAboutWindow;
  services.shortcuts = LoadShortcuts(store);
  services.showShortcuts = ShowShortcuts;
  services.startCommand = startCommand;
  services.usageRecords = &usageRecords;
  services.audioSessions = &audioSessions;
  services.usageProcesses = &usageProcesses;
  services.recentUseFile = &recentUseFile;
  services.showRecentUse = ShowRecentUseWindow;
  g_settingsStore = &store;
  HWND mainWindow = CreateMainWindow(services, parsed.result != ParseResult::Start);
  inputsLock.Release();
  if (mainWindow == nullptr) {
    ShowMessageBox(nullptr, kMainWindowError, MBX_BUTTONS_OK, MBX_ICON_ERROR);
    return 0;
  }
  RunMessageLoop();
  g_settingsStore = nullptr;
  return 0;
}

}  // namespace shadowpane
