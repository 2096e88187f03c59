#include "devices/Camera.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FakeCaptureServices.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::RecordingPoster;
using Log = std::vector<std::string>;

constexpr NotifyWindow kWindow = 0x1234;
const std::string kSetNotify = "events.SetNotifyWindow window=4660 msg=32771 device";
const std::string kDetachNotify = "events.SetNotifyWindow null";

// The calls of a Block that gets all the way to a paused graph.
const Log kBlockCalls = {
    "CreateFilterGraph",
    "CreateCaptureGraphBuilder",
    "builder.SetFiltergraph graph",
    "graph.QueryMediaControl",
    "graph.QueryMediaEvent",
    kSetNotify,
    "graph.AddFilter(Video Capture) camera",
    "CreateNullRenderer",
    "graph.AddFilter(Null) nullRenderer",
    "builder.FindPin camera out capture video",
    "builder.RenderStream pin nullRenderer",
    "release pin",
    "control.Pause",
    "filter.GetState camera 100",
};

// Stop's release order; the capture filter stays.
const Log kGraphReleases = {"release control", "release events", "release nullRenderer",
                            "release builder", "release graph"};

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    camera = std::make_unique<SPDEVCAM>(poster, services);
    VideoInitRecord record;
    record.captureFilter = services.MakeFilter("camera");
    const std::u16string name = u"USB Camera";
    name.copy(record.friendlyName, name.size());
    const std::u16string path = u"\\\\?\\usb#vid_1";
    path.copy(record.path, path.size());
    record.notifyWindow = kWindow;
    camera->Init(&record);
    services.ClearLog();
  }

  FakeCaptureServices services;
  RecordingPoster poster;
  std::unique_ptr<SPDEVCAM> camera;
};

TEST_F(CameraTest, BlockBuildsAndPausesTheGraphThenSetsTheBitAndPosts) {
  EXPECT_EQ(camera->Block(), 1);
  EXPECT_EQ(services.Log(), kBlockCalls);
  EXPECT_EQ(camera->IsBlockedBitSet(), 1);
  const auto posts = poster.Posts();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].code, DEVICE_STATE_CHANGED);
  EXPECT_EQ(posts[0].window, kWindow);
  EXPECT_EQ(posts[0].device, camera.get());
  // The capture filter and the five graph references, nothing else.
  EXPECT_EQ(services.LiveObjects(), 6);
}

TEST_F(CameraTest, PauseAnsweringSFalseCountsAsHeld) {
  services.Fail("control.Pause", kHrFalse);
  EXPECT_EQ(camera->Block(), 1);
  EXPECT_EQ(camera->IsBlockedBitSet(), 1);
}

TEST_F(CameraTest, SetFiltergraphFailureDoesNotEndTheAttempt) {
  services.Fail("builder.SetFiltergraph", kHrFail);
  EXPECT_EQ(camera->Block(), 1);
}

// A step that fails ends the attempt with its result: the notify window is
// taken back if the event interface exists, the pin goes if still held,
// then the graph references in their fixed order. Nothing is posted.
struct FailingStep {
  const char* call;
  Log cleanup;
};

TEST_F(CameraTest, EveryFailingStepEndsTheAttemptAndReleasesInOrder) {
  const std::vector<FailingStep> steps = {
      {"CreateFilterGraph", {}},
      {"CreateCaptureGraphBuilder", {"release graph"}},
      {"graph.QueryMediaControl", {"release builder", "release graph"}},
      {"graph.QueryMediaEvent", {"release control", "release builder", "release graph"}},
      {"events.SetNotifyWindow",
       {kDetachNotify, "release control", "release events", "release builder", "release graph"}},
      {"graph.AddFilter(Video Capture)",
       {kDetachNotify, "release control", "release events", "release builder", "release graph"}},
      {"CreateNullRenderer",
       {kDetachNotify, "release control", "release events", "release builder", "release graph"}},
      {"graph.AddFilter(Null)",
       {kDetachNotify, "release control", "release events", "release nullRenderer",
        "release builder", "release graph"}},
      {"builder.FindPin",
       {kDetachNotify, "release control", "release events", "release nullRenderer",
        "release builder", "release graph"}},
      {"builder.RenderStream",
       {kDetachNotify, "release pin", "release control", "release events",
        "release nullRenderer", "release builder", "release graph"}},
      {"control.Pause",
       {kDetachNotify, "release control", "release events", "release nullRenderer",
        "release builder", "release graph"}},
      // The graph paused, but its capture filter did not: it is stopped first.
      {"filter.GetState",
       {kDetachNotify, "control.Stop", "release control", "release events",
        "release nullRenderer", "release builder", "release graph"}},
  };
  constexpr HResult kCannotConnect = static_cast<HResult>(0x80040217u);
  for (const FailingStep& step : steps) {
    SCOPED_TRACE(step.call);
    FakeCaptureServices fake;
    RecordingPoster posts;
    SPDEVCAM device(posts, fake);
    VideoInitRecord record;
    record.captureFilter = fake.MakeFilter("camera");
    record.notifyWindow = kWindow;
    device.Init(&record);
    fake.ClearLog();
    fake.Fail(step.call, kCannotConnect);

    EXPECT_EQ(device.Block(), kCannotConnect);

    Log expected;
    for (const std::string& call : kBlockCalls) {
      expected.push_back(call);
      if (call.compare(0, std::string(step.call).size(), step.call) == 0) break;
    }
    expected.insert(expected.end(), step.cleanup.begin(), step.cleanup.end());
    EXPECT_EQ(fake.Log(), expected);
    EXPECT_EQ(device.IsBlockedBitSet(), 0);
    EXPECT_EQ(posts.Count(), 0u);
    EXPECT_FALSE(device.HoldsGraph());
    EXPECT_EQ(fake.LiveObjects(), 1);  // only the capture filter

    // Unblock after a failed Block has nothing to release and says so.
    fake.ClearLog();
    EXPECT_EQ(device.Unblock(), 1);
    EXPECT_TRUE(fake.Log().empty());
    EXPECT_EQ(posts.Count(), 0u);
  }
}

TEST_F(CameraTest, BlockWithoutCaptureFilterAnswersZeroAndReleasesTheGraph) {
  SPDEVCAM unbound(poster, services);
  VideoInitRecord record;
  record.notifyWindow = kWindow;
  unbound.Init(&record);
  services.ClearLog();
  EXPECT_EQ(unbound.Block(), 0);
  const Log expected = {"CreateFilterGraph",       "CreateCaptureGraphBuilder",
                        "builder.SetFiltergraph graph", "graph.QueryMediaControl",
                        "graph.QueryMediaEvent",   kSetNotify,
                        kDetachNotify,             "release control",
                        "release events",          "release builder",
                        "release graph"};
  EXPECT_EQ(services.Log(), expected);
  EXPECT_EQ(poster.Count(), 0u);
  EXPECT_EQ(unbound.IsBlockedBitSet(), 0);
}

TEST_F(CameraTest, UnblockStopsClearsTheBitPostsAndReleasesInOrder) {
  ASSERT_EQ(camera->Block(), 1);
  services.ClearLog();
  EXPECT_EQ(camera->Unblock(), 1);
  Log expected = {"control.Stop", kDetachNotify};
  expected.insert(expected.end(), kGraphReleases.begin(), kGraphReleases.end());
  EXPECT_EQ(services.Log(), expected);
  EXPECT_EQ(camera->IsBlockedBitSet(), 0);
  ASSERT_EQ(poster.Count(), 2u);
  EXPECT_EQ(poster.Posts()[1].code, DEVICE_STATE_CHANGED);
  EXPECT_EQ(services.LiveObjects(), 1);
}

TEST_F(CameraTest, RefusedStopKeepsTheCameraHeldAndPostsNothing) {
  ASSERT_EQ(camera->Block(), 1);
  services.Fail("control.Stop", kHrFail, 1);
  services.ClearLog();
  EXPECT_EQ(camera->Unblock(), 0);
  EXPECT_EQ(services.Log(), Log{"control.Stop"});
  EXPECT_EQ(camera->IsBlockedBitSet(), 1);
  EXPECT_TRUE(camera->HoldsGraph());
  EXPECT_EQ(poster.Count(), 1u);
  // The graph is still there to be stopped later.
  EXPECT_EQ(camera->Unblock(), 1);
  EXPECT_EQ(camera->IsBlockedBitSet(), 0);
}

TEST_F(CameraTest, BlockOfABlockedCameraKeepsItsGraph) {
  ASSERT_EQ(camera->Block(), 1);
  services.ClearLog();
  EXPECT_EQ(camera->Block(), 1);
  EXPECT_TRUE(services.Log().empty());  // nothing built, nothing released
  EXPECT_TRUE(camera->HoldsGraph());
  EXPECT_EQ(poster.Count(), 1u);
  EXPECT_EQ(camera->Unblock(), 1);
  EXPECT_EQ(services.LiveObjects(), 1);
}

TEST_F(CameraTest, DestroyingABlockedCameraUnblocksThenReleasesTheFilter) {
  ASSERT_EQ(camera->Block(), 1);
  services.ClearLog();
  camera.reset();
  Log expected = {"control.Stop", kDetachNotify};
  expected.insert(expected.end(), kGraphReleases.begin(), kGraphReleases.end());
  expected.push_back("release camera");
  EXPECT_EQ(services.Log(), expected);
  EXPECT_EQ(poster.Count(), 2u);
  EXPECT_EQ(services.LiveObjects(), 0);
}

TEST_F(CameraTest, DestroyingACameraWhoseStopFailsStillReleasesEverything) {
  ASSERT_EQ(camera->Block(), 1);
  services.Fail("control.Stop", kHrFail);
  services.ClearLog();
  camera.reset();
  Log expected = {"control.Stop", kDetachNotify};
  expected.insert(expected.end(), kGraphReleases.begin(), kGraphReleases.end());
  expected.push_back("release camera");
  EXPECT_EQ(services.Log(), expected);
  EXPECT_EQ(poster.Count(), 1u);  // no unblocked post for a stop that failed
  EXPECT_EQ(services.LiveObjects(), 0);
}

TEST_F(CameraTest, InitOfAHeldCameraReleasesTheOldGraphAndFilter) {
  ASSERT_EQ(camera->Block(), 1);
  VideoInitRecord record;
  record.captureFilter = services.MakeFilter("replacement");
  services.ClearLog();
  camera->Init(&record);
  Log expected = {"control.Stop", kDetachNotify};
  expected.insert(expected.end(), kGraphReleases.begin(), kGraphReleases.end());
  expected.push_back("release camera");
  EXPECT_EQ(services.Log(), expected);
  EXPECT_EQ(camera->IsBlockedBitSet(), 0);
  EXPECT_EQ(services.LiveObjects(), 1);
}

TEST_F(CameraTest, PollDeviceLostDrainsEventsUntilDeviceLost) {
  EXPECT_EQ(camera->PollDeviceLost(), 0);  // no graph: not even asked
  EXPECT_TRUE(services.Log().empty());
  ASSERT_EQ(camera->Block(), 1);
  services.QueueGraphEvent(1);
  services.QueueGraphEvent(kEventDeviceLost);
  services.QueueGraphEvent(5);
  services.ClearLog();
  EXPECT_EQ(camera->PollDeviceLost(), 1);
  EXPECT_EQ(services.Log(), (Log{"events.GetEvent 0", "events.FreeEventParams 1 11 22",
                                 "events.GetEvent 0", "events.FreeEventParams 31 11 22"}));
  services.ClearLog();
  EXPECT_EQ(camera->PollDeviceLost(), 0);
  EXPECT_EQ(services.Log(), (Log{"events.GetEvent 0", "events.FreeEventParams 5 11 22",
                                 "events.GetEvent 0"}));
}

TEST_F(CameraTest, InitTakesTheFilterAndIgnoresOtherRecords) {
  EXPECT_EQ(camera->GetKind(), DEVICE_KIND_VIDEO);
  EXPECT_EQ(camera->GetWaveInId(), 0);
  EXPECT_EQ(camera->SetWaveInId(7), 0);
  EXPECT_EQ(camera->GetWaveInId(), 0);
  WideChar name[kNameUnits] = {};
  EXPECT_EQ(camera->GetDisplayName(name, kMaxNameChars), 10);
  WideChar friendly[kNameUnits] = {};
  EXPECT_EQ(camera->GetFriendlyName(friendly, kMaxNameChars), 0);
  WideChar path[kNameUnits] = {};
  EXPECT_EQ(camera->GetPath(path, kMaxNameChars), 13);

  EXPECT_EQ(camera->Init(nullptr), 0);
  {
    DeviceInitRecord audio;
    audio.kind = DEVICE_KIND_AUDIO;
    EXPECT_EQ(camera->Init(&audio), 0);
  }
  EXPECT_EQ(services.LiveObjects(), 1);  // still holds its filter
  ASSERT_EQ(camera->Block(), 1);         // and can use it
  // A record nobody used releases its own filter.
  {
    VideoInitRecord unused;
    unused.captureFilter = services.MakeFilter("unused");
  }
  EXPECT_EQ(services.Count("release unused"), 1);
}

}  // namespace
}  // namespace shadowpane
