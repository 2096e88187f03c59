// Saving and loading the profile of 1000 devices (codec and list walk; the
// file itself is an in-memory stand-in).
#include <benchmark/benchmark.h>

#include <string>

#include "devices/DeviceList.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"

namespace shadowpane {
namespace {

constexpr int kDevices = 1000;

std::u16string PathFor(int i) {
  const std::string s = "\\\\?\\usb#vid_046d&pid_" + std::to_string(i) + "#{65e8773d}\\global";
  return std::u16string(s.begin(), s.end());
}

void FillList(DeviceList& list, testing::RecordingPoster& poster) {
  for (int i = 0; i < kDevices; ++i) {
    SPDEV* device = list.LinkDevice(testing::MakeTestDevice(poster, u"Camera", PathFor(i)));
    if (i % 2) device->Block();
  }
}

void BM_SaveProfile1000(benchmark::State& state) {
  testing::RecordingPoster poster;
  testing::MemoryProfileFile file;
  DeviceList list(&file);
  FillList(list, poster);
  for (auto _ : state) benchmark::DoNotOptimize(SaveProfile(list));
}
BENCHMARK(BM_SaveProfile1000)->Unit(benchmark::kMicrosecond);

void BM_LoadProfile1000(benchmark::State& state) {
  testing::RecordingPoster poster;
  testing::MemoryProfileFile file;
  DeviceList list(&file);
  FillList(list, poster);
  SaveProfile(list);
  std::vector<ProfileRecord> records;
  for (auto _ : state) benchmark::DoNotOptimize(LoadProfile(file, records));
}
BENCHMARK(BM_LoadProfile1000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace shadowpane
