// A holding microphone's cost and how fast it lets go, with the recording
// fake of the capture services sleeping for real:
//   - WorkerCpuWhileHolding: CPU time the process spends per second of wall
//     time while one worker re-applies its setting every 66 ms (goal: below
//     0.1 % of a core);
//   - UnblockLatency: time from Unblock to its return (stop, join, restore),
//     with the stop arriving at a random point of the period; the bound by
//     design is one period plus one call;
//   - RemuteLatency: time from another program's unmute of a held endpoint
//     to muted again, answered by the change notice (1) or by the 66 ms
//     re-application alone (0).
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <random>
#include <thread>

#include "devices/Microphone.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/RecordingPoster.h"

using namespace shadowpane;

namespace {

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct HoldingSetup {
  HoldingSetup(std::uint32_t version) {
    services.recordOrder = false;
    services.realSleepMicros = -1;  // the real 66 ms
    services.majorVersion = version;
    mic = std::make_unique<SPDEVMIC>(poster, services);
    AudioInitRecord record;
    record.restoreFilter = services.MakeFilter("restore");
    record.workerFilter = services.MakeFilter("worker");
    record.notifyWindow = 1;
    mic->Init(&record);
  }
  testing::FakeCaptureServices services;
  testing::RecordingPoster poster;
  std::unique_ptr<SPDEVMIC> mic;
};

void WorkerCpuWhileHolding(benchmark::State& state) {
  HoldingSetup setup(static_cast<std::uint32_t>(state.range(0)));
  setup.mic->Block();
  setup.services.WaitForCount("Sleep", 1);
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    const double cpuStart = ProcessCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    cpu += ProcessCpuSeconds() - cpuStart;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  }
  setup.mic->Unblock();
  state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
  state.counters["reapplications_per_s"] =
      static_cast<double>(setup.services.Count("Sleep")) / wall;
}
BENCHMARK(WorkerCpuWhileHolding)->Arg(5)->Arg(6)->Iterations(2)->Unit(benchmark::kMillisecond);

void UnblockLatency(benchmark::State& state) {
  HoldingSetup setup(static_cast<std::uint32_t>(state.range(0)));
  std::mt19937 random(7);
  double worst = 0;
  for (auto _ : state) {
    setup.mic->Block();
    setup.services.WaitForCount("Sleep", setup.services.Count("Sleep") + 1);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 66000));
    const auto start = std::chrono::steady_clock::now();
    setup.mic->Unblock();
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(took);
    if (took > worst) worst = took;
  }
  state.counters["worst_ms"] = worst * 1000.0;
}
BENCHMARK(UnblockLatency)->Arg(5)->Arg(6)->Iterations(30)->UseManualTime()->Unit(
    benchmark::kMillisecond);

void RemuteLatency(benchmark::State& state) {
  const bool notices = state.range(0) != 0;
  const std::u16string endpoint = u"{0.0.1.00000000}.{bench}";
  testing::FakeCaptureServices services;
  services.recordOrder = false;
  services.realSleepMicros = -1;
  services.AddDevice(DeviceCategory::AudioInput,
                     testing::FakeDeviceInfo{u"Bench Mic", std::nullopt, 0, std::nullopt, "B", false,
                                             false, endpoint});
  // Without change notices only the periodic re-application answers.
  if (!notices) services.Fail("endpointVolume.Register", kHrFail);
  testing::RecordingPoster poster;
  SPDEVMIC mic(poster, services);
  AudioInitRecord record;
  std::u16string(u"Bench Mic").copy(record.friendlyName, 9);
  record.notifyWindow = 1;
  mic.Init(&record);
  mic.SetFriendlyName(u"Bench Mic");
  mic.Block();
  services.WaitForCount("Sleep", 1);
  std::mt19937 random(11);
  double worst = 0;
  for (auto _ : state) {
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 66000));
    const auto start = std::chrono::steady_clock::now();
    if (notices) {
      services.MuteEndpointFromOutside(endpoint, false);
    } else {
      services.SetEndpointMuted(endpoint, false);
    }
    while (!services.EndpointMuted(endpoint)) std::this_thread::sleep_for(std::chrono::microseconds(50));
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(took);
    if (took > worst) worst = took;
  }
  mic.Unblock();
  state.counters["worst_ms"] = worst * 1000.0;
}
BENCHMARK(RemuteLatency)->Arg(1)->Arg(0)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
