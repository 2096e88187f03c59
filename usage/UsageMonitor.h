// The main window's side of who uses a device, without the platform: reads
// both sources again when told of a change, keeps the reading before to
// find the uses that started, logs each as an event, and picks the ones to
// announce. Runs on one thread (the user-interface thread on Windows).
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "core/Text.h"
#include "usage/RecentUse.h"
#include "usage/UsageDecisions.h"
#include "usage/UsageSources.h"

namespace shadowpane {

// A listed device as the monitor needs it.
struct UsageDevice {
  UsageKind kind = UsageKind::Camera;
  WideString name;        // the entry's text
  WideString endpointId;  // a microphone's audio endpoint; empty when none is known
  bool blocked = false;   // verified blocked: not shared, not unverified
};

// What one reading found new.
struct UsageUpdate {
  std::vector<UsageEvent> events;     // every use that started, in the log now
  std::vector<UsageEvent> announced;  // the turned-away ones to tell the user of
};

class UsageMonitor {
 public:
  // Either source may be null (none on this system). The notice is told of
  // every change the sources see until Stop. Without processes the records
  // are taken as they are and nothing is left out as the program's own.
  UsageMonitor(UsageRecordSource* records, AudioSessionSource* sessions, UsageNotice& notice,
               ProcessSource* processes = nullptr);
  UsageMonitor(const UsageMonitor&) = delete;
  UsageMonitor& operator=(const UsageMonitor&) = delete;
  ~UsageMonitor() { Stop(); }

  // Learns the program's own process and starts following the records; the
  // first Update is the baseline.
  int Start();
  void Stop();

  // Reads both sources again for the devices listed now, starts watching
  // endpoints not yet watched, leaves out the program's own uses and the
  // records that cannot still be in use, logs each use that started since
  // the last reading (a use already going on at the first reading of a
  // source, or of an endpoint that answered, is not one) and answers which to announce: a turned-away use, the first
  // time for its program and device in this run, and only while
  // notifyAttempts is on. `now` is a FILETIME.
  UsageUpdate Update(const std::vector<UsageDevice>& devices, std::uint64_t now, bool notifyAttempts);

  // The programs the device's entry names, from the last reading.
  std::vector<WideString> UsersOf(const UsageDevice& device, const std::vector<UsageDevice>& devices) const;

  RecentUseLog& Log() { return log_; }
  const RecentUseLog& Log() const { return log_; }

 private:
  using Use = std::pair<UsageKind, WideString>;  // a kind and a program

  void AddEvent(const UsageEvent& event, bool notifyAttempts, UsageUpdate& update);
  // What one reading learnt of the machine, each fact asked at most once.
  struct ReadingFacts {
    LivenessFacts facts;
    bool bootAsked = false;
    bool processesAsked = false;
  };
  // The kind's records as they can be: the own left out, the impossible ended.
  std::vector<UsageRecord> ReadKind(UsageKind kind, ReadingFacts& reading);

  UsageRecordSource* records_;
  AudioSessionSource* sessions_;
  UsageNotice& notice_;
  ProcessSource* processes_;
  OwnProcess own_;
  bool watching_ = false;
  bool baseline_ = false;  // the records were read once
  std::vector<UsageRecord> kindRecords_[kUsageKindCount];
  std::map<WideString, std::vector<AudioSessionUse>> endpointSessions_;
  std::set<WideString> watchedEndpoints_;
  // Uses already logged that are still going on: one event per use, whichever
  // source told of it first.
  std::set<Use> loggedUses_;
  AnnouncedUses announced_;
  RecentUseLog log_;
};

// The key a use is announced once by: the device's name, or the kind's when
// the record named only the kind.
WideString AnnouncedDeviceKey(const UsageEvent& event);

}  // namespace shadowpane
