// Stand-ins for the two usage sources and the "Recent use" file: a test
// sets what the system would hold and tells the watcher as the system
// would, on the calling thread.
#pragma once

#include <map>
#include <vector>

#include "usage/RecentUse.h"
#include "usage/UsageSources.h"

namespace shadowpane::testing {

class FakeUsageRecordSource : public UsageRecordSource {
 public:
  int ReadRecords(UsageKind kind, std::vector<UsageRecord>& records) override;
  int StartWatching(UsageNotice& notice) override;
  void StopWatching() override { notice_ = nullptr; }

  // Replaces a kind's records and tells the watcher, as a write would.
  void SetRecords(UsageKind kind, std::vector<UsageRecord> records);
  // The kind's key is missing, as on an older system.
  void SetUnrecorded(UsageKind kind);
  bool watching() const { return notice_ != nullptr; }

 private:
  std::map<UsageKind, std::vector<UsageRecord>> records_;
  UsageNotice* notice_ = nullptr;
};

class FakeAudioSessionSource : public AudioSessionSource {
 public:
  int ReadSessions(WideView endpointId, std::vector<AudioSessionUse>& sessions) override;
  int Watch(WideView endpointId, UsageNotice& notice) override;
  void StopWatching() override { watched_.clear(); }

  // Replaces an endpoint's sessions and tells its watcher, if any.
  void SetSessions(WideView endpointId, std::vector<AudioSessionUse> sessions);

 private:
  std::map<WideString, std::vector<AudioSessionUse>> sessions_;
  std::map<WideString, UsageNotice*> watched_;
};

// The machine the records are checked against, as a test sets it.
class FakeProcessSource : public ProcessSource {
 public:
  OwnProcess Own() override { return own; }
  std::uint64_t BootTime() override { return bootTime; }
  int ReadProcesses(std::vector<RunningProcess>& listed) override;

  OwnProcess own;
  std::uint64_t bootTime = 0;
  bool listable = true;
  std::vector<RunningProcess> processes;
  int lists = 0;  // how often the processes were listed
};

// Counts the notices it was told.
class CountingUsageNotice : public UsageNotice {
 public:
  void UsageChanged() override { ++count; }
  int count = 0;
};

class MemoryRecentUseFile : public RecentUseFile {
 public:
  int Read(std::vector<std::uint8_t>& image, std::size_t maxBytes) override;
  int Write(const std::uint8_t* data, std::size_t size) override;
  int SetAside() override;

  bool exists = false;
  bool unreadable = false;
  std::vector<std::uint8_t> bytes;
  std::vector<std::uint8_t> setAside;  // what the last SetAside moved away
  int setAsideCount = 0;
};

}  // namespace shadowpane::testing
