// A microphone held for real under Wine: the worker keeps Wine's own
// capture device ("In: default") open and its wave-in line muted through
// the mixer, re-applying every 66 ms. Measures the process's CPU use while
// it holds (goal: below 0.1 % of a core) and how long Unblock takes. Then,
// on the system's own version, what the silence check adds to each block of
// that input: reading its endpoint's mute through objects of its own.
#include <windows.h>

#include "bench/win32/BenchClock.h"

#include <cstdio>

#include "devices/EndpointMute.h"
#include "devices/Microphone.h"
#include "devices/win32/Win32CaptureServices.h"
#include "tests/devices/win32/WineCaptureDevice.h"
#include "tests/support/RecordingPoster.h"

using namespace shadowpane;

using bench::Now;
using bench::ProcessCpuSeconds;

namespace {

constexpr DWORD kHoldMs = 15000;
constexpr int kUnblockRounds = 20;
constexpr int kCallRounds = 2000;
constexpr int kCheckRounds = 200;

// Wine reports version 6; the wave/mixer method is the one that can hold
// Wine's own device.
class WaveMixerServices : public Win32CaptureServices {
 public:
  std::uint32_t SystemMajorVersion() override { return kFirstDirectShowSilencingVersion - 1; }
};

// Process times move in clock ticks; a difference below one tick reads 0.
double NonNegative(double value) { return value > 0 ? value : 0;
}

}  // namespace

int main() {
  testing::ComScope com;
  WaveMixerServices services;
  testing::RecordingPoster poster;
  auto found = testing::FindCaptureDevice(services, DeviceCategory::AudioInput,
                                          testing::kWineCaptureName);
  if (!found.found) {
    std::printf("capture hold: no \"In: default\" device in this prefix\n");
    return 1;
  }
  SPDEVMIC mic(poster, services);
  AudioInitRecord record;
  record.restoreFilter = std::move(found.firstFilter);
  record.workerFilter = std::move(found.secondFilter);
  record.waveInId = static_cast<std::uint32_t>(found.waveInId);
  mic.Init(&record);
  testing::WaveInMute mute(record.waveInId);

  // What the process costs with the device merely open and muted once, so
  // that Wine's own audio threads are told apart from the worker's work.
  double callWall = 0;
  double callCpu = 0;
  double openCpu = 0;
  double openWall = 0;
  {
    const WaveFormat format = MicrophoneHoldFormat();
    std::unique_ptr<WaveInput> input;
    services.OpenWaveInput(record.waveInId, format, &input);
    const double cpuStart = ProcessCpuSeconds();
    const double wallStart = Now();
    Sleep(kHoldMs);
    openCpu = NonNegative(ProcessCpuSeconds() - cpuStart);
    openWall = Now() - wallStart;

    // The cost of one re-application: a mixerSetControlDetails of the mute.
    std::unique_ptr<Mixer> mixer;
    MixerLineInfo line;
    MixerControlInfo control;
    if (services.OpenWaveInputMixer(*input, &mixer) == kMmNoError &&
        mixer->GetLineInfoByType(kMixerLineTypeDestinationWaveIn, &line) == kMmNoError &&
        mixer->GetLineControlByType(line.lineId, kMixerControlTypeMute, &control) == kMmNoError) {
      const std::int32_t off[2] = {0, 0};
      const double cpuBefore = ProcessCpuSeconds();
      const double start = Now();
      for (int call = 0; call < kCallRounds; ++call) mixer->SetBooleanControl(control.controlId, 1, off);
      callWall = (Now() - start) / kCallRounds;
      callCpu = (ProcessCpuSeconds() - cpuBefore) / kCallRounds;
    }
  }

  // Two windows: the first one also pays for whatever Wine sets up on the
  // first use of the device, the second one is the steady hold.
  mic.Block();
  while (mute.Read() != 1) Sleep(1);
  double cpu[2];
  double wall[2];
  for (int window = 0; window < 2; ++window) {
    const double cpuStart = ProcessCpuSeconds();
    const double wallStart = Now();
    Sleep(kHoldMs);
    cpu[window] = NonNegative(ProcessCpuSeconds() - cpuStart);
    wall[window] = Now() - wallStart;
  }
  mic.Unblock();

  double total = 0;
  double worst = 0;
  for (int round = 0; round < kUnblockRounds; ++round) {
    mic.Block();
    while (mute.Read() != 1) Sleep(1);
    Sleep(static_cast<DWORD>((round * 7) % 66));  // the stop lands anywhere in a period
    const double start = Now();
    mic.Unblock();
    const double took = Now() - start;
    total += took;
    if (took > worst) worst = took;
  }

  std::printf("microphone held through wave input and mixer under Wine\n");
  std::printf("  process CPU, device only open: %8.4f %% of a core (%.0f ms over %.1f s)\n",
              100.0 * openCpu / openWall, openCpu * 1000.0, openWall);
  std::printf("  one mute re-application:       %8.1f us wall, %.1f us CPU\n", callWall * 1e6,
              callCpu * 1e6);
  for (int window = 0; window < 2; ++window) {
    std::printf("  process CPU while holding, %s: %8.4f %% of a core (%.0f ms over %.1f s)\n",
                window == 0 ? "first " : "steady", 100.0 * cpu[window] / wall[window],
                cpu[window] * 1000.0, wall[window]);
  }
  std::printf("  Unblock latency:               %8.1f ms mean, %.1f ms worst (%d rounds)\n",
              total / kUnblockRounds * 1000.0, worst * 1000.0, kUnblockRounds);

  // The check a block of the input adds on this version: a fresh endpoint
  // enumerator, device and volume, and one read of the mute.
  Win32CaptureServices current;
  std::u16string endpoint;
  if (current.WaveInputEndpointId(record.waveInId, &endpoint) == kMmNoError) {
    EndpointMutedForOthers(current, endpoint);  // the first use loads what it needs
    const double start = Now();
    for (int round = 0; round < kCheckRounds; ++round) EndpointMutedForOthers(current, endpoint);
    std::printf("  silence check per block:       %8.2f ms (endpoint read afresh, %d rounds)\n",
                (Now() - start) / kCheckRounds * 1000.0, kCheckRounds);
  }
  return 0;
}
