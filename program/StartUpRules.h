// The rules of start-up that need no platform: the working directory taken
// from the executable's path, the first-run page, and which processes a
// restart ends.
#pragma once

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

// The executable name every running copy has, whatever this one is called.
constexpr WideChar kExecutableName[] = u"Shadowpane.exe";

// A restart ends every other process whose file name is exactly
// "Shadowpane.exe" (case-sensitive).
bool EndsOnRestart(const WideChar* processFileName, std::uint32_t processId, std::uint32_t ownProcessId);

// The question a second start asks.
constexpr WideChar kAlreadyRunningText[] =
    u"Another instance of Shadowpane is already running.\n \nDo you want to restart the program?";

}  // namespace shadowpane
