// A keyboard shortcut and a command line under Wine with the test-only
// virtual camera and microphone: from the key press (SendInput, from this
// process) to every device of the running Shadowpane.exe shown blocked,
// which it shows only once each hold is verified; and from the start of a
// second copy with "/block all" to its exit, which comes once the running
// copy answered. Each round unblocks everything first. Prints the medians
// and the spread.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win32/BenchRounds.h"
#include "commands/Shortcuts.h"
#include "tests/e2e/FakeTray.h"
#include "tests/e2e/ProgramDriver.h"
#include "tests/e2e/ShortcutKeys.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"

using namespace shadowpane;
using namespace shadowpane::e2e;
using bench::AllShown;
using bench::Now;
using virtualdevices::PluggedDevice;

namespace {

constexpr int kRounds = 11;
constexpr DWORD kRoundLimitMs = 10000;
constexpr std::uint32_t kBlockKeys = EncodeShortcut(kShortcutControl | kShortcutAlt | kShortcutShift, 'B');
constexpr std::uint32_t kUnblockKeys = EncodeShortcut(kShortcutControl | kShortcutAlt | kShortcutShift, 'U');

}  // namespace

int main() {
  EndEveryProgramCopy();
  DeleteProgramKeys();
  SetFirstRunDone();
  SetSetting(L"Language", 0);
  SetSetting(L"ShortcutBlockAll", kBlockKeys);
  SetSetting(L"ShortcutUnblockAll", kUnblockKeys);
  PluggedDevice camera = PluggedDevice::Camera(L"Bench Camera", L"\\\\?\\virtual#shortcut-bench");
  PluggedDevice microphone = PluggedDevice::Microphone(L"Bench Microphone", 4);
  FakeTray tray;  // the balloons come here, not to the desktop's tray
  ProgramCopy program;
  const DWORD pid = camera.ok() && microphone.ok() && program.ok() ? program.Start() : 0;
  HWND main = pid != 0 ? WaitForWindow(kMainClass, pid) : nullptr;
  if (main == nullptr || !WaitForVisibility(main, true)) {
    std::printf("outside command bench: the program did not start\n");
    return 1;
  }
  std::vector<double> ms;
  for (int round = 0; round < kRounds; ++round) {
    PressShortcut(kUnblockKeys);
    if (!WaitUntil([&] { return AllShown(main, false); }, kRoundLimitMs)) break;
    const double start = Now();
    PressShortcut(kBlockKeys);
    if (!bench::WaitClosely([&] { return AllShown(main, true); }, kRoundLimitMs)) break;
    ms.push_back((Now() - start) * 1000.0);
  }
  // The command's own exit code is not asked here: Wine's own input is
  // never verified silent, so "/block all" answers 5 on this bench.
  std::vector<double> commandMs;
  std::string output;
  for (int round = 0; round < kRounds; ++round) {
    program.Run(L"/unblock all", &output);
    if (!AllShown(main, false)) break;
    const double start = Now();
    if (program.Run(L"/block all", &output, kRoundLimitMs) < 0) break;
    commandMs.push_back((Now() - start) * 1000.0);
    if (!AllShown(main, true)) break;
  }
  program.EndAll();
  DeleteProgramKeys();
  const bool shortcutDone = bench::ReportRounds("shortcut key press to every device blocked", ms, kRounds);
  const bool commandDone =
      bench::ReportRounds("\"/block all\" start to exit, with a copy running", commandMs, kRounds);
  return shortcutDone && commandDone ? 0 : 1;
}
