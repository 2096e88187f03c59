// The wiring's decisions through the fake sources: what a reading logs,
// what it announces, and which programs each entry names.
#include "usage/UsageMonitor.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/FakeUsageSources.h"

namespace shadowpane {
namespace {

using testing::CountingUsageNotice;
using testing::FakeAudioSessionSource;
using testing::FakeProcessSource;
using testing::FakeUsageRecordSource;
using Names = std::vector<WideString>;

constexpr std::uint64_t kNow = 133000000000000000ull;

UsageRecord Record(const char16_t* program, std::uint64_t start, bool inUse) {
  UsageRecord record;
  record.program = program;
  record.identity = WideString(u"C:\\") + program;
  record.lastStart = start;
  record.lastStop = inUse ? 0 : start + 1;
  record.inUse = inUse;
  return record;
}

UsageDevice Camera(const char16_t* name, bool blocked) { return {UsageKind::Camera, name, u"", blocked}; }
UsageDevice Microphone(const char16_t* name, const char16_t* endpoint, bool blocked) {
  return {UsageKind::Microphone, name, endpoint, blocked};
}

struct Fixture {
  FakeUsageRecordSource records;
  FakeAudioSessionSource sessions;
  CountingUsageNotice notice;
  UsageMonitor monitor{&records, &sessions, notice};
  Fixture() {
    records.SetRecords(UsageKind::Camera, {});
    records.SetRecords(UsageKind::Microphone, {});
  }
};

// (program, device, turned away) of each event, in order.
using Told = std::vector<std::tuple<WideString, WideString, bool>>;
Told Tell(const std::vector<UsageEvent>& events) {
  Told told;
  for (const UsageEvent& event : events) told.emplace_back(event.program, event.device, event.turnedAway);
  return told;
}

TEST(UsageMonitor, LogsAndAnnouncesTheUsesThatStart) {
  struct Case {
    const char* name;
    std::vector<UsageDevice> devices;
    bool notify;
    UsageKind kind;
    Told logged;
    Told announced;
  } const cases[] = {
      {"one blocked camera", {Camera(u"Cam", true)}, true, UsageKind::Camera,
       {{u"Zoom.exe", u"Cam", true}}, {{u"Zoom.exe", u"Cam", true}}},
      {"an open camera is allowed", {Camera(u"Cam", false)}, true, UsageKind::Camera,
       {{u"Zoom.exe", u"Cam", false}}, {}},
      {"one of two cameras open", {Camera(u"A", true), Camera(u"B", false)}, true, UsageKind::Camera,
       {{u"Zoom.exe", u"", false}}, {}},
      {"both cameras blocked: the kind", {Camera(u"A", true), Camera(u"B", true)}, true, UsageKind::Camera,
       {{u"Zoom.exe", u"", true}}, {{u"Zoom.exe", u"", true}}},
      {"no camera listed", {}, true, UsageKind::Camera, {{u"Zoom.exe", u"", false}}, {}},
      {"setting off: logged only", {Camera(u"Cam", true)}, false, UsageKind::Camera,
       {{u"Zoom.exe", u"Cam", true}}, {}},
      {"a microphone record", {Microphone(u"Mic", u"", true)}, true, UsageKind::Microphone,
       {{u"Zoom.exe", u"Mic", true}}, {{u"Zoom.exe", u"Mic", true}}},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.records.SetRecords(c.kind, {Record(u"Teams.exe", 5, true)});  // going on: the baseline
    EXPECT_TRUE(f.monitor.Update(c.devices, kNow, c.notify).events.empty()) << c.name;
    f.records.SetRecords(c.kind, {Record(u"Teams.exe", 5, true), Record(u"Zoom.exe", 9, true)});
    const UsageUpdate update = f.monitor.Update(c.devices, kNow, c.notify);
    EXPECT_EQ(Tell(update.events), c.logged) << c.name;
    EXPECT_EQ(Tell(update.announced), c.announced) << c.name;
    ASSERT_EQ(f.monitor.Log().Events().size(), c.logged.size()) << c.name;
    EXPECT_EQ(f.monitor.Log().Events().front().time, 9u) << c.name << ": the record's own start";
  }
}

TEST(UsageMonitor, AnnouncesOncePerProgramAndDeviceButLogsEachUse) {
  Fixture f;
  const std::vector<UsageDevice> devices = {Camera(u"Cam", true)};
  f.monitor.Update(devices, kNow, false);
  f.records.SetRecords(UsageKind::Camera, {Record(u"Zoom.exe", 9, true)});
  EXPECT_TRUE(f.monitor.Update(devices, kNow, false).announced.empty()) << "setting off";
  f.records.SetRecords(UsageKind::Camera, {Record(u"Zoom.exe", 9, false)});
  f.monitor.Update(devices, kNow, true);
  f.records.SetRecords(UsageKind::Camera, {Record(u"Zoom.exe", 20, true)});
  EXPECT_EQ(f.monitor.Update(devices, kNow, true).announced.size(), 1u) << "the setting off did not use it up";
  f.records.SetRecords(UsageKind::Camera, {Record(u"Zoom.exe", 20, false)});
  f.monitor.Update(devices, kNow, true);
  f.records.SetRecords(UsageKind::Camera, {Record(u"Zoom.exe", 30, true)});
  const UsageUpdate third = f.monitor.Update(devices, kNow, true);
  EXPECT_EQ(third.events.size(), 1u);
  EXPECT_TRUE(third.announced.empty());
  EXPECT_EQ(f.monitor.Log().Events().size(), 3u);
}

TEST(UsageMonitor, ASessionAndARecordOfOneUseMakeOneEventNamingTheMicrophone) {
  Fixture f;
  const std::vector<UsageDevice> devices = {Microphone(u"Headset", u"{ep1}", true), Microphone(u"Array", u"{ep2}", false)};
  f.sessions.SetSessions(u"{ep1}", {{7, u"Idle.exe", true}});
  f.monitor.Update(devices, kNow, true);
  f.sessions.SetSessions(u"{ep1}", {{7, u"Idle.exe", true}, {8, u"Zoom.exe", true}});
  f.records.SetRecords(UsageKind::Microphone, {Record(u"Zoom.exe", 9, true)});
  const UsageUpdate update = f.monitor.Update(devices, kNow, true);
  EXPECT_EQ(Tell(update.events), (Told{{u"Zoom.exe", u"Headset", true}}));
  EXPECT_EQ(Tell(update.announced), (Told{{u"Zoom.exe", u"Headset", true}}));
  EXPECT_EQ(f.monitor.UsersOf(devices[0], devices), (Names{u"Idle.exe", u"Zoom.exe"}));
  EXPECT_EQ(f.monitor.UsersOf(devices[1], devices), Names{}) << "a record names no microphone of two";
  // A microphone plugged in later: what runs on it already is no start.
  std::vector<UsageDevice> more = devices;
  more.push_back(Microphone(u"Usb", u"{ep3}", false));
  f.sessions.SetSessions(u"{ep3}", {{9, u"Rec.exe", true}});
  EXPECT_TRUE(f.monitor.Update(more, kNow, true).events.empty());
  EXPECT_EQ(f.monitor.UsersOf(more[2], more), Names{u"Rec.exe"});
}

TEST(UsageMonitor, NamesUsersOnlyWhereTheSourcesCanTell) {
  Fixture f;
  f.records.SetRecords(UsageKind::Camera, {Record(u"Teams.exe", 5, true), Record(u"Old.exe", 2, false)});
  f.records.SetUnrecorded(UsageKind::Microphone);
  const std::vector<UsageDevice> one = {Camera(u"Cam", false), Microphone(u"Mic", u"", false)};
  f.monitor.Update(one, kNow, true);
  EXPECT_EQ(f.monitor.UsersOf(one[0], one), Names{u"Teams.exe"});
  EXPECT_EQ(f.monitor.UsersOf(one[1], one), Names{}) << "no records: nothing is guessed";
  const std::vector<UsageDevice> two = {Camera(u"A", false), Camera(u"B", false)};
  f.monitor.Update(two, kNow, true);
  EXPECT_EQ(f.monitor.UsersOf(two[0], two), Names{}) << "the record names a kind, not one of two cameras";
}

TEST(UsageMonitor, FollowsTheSourcesUntilStopped) {
  Fixture f;
  EXPECT_EQ(f.monitor.Start(), 1);
  const std::vector<UsageDevice> devices = {Microphone(u"Mic", u"{ep}", false)};
  f.monitor.Update(devices, kNow, true);
  const int before = f.notice.count;
  f.records.SetRecords(UsageKind::Camera, {Record(u"Zoom.exe", 9, true)});
  f.sessions.SetSessions(u"{ep}", {{8, u"Zoom.exe", true}});
  EXPECT_EQ(f.notice.count, before + 2);
  f.monitor.Stop();
  EXPECT_FALSE(f.records.watching());
  f.sessions.SetSessions(u"{ep}", {});
  EXPECT_EQ(f.notice.count, before + 2);
}

constexpr std::uint64_t kBoot = 10 * kBootTimeSlack;
constexpr std::uint64_t kAfterBoot = kBoot + 1;

// Shadowpane's own image and process, and a machine where Zoom.exe runs.
struct OwnFixture {
  FakeUsageRecordSource records;
  FakeAudioSessionSource sessions;
  FakeProcessSource processes;
  CountingUsageNotice notice;
  std::unique_ptr<UsageMonitor> monitor;
  OwnFixture() {
    processes.own = {77, u"C:\\Program Files\\Shadowpane\\Shadowpane.exe"};
    processes.bootTime = kBoot;
    processes.processes = {{8, u"Zoom.exe", true, u"C:\\Zoom.exe", 0}};
    monitor = std::make_unique<UsageMonitor>(&records, &sessions, notice, &processes);
    records.SetRecords(UsageKind::Camera, {});
    records.SetRecords(UsageKind::Microphone, {});
  }
};

TEST(UsageMonitor, NeverNamesItselfAnywhere) {
  OwnFixture f;
  const std::vector<UsageDevice> devices = {Camera(u"Cam", true), Microphone(u"Mic", u"{ep}", true)};
  f.sessions.SetSessions(u"{ep}", {});
  f.monitor->Update(devices, kNow, true);
  UsageRecord own = Record(u"Shadowpane.exe", kAfterBoot, true);
  own.identity = u"c:\\program files\\shadowpane\\SHADOWPANE.EXE";
  f.records.SetRecords(UsageKind::Camera, {own});
  f.records.SetRecords(UsageKind::Microphone, {own});
  f.sessions.SetSessions(u"{ep}", {{77, u"Shadowpane.exe", true}});
  const UsageUpdate update = f.monitor->Update(devices, kNow, true);
  EXPECT_TRUE(update.events.empty()) << "no balloon, nothing in Recent use";
  EXPECT_TRUE(f.monitor->Log().Events().empty());
  EXPECT_EQ(f.monitor->UsersOf(devices[0], devices), Names{}) << "its own record";
  EXPECT_EQ(f.monitor->UsersOf(devices[1], devices), Names{}) << "its own hold's session";
  // Another program's session and record beside its own are still named.
  f.sessions.SetSessions(u"{ep}", {{77, u"Shadowpane.exe", true}, {8, u"Zoom.exe", true}});
  EXPECT_EQ(Tell(f.monitor->Update(devices, kNow, true).events), (Told{{u"Zoom.exe", u"Mic", true}}));
  EXPECT_EQ(f.monitor->UsersOf(devices[1], devices), Names{u"Zoom.exe"});
}

TEST(UsageMonitor, ARecordThatCannotStillBeInUseNamesNobodyAndIsNoStart) {
  OwnFixture f;
  const std::vector<UsageDevice> devices = {Camera(u"Cam", true)};
  f.monitor->Update(devices, kNow, true);
  const int listsBefore = f.processes.lists;
  f.records.SetRecords(UsageKind::Camera, {Record(u"Gone.exe", kAfterBoot, true), Record(u"Crashed.exe", 10, true)});
  const UsageUpdate update = f.monitor->Update(devices, kNow, true);
  EXPECT_TRUE(update.events.empty()) << "one's process is gone, the other began before the boot";
  EXPECT_EQ(f.monitor->UsersOf(devices[0], devices), Names{});
  EXPECT_EQ(f.processes.lists, listsBefore + 1) << "listed once for both kinds";

  f.records.SetRecords(UsageKind::Camera, {Record(u"Zoom.exe", kAfterBoot, true)});
  EXPECT_EQ(Tell(f.monitor->Update(devices, kNow, true).events), (Told{{u"Zoom.exe", u"Cam", true}}));
  EXPECT_EQ(f.monitor->UsersOf(devices[0], devices), Names{u"Zoom.exe"});
  // Once the processes cannot be listed, the record is believed again.
  f.records.SetRecords(UsageKind::Camera, {Record(u"Gone.exe", kAfterBoot, true)});
  f.processes.listable = false;
  f.monitor->Update(devices, kNow, true);
  EXPECT_EQ(f.monitor->UsersOf(devices[0], devices), Names{u"Gone.exe"});
}

TEST(UsageMonitor, AnEndpointsFirstAnswerIsItsBaseline) {
  // The sessions are read on a thread of their own: until it has answered
  // for an endpoint, the endpoint has no reading, and what its first
  // answer shows going on is no start.
  Fixture f;
  const std::vector<UsageDevice> devices = {Microphone(u"Mic", u"{ep}", true)};
  f.monitor.Update(devices, kNow, true);
  f.sessions.SetSessions(u"{ep}", {{8, u"Zoom.exe", true}});
  EXPECT_TRUE(f.monitor.Update(devices, kNow, true).events.empty());
  EXPECT_EQ(f.monitor.UsersOf(devices[0], devices), Names{u"Zoom.exe"});
  f.sessions.SetSessions(u"{ep}", {{8, u"Zoom.exe", true}, {9, u"Rec.exe", true}});
  EXPECT_EQ(Tell(f.monitor.Update(devices, kNow, true).events), (Told{{u"Rec.exe", u"Mic", true}}));
}

TEST(UsageMonitor, AStoreThatAppearsLaterIsReadAndItsUsesAreStarts) {
  Fixture f;
  f.records.SetUnrecorded(UsageKind::Camera);
  const std::vector<UsageDevice> devices = {Camera(u"Cam", true)};
  ASSERT_EQ(f.monitor.Start(), 1);
  f.monitor.Update(devices, kNow, true);
  const int before = f.notice.count;
  f.records.SetRecords(UsageKind::Camera, {Record(u"Zoom.exe", 9, true)});
  EXPECT_EQ(f.notice.count, before + 1);
  const UsageUpdate update = f.monitor.Update(devices, kNow, true);
  EXPECT_EQ(Tell(update.announced), (Told{{u"Zoom.exe", u"Cam", true}}));
  EXPECT_EQ(f.monitor.UsersOf(devices[0], devices), Names{u"Zoom.exe"});
}

TEST(UsageMonitor, WithoutSourcesNamesNothing) {
  CountingUsageNotice notice;
  UsageMonitor monitor(nullptr, nullptr, notice);
  EXPECT_EQ(monitor.Start(), 0);
  const std::vector<UsageDevice> devices = {Camera(u"Cam", true)};
  EXPECT_TRUE(monitor.Update(devices, kNow, true).events.empty());
  EXPECT_EQ(monitor.UsersOf(devices[0], devices), Names{});
}

}  // namespace
}  // namespace shadowpane
