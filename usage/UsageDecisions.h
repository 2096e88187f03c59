// Who is using which device, which uses were turned away by a block, and
// which of them are told to the user: pure decisions over the usage
// records, the audio sessions and the block state the caller reads.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/Text.h"
#include "usage/UsageRecords.h"

namespace shadowpane {

// A program's name when its process cannot be opened: the texts show
// "an unknown program" for it.
constexpr WideChar kUnknownProgram[] = u"";
// The name of process 0, the system's idle process, as the system shows it.
constexpr WideChar kSystemProcessName[] = u"System";

// One audio capture session on an endpoint.
struct AudioSessionUse {
  std::uint32_t processId = 0;
  WideString program;   // kUnknownProgram when the process could not be opened
  bool active = false;  // only an active session is using the microphone
};

// The program a session belongs to: "System" for process 0, the file name
// of the image path, unknown when the process could not be opened or
// answered no path.
WideString ProgramOfProcess(std::uint32_t processId, bool opened, WideView imagePath);

// The programs using a kind of device now, by the records: sorted, each once.
std::vector<WideString> ProgramsUsingNow(const std::vector<UsageRecord>& records);
// The programs with an active session on an endpoint: sorted, each once.
std::vector<WideString> ProgramsInSessions(const std::vector<AudioSessionUse>& sessions);

// The programs an entry of the main window names. A session names its
// endpoint's microphone; a record names only a kind, so its programs are
// shown on an entry only when it is the one listed device of its kind.
std::vector<WideString> EntryUsers(const std::vector<WideString>& sessionPrograms,
                                   const std::vector<WideString>& kindPrograms, bool onlyDeviceOfKind);

// The records whose use began since the reading before: in use now and
// either not in use then (or unknown then) or started again since. The
// first reading of a run is the baseline: uses already going on are not
// starts.
std::vector<UsageRecord> UsesStarted(const std::vector<UsageRecord>& before, const std::vector<UsageRecord>& now);
// The sessions that became active since the reading before, by process.
std::vector<AudioSessionUse> SessionsStarted(const std::vector<AudioSessionUse>& before,
                                             const std::vector<AudioSessionUse>& now);

// What a started use met: a use that starts while every listed device it
// may mean is blocked (and the block verified) was turned away, or for a
// microphone hears only silence. With nothing listed the program used a
// device this program does not know, so it is not called turned away.
enum class UseOutcome { Allowed, TurnedAway };
UseOutcome OutcomeOfStart(int devicesListed, int devicesBlocked);

// Most program and device pairs remembered per run; past it nothing more is
// announced (the log still keeps every event), so a flood of programs
// cannot flood the user with balloons.
constexpr int kMaxAnnouncedUses = 512;

// The uses already announced this run: each program and device once.
class AnnouncedUses {
 public:
  // True the first time the pair is seen, and it is remembered then.
  bool FirstTime(WideView program, WideView device);

 private:
  std::vector<std::pair<WideString, WideString>> seen_;
};

}  // namespace shadowpane
