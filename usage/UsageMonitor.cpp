#include "usage/UsageMonitor.h"

namespace shadowpane {
namespace {

// Announced-once keys of a record that named only its kind; no device name
// can be these, since the list never shows an empty-bracketed name.
constexpr WideChar kAnyCameraKey[] = u"<camera>";
constexpr WideChar kAnyMicrophoneKey[] = u"<microphone>";

int Index(UsageKind kind) { return kind == UsageKind::Camera ? 0 : 1; }

struct KindCount {
  int listed = 0;
  int blocked = 0;
  const UsageDevice* only = nullptr;  // the one device of the kind, if one
};

KindCount CountKind(const std::vector<UsageDevice>& devices, UsageKind kind) {
  KindCount count;
  for (const UsageDevice& device : devices) {
    if (device.kind != kind) continue;
    ++count.listed;
    if (device.blocked) ++count.blocked;
    count.only = count.listed == 1 ? &device : nullptr;
  }
  return count;
}

}  // namespace

WideString AnnouncedDeviceKey(const UsageEvent& event) {
  if (!event.device.empty()) return event.device;
  return event.kind == UsageKind::Camera ? kAnyCameraKey : kAnyMicrophoneKey;
}

UsageMonitor::UsageMonitor(UsageRecordSource* records, AudioSessionSource* sessions, UsageNotice& notice,
                           ProcessSource* processes)
    : records_(records),
      sessions_(sessions),
      notice_(notice),
      processes_(processes),
      own_(processes != nullptr ? processes->Own() : OwnProcess()) {}

int UsageMonitor::Start() {
  if (records_ == nullptr || watching_) return watching_ ? 1 : 0;
  watching_ = records_->StartWatching(notice_) == 1;
  return watching_ ? 1 : 0;
}

void UsageMonitor::Stop() {
  if (records_ != nullptr && watching_) records_->StopWatching();
  watching_ = false;
  // Also joins a source's own thread, so nothing is told after this.
  if (sessions_ != nullptr) sessions_->StopWatching();
  watchedEndpoints_.clear();
}

void UsageMonitor::AddEvent(const UsageEvent& event, bool notifyAttempts, UsageUpdate& update) {
  if (!loggedUses_.insert(Use(event.kind, event.program)).second) return;
  log_.Add(event);
  update.events.push_back(event);
  if (event.turnedAway && notifyAttempts && announced_.FirstTime(event.program, AnnouncedDeviceKey(event))) {
    update.announced.push_back(event);
  }
}

UsageUpdate UsageMonitor::Update(const std::vector<UsageDevice>& devices, std::uint64_t now, bool notifyAttempts) {
  UsageUpdate update;
  std::set<Use> going;
  std::vector<UsageEvent> started;

  // The sessions name their microphone, so they come first.
  std::map<WideString, std::vector<AudioSessionUse>> sessionsNow;
  for (const UsageDevice& device : devices) {
    if (device.kind != UsageKind::Microphone || device.endpointId.empty() || sessions_ == nullptr) continue;
    if (sessionsNow.count(device.endpointId) != 0) continue;
    if (watchedEndpoints_.count(device.endpointId) == 0 && sessions_->Watch(device.endpointId, notice_) == 1) {
      watchedEndpoints_.insert(device.endpointId);
    }
    // An endpoint that has not answered yet (or failed) has no reading: its
    // first answer is its baseline.
    std::vector<AudioSessionUse> sessions;
    if (sessions_->ReadSessions(device.endpointId, sessions) != 1) continue;
    LeaveOutOwnSessions(sessions, own_);
    for (const AudioSessionUse& session : sessions) {
      if (session.active) going.insert(Use(UsageKind::Microphone, session.program));
    }
    const auto before = endpointSessions_.find(device.endpointId);
    if (before != endpointSessions_.end()) {
      for (const AudioSessionUse& session : SessionsStarted(before->second, sessions)) {
        UsageEvent event;
        event.time = now;
        event.program = session.program;
        event.kind = UsageKind::Microphone;
        event.device = device.name;
        event.turnedAway = OutcomeOfStart(1, device.blocked ? 1 : 0) == UseOutcome::TurnedAway;
        started.push_back(event);
      }
    }
    sessionsNow[device.endpointId] = std::move(sessions);
  }
  endpointSessions_ = std::move(sessionsNow);

  ReadingFacts reading;
  for (UsageKind kind : {UsageKind::Camera, UsageKind::Microphone}) {
    std::vector<UsageRecord> records = ReadKind(kind, reading);
    for (const UsageRecord& record : records) {
      if (record.inUse) going.insert(Use(kind, record.program));
    }
    if (baseline_) {
      const KindCount count = CountKind(devices, kind);
      for (const UsageRecord& record : UsesStarted(kindRecords_[Index(kind)], records)) {
        UsageEvent event;
        event.time = record.lastStart != 0 ? record.lastStart : now;
        event.program = record.program;
        event.kind = kind;
        if (count.only != nullptr) event.device = count.only->name;
        event.turnedAway = OutcomeOfStart(count.listed, count.blocked) == UseOutcome::TurnedAway;
        started.push_back(event);
      }
    }
    kindRecords_[Index(kind)] = std::move(records);
  }
  baseline_ = true;

  // A use that ended is logged again when it starts anew.
  for (auto it = loggedUses_.begin(); it != loggedUses_.end();) {
    it = going.count(*it) == 0 ? loggedUses_.erase(it) : std::next(it);
  }
  for (const UsageEvent& event : started) AddEvent(event, notifyAttempts, update);
  return update;
}

std::vector<UsageRecord> UsageMonitor::ReadKind(UsageKind kind, ReadingFacts& reading) {
  std::vector<UsageRecord> records;
  if (records_ == nullptr || records_->ReadRecords(kind, records) != 1) return {};
  LeaveOutOwnRecords(records, own_);
  if (processes_ == nullptr) return records;
  LivenessFacts& facts = reading.facts;
  if (!reading.bootAsked) {
    facts.bootTime = processes_->BootTime();
    reading.bootAsked = true;
  }
  // The processes are listed once per reading, and only when a record needs them.
  if (!reading.processesAsked && NeedsProcesses(records)) {
    facts.processesRead = processes_->ReadProcesses(facts.processes) == 1;
    if (!facts.processesRead) facts.processes.clear();
    reading.processesAsked = true;
  }
  EndImpossibleUses(records, facts);
  return records;
}

std::vector<WideString> UsageMonitor::UsersOf(const UsageDevice& device,
                                              const std::vector<UsageDevice>& devices) const {
  std::vector<WideString> sessionPrograms;
  const auto sessions = endpointSessions_.find(device.endpointId);
  if (device.kind == UsageKind::Microphone && !device.endpointId.empty() && sessions != endpointSessions_.end()) {
    sessionPrograms = ProgramsInSessions(sessions->second);
  }
  const bool only = CountKind(devices, device.kind).listed == 1;
  return EntryUsers(sessionPrograms, ProgramsUsingNow(kindRecords_[Index(device.kind)]), only);
}

}  // namespace shadowpane
