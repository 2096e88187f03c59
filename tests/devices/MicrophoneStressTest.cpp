// Many Block/Unblock cycles on several microphones from one thread, the way
// the user-interface thread drives them, while their workers start, hold,
// fail and end on their own. Run under ThreadSanitizer by the test command,
// which turns any data race or lock-order problem into a failure.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "devices/Microphone.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::RecordingPoster;

constexpr int kMicrophones = 4;
constexpr int kCycles = 2000;

TEST(MicrophoneStress, ManyCyclesWhileWorkersStartAndEndOnTheirOwn) {
  FakeCaptureServices services;
  services.recordOrder = false;
  services.realSleepMicros = 300;
  RecordingPoster poster;
  std::vector<std::unique_ptr<SPDEVMIC>> mics;
  for (int i = 0; i < kMicrophones; ++i) {
    mics.push_back(std::make_unique<SPDEVMIC>(poster, services));
    AudioInitRecord record;
    record.restoreFilter = services.MakeFilter("restore");
    record.workerFilter = services.MakeFilter("worker");
    record.waveInId = static_cast<std::uint32_t>(i);
    record.notifyWindow = 1;
    mics.back()->Init(&record);
  }

  std::mt19937 random(12345);
  int blocks = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    SPDEVMIC& mic = *mics[random() % kMicrophones];
    // Both silencing methods, and now and then a worker that fails to
    // silence and ends by itself.
    services.majorVersion = (random() % 2) ? 5 : 6;
    switch (random() % 8) {
      case 0:
        services.Fail("inputMixer.PutEnable(0)", kHrFail, 1);
        services.Fail("mixer.GetLineControl", kMmError, 1);
        break;
      case 1:
        // Reading the bit and the names while the worker writes them.
        mic.IsBlockedBitSet();
        mic.SetWaveInId(static_cast<std::uint32_t>(cycle));
        break;
      default:
        break;
    }
    // Now and then give the workers time to reach their hold.
    if (random() % 4 == 0) std::this_thread::sleep_for(std::chrono::microseconds(300));
    switch (random() % 3) {
      case 0:
      case 1:
        EXPECT_EQ(mic.Block(), 1);
        ++blocks;
        if (random() % 2) {
          EXPECT_EQ(mic.Block(), 1);  // a second click while starting
        }
        break;
      default:
        EXPECT_EQ(mic.Unblock(), 1);
        break;
    }
  }
  for (auto& mic : mics) {
    EXPECT_EQ(mic->Unblock(), 1);
    EXPECT_FALSE(mic->HasWorker());
    EXPECT_EQ(mic->IsBlockedBitSet(), 0);
  }

  // Every worker started was joined and its handle closed exactly once.
  EXPECT_EQ(services.Count("StartThread"), services.Count("release thread"));
  EXPECT_EQ(services.Count("StartThread"), services.Count("thread.Join"));
  EXPECT_EQ(services.UnjoinedCloses(), 0);
  EXPECT_LE(services.Count("StartThread"), blocks);
  // Each worker posted its end, and its hold before that if it got one;
  // nothing else.
  EXPECT_GE(static_cast<int>(poster.Count()), services.Count("StartThread"));
  EXPECT_LE(static_cast<int>(poster.Count()), 2 * services.Count("StartThread"));
  // Every COM initialisation balanced, every object released.
  EXPECT_EQ(services.Count("CoInitialize"), services.Count("CoUninitialize"));
  mics.clear();
  EXPECT_EQ(services.LiveObjects(), 0);
}

}  // namespace
}  // namespace shadowpane
