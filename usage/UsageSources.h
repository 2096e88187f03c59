// The two places that tell who uses a device: the system's usage records
// (the registry on Windows) and the audio capture sessions of an endpoint.
// Both tell of changes through a notice rather than being polled.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Text.h"
#include "usage/OwnUse.h"
#include "usage/RecordLiveness.h"
#include "usage/UsageDecisions.h"
#include "usage/UsageRecords.h"

namespace shadowpane {

// Told that a source changed; the receiver reads again. Called on any
// thread (a watcher's or the system's), so it only posts.
class UsageNotice {
 public:
  virtual ~UsageNotice() = default;
  virtual void UsageChanged() = 0;
};

class UsageRecordSource {
 public:
  virtual ~UsageRecordSource() = default;
  // 1 with the kind's records (possibly none); 0 when the system keeps no
  // such records (the key is missing: an older system), so nothing can be
  // said about that kind; a negative answer when they could not be read.
  virtual int ReadRecords(UsageKind kind, std::vector<UsageRecord>& records) = 0;
  // Tells notice of every change to either kind's records until stopped.
  // Answers 1 when watching.
  virtual int StartWatching(UsageNotice& notice) = 0;
  virtual void StopWatching() = 0;
};

class AudioSessionSource {
 public:
  virtual ~AudioSessionSource() = default;
  // 1 with the capture sessions of the endpoint, 0 when it has none to
  // tell (no such endpoint), a negative COM result on failure.
  virtual int ReadSessions(WideView endpointId, std::vector<AudioSessionUse>& sessions) = 0;
  // Tells notice when a session is created on the endpoint or one of its
  // sessions changes state or goes. Answers 1 when watching.
  virtual int Watch(WideView endpointId, UsageNotice& notice) = 0;
  // Ends every watch; no notice is told after it returns.
  virtual void StopWatching() = 0;
};

// What the records are checked against: this copy of the program, the
// system's last start, and the running processes.
class ProcessSource {
 public:
  virtual ~ProcessSource() = default;
  // This process and its image path.
  virtual OwnProcess Own() = 0;
  // The FILETIME of the system's last start; 0 when it cannot be told.
  virtual std::uint64_t BootTime() = 0;
  // 1 with every running process; 0 when they cannot be listed.
  virtual int ReadProcesses(std::vector<RunningProcess>& processes) = 0;
};

}  // namespace shadowpane
