// Linking N devices that all report one friendly name: every link must find
// the lowest free suffix among all the names already given.
#include <benchmark/benchmark.h>

#include "devices/DeviceList.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"

namespace shadowpane {
namespace {

void BM_LinkDevicesSharingOneName(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  testing::RecordingPoster poster;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<SPDEV*> made;
    made.reserve(count);
    for (int i = 0; i < count; ++i) {
      made.push_back(testing::MakeTestDevice(poster, u"USB Video Device", u"p"));
    }
    DeviceList list;
    state.ResumeTiming();
    for (SPDEV* device : made) benchmark::DoNotOptimize(list.LinkDevice(device));
    state.PauseTiming();
    list.DestroyDeviceList();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_LinkDevicesSharingOneName)->Arg(100)->Arg(1000)->Arg(9999)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace shadowpane
