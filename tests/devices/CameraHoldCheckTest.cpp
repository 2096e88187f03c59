// The hold check of a blocked camera against the fake services, whose
// devices serve one client at a time unless shared: what it concludes, and
// that it leaves the hold alone whichever of its steps fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/Camera.h"
#include "tests/support/FakeCaptureServices.h"
#include "tests/support/RecordingPoster.h"

namespace shadowpane {
namespace {

using testing::FakeCaptureServices;
using testing::kHrCannotConnect;
using testing::RecordingPoster;
using Log = std::vector<std::string>;

constexpr NotifyWindow kWindow = 0x1234;
constexpr char kDevice[] = "usb-cam";
// The capture filter, the second binding and the hold's five references.
constexpr int kHeldObjects = 7;

class CameraHoldCheckTest : public ::testing::Test {
 protected:
  // A camera bound twice to one device, as discovery binds it.
  std::unique_ptr<SPDEVCAM> MakeCamera(bool withCheckFilter = true) {
    auto camera = std::make_unique<SPDEVCAM>(poster, services);
    VideoInitRecord record;
    record.captureFilter = services.MakeFilter("camera", kDevice);
    if (withCheckFilter) record.checkFilter = services.MakeFilter("check", kDevice);
    record.notifyWindow = kWindow;
    camera->Init(&record);
    return camera;
  }

  FakeCaptureServices services;
  RecordingPoster poster;
};

TEST_F(CameraHoldCheckTest, ABlockTellsAHeldCameraFromAHeldButSharedOne) {
  struct Case {
    const char* name;
    bool shared;
    bool withCheckFilter;
    int sharedBit;
    bool refusesAtPause = false;
  };
  const Case cases[] = {
      {"one client at a time: verified", false, true, 0},
      {"shared by the system: held but shared", true, true, 1},
      // Nothing to meet the hold with: nothing is claimed.
      {"no second binding: not checked", true, false, 0},
      // The second graph connects and answers Pause with S_FALSE, but its
      // capture filter never gets there.
      {"refused only at pause: verified", false, true, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    services.ShareDevice(kDevice, c.shared);
    services.RefuseAtPause(kDevice, c.refusesAtPause);
    poster.Clear();
    auto camera = MakeCamera(c.withCheckFilter);
    const int graphsBefore = services.Count("CreateFilterGraph");

    EXPECT_EQ(camera->Block(), 1);

    EXPECT_EQ(camera->IsBlockedBitSet(), 1);
    EXPECT_EQ(camera->IsSharedBitSet(), c.sharedBit);
    EXPECT_EQ(services.Count("CreateFilterGraph") - graphsBefore, c.withCheckFilter ? 2 : 1);
    // One post, made once the answer was known.
    ASSERT_EQ(poster.Count(), 1u);
    EXPECT_EQ(poster.Posts()[0].code, DEVICE_STATE_CHANGED);
    // The check's graph is gone; the hold alone keeps the device open.
    EXPECT_EQ(services.OpenClients(kDevice), 1);
    EXPECT_EQ(services.LiveObjects(), c.withCheckFilter ? kHeldObjects : kHeldObjects - 1);

    EXPECT_EQ(camera->Unblock(), 1);
    EXPECT_EQ(camera->IsSharedBitSet(), 0) << "a released camera is not shared";
    EXPECT_EQ(services.OpenClients(kDevice), 0);
  }
}

// A camera another client holds refuses at pause, behind a graph that
// answers S_FALSE: no hold is claimed, and the graph is stopped and released.
TEST_F(CameraHoldCheckTest, ACameraAnotherClientPausedFirstIsNotHeld) {
  services.RefuseAtPause(kDevice);
  auto first = MakeCamera();
  ASSERT_EQ(first->Block(), 1);
  auto second = MakeCamera();
  poster.Clear();
  EXPECT_TRUE(Failed(second->Block()));
  EXPECT_EQ(second->IsBlockedBitSet(), 0);
  EXPECT_FALSE(second->HoldsGraph());
  EXPECT_EQ(poster.Count(), 0u);
  EXPECT_EQ(services.LiveObjects(), kHeldObjects + 2) << "the second camera's two bindings";
  EXPECT_EQ(first->RecheckHold(), 1);
  EXPECT_EQ(first->IsSharedBitSet(), 0);
}

TEST_F(CameraHoldCheckTest, ARecheckPostsOnlyWhenTheAnswerChanges) {
  auto camera = MakeCamera();
  EXPECT_EQ(camera->RecheckHold(), 0) << "not held: nothing to check";
  EXPECT_EQ(services.Count("CreateFilterGraph"), 0);
  ASSERT_EQ(camera->Block(), 1);
  poster.Clear();

  // The system's sharing as each refresh finds it, and the shared bit and
  // number of posts that follow.
  struct Step {
    bool shared;
    int sharedBit;
    size_t posts;
  };
  const Step steps[] = {{false, 0, 0}, {true, 1, 1}, {true, 1, 1}, {false, 0, 2}, {false, 0, 2}};
  for (const Step& step : steps) {
    services.ShareDevice(kDevice, step.shared);
    EXPECT_EQ(camera->RecheckHold(), 1);
    EXPECT_EQ(camera->IsSharedBitSet(), step.sharedBit);
    EXPECT_EQ(camera->IsBlockedBitSet(), 1);
    EXPECT_EQ(poster.Count(), step.posts);
    EXPECT_EQ(services.OpenClients(kDevice), 1);
  }
}

// Any step of the check that fails makes the hold verified. Whatever step
// it reached, the check stops its stream if it tried to pause it and then
// releases its references in one order, and the hold stays intact.
TEST_F(CameraHoldCheckTest, AFailingCheckStepCountsAsRefusedAndReleasesInOrder) {
  struct FailingStep {
    const char* call;
    Log cleanup;  // what the check stops and releases after the failure
  };
  const Log all = {"release control", "release nullRenderer", "release builder", "release graph"};
  auto after = [&all](Log first) {
    first.insert(first.end(), all.begin(), all.end());
    return first;
  };
  const std::vector<FailingStep> steps = {
      {"CreateFilterGraph", {}},
      {"CreateCaptureGraphBuilder", {"release graph"}},
      {"graph.QueryMediaControl", {"release builder", "release graph"}},
      {"graph.AddFilter(Hold Check)", {"release control", "release builder", "release graph"}},
      {"CreateNullRenderer", {"release control", "release builder", "release graph"}},
      {"graph.AddFilter(Hold Check Null)", all},
      {"builder.FindPin", all},
      {"builder.RenderStream", after({"release pin"})},
      // The pin went once the stream was rendered.
      {"control.Pause", after({"release pin", "control.Stop"})},
  };
  for (const FailingStep& step : steps) {
    SCOPED_TRACE(step.call);
    FakeCaptureServices fake;
    RecordingPoster posts;
    fake.ShareDevice(kDevice);  // every step would succeed: the hold is shared
    SPDEVCAM camera(posts, fake);
    VideoInitRecord record;
    record.captureFilter = fake.MakeFilter("camera", kDevice);
    record.checkFilter = fake.MakeFilter("check", kDevice);
    record.notifyWindow = kWindow;
    camera.Init(&record);
    ASSERT_EQ(camera.Block(), 1);
    ASSERT_EQ(camera.IsSharedBitSet(), 1);
    fake.ClearLog();
    fake.Fail(step.call, kHrCannotConnect, 1);

    EXPECT_EQ(camera.RecheckHold(), 1);

    EXPECT_EQ(camera.IsSharedBitSet(), 0);
    EXPECT_EQ(camera.IsBlockedBitSet(), 1);
    Log seen;
    for (const std::string& entry : fake.Log()) {
      if (entry.rfind("release ", 0) == 0 || entry == "control.Stop") seen.push_back(entry);
    }
    EXPECT_EQ(seen, step.cleanup);
    // The hold kept every reference and the device; it still lets go.
    EXPECT_TRUE(camera.HoldsGraph());
    EXPECT_EQ(fake.LiveObjects(), kHeldObjects);
    EXPECT_EQ(fake.OpenClients(kDevice), 1);
    EXPECT_EQ(camera.Unblock(), 1);
    EXPECT_EQ(fake.OpenClients(kDevice), 0);
  }
}

// Only a definite answer refuses the second client: a state still moving
// after the wait, or an error, leaves the hold shown held but shared.
TEST_F(CameraHoldCheckTest, AnUncertainAnswerOfTheSecondClientsFilterCountsAsAdmitted) {
  constexpr HResult kStateIntermediate = 0x00040237;  // VFW_S_STATE_INTERMEDIATE
  for (HResult answer : {kStateIntermediate, kHrFail, kHrCannotConnect}) {
    SCOPED_TRACE(answer);
    // The second client connects, and its filter stays Stopped.
    services.ShareDevice(kDevice);
    services.RefuseAtPause(kDevice);
    auto camera = MakeCamera();
    ASSERT_EQ(camera->Block(), 1);
    ASSERT_EQ(camera->IsSharedBitSet(), 0);
    services.Fail("filter.GetState", answer);
    EXPECT_EQ(camera->RecheckHold(), 1);
    EXPECT_EQ(camera->IsSharedBitSet(), 1);
    services.Fail("filter.GetState", kHrOk, 0);
    EXPECT_EQ(camera->RecheckHold(), 1);
    EXPECT_EQ(camera->IsSharedBitSet(), 0) << "a definite Stopped refuses";
    EXPECT_EQ(camera->Unblock(), 1);
  }
}

TEST_F(CameraHoldCheckTest, AStopRefusedByTheCheckStillReleasesItsGraph) {
  services.ShareDevice(kDevice);
  auto camera = MakeCamera();
  ASSERT_EQ(camera->Block(), 1);
  services.Fail("control.Stop", kHrFail, 1);
  EXPECT_EQ(camera->RecheckHold(), 1);
  EXPECT_EQ(camera->IsSharedBitSet(), 1) << "the pause it reached decides";
  EXPECT_EQ(services.LiveObjects(), kHeldObjects);
  EXPECT_EQ(services.OpenClients(kDevice), 1);
  EXPECT_EQ(camera->Unblock(), 1) << "the hold's own stop was not the one refused";
}

}  // namespace
}  // namespace shadowpane
