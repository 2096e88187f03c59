#include "usage/OwnUse.h"

#include <algorithm>

namespace shadowpane {
namespace {

WideChar Folded(WideChar unit) {
  if (unit >= u'A' && unit <= u'Z') return static_cast<WideChar>(unit - u'A' + u'a');
  return unit == u'/' ? u'\\' : unit;
}

}  // namespace

bool SameImagePath(WideView a, WideView b) {
  if (a.empty() || a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
  }
  return true;
}

void LeaveOutOwnRecords(std::vector<UsageRecord>& records, const OwnProcess& own) {
  records.erase(std::remove_if(records.begin(), records.end(),
                               [&](const UsageRecord& record) {
                                 return !record.packaged && SameImagePath(record.identity, own.imagePath);
                               }),
                records.end());
}

void LeaveOutOwnSessions(std::vector<AudioSessionUse>& sessions, const OwnProcess& own) {
  if (own.processId == 0) return;
  sessions.erase(std::remove_if(sessions.begin(), sessions.end(),
                                [&](const AudioSessionUse& session) { return session.processId == own.processId; }),
                 sessions.end());
}

}  // namespace shadowpane
