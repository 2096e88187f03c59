// The indicator's decisions: the marks from the lists' data words, where the
// window sits at 100 % and 200 %, when it hides, and what a reader hears.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "devices/DeviceTypes.h"
#include "settings/Languages.h"
#include "settings/Settings.h"
#include "ui/main/IndicatorLogic.h"

namespace shadowpane {
namespace {

constexpr std::uint32_t kCameraOpen = MakeListItemData(0, DEVICE_KIND_VIDEO);
constexpr std::uint32_t kCameraHeld = MakeListItemData(1, DEVICE_KIND_VIDEO);
constexpr std::uint32_t kCameraShared = kCameraHeld | kListItemHeldButShared;
constexpr std::uint32_t kMicOpen = MakeListItemData(0, DEVICE_KIND_AUDIO);
constexpr std::uint32_t kMicHeld = MakeListItemData(1, DEVICE_KIND_AUDIO);
constexpr std::uint32_t kMicShared = kMicHeld | kListItemHeldButShared;
constexpr std::uint32_t kMicTalking = kMicShared | kListItemTalking;

constexpr IndicatorMark P = IndicatorMark::Protected;
constexpr IndicatorMark R = IndicatorMark::AtRisk;
constexpr IndicatorMark S = IndicatorMark::Shared;
constexpr IndicatorMark T = IndicatorMark::Talking;

TEST(IndicatorDecisionsTest, EachKindShowsItsWorstDeviceAndNothingProvenIsAtRisk) {
  struct Case {
    const char* what;
    std::vector<std::uint32_t> entries;
    bool complete;
    IndicatorMark camera;
    IndicatorMark microphone;
  };
  const Case cases[] = {
      {"nothing listed proves nothing", {}, true, R, R},
      {"an incomplete refresh proves nothing", {kCameraHeld, kMicHeld}, false, R, R},
      {"all held", {kCameraHeld, kMicHeld}, true, P, P},
      {"one open camera among held ones", {kCameraHeld, kCameraOpen, kCameraHeld, kMicHeld}, true, R, P},
      {"an open microphone", {kCameraHeld, kMicHeld, kMicOpen}, true, P, R},
      {"a camera held but shared", {kCameraShared, kCameraHeld, kMicHeld}, true, S, P},
      {"a microphone others can hear", {kCameraHeld, kMicShared}, true, P, S},
      {"open beats shared", {kCameraShared, kCameraOpen, kMicShared, kMicOpen}, true, R, R},
      {"a microphone talking through its hold", {kCameraHeld, kMicHeld, kMicTalking}, true, P, T},
      {"talking beats shared", {kCameraHeld, kMicShared, kMicTalking, kMicShared}, true, P, T},
      {"an open microphone beats a talking one", {kCameraHeld, kMicTalking, kMicOpen}, true, P, R},
      {"no microphone listed: none open", {kCameraHeld}, true, P, P},
      {"no camera listed, microphone open", {kMicOpen}, true, P, R},
  };
  for (const Case& c : cases) {
    const IndicatorMarks marks = IndicatorMarksOf(c.entries, c.complete);
    EXPECT_EQ(marks.camera, c.camera) << c.what;
    EXPECT_EQ(marks.microphone, c.microphone) << c.what;
  }
}

// Green only for a verified hold, and held marks are struck through, so
// colour is never the only sign.
TEST(IndicatorDecisionsTest, MarksLookDifferentByMoreThanColour) {
  const IndicatorMarkLook protectedLook = MarkLook(P);
  const IndicatorMarkLook risk = MarkLook(R);
  const IndicatorMarkLook shared = MarkLook(S);
  EXPECT_TRUE(protectedLook.struck && shared.struck);
  EXPECT_FALSE(risk.struck);
  EXPECT_TRUE(shared.highlighted);
  EXPECT_FALSE(protectedLook.highlighted || risk.highlighted);
  EXPECT_NE(protectedLook.disc, risk.disc);
  EXPECT_NE(protectedLook.disc, shared.disc);
  EXPECT_NE(shared.disc, risk.disc);
  // A talk is at risk, red and not struck, and only the ring tells it apart.
  const IndicatorMarkLook talking = MarkLook(T);
  EXPECT_EQ(talking.disc, risk.disc);
  EXPECT_FALSE(talking.struck || talking.highlighted);
  EXPECT_TRUE(talking.ringed);
  EXPECT_FALSE(protectedLook.ringed || risk.ringed || shared.ringed);
}

// A work area that does not start at 0 (a taskbar on top or at the left, a
// second monitor) keeps the window inside it, the margin scaled too.
TEST(IndicatorDecisionsTest, EachCornerOfTheWorkAreaAtOneAndTwoTimes) {
  const Rect work{100, 40, 1380, 1000};
  struct Case {
    int corner;
    int dpi;
    Rect place;
  };
  const Case cases[] = {
      {kIndicatorCornerTopLeft, 96, {108, 48, 164, 78}},
      {kIndicatorCornerTopRight, 96, {1316, 48, 1372, 78}},
      {kIndicatorCornerBottomLeft, 96, {108, 962, 164, 992}},
      {kIndicatorCornerBottomRight, 96, {1316, 962, 1372, 992}},
      {kIndicatorCornerTopLeft, 192, {116, 56, 228, 116}},
      {kIndicatorCornerTopRight, 192, {1252, 56, 1364, 116}},
      {kIndicatorCornerBottomLeft, 192, {116, 924, 228, 984}},
      {kIndicatorCornerBottomRight, 192, {1252, 924, 1364, 984}},
      {7, 96, {1316, 962, 1372, 992}},   // not a corner: the default one
      {-1, 192, {1252, 924, 1364, 984}},
  };
  for (const Case& c : cases) {
    const Rect place = IndicatorPlace(work, c.corner, c.dpi);
    EXPECT_EQ(place, c.place) << "corner " << c.corner << " at " << c.dpi;
  }
  // The marks stay inside the window at both scales.
  for (int dpi : {96, 192}) {
    const Rect window = IndicatorPlace({0, 0, 2000, 2000}, kIndicatorCornerTopLeft, dpi);
    for (bool camera : {true, false}) {
      const Rect mark = IndicatorMarkRect(camera, dpi);
      const Rect client{0, 0, window.right - window.left, window.bottom - window.top};
      EXPECT_TRUE(Contains(client, mark.left, mark.top) && Contains(client, mark.right - 1, mark.bottom - 1));
      // The talk's ring too, and it never reaches the other mark.
      const Rect ring = IndicatorRingRect(camera, dpi);
      EXPECT_TRUE(Contains(client, ring.left, ring.top) && Contains(client, ring.right - 1, ring.bottom - 1)) << dpi;
      const Rect other = IndicatorMarkRect(!camera, dpi);
      EXPECT_TRUE(ring.right <= other.left || other.right <= ring.left) << dpi;
    }
  }
}

TEST(IndicatorDecisionsTest, HidesOnlyForFullScreenProgramsAndPresentations) {
  struct Case {
    int state;
    bool hidden;
  };
  const Case cases[] = {
      {0, false},  // the query failed: shown
      {kQunsNotPresent, false},        {kQunsBusy, true},      {kQunsRunningD3DFullScreen, true},
      {kQunsPresentationMode, true},   {kQunsAcceptsNotifications, false},
      {kQunsQuietTime, false},         {kQunsApp, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IndicatorHiddenFor(c.state), c.hidden) << c.state;
    EXPECT_EQ(IndicatorShown(1, c.state), !c.hidden) << c.state;
    EXPECT_FALSE(IndicatorShown(0, c.state)) << "setting off, state " << c.state;
  }
}

TEST(IndicatorDecisionsTest, ReadersHearBothKindsInTheLanguage) {
  EXPECT_EQ(IndicatorSpokenText({P, R}, LANGUAGE_ENGLISH), u"Camera protected, microphone at risk");
  EXPECT_EQ(IndicatorSpokenText({R, P}, LANGUAGE_GERMAN), u"Kamera gefährdet, Mikrofon geschützt");
  EXPECT_EQ(IndicatorSpokenText({P, P}, LANGUAGE_SPANISH), u"Cámara protegida, micrófono protegido");
  EXPECT_EQ(IndicatorSpokenText({S, R}, LANGUAGE_ITALIAN),
            u"Videocamera bloccata, ma altri programmi possono ancora usarla, microfono a rischio");
  EXPECT_EQ(IndicatorSpokenText({P, T}, LANGUAGE_ENGLISH), u"Camera protected, microphone talking");
  EXPECT_EQ(IndicatorSpokenText({R, T}, LANGUAGE_GERMAN), u"Kamera gefährdet, Mikrofon beim Sprechen");
  EXPECT_EQ(IndicatorSpokenText({R, S}, 9), u"Camera at risk, microphone blocked, but other programs can still hear it");
}

}  // namespace
}  // namespace shadowpane
