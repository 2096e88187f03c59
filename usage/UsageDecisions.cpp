#include "usage/UsageDecisions.h"

#include <algorithm>

namespace shadowpane {

namespace {

void SortUnique(std::vector<WideString>& names) {
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
}

const UsageRecord* Find(const std::vector<UsageRecord>& records, const UsageRecord& wanted) {
  for (const UsageRecord& record : records) {
    if (record.identity == wanted.identity && record.packaged == wanted.packaged) return &record;
  }
  return nullptr;
}

}  // namespace

WideString ProgramOfProcess(std::uint32_t processId, bool opened, WideView imagePath) {
  if (processId == 0) return kSystemProcessName;
  if (!opened) return kUnknownProgram;
  const std::size_t separator = imagePath.find_last_of(u"\\/");
  return WideString(separator == WideView::npos ? imagePath : imagePath.substr(separator + 1));
}

std::vector<WideString> ProgramsUsingNow(const std::vector<UsageRecord>& records) {
  std::vector<WideString> names;
  for (const UsageRecord& record : records) {
    if (record.inUse) names.push_back(record.program);
  }
  SortUnique(names);
  return names;
}

std::vector<WideString> ProgramsInSessions(const std::vector<AudioSessionUse>& sessions) {
  std::vector<WideString> names;
  for (const AudioSessionUse& session : sessions) {
    if (session.active) names.push_back(session.program);
  }
  SortUnique(names);
  return names;
}

std::vector<WideString> EntryUsers(const std::vector<WideString>& sessionPrograms,
                                   const std::vector<WideString>& kindPrograms, bool onlyDeviceOfKind) {
  std::vector<WideString> names = sessionPrograms;
  if (onlyDeviceOfKind) names.insert(names.end(), kindPrograms.begin(), kindPrograms.end());
  SortUnique(names);
  return names;
}

std::vector<UsageRecord> UsesStarted(const std::vector<UsageRecord>& before, const std::vector<UsageRecord>& now) {
  std::vector<UsageRecord> started;
  for (const UsageRecord& record : now) {
    if (!record.inUse) continue;
    const UsageRecord* earlier = Find(before, record);
    if (earlier == nullptr || !earlier->inUse || earlier->lastStart != record.lastStart) started.push_back(record);
  }
  return started;
}

std::vector<AudioSessionUse> SessionsStarted(const std::vector<AudioSessionUse>& before,
                                             const std::vector<AudioSessionUse>& now) {
  std::vector<AudioSessionUse> started;
  for (const AudioSessionUse& session : now) {
    if (!session.active) continue;
    const bool wasActive = std::any_of(before.begin(), before.end(), [&](const AudioSessionUse& earlier) {
      return earlier.active && earlier.processId == session.processId;
    });
    if (!wasActive) started.push_back(session);
  }
  return started;
}

UseOutcome OutcomeOfStart(int devicesListed, int devicesBlocked) {
  return devicesListed > 0 && devicesBlocked >= devicesListed ? UseOutcome::TurnedAway : UseOutcome::Allowed;
}

bool AnnouncedUses::FirstTime(WideView program, WideView device) {
  for (const auto& pair : seen_) {
    if (pair.first == program && pair.second == device) return false;
  }
  if (seen_.size() >= static_cast<std::size_t>(kMaxAnnouncedUses)) return false;
  seen_.emplace_back(WideString(program), WideString(device));
  return true;
}

}  // namespace shadowpane
