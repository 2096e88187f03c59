// Push-to-talk under Wine with the test-only virtual microphone blocked in
// the running Shadowpane.exe: from the talk key down (SendInput, from this
// process) to the microphone heard by another program and its entry shown
// talking, and from the key up to it silent again and shown blocked, which
// the program shows only once the hold is verified. Prints the medians and
// the spread over kRounds presses.
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
#include "tests/virtualdevices/MicrophoneInputStore.h"
#include "tests/virtualdevices/VirtualDeviceRegistry.h"
#include "ui/main/MainWindowIds.h"

using namespace shadowpane;
using namespace shadowpane::e2e;
using bench::Now;
using virtualdevices::PluggedDevice;

namespace {

constexpr int kRounds = 50;
constexpr DWORD kRoundLimitMs = 10000;
constexpr wchar_t kMicrophoneName[] = L"Talk Bench Microphone";
constexpr std::uint32_t kTalkKeys = EncodeShortcut(kShortcutControl | kShortcutAlt, 'T');

// Every blocked microphone in the list heard (talking) or verified silent.
bool MicrophonesShown(HWND main, const PluggedDevice& microphone, bool talking) {
  bool enabled = false;
  if (FAILED(virtualdevices::ReadInputEnabled(microphone.clsid(), &enabled)) || enabled != talking) return false;
  for (const ListedEntry& entry : ReadList(GetDlgItem(main, IDC_AUDIO_LIST))) {
    if (entry.name != kMicrophoneName) continue;
    return talking ? entry.talking : entry.blocked && !entry.heldButShared && !entry.talking;
  }
  return false;
}

}  // namespace

int main() {
  EndEveryProgramCopy();
  DeleteProgramKeys();
  SetFirstRunDone();
  SetSetting(L"Language", 0);
  SetSetting(L"ShortcutHoldToTalk", kTalkKeys);
  PluggedDevice microphone = PluggedDevice::Microphone(kMicrophoneName, 4);
  FakeTray tray;  // the balloons come here, not to the desktop's tray
  ProgramCopy program;
  const DWORD pid = microphone.ok() && program.ok() ? program.Start() : 0;
  HWND main = pid != 0 ? WaitForWindow(kMainClass, pid) : nullptr;
  std::string output;
  if (main == nullptr || !WaitForVisibility(main, true) ||
      program.Run(L"/block \"Talk Bench Microphone\"", &output) != 0) {
    std::printf("push-to-talk bench: the program did not start or block\n");
    return 1;
  }
  std::vector<double> downMs;
  std::vector<double> upMs;
  for (int round = 0; round < kRounds; ++round) {
    if (!WaitUntil([&] { return MicrophonesShown(main, microphone, false); }, kRoundLimitMs)) break;
    double start = Now();
    HoldShortcut(kTalkKeys);
    if (!bench::WaitClosely([&] { return MicrophonesShown(main, microphone, true); }, kRoundLimitMs)) break;
    downMs.push_back((Now() - start) * 1000.0);
    start = Now();
    ReleaseShortcut(kTalkKeys);
    if (!bench::WaitClosely([&] { return MicrophonesShown(main, microphone, false); }, kRoundLimitMs)) break;
    upMs.push_back((Now() - start) * 1000.0);
  }
  ReleaseShortcut(kTalkKeys);
  program.EndAll();
  DeleteProgramKeys();
  const bool downDone = bench::ReportRounds("talk key down to every blocked microphone heard", downMs, kRounds);
  const bool upDone = bench::ReportRounds("talk key up to every one muted again and verified", upMs, kRounds);
  return downDone && upDone ? 0 : 1;
}
