// The user's settings: kept in memory for the whole run, persisted in the
// per-user settings key, and mirrored by the autostart entry. Everything
// here runs on the user-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "app/KeyValueStore.h"
#include "app/Languages.h"

namespace shadowpane {

// The in-memory settings besides LanguageIndex (app/Languages.h). Start-up
// sets all four to 0 before loading them.
extern std::int32_t Startup;         // 0/1: the autostart entry exists
extern std::int32_t BlockStart;      // 0/1: block every device at start
extern std::int32_t BlockPluggedIn;  // 0/1: block devices when plugged in

// The language picked in the first-run language window; -1 = none picked.
extern std::int32_t ChosenLanguage;

// Value names in the settings key.
constexpr WideChar kLanguageValue[] = u"Language";
constexpr WideChar kStartupValue[] = u"Startup";
constexpr WideChar kBlockStartValue[] = u"BlockStart";
constexpr WideChar kBlockPluggedInValue[] = u"BlockPluggedIn";

// The autostart value in the machine's Run key, or the user's when the
// machine's cannot be opened with full access.
constexpr WideChar kAutostartValue[] = u"KESTRALYNX Shadowpane";
// Started from the Run key, the program starts hidden in the tray.
constexpr WideChar kMinimizedArgument[] = u"/min";
// The autostart text fits a buffer of this many units; the executable's
// path may take this many characters of it.
constexpr int kAutostartTextUnits = 5120;
constexpr int kMaxAutostartPathChars = 5100;

// 1 when the value exists, is a 32-bit number and is not 0; else 0.
int ReadFlag(KeyValueKey& key, const WideChar* valueName);

// 1 when a language is stored (a non-negative 32-bit number) or the
// settings key cannot be opened; 0 when start-up must ask for a language.
int EnsureLanguageChosen(KeyValueStore& store);

// Reads the four settings (a Language outside 0..3 gives 0; the flags count
// any non-zero number as 1), then ApplyAutostart(Startup). A key that cannot
// be opened leaves the settings as they are.
void LoadSettings(KeyValueStore& store);

// Writes the four settings as 32-bit numbers, then ApplyAutostart(Startup)
// whether or not the key could be opened.
void SaveSettings(KeyValueStore& store);

// Enabled: writes the autostart value under the machine's Run key when that
// opens with full access (and removes a copy under the user's, so the
// program is not started twice at logon), else under the user's Run key.
// Disabled: deletes the value from both keys. Answers 1 when that was
// done, 0 when neither key opens (the entries are then left alone) or a
// write or delete failed. A standard user thus still gets the autostart
// the Settings window shows ticked.
int ApplyAutostart(KeyValueStore& store, int enabled);

// The command the Run key starts: the path in double quotes, a blank and
// "/min". The quotes keep a path with blanks from being read as a shorter
// program path; an empty path gives the empty text.
std::u16string AutostartCommand(const std::u16string& executablePath);

}  // namespace shadowpane
