// Shadowpane.exe as a whole under Wine, against three yardsticks started
// the same way from this process in the same run: a minimal Win32 program
// (minimal_window.exe: one window created and shown), and the device floor
// (device_floor.exe: the same devices listed through the same enumerator
// and device code, then one plain window; with "hold", the same devices
// held while idle):
// - start-up: from CreateProcess to the main window shown with the virtual
//   camera and microphone listed, against each yardstick's window shown
//   (goals: under 2 times the minimal window, within 1.2 of the listing
//   floor);
// - resident memory and CPU over a measured span with every virtual device
//   blocked, against the yardsticks idling through the same span (goals:
//   memory under 1.5 times the minimal window, within 1.1 of the holding
//   floor; CPU no more than one re-application per blocked microphone every
//   66 ms). The system's usage records are kept as on a system that has
//   them (each kind's key in the user's hive), so the program's watch of
//   them runs throughout: its idle CPU still has to match the floor's.
// Run as "startup_bench.exe [dpi [starts [indicator]]]": with "indicator"
// the program runs with its indicator on screen shown throughout (its idle
// CPU against the same floor). With a DPI, the prefix's
// display scale is that DPI for every program started (Shadowpane and the
// yardsticks alike) and comes back afterwards (0: the prefix's own); goals
// at 192 DPI: start-up within 1.2 of the listing floor, memory within 1.15
// of the holding floor. More starts than the 11 steady a median on a busy
// machine.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/win32/BenchClock.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/support/win32/ScopedLogPixels.h"
#include "tests/virtualdevices/HelperProcess.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"
#include "usage/win32/RegistryUsageSource.h"

using namespace shadowpane;
using namespace shadowpane::e2e;
using bench::Now;
using virtualdevices::PluggedDevice;

namespace {

constexpr int kDefaultStarts = 11;
constexpr DWORD kIdleSpanMs = 60000;
constexpr wchar_t kMinimalClass[] = L"ShadowpaneBenchMinimalWindow";
constexpr wchar_t kFloorClass[] = L"ShadowpaneBenchDeviceFloor";
constexpr wchar_t kCameraName[] = L"Bench Camera";
constexpr wchar_t kMicrophoneName[] = L"Bench Microphone";

// Each kind's key of the usage records in the user's hive, as a system that
// keeps them has them (Wine has none), so the program watches them; gone
// again at the end when this bench made them.
class UsageStore {
 public:
  UsageStore() {
    HKEY key = nullptr;
    made_ = RegOpenKeyExW(HKEY_CURRENT_USER, kConsentStoreKey, 0, KEY_READ, &key) != ERROR_SUCCESS;
    if (!made_) RegCloseKey(key);
    for (const wchar_t* kind : {kCameraUsageKeyName, kMicrophoneUsageKeyName}) {
      const std::wstring path = std::wstring(kConsentStoreKey) + L"\\" + kind + L"\\NonPackaged";
      if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
          ERROR_SUCCESS) {
        RegCloseKey(key);
      }
    }
  }
  // A camera use as the system records it (a start now, the stop cleared),
  // so the running program's watch can be seen to answer.
  static bool WriteCameraUse(const wchar_t* program) {
    const std::wstring path = std::wstring(kConsentStoreKey) + L"\\" + kCameraUsageKeyName + L"\\NonPackaged\\" + program;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
      return false;
    }
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG start = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const ULONGLONG stop = 0;
    const bool ok =
        RegSetValueExW(key, kLastUsedTimeStartValue, 0, REG_QWORD, reinterpret_cast<const BYTE*>(&start), 8) ==
            ERROR_SUCCESS &&
        RegSetValueExW(key, kLastUsedTimeStopValue, 0, REG_QWORD, reinterpret_cast<const BYTE*>(&stop), 8) ==
            ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
  }
  ~UsageStore() {
    if (made_) DeleteTree(kConsentStoreKey);
  }
  UsageStore(const UsageStore&) = delete;
  UsageStore& operator=(const UsageStore&) = delete;

 private:
  // RegDeleteTreeW needs a newer target than the program's.
  static void DeleteTree(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    wchar_t name[256];
    DWORD units = 256;
    std::vector<std::wstring> children;
    for (DWORD i = 0; RegEnumKeyExW(key, i, name, &units, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, units = 256) {
      children.push_back(path + L"\\" + name);
    }
    RegCloseKey(key);
    for (const std::wstring& child : children) DeleteTree(child);
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
  }

  bool made_ = false;
};

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

// A yardstick: from its start to its one window shown.
struct Yardstick {
  const char* name;
  std::wstring exe;
  std::wstring arguments;
  const wchar_t* windowClass;
};

double StartYardstick(const Yardstick& yardstick) {
  const double start = Now();
  Started started = StartProcess(yardstick.exe, yardstick.arguments);
  if (!started.ok) return -1.0;
  HWND window = nullptr;
  const double seconds = TimeUntil(start, [&] {
    window = FindWindowW(yardstick.windowClass, nullptr);
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

// The host's /proc directory of the process started from that executable,
// with that first argument when one is given (the command line's words are
// separated by zeros there).
std::wstring HostProcessFolder(const std::wstring& exe, const std::wstring& firstArgument = L"") {
  std::string wanted = Lower(std::string(exe.begin(), exe.end()));
  if (!firstArgument.empty()) wanted += std::string(1, '\0') + Lower(std::string(firstArgument.begin(), firstArgument.end())) + '\0';
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

void StartUpFigures(const std::wstring& program, const std::vector<Yardstick>& yardsticks, int starts) {
  std::vector<double> shadowpane;
  std::vector<std::vector<double>> baselines(yardsticks.size());
  for (int i = 0; i < starts; ++i) {
    // Interleaved, so a slow spell of the machine hits all alike.
    const double a = StartShadowpane(program);
    if (a < 0) {
      std::printf("start-up: Shadowpane did not show its window in time\n");
      return;
    }
    shadowpane.push_back(a);
    for (size_t y = 0; y < yardsticks.size(); ++y) {
      const double b = StartYardstick(yardsticks[y]);
      if (b < 0) {
        std::printf("start-up: %s did not show its window in time\n", yardsticks[y].name);
        return;
      }
      baselines[y].push_back(b);
    }
  }
  const Spread s = SpreadOf(shadowpane);
  std::printf("start-up to the main window with the devices listed, %d starts each:\n", starts);
  std::printf("  %-16s min %.0f ms  median %.0f ms  max %.0f ms\n", "Shadowpane.exe", s.min * 1e3, s.median * 1e3,
              s.max * 1e3);
  for (size_t y = 0; y < yardsticks.size(); ++y) {
    const Spread m = SpreadOf(baselines[y]);
    std::printf("  %-16s min %.0f ms  median %.0f ms  max %.0f ms; ratio of medians %.2f, of minima %.2f\n",
                yardsticks[y].name, m.min * 1e3, m.median * 1e3, m.max * 1e3, s.median / m.median, s.min / m.min);
  }
}

// What an idling process used over the span: CPU time and memory at its end.
struct IdleSample {
  Memory memory;
  double cpu = 0.0;
  bool found = false;  // its host process was found, so its CPU is known
};

// Measures every process over one span of kIdleSpanMs; answers the span.
double MeasureIdle(const std::vector<HANDLE>& processes, const std::vector<std::wstring>& hosts,
                   std::vector<IdleSample>* samples) {
  std::vector<double> cpuStarts;
  for (const std::wstring& host : hosts) cpuStarts.push_back(HostCpuSeconds(host));
  const double start = Now();
  Sleep(kIdleSpanMs);
  const double span = Now() - start;
  samples->clear();
  for (size_t i = 0; i < processes.size(); ++i) {
    IdleSample sample;
    sample.memory = MemoryOf(processes[i]);
    sample.found = !hosts[i].empty();
    sample.cpu = HostCpuSeconds(hosts[i]) - cpuStarts[i];
    samples->push_back(sample);
  }
  return span;
}

void PrintIdle(const char* name, const IdleSample& sample, double span) {
  std::printf("  %-16s resident %.1f MB, private %.1f MB, CPU %.3f s (%.2f%% of a core)%s\n", name,
              sample.memory.resident, sample.memory.committed, sample.cpu, 100.0 * sample.cpu / span,
              sample.found ? "" : " (host process not found: CPU unknown)");
}

void PrintRatios(const IdleSample& shadowpane, const IdleSample& yardstick) {
  std::printf("  %-16s Shadowpane.exe's ratios: resident %.2f, private %.2f\n", "",
              shadowpane.memory.resident / yardstick.memory.resident,
              shadowpane.memory.committed / yardstick.memory.committed);
}

std::wstring HostOf(const Yardstick& yardstick) {
  return HostProcessFolder(yardstick.exe, yardstick.arguments.substr(0, yardstick.arguments.find(L' ')));
}

// Shadowpane with every virtual device blocked beside the yardsticks that
// hold nothing, all through one span; then the holding floor alone through
// a span of its own (it holds the same devices, which admit one holder).
void IdleFigures(const std::wstring& program, const std::vector<Yardstick>& yardsticks, const Yardstick& holding,
                 const std::function<bool()>& watching) {
  Started shadowpane = StartProcess(program);
  std::vector<Started> baselines;
  bool started = shadowpane.ok;
  for (const Yardstick& yardstick : yardsticks) {
    baselines.push_back(StartProcess(yardstick.exe, yardstick.arguments));
    started = started && baselines.back().ok &&
              WaitForWindow(yardstick.windowClass, baselines.back().info.dwProcessId) != nullptr;
  }
  HWND main = shadowpane.ok ? WaitForWindow(kMainClass, shadowpane.info.dwProcessId) : nullptr;
  auto endAll = [&] {
    End(shadowpane, main);
    for (Started& baseline : baselines) End(baseline);
  };
  if (main == nullptr || !started || !WaitUntil([&] { return DevicesListed(main); })) {
    std::printf("idle: the programs did not start\n");
    endAll();
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
  HWND indicator = FindWindowW(L"KSP2IndicatorWndClass", nullptr);
  std::printf("idle: the indicator on screen is %s\n",
              indicator != nullptr && IsWindowVisible(indicator) ? "shown" : "not shown");
  std::vector<HANDLE> processes{shadowpane.info.hProcess};
  std::vector<std::wstring> hosts{HostProcessFolder(program)};
  for (size_t y = 0; y < yardsticks.size(); ++y) {
    processes.push_back(baselines[y].info.hProcess);
    hosts.push_back(HostOf(yardsticks[y]));
  }
  std::vector<IdleSample> samples;
  const double span = MeasureIdle(processes, hosts, &samples);
  // The figure counts only if the watch ran all along: it still answers.
  const bool watched = watching();
  endAll();
  if (!watched) std::printf("idle: the usage watch did not answer a record written after the span\n");
  std::printf("idle for %.0f s, every virtual device blocked (%d microphone), the usage records watched:\n", span,
              blockedMicrophones);
  PrintIdle("Shadowpane.exe", samples[0], span);
  for (size_t y = 0; y < yardsticks.size(); ++y) {
    PrintIdle(yardsticks[y].name, samples[y + 1], span);
    PrintRatios(samples[0], samples[y + 1]);
  }
  const double reapplications = blockedMicrophones * span * 1000.0 / 66.0;
  if (reapplications > 0) {
    std::printf("  extra CPU per re-application over the minimal window (%.0f of them, one per 66 ms per "
                "microphone): %.1f us\n",
                reapplications, (samples[0].cpu - samples[1].cpu) * 1e6 / reapplications);
  }

  Started floor = StartProcess(holding.exe, holding.arguments);
  if (!floor.ok || WaitForWindow(holding.windowClass, floor.info.dwProcessId) == nullptr) {
    std::printf("idle: the holding floor did not start\n");
    End(floor);
    return;
  }
  Sleep(1000);
  std::vector<IdleSample> held;
  const double heldSpan = MeasureIdle({floor.info.hProcess}, {HostOf(holding)}, &held);
  End(floor, FindWindowW(holding.windowClass, nullptr));
  std::printf("idle for %.0f s, the same devices held by the holding floor alone:\n", heldSpan);
  PrintIdle(holding.name, held[0], heldSpan);
  PrintRatios(samples[0], held[0]);
}

}  // namespace

int main(int argc, char** argv) {
  const int dpi = argc > 1 ? std::atoi(argv[1]) : 0;
  const int starts = argc > 2 ? std::max(1, std::atoi(argv[2])) : kDefaultStarts;
  std::unique_ptr<testing::ScopedLogPixels> scale;
  if (dpi > 0) scale = std::make_unique<testing::ScopedLogPixels>(static_cast<DWORD>(dpi));
  std::printf("display scale: %s\n", dpi > 0 ? std::to_string(dpi).append(" DPI").c_str() : "the prefix's own");
  EndEveryProgramCopy();
  DeleteProgramKeys();
  SetFirstRunDone();
  SetSetting(L"Language", 0);
  const bool indicator = argc > 3 && std::string(argv[3]) == "indicator";
  if (indicator) SetSetting(L"ShowIndicator", 1);
  std::printf("indicator on screen: %s\n", indicator ? "shown" : "off");
  virtualdevices::RemoveLeftoverVirtualDevices();
  {
    const UsageStore usageStore;
    PluggedDevice camera = PluggedDevice::Camera(kCameraName, L"\\\\?\\virtual#bench-camera");
    PluggedDevice microphone = PluggedDevice::Microphone(kMicrophoneName, 4);
    ProgramCopy copy;
    if (!camera.ok() || !microphone.ok() || !copy.ok()) {
      std::printf("startup bench: could not plug the devices or copy the program\n");
      return 1;
    }
    const std::wstring program = copy.folder() + L"\\" + kProgramFileName;
    const std::wstring benches = FolderOf(BuiltProgramPath()) + L"\\bench\\win32\\";
    const Yardstick minimal{"minimal window", benches + L"minimal_window.exe", L"", kMinimalClass};
    const Yardstick listing{"listing floor", benches + L"device_floor.exe", L"list", kFloorClass};
    const Yardstick holding{"holding floor", benches + L"device_floor.exe",
                            L"hold " + virtualdevices::Quoted(kCameraName) + L" " +
                                virtualdevices::Quoted(kMicrophoneName),
                            kFloorClass};
    StartUpFigures(program, {minimal, listing}, starts);
    // A record written after the span is named by the running program.
    const auto watching = [&copy] {
      if (!UsageStore::WriteCameraUse(L"C:#Bench#Probe.exe")) return false;
      return WaitUntil([&copy] {
        std::string status;
        copy.Run(L"/status", &status);
        return status.find("Probe.exe") != std::string::npos;
      });
    };
    IdleFigures(program, {minimal, listing}, holding, watching);
    EndEveryProgramCopy();
  }
  DeleteProgramKeys();
  return 0;
}
