#include "tests/e2e/ProgramDriver.h"

#include <tlhelp32.h>

#include <cwchar>

#include "core/win32/TextCast.h"
#include "policy/PolicyValues.h"
#include "settings/win32/RegistryStore.h"
#include "tests/support/win32/TempFolder.h"
#include "ui/main/MainWindowLayout.h"

namespace shadowpane::e2e {
namespace {

constexpr wchar_t kCompanyKey[] = L"Software\\KESTRALYNX";
constexpr wchar_t kFirstRunKey[] = L"Software\\KESTRALYNX\\Shadowpane\\2001";
constexpr wchar_t kPolicyCompanyKey[] = L"Software\\Policies\\KESTRALYNX";
// A pixel of the status panel's fill: left of the shield, clear of the
// rounded corners and of every text.
constexpr int kPanelFillX = kPanelLeft + 4;
constexpr int kPanelFillY = kPanelBottom - 4;

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

struct WindowSearch {
  const wchar_t* className;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (lstrcmpW(name, search->className) == 0 && (search->processId == 0 || owner == search->processId)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindProcessWindow(const wchar_t* className, DWORD processId) {
  WindowSearch search{className, processId, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void SendButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof(input));
}

long ReadDword(HKEY root, const wchar_t* path, const wchar_t* name) {
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof(value);
  if (RegGetValueW(root, path, name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS) return -1;
  return type == REG_DWORD && size == sizeof(value) ? static_cast<long>(value) : -1;
}

// The program builds for systems that lack RegDeleteTree and RegSetKeyValue.
void DeleteTree(HKEY root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  wchar_t child[256];
  DWORD length = 256;
  // Always the first child: each deletion renumbers the rest.
  while (RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
    DeleteTree(root, path + L"\\" + child);
    length = 256;
  }
  RegCloseKey(key);
  RegDeleteKeyW(root, path.c_str());
}

bool ReadText(HKEY root, const wchar_t* path, const wchar_t* name, std::wstring* text) {
  DWORD size = 0;
  if (RegGetValueW(root, path, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) return false;
  std::wstring read(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(read.size() * sizeof(wchar_t));
  if (RegGetValueW(root, path, name, RRF_RT_REG_SZ, nullptr, &read[0], &size) != ERROR_SUCCESS) return false;
  read.resize(wcslen(read.c_str()));
  *text = read;
  return true;
}

void DeleteValue(HKEY root, const wchar_t* path, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, name);
  RegCloseKey(key);
}

void SetDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(key);
}

}  // namespace

std::wstring FolderOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

std::wstring BuiltProgramPath() {
  return FolderOf(FolderOf(FolderOf(ModulePath()))) + L"\\" + kProgramFileName;
}

HWND WaitForWindow(const wchar_t* className, DWORD processId, DWORD limitMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindProcessWindow(className, processId)) != nullptr; }, limitMs);
  return found;
}

bool WaitForNoWindow(const wchar_t* className, DWORD processId, DWORD limitMs) {
  return WaitUntil([&] { return FindProcessWindow(className, processId) == nullptr; }, limitMs);
}

bool WaitForVisibility(HWND window, bool visible, DWORD limitMs) {
  return WaitUntil([&] { return (IsWindowVisible(window) != FALSE) == visible; }, limitMs);
}

void ClickAt(HWND window, int clientX, int clientY) {
  POINT point{clientX, clientY};
  ClientToScreen(window, &point);
  SetCursorPos(point.x, point.y);
  // The pointer's arrival first, so hover tracking sees it as a user's.
  Sleep(100);
  SendButton(MOUSEEVENTF_LEFTDOWN);
  Sleep(50);
  SendButton(MOUSEEVENTF_LEFTUP);
  Sleep(100);
}

bool ClickControl(HWND parent, int controlId) {
  // A window is found as soon as it exists; its controls come during its
  // creation and it is shown after that, so wait until it is on screen.
  HWND control = nullptr;
  WaitUntil([&] {
    control = GetDlgItem(parent, controlId);
    return control != nullptr && IsWindowVisible(parent);
  });
  RECT rect{};
  if (control == nullptr || !GetClientRect(control, &rect)) return false;
  ClickAt(control, rect.right / 2, rect.bottom / 2);
  return true;
}

int CountProcesses(const wchar_t* fileName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, fileName) == 0) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

int EndEveryProgramCopy() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  int ended = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, kProgramFileName) != 0) continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (process == nullptr) continue;
    if (TerminateProcess(process, 1)) ++ended;
    WaitForSingleObject(process, kWaitLimitMs);
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return ended;
}

// ---- ProgramCopy ----

ProgramCopy::ProgramCopy() : folder_(temp_.path()) {
  // A run that was killed may have left a folder of the same name behind.
  DeleteFileW(ProfilePath().c_str());
  copied_ = CopyFileW(BuiltProgramPath().c_str(), (folder_ + L"\\" + kProgramFileName).c_str(), FALSE) != FALSE;
}

// The folder goes with temp_, once every process is ended.
ProgramCopy::~ProgramCopy() { EndAll(); }

DWORD ProgramCopy::Launch(const std::wstring& arguments, STARTUPINFOW& startup, bool inheritHandles) {
  const std::wstring exe = folder_ + L"\\" + kProgramFileName;
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  // Started elsewhere than its folder: the program has to find it itself.
  if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, inheritHandles ? TRUE : FALSE, 0, nullptr,
                      nullptr, &startup, &info)) {
    return 0;
  }
  CloseHandle(info.hThread);
  started_.push_back(info);
  return info.dwProcessId;
}

DWORD ProgramCopy::Start(const std::wstring& arguments) {
  STARTUPINFOW startup{};
  return Launch(arguments, startup, false);
}

long ProgramCopy::Run(const std::wstring& arguments, std::string* output, DWORD limitMs) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  const DWORD processId = Launch(arguments, startup, true);
  CloseHandle(writeEnd);  // the pipe ends when the child's copy closes
  if (processId == 0) {
    CloseHandle(readEnd);
    return -1;
  }
  output->clear();
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0) output->append(buffer, read);
  CloseHandle(readEnd);
  return WaitForExit(processId, limitMs);
}

HANDLE ProgramCopy::Process(DWORD processId) const {
  for (const PROCESS_INFORMATION& info : started_) {
    if (info.dwProcessId == processId) return info.hProcess;
  }
  return nullptr;
}

long ProgramCopy::WaitForExit(DWORD processId, DWORD limitMs) const {
  HANDLE process = Process(processId);
  if (process == nullptr || WaitForSingleObject(process, limitMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  return static_cast<long>(code);
}

bool ProgramCopy::IsRunning(DWORD processId) const {
  HANDLE process = Process(processId);
  return process != nullptr && WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

void ProgramCopy::EndAll() {
  for (const PROCESS_INFORMATION& info : started_) {
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info.hProcess, 1);
      WaitForSingleObject(info.hProcess, kWaitLimitMs);
    }
    CloseHandle(info.hProcess);
  }
  started_.clear();
}

// ---- lists, pixels ----

std::vector<ListedEntry> ReadList(HWND list) {
  std::vector<ListedEntry> entries;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0) continue;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    const LRESULT data = SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0);
    entries.push_back({text, HIWORD(data) != 0, (HIWORD(data) & 2) != 0, (HIWORD(data) & 4) != 0});
  }
  return entries;
}

int FindEntry(HWND list, const std::wstring& name) {
  const std::vector<ListedEntry> entries = ReadList(list);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

bool ClickEntry(HWND list, int index) {
  RECT item{};
  if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
    return false;
  }
  ClickAt(list, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
  return true;
}

COLORREF PanelColour(HWND mainWindow) {
  POINT point{kPanelFillX, kPanelFillY};
  ClientToScreen(mainWindow, &point);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// ---- registry, profile ----

void DeleteProgramKeys() {
  DeleteTree(HKEY_CURRENT_USER, kCompanyKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kCompanyKey);
  DeleteTree(HKEY_CURRENT_USER, kPolicyCompanyKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kPolicyCompanyKey);
  DeleteValue(HKEY_CURRENT_USER, kRunKeyPath, AsWide(kAutostartValue));
  DeleteValue(HKEY_CURRENT_USER, kRunKeyPath, AsWide(kRestoreInputsValue));
  DeleteValue(HKEY_CURRENT_USER, kRunOnceKeyPath, AsWide(kOldRestoreInputsValue));
}

void SetPolicy(HKEY root, const wchar_t* name, DWORD value) { SetDword(root, AsWide(kPolicyKeyPath), name, value); }

void SetFirstRunDone() {
  SetDword(HKEY_LOCAL_MACHINE, kFirstRunKey, L"firstrun", 1);
}

void SetSetting(const wchar_t* name, DWORD value) {
  SetDword(HKEY_CURRENT_USER, kSettingsKeyPath, name, value);
}

long ReadSetting(const wchar_t* name) { return ReadDword(HKEY_CURRENT_USER, kSettingsKeyPath, name); }

long ReadFirstRun() {
  const long machine = ReadDword(HKEY_LOCAL_MACHINE, kFirstRunKey, L"firstrun");
  return machine >= 0 ? machine : ReadDword(HKEY_CURRENT_USER, kFirstRunKey, L"firstrun");
}

bool ReadSettingText(const wchar_t* name, std::wstring* text) {
  return ReadText(HKEY_CURRENT_USER, kSettingsKeyPath, name, text);
}

bool ReadRestoreInputsEntry(std::wstring* command) {
  return ReadText(HKEY_CURRENT_USER, kRunKeyPath, AsWide(kRestoreInputsValue), command);
}

bool ReadOldRestoreInputsEntry(std::wstring* command) {
  return ReadText(HKEY_CURRENT_USER, kRunOnceKeyPath, AsWide(kOldRestoreInputsValue), command);
}

void WriteOldRestoreInputsEntry(const std::wstring& command) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunOnceKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, AsWide(kOldRestoreInputsValue), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

RegistryWatch::RegistryWatch(HKEY root, const wchar_t* path) {
  if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_NOTIFY, nullptr, &key_, nullptr) != ERROR_SUCCESS) {
    key_ = nullptr;
    return;
  }
  event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  armed_ = event_ != nullptr && Arm();
}

RegistryWatch::~RegistryWatch() {
  if (key_ != nullptr) RegCloseKey(key_);
  if (event_ != nullptr) CloseHandle(event_);
}

bool RegistryWatch::Arm() {
  return RegNotifyChangeKeyValue(key_, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event_, TRUE) ==
         ERROR_SUCCESS;
}

bool RegistryWatch::Changed() {
  if (!armed_ || WaitForSingleObject(event_, 0) != WAIT_OBJECT_0) return false;
  armed_ = Arm();
  return true;
}

int RegistryWatch::CountFor(DWORD durationMs) {
  int notices = 0;
  const DWORD start = GetTickCount();
  for (DWORD passed = 0; armed_ && passed < durationMs; passed = GetTickCount() - start) {
    if (WaitForSingleObject(event_, durationMs - passed) != WAIT_OBJECT_0) break;
    ++notices;
    armed_ = Arm();
  }
  return notices;
}

bool ReadUserAutostartEntry(std::wstring* command) {
  return ReadText(HKEY_CURRENT_USER, kRunKeyPath, AsWide(kAutostartValue), command);
}

bool ReadProfile(const std::wstring& path, std::vector<ProfileRecord>* records) {
  const std::string bytes = testing::ReadWholeFile(path);
  if (bytes.empty()) return false;
  return DecodeProfile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), *records) == 1;
}

}  // namespace shadowpane::e2e
