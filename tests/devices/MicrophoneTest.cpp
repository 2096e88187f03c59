#include "devices/Microphone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/FakeCaptureServices.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using Log = std::vector<std::string>;

constexpr NotifyWindow kWindow = 0x4321;

// Records each post into the fake's log, so that the order of posts and
// platform calls can be checked in one sequence.
class LoggingPoster : public DevicePoster {
 public:
  explicit LoggingPoster(FakeCaptureServices& services) : services_(services) {}
  void PostDeviceNotify(NotifyWindow window, std::uint32_t code, SPDEV*) override {
    services_.Call(window == kWindow ? "post" : "post to a wrong window", std::to_string(code));
  }

 private:
  FakeCaptureServices& services_;
};

const Log kRestoreInput = {
    "CreateFilterGraph",
    "CreateCaptureGraphBuilder",
    "builder.SetFiltergraph graph",
    "graph.AddFilter(Audio Capture) restore",
    "builder.FindPin restore in none analogaudio",
    "pin.QueryAudioInputMixer",
    "release pin",
    "inputMixer.PutEnable(1)",
    "inputMixer.PutEnable(0)",
    "inputMixer.PutEnable(1)",
    "release inputMixer",
    "release builder",
    "release graph",
};

// The worker's part of a log: everything before its handle is closed.
// The entries after the first one that starts with the call: once a call
// fails, what follows is only the cleanup. False when the call is missing.
bool EntriesAfter(const Log& log, const std::string& call, Log* tail) {
  auto found = std::find_if(log.begin(), log.end(),
                            [&](const std::string& e) { return e.rfind(call, 0) == 0; });
  if (found == log.end()) return false;
  tail->assign(found + 1, log.end());
  return true;
}

Log WorkerPart(const Log& log) {
  return Log(log.begin(), std::find(log.begin(), log.end(), "release thread"));
}

// Log without the calls a holding worker repeats: the re-applications and
// their sleeps. Keeps the first application.
Log WithoutRepeats(const Log& log, const std::string& repeated) {
  Log out;
  bool seen = false;
  bool workerDone = false;
  for (const std::string& entry : log) {
    workerDone = workerDone || entry == "release thread";
    if (workerDone) {
      out.push_back(entry);
      continue;
    }
    // The join is logged by the user-interface thread while the worker
    // runs on, so its place among the worker's calls is not fixed.
    if (entry.rfind("Sleep", 0) == 0 || entry == "thread.Join") continue;
    if (entry == repeated) {
      if (seen) continue;
      seen = true;
    }
    out.push_back(entry);
  }
  return out;
}

class MicrophoneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mic = std::make_unique<SPDEVMIC>(poster, services);
    AudioInitRecord record;
    // Three bindings of one device: what one switches off, the others read.
    record.restoreFilter = services.MakeFilter("restore", "microphone");
    record.workerFilter = services.MakeFilter("worker", "microphone");
    record.checkFilter = services.MakeFilter("check", "microphone");
    const std::u16string name = u"In: default";
    name.copy(record.friendlyName, name.size());
    const std::u16string path = u"3 In: default";
    path.copy(record.path, path.size());
    record.waveInId = 3;
    record.notifyWindow = kWindow;
    mic->Init(&record);
    services.ClearLog();
  }

  // Blocks and waits until the worker is holding (its loop has slept once).
  void BlockAndWaitForHold() {
    ASSERT_EQ(mic->Block(), 1);
    ASSERT_TRUE(services.WaitForCount("Sleep", 1));
  }

  // Waits until a worker that never held has ended by itself (its one post).
  void WaitForWorkerEnd() { ASSERT_TRUE(services.WaitForCount("post", 1)); }

  FakeCaptureServices services;
  LoggingPoster poster{services};
  std::unique_ptr<SPDEVMIC> mic;
};

TEST_F(MicrophoneTest, DirectShowMethodDisablesTheInputUntilUnblocked) {
  services.majorVersion = 6;
  BlockAndWaitForHold();
  EXPECT_EQ(mic->IsBlockedBitSet(), 1);
  EXPECT_EQ(mic->IsSharedBitSet(), 0) << "the check binding reads the input switched off";
  EXPECT_EQ(mic->Unblock(), 1);
  EXPECT_EQ(mic->IsBlockedBitSet(), 0);
  EXPECT_FALSE(mic->HasWorker());

  const Log check = {
      "CreateFilterGraph",
      "CreateCaptureGraphBuilder",
      "builder.SetFiltergraph graph",
      "graph.AddFilter(Audio Capture) check",
      "builder.FindPin check in none analogaudio",
      "pin.QueryAudioInputMixer",
      "release pin",
      "inputMixer.GetEnable",
      "release inputMixer",
      "release builder",
      "release graph",
  };
  Log expected = {
      "waveInGetDevCaps id=3",  // no input of that name: no endpoint is looked up
      "StartThread",
      "GetVersion",
      "CoInitialize",
      "CreateFilterGraph",
      "CreateCaptureGraphBuilder",
      "builder.SetFiltergraph graph",
      "graph.AddFilter(Audio Capture) worker",
      "builder.FindPin worker in none analogaudio",
      "pin.QueryAudioInputMixer",
      "release pin",
      "inputMixer.PutEnable(0)",
  };
  expected.insert(expected.end(), check.begin(), check.end());
  const Log rest = {
      "post 1",  // blocked, once silent as another client finds it
      "inputMixer.PutEnable(1)",
      "release inputMixer",
      "release builder",
      "release graph",
      "CoUninitialize",
      "post 1",  // unblocked, once the input is back on
      "release thread",
  };
  expected.insert(expected.end(), rest.begin(), rest.end());
  expected.insert(expected.end(), kRestoreInput.begin(), kRestoreInput.end());
  EXPECT_EQ(WithoutRepeats(services.Log(), "inputMixer.PutEnable(0)"), expected);
  EXPECT_EQ(services.LiveObjects(), 3);  // the three filters
}

TEST_F(MicrophoneTest, WaveMixerMethodMutesTheLineUntilUnblocked) {
  services.majorVersion = 5;
  BlockAndWaitForHold();
  EXPECT_EQ(mic->Unblock(), 1);
  const std::string mute = "mixer.SetControl id=7 ch=2 v=1,1";
  Log expected = {
      "waveInGetDevCaps id=3",
      "StartThread",
      "GetVersion",
      "waveInOpen id=3 ch=1 tag=1 rate=44100 bps=88200 align=2 bits=16 cb=0",
      "mixerOpen",
      "mixer.GetLineInfo type=7",
      "mixer.GetLineControl line=4294901760 type=536936450",
      mute,
      "post 1",  // blocked, once muted
      "mixer.SetControl id=7 ch=2 v=0,0",
      "release mixer",
      "release waveIn",
      "post 1",
      "release thread",
  };
  expected.insert(expected.end(), kRestoreInput.begin(), kRestoreInput.end());
  EXPECT_EQ(WithoutRepeats(services.Log(), mute), expected);
  EXPECT_EQ(services.LiveObjects(), 3);
}

TEST_F(MicrophoneTest, EveryPeriodReappliesOnceAndSleeps66ThenChecksStop) {
  // The stop flag is looked at before each re-application, so Unblock waits
  // for at most one period and one call: every sleep follows exactly one
  // re-application and the worker does not re-apply after its last sleep.
  for (std::uint32_t version : {5u, 6u}) {
    SCOPED_TRACE(version);
    services.majorVersion = version;
    services.ClearLog();
    // Counts run on across passes: wait for three sleeps of this worker.
    const int sleepsBefore = services.Count("Sleep");
    ASSERT_EQ(mic->Block(), 1);
    ASSERT_TRUE(services.WaitForCount("Sleep", sleepsBefore + 3));
    mic->Unblock();
    const std::string apply =
        version == 5 ? "mixer.SetControl id=7 ch=2 v=1,1" : "inputMixer.PutEnable(0)";
    const Log log = WorkerPart(services.Log());
    const auto sleeps = std::count(log.begin(), log.end(), "Sleep 66");
    EXPECT_EQ(std::count(log.begin(), log.end(), apply), sleeps + 1);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& e) { return e.rfind("Sleep", 0) == 0; }),
              sleeps);
    // Nothing but the final undo between the last sleep and the join's end.
    const auto lastSleep = std::find(log.rbegin(), log.rend(), "Sleep 66");
    EXPECT_EQ(std::find(log.rbegin(), lastSleep, apply), lastSleep);
  }
}

TEST_F(MicrophoneTest, MonoRejectedOpensStereoWithTheSameRates) {
  services.majorVersion = 5;
  services.Fail("waveInOpen", kWaveBadFormat, 1);
  BlockAndWaitForHold();
  mic->Unblock();
  EXPECT_EQ(services.LogMatching("waveInOpen"),
            (Log{"waveInOpen id=3 ch=1 tag=1 rate=44100 bps=88200 align=2 bits=16 cb=0",
                 "waveInOpen id=3 ch=2 tag=1 rate=44100 bps=88200 align=2 bits=16 cb=0"}));
}

TEST_F(MicrophoneTest, MuteChannelRule) {
  services.majorVersion = 5;
  struct Case {
    std::uint32_t lineChannels;
    std::uint32_t flags;
    const char* expected;
  };
  for (const Case& c : {Case{6, 0, "ch=2"}, Case{6, kMixerControlFlagUniform, "ch=1"},
                        Case{1, 0, "ch=1"}, Case{2, 0, "ch=2"}}) {
    SCOPED_TRACE(c.expected);
    services.mixerLineChannels = c.lineChannels;
    services.mixerControlFlags = c.flags;
    services.ClearLog();
    const int sleeps = services.Count("Sleep");
    ASSERT_EQ(mic->Block(), 1);
    ASSERT_TRUE(services.WaitForCount("Sleep", sleeps + 1));
    mic->Unblock();
    const Log sets = services.LogMatching("mixer.SetControl");
    ASSERT_FALSE(sets.empty());
    for (const std::string& set : sets) {
      EXPECT_NE(set.find(std::string(" ") + c.expected + " "), std::string::npos) << set;
    }
  }
}

// A microphone that cannot be silenced never shows blocked and reports no
// error: its worker ends on its own after releasing what it opened, without
// the undo call, and posts its state once.
TEST_F(MicrophoneTest, WaveMixerFailuresEndTheWorkerByItself) {
  struct Case {
    const char* call;
    std::int64_t result;
    Log releases;
  };
  const std::vector<Case> cases = {
      {"waveInOpen", kMmBadDeviceId, {}},
      {"mixerOpen", kMmBadDeviceId, {"release waveIn"}},
      {"mixer.GetLineInfo", kMmError, {"release mixer", "release waveIn"}},
      {"mixer.GetLineControl", kMmError, {"release mixer", "release waveIn"}},
      {"mixer.SetControl", kMmError, {"release mixer", "release waveIn"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    FakeCaptureServices fake;
    LoggingPoster posts(fake);
    SPDEVMIC device(posts, fake);
    AudioInitRecord record;
    record.restoreFilter = fake.MakeFilter("restore");
    record.notifyWindow = kWindow;
    device.Init(&record);
    fake.majorVersion = 5;
    fake.Fail(c.call, c.result);

    ASSERT_EQ(device.Block(), 1);
    ASSERT_TRUE(fake.WaitForCount("post", 1));
    Log tail;
    ASSERT_TRUE(EntriesAfter(fake.Log(), c.call, &tail));
    Log expected = c.releases;
    expected.push_back("post 1");
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(fake.Count("Sleep"), 0);
    EXPECT_EQ(device.IsBlockedBitSet(), 0);

    fake.ClearLog();
    EXPECT_EQ(device.Unblock(), 1);
    Log afterUnblock = {"thread.Join", "release thread"};
    afterUnblock.insert(afterUnblock.end(), kRestoreInput.begin(), kRestoreInput.end());
    EXPECT_EQ(fake.Log(), afterUnblock);
    EXPECT_EQ(fake.Count("post"), 1);
  }
}

// From version 6 on, wave input's mixer is the calling program's own, so
// an input without an endpoint whose analog input cannot be switched off is
// not held at all: the graph is released and the worker ends.
TEST_F(MicrophoneTest, InputPinFailuresWithoutAnEndpointHoldNothing) {
  struct Case {
    const char* call;
    HResult result;
    Log releases;
  };
  const std::vector<Case> cases = {
      {"CreateFilterGraph", kHrFail, {"CoUninitialize"}},
      {"CreateCaptureGraphBuilder", kHrFail, {"release graph", "CoUninitialize"}},
      {"graph.AddFilter(Audio Capture)", kHrFail,
       {"release builder", "release graph", "CoUninitialize"}},
      {"builder.FindPin", kHrFail, {"release builder", "release graph", "CoUninitialize"}},
      {"pin.QueryAudioInputMixer", kHrNoInterface,
       {"release pin", "release builder", "release graph", "CoUninitialize"}},
      {"inputMixer.PutEnable(0)", kHrFail,
       {"release inputMixer", "release builder", "release graph", "CoUninitialize"}},
      // A failed CoInitialize is not balanced, and the filter graph then
      // cannot be made.
      {"CoInitialize", static_cast<HResult>(0x80010106u), {"CreateFilterGraph"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    FakeCaptureServices fake;
    LoggingPoster posts(fake);
    SPDEVMIC device(posts, fake);
    AudioInitRecord record;
    record.workerFilter = fake.MakeFilter("worker");
    record.waveInId = 2;
    record.notifyWindow = kWindow;
    device.Init(&record);
    fake.majorVersion = 6;
    fake.Fail(c.call, c.result);
    if (std::string(c.call) == "CoInitialize") fake.Fail("CreateFilterGraph", kHrFail);

    ASSERT_EQ(device.Block(), 1);
    ASSERT_TRUE(fake.WaitForCount("post", 1));
    Log tail;
    ASSERT_TRUE(EntriesAfter(fake.Log(), c.call, &tail));
    Log expected = c.releases;
    expected.push_back("post 1");
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(device.IsBlockedBitSet(), 0);
    EXPECT_EQ(fake.Count("waveInOpen"), 0);
    EXPECT_EQ(device.Unblock(), 1);
    EXPECT_EQ(fake.LiveObjects(), 1);
  }
}

// Only when neither method can start does the worker end by itself.
TEST_F(MicrophoneTest, WorkerEndsByItselfWhenNeitherMethodStarts) {
  services.majorVersion = 6;
  services.Fail("builder.FindPin", kHrFail);
  ASSERT_EQ(mic->Block(), 1);
  WaitForWorkerEnd();
  EXPECT_EQ(mic->IsBlockedBitSet(), 0);
  EXPECT_EQ(services.Count("Sleep"), 0);
  EXPECT_EQ(mic->Unblock(), 1);
  EXPECT_EQ(services.LiveObjects(), 3);
}

TEST_F(MicrophoneTest, BlockWhileHoldingStartsNothing) {
  BlockAndWaitForHold();
  EXPECT_EQ(mic->Block(), 1);
  EXPECT_EQ(services.Count("StartThread"), 1);
  mic->Unblock();
  EXPECT_EQ(services.Count("post"), 2);
}

TEST_F(MicrophoneTest, SecondBlockBeforeTheWorkerRunsStartsNothing) {
  services.HoldThreadStarts(true);
  ASSERT_EQ(mic->Block(), 1);
  EXPECT_EQ(mic->Block(), 1);
  EXPECT_EQ(mic->Block(), 1);
  EXPECT_EQ(services.Count("StartThread"), 1);
  services.HoldThreadStarts(false);
  ASSERT_TRUE(services.WaitForCount("Sleep", 1));
  EXPECT_EQ(mic->Unblock(), 1);
  EXPECT_EQ(services.Count("StartThread"), 1);
  EXPECT_EQ(services.Count("post"), 2);
  EXPECT_EQ(services.UnjoinedCloses(), 0);
}

TEST_F(MicrophoneTest, UnblockBeforeTheWorkerRunsStillJoinsIt) {
  services.HoldThreadStarts(true);
  ASSERT_EQ(mic->Block(), 1);
  std::thread release([this] {
    services.WaitForCount("thread.Join", 1);
    services.HoldThreadStarts(false);
  });
  EXPECT_EQ(mic->Unblock(), 1);
  release.join();
  // The worker saw the stop at its first check: it posted blocked and
  // unblocked but never re-applied anything.
  EXPECT_EQ(services.Count("post"), 2);
  EXPECT_EQ(services.Count("Sleep"), 0);
  EXPECT_EQ(mic->IsBlockedBitSet(), 0);
  EXPECT_EQ(services.UnjoinedCloses(), 0);
}

TEST_F(MicrophoneTest, BlockAfterTheWorkerEndedByItselfReapsItAndStartsAnother) {
  services.majorVersion = 5;
  services.Fail("waveInOpen", kMmBadDeviceId, 1);
  ASSERT_EQ(mic->Block(), 1);
  WaitForWorkerEnd();
  services.ClearLog();
  ASSERT_EQ(mic->Block(), 1);
  ASSERT_TRUE(services.WaitForCount("Sleep", 1));
  const Log log = services.Log();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0], "thread.Join");
  EXPECT_EQ(log[1], "release thread");
  EXPECT_EQ(log[3], "StartThread");
  EXPECT_EQ(mic->IsBlockedBitSet(), 1);
  mic->Unblock();
  EXPECT_EQ(services.Count("StartThread"), 2);
  EXPECT_EQ(services.Count("release thread"), 2);
  EXPECT_EQ(services.UnjoinedCloses(), 0);
  EXPECT_EQ(services.Count("post"), 3);
}

TEST_F(MicrophoneTest, NoThreadMeansBlockFailsQuietly) {
  services.Fail("StartThread", 1, 1);
  EXPECT_EQ(mic->Block(), 0);
  EXPECT_FALSE(mic->HasWorker());
  EXPECT_EQ(services.Count("post"), 0);
  EXPECT_EQ(mic->IsBlockedBitSet(), 0);
  // Unblock without a worker answers 1 and does not restore the input.
  services.ClearLog();
  EXPECT_EQ(mic->Unblock(), 1);
  EXPECT_TRUE(services.Log().empty());
  // The next Block can start one.
  BlockAndWaitForHold();
  mic->Unblock();
}

TEST_F(MicrophoneTest, DestroyingAHoldingMicrophoneStopsRestoresAndReleases) {
  BlockAndWaitForHold();
  services.ClearLog();
  mic.reset();
  const Log log = services.Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[log.size() - 3], "release restore");
  EXPECT_EQ(log[log.size() - 2], "release worker");
  EXPECT_EQ(log[log.size() - 1], "release check");
  EXPECT_EQ(services.Count("post"), 2);
  EXPECT_EQ(services.Count("CoUninitialize"), 1);
  EXPECT_EQ(services.Count("builder.FindPin"), 3);  // the worker's, the check's and RestoreInput's
  EXPECT_EQ(services.LiveObjects(), 0);
}

TEST_F(MicrophoneTest, WaveInIdIsReadOnceByEachWorker) {
  services.majorVersion = 5;
  EXPECT_EQ(mic->GetWaveInId(), 3);
  BlockAndWaitForHold();
  EXPECT_EQ(mic->SetWaveInId(5), 5);
  EXPECT_EQ(mic->GetWaveInId(), 5);
  // The holding worker keeps the device it opened.
  mic->Unblock();
  BlockAndWaitForHold();
  mic->Unblock();
  const Log opens = services.LogMatching("waveInOpen");
  ASSERT_EQ(opens.size(), 2u);
  EXPECT_EQ(opens[0].rfind("waveInOpen id=3 ", 0), 0u);
  EXPECT_EQ(opens[1].rfind("waveInOpen id=5 ", 0), 0u);
}

TEST_F(MicrophoneTest, RestoreInputStopsAtTheFirstFailure) {
  services.Fail("builder.FindPin", kHrFail);
  mic->RestoreInput();
  EXPECT_EQ(services.Log(),
            (Log{"CreateFilterGraph", "CreateCaptureGraphBuilder", "builder.SetFiltergraph graph",
                 "graph.AddFilter(Audio Capture) restore",
                 "builder.FindPin restore in none analogaudio", "release builder",
                 "release graph"}));
}

TEST_F(MicrophoneTest, InitAndIdentity) {
  EXPECT_EQ(mic->GetKind(), DEVICE_KIND_AUDIO);
  EXPECT_EQ(mic->PollDeviceLost(), 0);
  WideChar path[kNameUnits] = {};
  EXPECT_EQ(mic->GetPath(path, kMaxNameChars), 13);
  EXPECT_EQ(mic->Init(nullptr), 0);
  EXPECT_EQ(mic->GetWaveInId(), 3);
  EXPECT_EQ(services.LiveObjects(), 3);
}

}  // namespace
}  // namespace shadowpane
