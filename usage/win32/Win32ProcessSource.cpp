#include "usage/win32/Win32ProcessSource.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "core/win32/TextCast.h"

namespace shadowpane {

namespace {

// PROCESS_QUERY_LIMITED_INFORMATION (Vista on): enough for the image path
// and the times, and granted for more processes than a full query.
constexpr DWORD kProcessQueryLimited = 0x1000;
constexpr DWORD kImagePathUnits = 32768;
// FILETIME counts 100 ns, the tick count milliseconds.
constexpr std::uint64_t kFileTimePerMs = 10000;
using QueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
using TickCount64 = ULONGLONG(WINAPI*)();

// Both looked up at run time, so that the program still starts without them.
FARPROC Kernel32(const char* name) { return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name); }
QueryImageName QueryImageNameCall() {
  static const QueryImageName call =
      reinterpret_cast<QueryImageName>(reinterpret_cast<void*>(Kernel32("QueryFullProcessImageNameW")));
  return call;
}

std::uint64_t FromFileTime(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Closes a handle when it goes out of scope.
class HandleHolder {
 public:
  explicit HandleHolder(HANDLE handle) : handle_(handle) {}
  HandleHolder(const HandleHolder&) = delete;
  HandleHolder& operator=(const HandleHolder&) = delete;
  ~HandleHolder() {
    if (ok()) CloseHandle(handle_);
  }
  bool ok() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Fills in the path and start time of a listed process, where it opens.
void OpenProcessFacts(RunningProcess& process, std::vector<wchar_t>& path) {
  const QueryImageName query = QueryImageNameCall();
  if (query == nullptr || process.processId == 0) return;
  HandleHolder handle(OpenProcess(kProcessQueryLimited, FALSE, process.processId));
  if (!handle.ok()) return;
  DWORD units = kImagePathUnits;
  if (query(handle.get(), 0, path.data(), &units) == FALSE) return;
  process.opened = true;
  process.imagePath = WideString(AsCore(path.data()), units);
  FILETIME created{}, exited{}, kernel{}, user{};
  if (GetProcessTimes(handle.get(), &created, &exited, &kernel, &user)) process.startTime = FromFileTime(created);
}

}  // namespace

OwnProcess Win32ProcessSource::Own() {
  OwnProcess own;
  own.processId = GetCurrentProcessId();
  std::vector<wchar_t> path(kImagePathUnits);
  DWORD units = kImagePathUnits;
  const QueryImageName query = QueryImageNameCall();
  // The same call that names the other processes, so both spell paths alike.
  if (query != nullptr && query(GetCurrentProcess(), 0, path.data(), &units)) {
    own.imagePath = WideString(AsCore(path.data()), units);
    return own;
  }
  units = GetModuleFileNameW(nullptr, path.data(), kImagePathUnits);
  if (units > 0 && units < kImagePathUnits) own.imagePath = WideString(AsCore(path.data()), units);
  return own;
}

std::uint64_t Win32ProcessSource::BootTime() {
  static const TickCount64 ticks = reinterpret_cast<TickCount64>(reinterpret_cast<void*>(Kernel32("GetTickCount64")));
  if (ticks == nullptr) return 0;
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const std::uint64_t up = static_cast<std::uint64_t>(ticks()) * kFileTimePerMs;
  const std::uint64_t clock = FromFileTime(now);
  return clock > up ? clock - up : 0;
}

int Win32ProcessSource::ReadProcesses(std::vector<RunningProcess>& processes) {
  processes.clear();
  HandleHolder snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.ok()) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  std::vector<wchar_t> path(kImagePathUnits);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    RunningProcess process;
    process.processId = entry.th32ProcessID;
    process.fileName = AsCore(entry.szExeFile);
    OpenProcessFacts(process, path);
    processes.push_back(std::move(process));
  }
  // A listing that ended on anything but its end is not every process.
  if (GetLastError() != ERROR_NO_MORE_FILES) {
    processes.clear();
    return 0;
  }
  return 1;
}

}  // namespace shadowpane
