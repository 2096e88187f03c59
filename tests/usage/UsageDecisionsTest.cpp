// Who is using what, what is an attempt against a block, what is
// announced once: tables over the decisions, and one run through the fake
// sources as the main window will read them.
#include "usage/UsageDecisions.h"

#include <gtest/gtest.h>

#include "tests/support/FakeUsageSources.h"

namespace shadowpane {
namespace {

using Names = std::vector<WideString>;

UsageRecord Record(const char16_t* program, std::uint64_t start, bool inUse) {
  UsageRecord record;
  record.program = program;
  record.identity = WideString(u"C:\\") + program;
  record.lastStart = start;
  record.inUse = inUse;
  return record;
}

AudioSessionUse Session(std::uint32_t processId, const char16_t* program, bool active) {
  return AudioSessionUse{processId, program, active};
}

TEST(UsageDecisions, NamesTheProgramOfAProcess) {
  struct Case {
    std::uint32_t processId;
    bool opened;
    const char16_t* path;
    const char16_t* program;
  } const cases[] = {
      {0, false, u"", u"System"},
      {0, true, u"C:\\x\\idle.exe", u"System"},
      {4242, true, u"C:\\Program Files\\Zoom\\Zoom.exe", u"Zoom.exe"},
      {4242, true, u"\\Device\\HarddiskVolume2\\rec.exe", u"rec.exe"},
      {4242, true, u"rec.exe", u"rec.exe"},
      {4242, false, u"C:\\a.exe", kUnknownProgram},
      {4242, true, u"", kUnknownProgram},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgramOfProcess(c.processId, c.opened, c.path), c.program) << static_cast<int>(c.processId);
  }
}

TEST(UsageDecisions, WhoIsUsingWhatNow) {
  const std::vector<UsageRecord> records = {Record(u"b.exe", 5, true), Record(u"a.exe", 6, true),
                                            Record(u"done.exe", 7, false), Record(u"b.exe", 8, true)};
  EXPECT_EQ(ProgramsUsingNow(records), (Names{u"a.exe", u"b.exe"}));
  const std::vector<AudioSessionUse> sessions = {Session(7, u"rec.exe", true), Session(8, u"idle.exe", false),
                                                 Session(9, kUnknownProgram, true), Session(10, u"rec.exe", true)};
  EXPECT_EQ(ProgramsInSessions(sessions), (Names{kUnknownProgram, u"rec.exe"}));

  struct Case {
    const char* what;
    Names sessions;
    Names kind;
    bool only;
    Names shown;
  } const cases[] = {
      {"the one device of its kind: both", {u"rec.exe"}, {u"a.exe", u"rec.exe"}, true, {u"a.exe", u"rec.exe"}},
      {"one of several: its sessions only", {u"rec.exe"}, {u"a.exe"}, false, {u"rec.exe"}},
      {"a camera among several: nobody named", {}, {u"a.exe"}, false, {}},
      {"the only camera", {}, {u"a.exe"}, true, {u"a.exe"}},
  };
  for (const Case& c : cases) EXPECT_EQ(EntryUsers(c.sessions, c.kind, c.only), c.shown) << c.what;
}

TEST(UsageDecisions, WhatCountsAsAStart) {
  const std::vector<UsageRecord> before = {Record(u"a.exe", 5, true), Record(u"b.exe", 5, false),
                                           Record(u"c.exe", 5, true)};
  const std::vector<UsageRecord> now = {Record(u"a.exe", 5, true),   // still going: no start
                                        Record(u"b.exe", 9, true),   // began again
                                        Record(u"c.exe", 9, true),   // stopped and began between two readings
                                        Record(u"d.exe", 9, true),   // new program
                                        Record(u"e.exe", 9, false)}; // came and went
  Names started;
  for (const UsageRecord& record : UsesStarted(before, now)) started.push_back(record.program);
  EXPECT_EQ(started, (Names{u"b.exe", u"c.exe", u"d.exe"}));

  const std::vector<AudioSessionUse> sessionsBefore = {Session(1, u"a.exe", true), Session(2, u"b.exe", false)};
  const std::vector<AudioSessionUse> sessionsNow = {Session(1, u"a.exe", true), Session(2, u"b.exe", true),
                                                    Session(3, u"c.exe", false), Session(4, u"d.exe", true)};
  Names sessionStarts;
  for (const AudioSessionUse& session : SessionsStarted(sessionsBefore, sessionsNow)) {
    sessionStarts.push_back(session.program);
  }
  EXPECT_EQ(sessionStarts, (Names{u"b.exe", u"d.exe"}));
}

TEST(UsageDecisions, AStartIsTurnedAwayOnlyWhenEveryListedDeviceIsBlocked) {
  struct Case {
    int listed;
    int blocked;
    UseOutcome outcome;
  } const cases[] = {
      {1, 1, UseOutcome::TurnedAway}, {2, 2, UseOutcome::TurnedAway}, {2, 1, UseOutcome::Allowed},
      {1, 0, UseOutcome::Allowed},    {0, 0, UseOutcome::Allowed},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OutcomeOfStart(c.listed, c.blocked), c.outcome) << c.listed << " listed, " << c.blocked << " blocked";
  }
}

TEST(UsageDecisions, EachProgramAndDeviceIsAnnouncedOncePerRun) {
  AnnouncedUses announced;
  EXPECT_TRUE(announced.FirstTime(u"zoom.exe", u"a camera"));
  EXPECT_FALSE(announced.FirstTime(u"zoom.exe", u"a camera"));
  EXPECT_TRUE(announced.FirstTime(u"zoom.exe", u"Headset"));
  EXPECT_TRUE(announced.FirstTime(u"rec.exe", u"a camera"));
  for (int i = 0; i < kMaxAnnouncedUses * 2; ++i) announced.FirstTime(u"p" + WideString(1, static_cast<WideChar>(i)), u"x");
  EXPECT_FALSE(announced.FirstTime(u"late.exe", u"x")) << "past the bound nothing more is announced";
  EXPECT_FALSE(announced.FirstTime(u"zoom.exe", u"Headset"));
}

TEST(UsageDecisions, TheAnnouncedBoundHoldsExactly) {
  AnnouncedUses announced;
  int firsts = 0;
  for (int i = 0; i < kMaxAnnouncedUses * 3; ++i) {
    if (announced.FirstTime(u"p" + WideString(1, static_cast<WideChar>(0x100 + i)), u"x")) ++firsts;
  }
  EXPECT_EQ(firsts, kMaxAnnouncedUses);
}

TEST(UsageDecisions, ChangesArriveThroughTheSourcesNotice) {
  testing::FakeUsageRecordSource records;
  testing::FakeAudioSessionSource sessions;
  testing::CountingUsageNotice notice;
  std::vector<UsageRecord> read;
  EXPECT_EQ(records.ReadRecords(UsageKind::Camera, read), 0) << "no key: nothing to say";
  ASSERT_EQ(records.StartWatching(notice), 1);
  ASSERT_EQ(sessions.Watch(u"{mic}", notice), 1);
  const std::vector<UsageRecord> baseline;
  records.SetRecords(UsageKind::Camera, {Record(u"zoom.exe", 9, true)});
  sessions.SetSessions(u"{other}", {Session(5, u"rec.exe", true)});
  sessions.SetSessions(u"{mic}", {Session(5, u"rec.exe", true)});
  EXPECT_EQ(notice.count, 2);
  ASSERT_EQ(records.ReadRecords(UsageKind::Camera, read), 1);
  const std::vector<UsageRecord> started = UsesStarted(baseline, read);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(OutcomeOfStart(1, 1), UseOutcome::TurnedAway);
  records.StopWatching();
  sessions.StopWatching();
  records.SetRecords(UsageKind::Camera, {});
  sessions.SetSessions(u"{mic}", {});
  EXPECT_EQ(notice.count, 2) << "nothing is told after the watch ended";
}

}  // namespace
}  // namespace shadowpane
