#include "usage/RecordLiveness.h"

#include "usage/OwnUse.h"

namespace shadowpane {
namespace {

constexpr WideChar kPathSeparator = u'\\';

// The process may be the record's program.
bool MayBe(const RunningProcess& process, const UsageRecord& record, bool byPath) {
  if (process.startTime != 0 && process.startTime > record.lastStart) return false;
  if (byPath && process.opened) return SameImagePath(process.imagePath, record.identity);
  return SameImagePath(process.fileName, record.program);
}

}  // namespace

bool MayStillBeInUse(const UsageRecord& record, const LivenessFacts& facts) {
  if (!record.inUse) return false;
  if (facts.bootTime > kBootTimeSlack && record.lastStart < facts.bootTime - kBootTimeSlack) return false;
  if (record.packaged || !facts.processesRead) return true;
  // A bare file name in the record is matched by file name only.
  const bool byPath = record.identity.find(kPathSeparator) != WideString::npos;
  for (const RunningProcess& process : facts.processes) {
    if (MayBe(process, record, byPath)) return true;
  }
  return false;
}

bool NeedsProcesses(const std::vector<UsageRecord>& records) {
  for (const UsageRecord& record : records) {
    if (record.inUse && !record.packaged) return true;
  }
  return false;
}

void EndImpossibleUses(std::vector<UsageRecord>& records, const LivenessFacts& facts) {
  for (UsageRecord& record : records) record.inUse = MayStillBeInUse(record, facts);
}

}  // namespace shadowpane
