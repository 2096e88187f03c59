// Two figures of a held microphone's edges, against the capture services'
// fake (printed, not timed):
// - unmuted moments: two microphones held through their endpoints while
//   1,000 random events plug, unplug and swap other audio inputs, each
//   followed by a refresh; a watcher counts every time a held endpoint went
//   from muted to unmuted, whoever did it;
// - the answer to an unmute storm: another program unmutes a held endpoint
//   1,000 times within one second; how many of those were answered by an
//   immediate re-mute (the periodic re-application not counted);
// - the unmuting program: on the real clock, another program unmutes a
//   held endpoint whenever it reads it muted, every 0.5 ms for 3 s; a
//   sampler reads the endpoint and the entry every 0.3 ms: the share of
//   samples that read unmuted while the entry showed green (blocked, not
//   amber).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "devices/Discovery.h"
#include "devices/Microphone.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/FakeDeviceLists.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::FakeDeviceInfo;

constexpr int kEvents = 1000;
constexpr int kStormUnmutes = 1000;
constexpr unsigned kSeed = 28;

FakeDeviceInfo Input(const std::string& unit) {
  FakeDeviceInfo info;
  info.friendlyName = u"Input " + std::u16string(unit.begin(), unit.end());
  info.unit = unit;
  info.endpointId = u"{0.0.1.00000000}.{" + std::u16string(unit.begin(), unit.end()) + u"}";
  info.deviceInterface = u"\\\\?\\usb#" + std::u16string(unit.begin(), unit.end());
  return info;
}

// The record of muted endpoints, kept in memory.
struct MemoryStore : MutedEndpointStore {
  std::u16string Read() override { return text; }
  bool Write(const std::u16string& written) override {
    text = written;
    return true;
  }
  std::u16string text;
};

bool Settled(FakeCaptureServices& services, DeviceList& list) {
  if (!services.Settle(std::chrono::seconds(10))) return false;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    auto* microphone = static_cast<SPDEVMIC*>(device);
    if (microphone->HoldRequested() && DeviceList::IsBlocked(device) == 0) return false;
  }
  return true;
}

void WaitSettled(FakeCaptureServices& services, DeviceList& list) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!Settled(services, list) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void UnmutedMomentsUnderInputChanges() {
  FakeCaptureServices services;
  services.recordOrder = false;
  services.realSleepMicros = 100;
  testing::RecordingPoster poster;
  testing::MemoryProfileFile profile;
  testing::FakeDeviceLists lists;
  DeviceList list{&profile};
  MemoryStore store;
  MutedEndpoints record(store);
  DiscoveryContext context{list, services, poster, lists, {1, 0}, &record};
  const std::vector<std::string> held = {"A", "B"};
  for (const std::string& unit : held) services.Plug(DeviceCategory::AudioInput, Input(unit));
  RefreshDevices(context, 1);  // blocks both at start
  WaitSettled(services, list);
  context.block = {0, 0};      // the others come and go unblocked

  const std::vector<std::string> others = {"H1", "H2", "H3"};
  std::vector<bool> present(others.size(), false);
  std::mt19937 random(kSeed);
  int events[3] = {};
  for (int event = 0; event < kEvents; ++event) {
    const int kind = static_cast<int>(random() % 3);
    const std::size_t which = random() % others.size();
    const auto count = static_cast<std::int32_t>(services.waveInCount.load());
    if (kind == 0 && !present[which]) {
      FakeDeviceInfo info = Input(others[which]);
      info.waveInId = static_cast<std::int32_t>(random() % static_cast<unsigned>(count + 1));
      services.Plug(DeviceCategory::AudioInput, info);
      present[which] = true;
    } else if (kind == 1 && present[which]) {
      services.Unplug(others[which]);
      present[which] = false;
    } else {
      services.SwapWaveIn(static_cast<std::int32_t>(random() % static_cast<unsigned>(count)),
                          static_cast<std::int32_t>(random() % static_cast<unsigned>(count)));
    }
    ++events[kind];
    RefreshDevices(context, 0);
    WaitSettled(services, list);
  }
  int moments = 0;
  for (const std::string& unit : held) moments += services.EndpointUnmutedMoments(*Input(unit).endpointId);
  int blocked = 0;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next) {
    if (static_cast<SPDEVMIC*>(device)->EndpointId() == *Input("A").endpointId ||
        static_cast<SPDEVMIC*>(device)->EndpointId() == *Input("B").endpointId) {
      blocked += DeviceList::IsBlocked(device);
    }
  }
  std::printf("input changes: %d events (%d plug, %d unplug, %d swap tries), "
              "held endpoints unmuted %d times; held microphones still blocked: %d of 2\n",
              kEvents, events[0], events[1], events[2], moments, blocked);
  list.DestroyDeviceList();
}

void UnmuteStorm() {
  FakeCaptureServices services;
  services.recordOrder = false;
  services.realSleepMicros = -1;  // the worker sleeps its real 66 ms
  testing::RecordingPoster poster;
  const FakeDeviceInfo info = Input("A");
  services.Plug(DeviceCategory::AudioInput, info);
  SPDEVMIC microphone(poster, services);
  AudioInitRecord init;
  info.friendlyName->copy(init.friendlyName, info.friendlyName->size());
  microphone.Init(&init);
  microphone.SetFriendlyName(info.friendlyName->c_str());
  microphone.Block();
  while (microphone.IsBlockedBitSet() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const int periodicBefore = services.Count("endpointVolume.SetMute(1)");
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kStormUnmutes; ++i) {
    services.MuteEndpointFromOutside(*info.endpointId, false);
    std::this_thread::sleep_until(start + std::chrono::microseconds(1000 * (i + 1)));
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int mutesDuringStorm = services.Count("endpointVolume.SetMute(1)") - periodicBefore;
  microphone.Unblock();
  const int immediate = microphone.ForeignUnmutesAnswered();
  std::printf("unmute storm: %d unmutes in %.2f s; immediate re-mutes %d (%.1f a second); "
              "all re-mutes during the storm %d\n",
              kStormUnmutes, seconds, immediate, immediate / seconds, mutesDuringStorm);
}

void UnmutingProgram() {
  constexpr auto kRun = std::chrono::seconds(3);
  constexpr auto kProgramPace = std::chrono::microseconds(500);
  constexpr auto kSamplePace = std::chrono::microseconds(300);
  FakeCaptureServices services;
  services.recordOrder = false;
  services.realSleepMicros = -1;  // the real clock and the real 66 ms
  testing::RecordingPoster poster;
  const FakeDeviceInfo info = Input("A");
  services.Plug(DeviceCategory::AudioInput, info);
  SPDEVMIC microphone(poster, services);
  AudioInitRecord init;
  info.friendlyName->copy(init.friendlyName, info.friendlyName->size());
  microphone.Init(&init);
  microphone.SetFriendlyName(info.friendlyName->c_str());
  microphone.Block();
  while (microphone.IsBlockedBitSet() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::atomic<bool> stop{false};
  std::thread program([&] {
    while (!stop) {
      if (services.EndpointMuted(*info.endpointId)) services.MuteEndpointFromOutside(*info.endpointId, false);
      std::this_thread::sleep_for(kProgramPace);
    }
  });
  int samples = 0;
  int unmuted = 0;
  int unmutedGreen = 0;
  int green = 0;
  const auto end = std::chrono::steady_clock::now() + kRun;
  while (std::chrono::steady_clock::now() < end) {
    const bool shownGreen = microphone.IsBlockedBitSet() != 0 && microphone.IsSharedBitSet() == 0;
    const bool heard = !services.EndpointMuted(*info.endpointId);
    ++samples;
    unmuted += heard ? 1 : 0;
    green += shownGreen ? 1 : 0;
    unmutedGreen += heard && shownGreen ? 1 : 0;
    std::this_thread::sleep_for(kSamplePace);
  }
  stop = true;
  program.join();
  microphone.Unblock();
  std::printf("unmuting program: %d samples over 3 s; unmuted %d (%.1f %%); shown green %d; "
              "unmuted while shown green %d (%.1f %% of samples)\n",
              samples, unmuted, 100.0 * unmuted / samples, green, unmutedGreen, 100.0 * unmutedGreen / samples);
}

}  // namespace
}  // namespace shadowpane

int main() {
  shadowpane::UnmutedMomentsUnderInputChanges();
  shadowpane::UnmuteStorm();
  shadowpane::UnmutingProgram();
  return 0;
}
