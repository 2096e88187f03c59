// Shadowpane never names itself as a user of a device: its own image in
// the usage records and its own process among the audio sessions are left
// out before anything else looks at them (entries, /status, balloons,
// "Recent use"). Its microphone hold keeps an audio client of its own open
// on the endpoint, which must never read as another program listening.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Text.h"
#include "usage/UsageDecisions.h"
#include "usage/UsageRecords.h"

namespace shadowpane {

// This copy of the program as the sources name it.
struct OwnProcess {
  std::uint32_t processId = 0;  // 0: unknown, no session is left out by it
  WideString imagePath;         // empty: unknown, no record is left out by it
};

// Whether two paths name one file as the system compares them: without
// regard to the case of ASCII letters, '/' taken as '\'. Empty names none.
bool SameImagePath(WideView a, WideView b);

// Drops the records of the program's own image (desktop records only: a
// packaged name is never a path).
void LeaveOutOwnRecords(std::vector<UsageRecord>& records, const OwnProcess& own);
// Drops the sessions of the program's own process.
void LeaveOutOwnSessions(std::vector<AudioSessionUse>& sessions, const OwnProcess& own);

}  // namespace shadowpane
