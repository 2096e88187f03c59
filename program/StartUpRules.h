// The rules of start-up that need no platform: the working directory taken
// from the executable's path, the first-run page, and how long a restart
// waits for the running copy.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/KeyValueStore.h"
#include "core/Text.h"

namespace shadowpane {

// The executable's path is read up to this many characters.
constexpr int kExecutablePathChars = 2000;

// The executable's folder: everything up to and including the last '\' or
// '/'; empty when there is no separator.
WideString ExecutableFolder(const WideString& executablePath);

// The first-run key's value; the page opens while it is not a non-zero
// 32-bit number, and the value is then set to 1.
constexpr WideChar kFirstRunValue[] = u"firstrun";
constexpr WideChar kFirstRunPage[] = u"/shadowpane/?ref=install&ver=2001";

// Answers 1 when the first-run page is to be opened now (having written
// firstrun = 1), 0 when it was seen before or the key could not be opened.
int TakeFirstRun(KeyValueKey* firstRunKey);

// A restart asks the running copy to close and waits this long for it to
// end (saving its profile and letting its devices go), before ending it;
// and as long again for it to be gone.
constexpr std::uint32_t kRestartCloseWaitMs = 5000;
// How long a second start waits for the running copy to raise its window.
constexpr std::uint32_t kRaiseWaitMs = 5000;

// A starting copy and /restore-inputs take the same lock, so the two never
// work on the record of muted inputs at once: the start holds it until its
// first refresh has taken its blocks and given back the rest, the command
// while it gives back. Each waits this long for the other.
constexpr std::uint32_t kInputsLockWaitMs = 30000;

// What /restore-inputs does. A copy running in this session holds what it
// blocked and keeps the record itself: everything is left to it. Without
// the lock, whether a starting copy works on the record cannot be told,
// so nothing is touched.
enum class RestoreInputsStep { LeaveToRunningCopy, CannotTell, GiveBack };
RestoreInputsStep DecideRestoreInputs(bool copyRunning, bool locked);
// Its exit code: done only when no recorded input is left muted.
int RestoreInputsExitCode(RestoreInputsStep step, std::size_t endpointsLeft);
// What it prints when some input was not given back.
constexpr WideChar kInputsNotRestoredLine[] =
    u"Some microphones could not be unmuted. Unmute them in the Sound settings.";

// Start-up's line in the system's debug output when the executable's path
// is too long for the logon entry even in its short form: no entry gives
// inputs back at the next logon, only the next start does.
constexpr WideChar kNoRestoreEntryLogLine[] =
    u"Shadowpane: the program's path is too long for the logon entry that unmutes inputs "
    u"after a crash; none is written.\r\n";

// The question a second start asks.
constexpr WideChar kAlreadyRunningText[] =
    u"Another instance of Shadowpane is already running.\n \nDo you want to restart the program?";

}  // namespace shadowpane
