#include "tests/support/FakeUsageSources.h"

namespace shadowpane::testing {

int FakeUsageRecordSource::ReadRecords(UsageKind kind, std::vector<UsageRecord>& records) {
  records.clear();
  const auto found = records_.find(kind);
  if (found == records_.end()) return 0;
  records = found->second;
  return 1;
}

int FakeUsageRecordSource::StartWatching(UsageNotice& notice) {
  notice_ = &notice;
  return 1;
}

void FakeUsageRecordSource::SetRecords(UsageKind kind, std::vector<UsageRecord> records) {
  records_[kind] = std::move(records);
  if (notice_ != nullptr) notice_->UsageChanged();
}

void FakeUsageRecordSource::SetUnrecorded(UsageKind kind) {
  records_.erase(kind);
  if (notice_ != nullptr) notice_->UsageChanged();
}

int FakeAudioSessionSource::ReadSessions(WideView endpointId, std::vector<AudioSessionUse>& sessions) {
  sessions.clear();
  const auto found = sessions_.find(WideString(endpointId));
  if (found == sessions_.end()) return 0;
  sessions = found->second;
  return 1;
}

int FakeAudioSessionSource::Watch(WideView endpointId, UsageNotice& notice) {
  watched_[WideString(endpointId)] = &notice;
  return 1;
}

void FakeAudioSessionSource::SetSessions(WideView endpointId, std::vector<AudioSessionUse> sessions) {
  sessions_[WideString(endpointId)] = std::move(sessions);
  const auto watcher = watched_.find(WideString(endpointId));
  if (watcher != watched_.end()) watcher->second->UsageChanged();
}

int FakeProcessSource::ReadProcesses(std::vector<RunningProcess>& listed) {
  ++lists;
  listed.clear();
  if (!listable) return 0;
  listed = processes;
  return 1;
}

int MemoryRecentUseFile::Read(std::vector<std::uint8_t>& image, std::size_t maxBytes) {
  if (!exists) return 0;
  if (unreadable) return -2;
  if (bytes.size() > maxBytes) return -1;
  image = bytes;
  return 1;
}

int MemoryRecentUseFile::Write(const std::uint8_t* data, std::size_t size) {
  bytes.assign(data, data + size);
  exists = true;
  return 1;
}

int MemoryRecentUseFile::SetAside() {
  if (!exists) return 0;
  setAside = bytes;
  bytes.clear();
  exists = false;
  ++setAsideCount;
  return 1;
}

}  // namespace shadowpane::testing
