// "In use" only while it can be. The system clears a record's stop to 0
// while a use lasts and writes it when the use ends; a program that crashed
// or a system that went down mid-use leaves the 0 behind for good. So a
// record that says "in use" is believed only while that can still be true:
// its use began after the system last started, and, for a desktop program,
// a process with its image runs (when the processes can be listed).
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Text.h"
#include "usage/UsageRecords.h"

namespace shadowpane {

// How far a start may lie before the computed boot time and still be
// taken as after it: the boot time is the clock less the uptime, read at
// two moments, and the clock may have been set since. One minute, in
// FILETIME units (100 ns).
constexpr std::uint64_t kBootTimeSlack = 60ull * 10000000ull;

// One running process as the system lists it.
struct RunningProcess {
  std::uint32_t processId = 0;
  WideString fileName;   // the image's file name, which the listing gives for every process
  bool opened = false;   // its full path could be read
  WideString imagePath;  // the full path, when opened
  std::uint64_t startTime = 0;  // FILETIME the process was created; 0 when unknown
};

// What is known of the machine when a record is judged.
struct LivenessFacts {
  std::uint64_t bootTime = 0;  // FILETIME of the last start; 0 when unknown
  bool processesRead = false;  // the processes below are every running one
  std::vector<RunningProcess> processes;
};

// Whether a record that says "in use" can still be: not when its use began
// before the last start of the system; for a desktop program, only while
// a process runs that may be it (one with its path, or one that could not
// be opened and bears its file name) and that was already running when
// the use began (a program started since cannot revive a stale record).
// With unknown facts it is believed.
bool MayStillBeInUse(const UsageRecord& record, const LivenessFacts& facts);

// Whether judging the records needs the running processes: some desktop
// record says "in use".
bool NeedsProcesses(const std::vector<UsageRecord>& records);

// Marks as ended every record whose use cannot still be going on.
void EndImpossibleUses(std::vector<UsageRecord>& records, const LivenessFacts& facts);

}  // namespace shadowpane
