// A microphone silenced through its audio endpoint: what it gives back,
// how it answers another program's unmute, what its check concludes, and
// the start-up clean-up of the record of muted endpoints.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "devices/Discovery.h"
#include "devices/EndpointMute.h"
#include "devices/Microphone.h"
#include "tests/support/DeviceWaits.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/FakeDeviceLists.h"
#include "tests/support/MemoryProfileFile.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::FakeDeviceInfo;
using testing::WaitUntil;
using Log = std::vector<std::string>;

constexpr NotifyWindow kWindow = 0x4321;
const std::u16string kEndpoint = u"{0.0.1.00000000}.{mic}";

// A store that can refuse writes, as a registry key without write access.
struct TextStore : MutedEndpointStore {
  std::u16string Read() override { return text; }
  bool Write(const std::u16string& written) override {
    if (refuses) return false;
    text = written;
    return true;
  }
  std::u16string text;
  bool refuses = false;
};

class EndpointMuteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services.AddDevice(DeviceCategory::AudioInput,
                       FakeDeviceInfo{u"Headset", std::nullopt, 0, std::nullopt, "H", false, false,
                                      kEndpoint});
  }
  // A microphone of the listed input; `pin` gives it an analog input too.
  std::unique_ptr<SPDEVMIC> MakeMicrophone(bool pin = false) {
    auto mic = std::make_unique<SPDEVMIC>(poster, services, &record);
    AudioInitRecord init;
    if (pin) init.workerFilter = services.MakeFilter("worker", "H");
    const std::u16string name = u"Headset";
    name.copy(init.friendlyName, name.size());
    init.notifyWindow = kWindow;
    mic->Init(&init);
    mic->SetFriendlyName(name.c_str());  // as linking it into a list does
    return mic;
  }
  void Hold(SPDEVMIC& mic) {
    ASSERT_EQ(mic.Block(), 1);
    ASSERT_TRUE(WaitUntil([&] { return mic.IsBlockedBitSet() == 1; }));
  }

  FakeCaptureServices services;
  testing::RecordingPoster poster;
  TextStore store;
  MutedEndpoints record{store};
};

TEST_F(EndpointMuteTest, AHoldMutesForEveryoneAndGivesBackWhatItFound) {
  struct Case {
    const char* name;
    bool mutedBefore;
    std::u16string recordBefore;
    bool mutedAfter;
  };
  const Case cases[] = {
      {"found unmuted", false, u"", false},
      {"muted by the user: stays muted", true, u"", true},
      {"left muted by a run that ended", true, kEndpoint, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    services.SetEndpointMuted(kEndpoint, c.mutedBefore);
    store.text = c.recordBefore;
    MutedEndpoints fresh(store);
    auto mic = std::make_unique<SPDEVMIC>(poster, services, &fresh);
    AudioInitRecord init;
    std::u16string(u"Headset").copy(init.friendlyName, 7);
    init.notifyWindow = kWindow;
    mic->Init(&init);
    mic->SetFriendlyName(u"Headset");
    Hold(*mic);
    EXPECT_EQ(mic->EndpointId(), kEndpoint);
    EXPECT_TRUE(services.EndpointMuted(kEndpoint));
    EXPECT_EQ(mic->IsSharedBitSet(), 0) << "a fresh object reads the endpoint muted";
    EXPECT_EQ(fresh.Contains(kEndpoint), !c.mutedBefore || !c.recordBefore.empty());
    mic.reset();  // closing the program gives back as unblocking does
    EXPECT_EQ(services.EndpointMuted(kEndpoint), c.mutedAfter);
    EXPECT_TRUE(store.text.empty());
    EXPECT_EQ(services.LiveObjects(), 0);
  }
}

// The change notice only wakes the worker, which re-mutes at once while the
// budget lasts (the clock stands still: every unmute falls into one
// second); past it the periodic re-application answers. After the unblock
// no one listens.
TEST_F(EndpointMuteTest, AnUnmuteStormGetsAtMostTheBudgetOfImmediateRemutes) {
  services.clockStopped = true;
  services.realSleepMicros = 20000;
  auto mic = MakeMicrophone();
  Hold(*mic);
  constexpr int kStorm = 1000;
  for (int i = 0; i < kStorm; ++i) {
    services.MuteEndpointFromOutside(kEndpoint, false);
    // The first ones wait for their answer, so each uses the budget.
    if (i <= kMaxImmediateRemutesPerSecond) {
      ASSERT_TRUE(WaitUntil([&] { return services.EndpointMuted(kEndpoint); }));
    }
  }
  ASSERT_TRUE(WaitUntil([&] { return services.EndpointMuted(kEndpoint); }));
  EXPECT_EQ(mic->Unblock(), 1);
  EXPECT_EQ(mic->ForeignUnmutesAnswered(), kMaxImmediateRemutesPerSecond);
  EXPECT_EQ(services.MuteListeners(kEndpoint), 0);
  const int mutes = services.Count("endpointVolume.SetMute(1)");
  services.MuteEndpointFromOutside(kEndpoint, true);
  services.MuteEndpointFromOutside(kEndpoint, false);
  EXPECT_EQ(services.Count("endpointVolume.SetMute(1)"), mutes) << "no one answers after the unblock";
  EXPECT_FALSE(services.EndpointMuted(kEndpoint));
}

// Another program that unmutes whenever it reads the endpoint muted, every
// half millisecond, until told to stop; it notes the fake clock when it
// last unmuted.
struct UnmutingProgram {
  UnmutingProgram(FakeCaptureServices& services, const std::u16string& endpoint)
      : thread([this, &services, endpoint] {
          while (!stop) {
            if (services.EndpointMuted(endpoint)) {
              services.MuteEndpointFromOutside(endpoint, false);
              lastUnmuteMs = services.NowMs();
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
          }
        }) {}
  void Stop() {
    stop = true;
    thread.join();
  }
  std::atomic<bool> stop{false};
  std::atomic<std::uint32_t> lastUnmuteMs{0};
  std::thread thread;
};

// Past the budget of immediate re-mutes the hold is contested: amber within
// a second (on the fake's clock), the periodic re-application going on
// throughout, and green again only after a full quiet second.
TEST_F(EndpointMuteTest, AProgramThatKeepsUnmutingTurnsTheHoldAmberUntilAQuietSecond) {
  // Each period really waits 5 ms and moves the clock on 66 ms: the program
  // unmutes about every 7 ms of the clock, far past the budget.
  services.realSleepMicros = 5000;
  auto mic = MakeMicrophone();
  Hold(*mic);
  ASSERT_EQ(mic->HoldRisks(), 0u);
  const std::uint32_t start = services.NowMs();
  const int posts = poster.Count();
  UnmutingProgram program(services, kEndpoint);
  ASSERT_TRUE(WaitUntil([&] { return (mic->HoldRisks() & kHoldRiskContested) != 0; }));
  EXPECT_LT(services.NowMs() - start, 1000u) << "amber within a second";
  EXPECT_EQ(mic->IsSharedBitSet(), 1);
  EXPECT_GT(poster.Count(), posts) << "the change is posted";
  const int periodic = services.Count("Sleep");
  ASSERT_TRUE(WaitUntil([&] { return services.Count("Sleep") > periodic + 20; }));
  EXPECT_NE(mic->HoldRisks() & kHoldRiskContested, 0u) << "still contested while it goes on";
  const int mutes = services.Count("endpointVolume.SetMute(1)");
  program.Stop();
  ASSERT_TRUE(WaitUntil([&] { return mic->HoldRisks() == 0; }));
  const std::uint32_t quiet = services.NowMs() - program.lastUnmuteMs;
  EXPECT_GE(quiet, kContestQuietMs) << "not before a full quiet second";
  EXPECT_LE(quiet, kContestQuietMs + 3 * kMuteReapplyPeriodMs);
  EXPECT_GT(services.Count("endpointVolume.SetMute(1)"), mutes) << "the periodic re-mute went on";
  EXPECT_EQ(mic->IsSharedBitSet(), 0);
  mic->Unblock();
}

TEST(ContestedMuteTest, StartsPastTheBudgetAndEndsAfterAQuietSecondAcrossTheWrap) {
  ContestedMute contest;
  const std::uint32_t start = 0xFFFFFF00u;
  contest.NoteUnmute(start, true);
  EXPECT_FALSE(contest.Contested(start)) << "an answered unmute is no contest";
  contest.NoteUnmute(start + 10, false);
  EXPECT_TRUE(contest.Contested(start + 10));
  contest.NoteUnmute(start + 500, true);
  EXPECT_TRUE(contest.Contested(start + 1499)) << "a second after the last unmute, less one";
  EXPECT_FALSE(contest.Contested(start + 1500));
}

TEST(RemuteBudgetTest, CountsTheLastSecondAcrossTheClocksWrap) {
  RemuteBudget budget;
  const std::uint32_t start = 0xFFFFFF00u;  // wraps 256 ms in
  for (int i = 0; i < kMaxImmediateRemutesPerSecond; ++i) EXPECT_TRUE(budget.Take(start + static_cast<std::uint32_t>(i)));
  EXPECT_FALSE(budget.Take(start + 999));
  EXPECT_TRUE(budget.Take(start + 1000)) << "the first of the second has left the window";
  EXPECT_FALSE(budget.Take(start + 1000));
}

// A refused unregistration leaves the system with the notice object, which
// the hold shares: a notice after the microphone is gone wakes nothing
// freed and mutes nothing.
TEST_F(EndpointMuteTest, ANoticeAfterARefusedUnregistrationReachesNoFreedHold) {
  services.Fail("endpointVolume.Unregister", kHrFail);
  auto mic = MakeMicrophone();
  Hold(*mic);
  mic.reset();
  EXPECT_EQ(services.MuteListeners(kEndpoint), 1);
  const int mutes = services.Count("endpointVolume.SetMute(1)");
  services.MuteEndpointFromOutside(kEndpoint, true);
  services.MuteEndpointFromOutside(kEndpoint, false);
  EXPECT_EQ(services.Count("endpointVolume.SetMute(1)"), mutes);
}

// Each refused step releases what it opened (volume, device, enumerator),
// leaves the endpoint and the record as they were, and, with no analog input
// to fall back on, the microphone never shows blocked.
TEST_F(EndpointMuteTest, EveryRefusedEndpointStepReleasesInOrderAndHoldsNothing) {
  const Log all = {"release endpointVolume", "release endpoint", "release endpointEnum"};
  const struct {
    const char* call;
    Log releases;
  } steps[] = {
      {"CreateAudioEndpointEnumerator", {}},
      {"endpointEnum.GetDevice", {"release endpointEnum"}},
      {"endpoint.ActivateVolume", {"release endpoint", "release endpointEnum"}},
      {"endpointVolume.GetMute", all},
      {"endpointVolume.SetMute(1)", all},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.call);
    services.ClearLog();
    poster.Clear();
    services.Fail(step.call, kHrFail, 1);
    auto mic = MakeMicrophone();
    ASSERT_EQ(mic->Block(), 1);
    ASSERT_TRUE(WaitUntil([&] { return poster.Count() == 1; }));
    Log releases;
    for (const std::string& entry : services.Log()) {
      if (entry.rfind("release endpoint", 0) == 0) releases.push_back(entry);
    }
    EXPECT_EQ(releases, step.releases);
    EXPECT_EQ(mic->IsBlockedBitSet(), 0);
    EXPECT_FALSE(services.EndpointMuted(kEndpoint));
    EXPECT_TRUE(store.text.empty());
  }
}

TEST_F(EndpointMuteTest, AHoldOthersDoNotMeetShowsNotSilentAndARecheckFollowsIt) {
  // Wine's endpoints keep the mute in each object: another one reads 0.
  services.endpointMutePerObject = true;
  auto mic = MakeMicrophone(true);
  Hold(*mic);
  EXPECT_EQ(mic->IsSharedBitSet(), 1) << "held, and the input pin is off, but not silent for others";
  mic->Unblock();

  // Verified at first; then the endpoint is unmuted where this hold cannot
  // see it, and the next refresh's recheck shows it.
  services.endpointMutePerObject = false;
  Hold(*mic);
  EXPECT_EQ(mic->IsSharedBitSet(), 0);
  services.endpointMutePerObject = true;
  services.SetEndpointMuted(kEndpoint, false);
  EXPECT_EQ(mic->RecheckHold(), 1);
  EXPECT_TRUE(WaitUntil([&] { return mic->IsSharedBitSet() == 1; }));
  mic->Unblock();
}

TEST_F(EndpointMuteTest, StartUpUnmutesRecordedEndpointsNoBlockHolds) {
  const std::u16string stray = u"{0.0.1.00000000}.{stray}";
  const std::u16string gone = u"{0.0.1.00000000}.{gone}";
  services.SetEndpointMuted(kEndpoint, true);
  services.SetEndpointMuted(stray, true);
  store.text = kEndpoint + u";" + stray + u";" + gone;
  MutedEndpoints leftover(store);
  testing::MemoryProfileFile profile;
  testing::FakeDeviceLists lists;
  DeviceList list{&profile};
  DiscoveryContext context{list, services, poster, lists, {1, 0}, &leftover};
  // The held microphone's endpoint is resolved before the clean-up runs;
  // the unplugged one cannot be unmuted now and stays for the next start.
  services.HoldThreadStarts(true);
  RefreshDevices(context, 1);
  services.HoldThreadStarts(false);
  EXPECT_TRUE(services.EndpointMuted(kEndpoint));
  EXPECT_FALSE(services.EndpointMuted(stray));
  EXPECT_EQ(leftover.Entries(), (std::vector<std::u16string>{kEndpoint, gone}));
  ASSERT_TRUE(WaitUntil([&] { return DeviceList::IsBlocked(list.head()) == 1; }));
  list.DestroyDevice(list.head());
  EXPECT_EQ(store.text, gone);
}

TEST(MutedEndpointsRecord, ReadsOnlyWhatItCouldHaveWritten) {
  const std::u16string longId(kMaxEndpointIdChars + 1, u'x');
  std::u16string many;
  for (std::size_t i = 0; i < kMaxMutedEndpoints + 5; ++i) {
    for (char digit : std::to_string(i) + ";") many += static_cast<char16_t>(digit);
  }
  const struct {
    std::u16string text;
    std::size_t count;
  } cases[] = {
      {u"", 0}, {u";;;", 0}, {u"a;b", 2}, {u"a;a;b;a", 2}, {longId + u";b", 1}, {many, kMaxMutedEndpoints},
  };
  for (const auto& c : cases) {
    const std::vector<std::u16string> ids = ParseMutedEndpoints(c.text);
    EXPECT_EQ(ids.size(), c.count);
    EXPECT_EQ(ParseMutedEndpoints(FormatMutedEndpoints(ids)), ids);
  }
  TextStore store;
  MutedEndpoints record(store);
  record.Add(u"a;b");  // could not be read back as one id
  record.Add(longId);
  EXPECT_TRUE(store.text.empty());
}

}  // namespace
}  // namespace shadowpane
