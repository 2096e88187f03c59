// A refresh that finds nothing new, over N known devices (half cameras,
// half microphones): what the main window pays whenever a device
// notification or the audio poll triggers a refresh. The capture services
// are the tests' fake, quiet (it neither logs nor counts), so the figures are
// mostly the core's own cost (identity lookups, sweep, list filling, profile
// encoding).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "devices/Discovery.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

// The lists as a real list box would take them, minus the drawing.
class CountingTarget : public DiscoveryTarget {
 public:
  NotifyWindow Window() override { return 1; }
  void KillAudioPollTimer() override {}
  void SetAudioPollTimer() override {}
  void ResetList(DeviceListBox) override { entries = 0; }
  void InsertAtTop(DeviceListBox, const WideChar* text, std::uint32_t data) override {
    benchmark::DoNotOptimize(text);
    benchmark::DoNotOptimize(data);
    ++entries;
  }
  void ClearSelection(DeviceListBox) override {}
  int entries = 0;
};

std::u16string Number(int i) {
  const std::string digits = std::to_string(i);
  return std::u16string(digits.begin(), digits.end());
}

void BM_RefreshFindingNothingNew(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  testing::FakeCaptureServices services;
  services.quiet = true;
  for (int i = 0; i < count; ++i) {
    // Realistic lengths: a USB device path and a typical product name.
    if (i % 2 == 0) {
      testing::FakeDeviceInfo camera;
      camera.friendlyName = u"USB Video Device " + Number(i);
      camera.devicePath = u"\\\\?\\usb#vid_046d&pid_0825&mi_00#7&1a2b3c4d&0&" + Number(i) +
                          u"#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
      services.AddDevice(DeviceCategory::VideoInput, camera);
    } else {
      // As a system that names each input's device interface.
      testing::FakeDeviceInfo microphone;
      microphone.friendlyName = u"Microphone (USB Audio Device " + Number(i) + u")";
      microphone.waveInId = i;
      microphone.deviceInterface = u"\\\\?\\SWD#MMDEVAPI#{0.0.1.00000000}." + Number(i);
      services.AddDevice(DeviceCategory::AudioInput, microphone);
    }
  }
  testing::RecordingPoster poster;
  testing::MemoryProfileFile profile;
  CountingTarget target;
  DeviceList list(&profile);
  DiscoveryContext context{list, services, poster, target, {}};
  RefreshDevices(context, 1);
  if (list.Count() != count) state.SkipWithError("devices were not all linked");

  for (auto _ : state) RefreshDevices(context, 0);

  if (list.Count() != count || poster.Count() != 0) state.SkipWithError("refresh changed the set");
  state.SetItemsProcessed(state.iterations() * count);
  state.counters["devices"] = count;
}
BENCHMARK(BM_RefreshFindingNothingNew)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace shadowpane
