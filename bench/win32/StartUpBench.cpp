// Shadowpane.exe as a whole under Wine, against a minimal Win32 program
// (minimal_window.exe: one window created and shown), both started the same
// way from this process in the same run:
// - start-up: from CreateProcess to the main window shown with the virtual
//   camera and microphone listed, against the minimal window shown (goal:
//   ratio of medians under 2);
// - resident memory and CPU over a measured span with every virtual device
//   blocked, against the minimal program idling through the same span (goals:
//   memory under 1.5x; CPU no more than one re-application per blocked
//   microphone every 66 ms).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win32/BenchClock.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"

using namespace shadowpane;
using namespace shadowpane::e2e;
using bench::Now;
using virtualdevices::PluggedDevice;

namespace {

constexpr int kStarts = 7;
constexpr DWORD kIdleSpanMs = 60000;
constexpr wchar_t kMinimalClass[] = L"ShadowpaneBenchMinimalWindow";
constexpr wchar_t kCameraName[] = L"Bench Camera";
constexpr wchar_t kMicrophoneName[] = L"Bench Microphone";

struct Started {
  PROCESS_INFORMATION info{};
  bool ok = false;
};

Started StartProcess(const std::wstring& exe, const std::wstring& arguments = L"") {
  Started started;
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  started.ok = CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &started.info) != FALSE;
  if (started.ok) CloseHandle(started.info.hThread);
  return started;
}

// Closes the window as a user does and waits for the end; terminates only
// what does not end. (After a terminated process, Wine holds the next
// program's start back by about two seconds, which would swamp the figures.)
void End(Started& started, HWND window = nullptr) {
  if (!started.ok) return;
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  if (window == nullptr || WaitForSingleObject(started.info.hProcess, kWaitLimitMs) != WAIT_OBJECT_0) {
    TerminateProcess(started.info.hProcess, 0);
  }
  WaitForSingleObject(started.info.hProcess, kWaitLimitMs);
  CloseHandle(started.info.hProcess);
  started.ok = false;
}

// Polls every millisecond until ready() holds; seconds since start, or -1.
template <typename Ready>
double TimeUntil(double start, Ready ready) {
  const double limit = start + kWaitLimitMs / 1000.0;
  while (!ready()) {
    if (Now() > limit) return -1.0;
    Sleep(1);
  }
  return Now() - start;
}

bool DevicesListed(HWND main) {
  return IsWindowVisible(main) && FindEntry(GetDlgItem(main, IDC_VIDEO_LIST), kCameraName) >= 0 &&
         FindEntry(GetDlgItem(main, IDC_AUDIO_LIST), kMicrophoneName) >= 0;
}

double StartShadowpane(const std::wstring& exe) {
  const double start = Now();
  Started started = StartProcess(exe);
  if (!started.ok) return -1.0;
  HWND main = nullptr;
  const double seconds = TimeUntil(start, [&] {
    if (main == nullptr) main = FindWindowW(kMainClass, nullptr);
    return main != nullptr && DevicesListed(main);
  });
  End(started, main);
  return seconds;
}

double StartMinimal(const std::wstring& exe) {
  const double start = Now();
  Started started = StartProcess(exe);
  if (!started.ok) return -1.0;
  HWND window = nullptr;
  const double seconds = TimeUntil(start, [&] {
    window = FindWindowW(kMinimalClass, nullptr);
    return window != nullptr && IsWindowVisible(window);
  });
  End(started, window);
  return seconds;
}

struct Spread {
  double min, median, max;
};

Spread SpreadOf(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples.front(), samples[samples.size() / 2], samples.back()};
}

// Wine answers GetProcessTimes for another process with zeros, so CPU time
// is read where the host keeps it: /proc/<pid>/stat of the host process
// whose command line starts with the program's full path (Z: is the host's
// root). Clock ticks of 1/100 s, user plus system.
constexpr double kHostTicksPerSecond = 100.0;

std::string ReadHostFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The host's /proc directory of the process started from that executable.
std::wstring HostProcessFolder(const std::wstring& exe) {
  const std::string wanted = Lower(std::string(exe.begin(), exe.end()));
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::wstring folder;
  do {
    if (found.cFileName[0] < L'0' || found.cFileName[0] > L'9') continue;
    const std::wstring candidate = std::wstring(L"Z:\\proc\\") + found.cFileName;
    const std::string commandLine = Lower(ReadHostFile(candidate + L"\\cmdline"));
    if (commandLine.compare(0, wanted.size(), wanted) == 0) folder = candidate;
  } while (folder.empty() && FindNextFileW(search, &found));
  FindClose(search);
  return folder;
}

double HostCpuSeconds(const std::wstring& folder) {
  const std::string stat = ReadHostFile(folder + L"\\stat");
  // Fields after the command name in parentheses; utime and stime are the
  // 14th and 15th of the line.
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1.0;
  unsigned long long fields[13] = {};
  char state = 0;
  if (std::sscanf(stat.c_str() + close + 1, " %c %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu %llu", &state,
                  &fields[0], &fields[1], &fields[2], &fields[3], &fields[4], &fields[5], &fields[6], &fields[7],
                  &fields[8], &fields[9], &fields[10], &fields[11]) != 13) {
    return -1.0;
  }
  return static_cast<double>(fields[10] + fields[11]) / kHostTicksPerSecond;
}

struct Memory {
  double resident = 0.0;  // working set, MB
  double committed = 0.0;  // private bytes, MB
};

Memory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return {};
  constexpr double kMegabyte = 1024.0 * 1024.0;
  return {static_cast<double>(counters.WorkingSetSize) / kMegabyte, static_cast<double>(counters.PagefileUsage) / kMegabyte};
}

void StartUpFigures(const std::wstring& program, const std::wstring& minimal) {
  std::vector<double> shadowpane, baseline;
  for (int i = 0; i < kStarts; ++i) {
    // Interleaved, so a slow spell of the machine hits both alike.
    const double a = StartShadowpane(program);
    const double b = StartMinimal(minimal);
    if (a < 0 || b < 0) {
      std::printf("start-up: a start did not show its window in time\n");
      return;
    }
    shadowpane.push_back(a);
    baseline.push_back(b);
  }
  const Spread s = SpreadOf(shadowpane);
  const Spread m = SpreadOf(baseline);
  std::printf("start-up to the main window with the devices listed, %d starts each:\n", kStarts);
  std::printf("  Shadowpane.exe   min %.0f ms  median %.0f ms  max %.0f ms\n", s.min * 1e3, s.median * 1e3, s.max * 1e3);
  std::printf("  minimal window   min %.0f ms  median %.0f ms  max %.0f ms\n", m.min * 1e3, m.median * 1e3, m.max * 1e3);
  std::printf("  ratio of medians %.2f (goal under 2), of minima %.2f, of maxima %.2f\n", s.median / m.median,
              s.min / m.min, s.max / m.max);
}

void IdleFigures(const std::wstring& program, const std::wstring& minimal) {
  Started shadowpane = StartProcess(program);
  Started baseline = StartProcess(minimal);
  HWND main = shadowpane.ok ? WaitForWindow(kMainClass, shadowpane.info.dwProcessId) : nullptr;
  if (main == nullptr || !baseline.ok || !WaitUntil([&] { return DevicesListed(main); })) {
    std::printf("idle: the programs did not start\n");
    End(shadowpane);
    End(baseline);
    return;
  }
  // Every virtual device blocked, as a user does it.
  int blockedMicrophones = 0;
  for (int id : {IDC_VIDEO_LIST, IDC_AUDIO_LIST}) {
    HWND list = GetDlgItem(main, id);
    const int index = FindEntry(list, id == IDC_VIDEO_LIST ? kCameraName : kMicrophoneName);
    ClickEntry(list, index);
    WaitUntil([&] { return ReadList(list)[static_cast<size_t>(index)].blocked; });
    if (id == IDC_AUDIO_LIST && ReadList(list)[static_cast<size_t>(index)].blocked) ++blockedMicrophones;
  }
  Sleep(1000);
  const std::wstring hostA = HostProcessFolder(program);
  const std::wstring hostB = HostProcessFolder(minimal);
  const double cpuStartA = HostCpuSeconds(hostA);
  const double cpuStartB = HostCpuSeconds(hostB);
  const double start = Now();
  Sleep(kIdleSpanMs);
  const double span = Now() - start;
  const double cpuA = HostCpuSeconds(hostA) - cpuStartA;
  const double cpuB = HostCpuSeconds(hostB) - cpuStartB;
  const Memory memA = MemoryOf(shadowpane.info.hProcess);
  const Memory memB = MemoryOf(baseline.info.hProcess);
  const double reapplications = blockedMicrophones * span * 1000.0 / 66.0;
  std::printf("idle for %.0f s, every virtual device blocked "
              "(%d microphone):\n", span, blockedMicrophones);
  std::printf("  resident memory  Shadowpane.exe %.1f MB, minimal window %.1f MB, ratio %.2f (goal under 1.5)\n",
              memA.resident, memB.resident, memA.resident / memB.resident);
  std::printf("  private memory   Shadowpane.exe %.1f MB, minimal window %.1f MB, ratio %.2f\n", memA.committed,
              memB.committed, memA.committed / memB.committed);
  if (hostA.empty() || hostB.empty()) std::printf("  CPU: the host processes were not found under /proc\n");
  std::printf("  CPU              Shadowpane.exe %.3f s, minimal window %.3f s (%.2f%% and %.2f%% of the span)\n",
              cpuA, cpuB, 100.0 * cpuA / span, 100.0 * cpuB / span);
  if (reapplications > 0) {
    std::printf("  extra CPU per re-application (%.0f of them, one per 66 ms per microphone): %.1f us\n",
                reapplications, (cpuA - cpuB) * 1e6 / reapplications);
  }
  End(shadowpane);
  End(baseline);
}

}  // namespace

int main() {
  EndEveryProgramCopy();
  DeleteProgramKeys();
  SetFirstRunDone();
  SetSetting(L"Language", 0);
  virtualdevices::RemoveLeftoverVirtualDevices();
  {
    PluggedDevice camera = PluggedDevice::Camera(kCameraName, L"\\\\?\\virtual#bench-camera");
    PluggedDevice microphone = PluggedDevice::Microphone(kMicrophoneName, 4);
    ProgramCopy copy;
    if (!camera.ok() || !microphone.ok() || !copy.ok()) {
      std::printf("startup bench: could not plug the devices or copy the program\n");
      return 1;
    }
    const std::wstring program = copy.folder() + L"\\" + kProgramFileName;
    const std::wstring minimal = FolderOf(BuiltProgramPath()) + L"\\bench\\win32\\minimal_window.exe";
    StartUpFigures(program, minimal);
    IdleFigures(program, minimal);
    EndEveryProgramCopy();
  }
  DeleteProgramKeys();
  return 0;
}
