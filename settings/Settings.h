// The user's settings: kept in memory for the whole run, persisted in the
// per-user settings key, and mirrored by the autostart entry. Everything
// here runs on the user-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "settings/KeyValueStore.h"
#include "settings/Languages.h"

namespace shadowpane {

// The indicator's corners, as stored (IndicatorCorner): the choice control
// in the Settings window lists them in this order.
constexpr std::int32_t kIndicatorCornerTopLeft = 0;
constexpr std::int32_t kIndicatorCornerTopRight = 1;
constexpr std::int32_t kIndicatorCornerBottomLeft = 2;
constexpr std::int32_t kIndicatorCornerBottomRight = 3;
constexpr std::int32_t kIndicatorCornerCount = 4;
// Beside the notification area, where the taskbar usually is.
constexpr std::int32_t kIndicatorCornerDefault = kIndicatorCornerBottomRight;

// The user's settings, as one value: start-up owns the one in use, the
// Settings window edits a copy, tests and fuzz targets make their own.
// The defaults are what Default shows: English, every option off.
struct Settings {
  std::int32_t language = LANGUAGE_ENGLISH;  // 0..3
  std::int32_t startup = 0;                  // 0/1: the autostart entry exists
  std::int32_t blockStart = 0;               // 0/1: block every device at start
  std::int32_t blockPluggedIn = 0;           // 0/1: block devices when plugged in
  // 0/1: a balloon when a program tries to use a blocked device. On unless
  // turned off: being told is what a block is for.
  std::int32_t notifyAttempts = 1;
  std::int32_t blockWhileLocked = 0;  // 0/1: block every device while locked, disconnected or asleep
  // 0: off; 1..kMaxBlockAfterIdleMinutes: block every device after that
  // many minutes without input.
  std::int32_t blockAfterIdleMinutes = 0;
  // 0/1: the small always-on-top indicator of the two devices' states.
  std::int32_t showIndicator = 0;
  // The work area's corner the indicator sits in (kIndicatorCorner...).
  std::int32_t indicatorCorner = kIndicatorCornerDefault;
};

inline bool operator==(const Settings& a, const Settings& b) {
  return a.language == b.language && a.startup == b.startup && a.blockStart == b.blockStart &&
         a.blockPluggedIn == b.blockPluggedIn && a.notifyAttempts == b.notifyAttempts &&
         a.blockWhileLocked == b.blockWhileLocked && a.blockAfterIdleMinutes == b.blockAfterIdleMinutes &&
         a.showIndicator == b.showIndicator && a.indicatorCorner == b.indicatorCorner;
}

// The language picked in the first-run language window; -1 = none picked.
// Not a setting: start-up copies it into its Settings value.
extern std::int32_t gChosenLanguage;

// 1 when the machine's Run key holds the program's autostart value: an
// administrator made the program start at every user's logon, and this
// user's own choice cannot change that. Found afresh by ApplyAutostart.
extern std::int32_t gAutostartByAdministrator;

// Value names in the settings key.
constexpr WideChar kLanguageValue[] = u"Language";
constexpr WideChar kStartupValue[] = u"Startup";
constexpr WideChar kBlockStartValue[] = u"BlockStart";
constexpr WideChar kBlockPluggedInValue[] = u"BlockPluggedIn";
constexpr WideChar kNotifyAttemptsValue[] = u"NotifyAttempts";
constexpr WideChar kBlockWhileLockedValue[] = u"BlockWhileLocked";
constexpr WideChar kBlockAfterIdleMinutesValue[] = u"BlockAfterIdleMinutes";
// The largest number of minutes "Block all devices after … minutes without
// input" takes; a stored number above it reads as off.
constexpr std::int32_t kMaxBlockAfterIdleMinutes = 240;
constexpr WideChar kShowIndicatorValue[] = u"ShowIndicator";
constexpr WideChar kIndicatorCornerValue[] = u"IndicatorCorner";

// The autostart value's name in the user's Run key (and in the machine's,
// where only an administrator puts it).
constexpr WideChar kAutostartValue[] = u"KESTRALYNX Shadowpane";
// Started from the Run key, the program starts hidden in the tray.
constexpr WideChar kMinimizedArgument[] = u"/min";
// The word of the command that gives back every input a program that is
// gone left muted (the logon entry starts it).
constexpr WideChar kRestoreInputsArgument[] = u"/restore-inputs";
// That entry's value name in the user's Run key (beside the autostart's).
constexpr WideChar kRestoreInputsValue[] = u"KESTRALYNX Shadowpane Restore";
// Where earlier versions kept it: this value in the user's RunOnce key.
constexpr WideChar kOldRestoreInputsValue[] = u"KESTRALYNX Shadowpane";
// The longest command line a Run entry may hold.
constexpr std::size_t kMaxRunCommandChars = 260;
// The autostart text fits a buffer of this many units; the executable's
// path may take this many characters of it.
constexpr int kAutostartTextUnits = 5120;
constexpr int kMaxAutostartPathChars = 5100;

// 1 when the value exists, is a 32-bit number and is not 0; else 0.
int ReadFlag(KeyValueKey& key, const WideChar* valueName);

// 1 when a language is stored (a non-negative 32-bit number) or the
// settings key cannot be opened; 0 when start-up must ask for a language.
int EnsureLanguageChosen(KeyValueStore& store);

// Reads the settings into `settings` (a Language outside 0..3 gives 0;
// the flags count any non-zero number as 1), then
// ApplyAutostart(settings.startup). A key that cannot be opened leaves
// `settings` as it is.
void LoadSettings(KeyValueStore& store, Settings& settings);

// Writes the settings as 32-bit numbers, then
// ApplyAutostart(settings.startup) whether or not the key could be opened.
void SaveSettings(KeyValueStore& store, const Settings& settings);

// Makes the user's Run key hold the autostart value exactly when enabled
// and no administrator has put one in the machine's Run key (then the
// user's copy is removed, so the program never starts twice at logon).
// The machine's key is only read, never written, even where this run has
// the rights: a per-user program entered there would start, for every
// account, a file this one user can replace. Sets gAutostartByAdministrator.
// Answers 1 when the user's key is as it should be, 0 when it cannot be
// opened or the write or delete failed.
int ApplyAutostart(KeyValueStore& store, int enabled);

// The command the Run key starts: the path in double quotes, a blank and
// "/min". The quotes keep a path with blanks from being read as a shorter
// program path; an empty path gives the empty text.
std::u16string AutostartCommand(const std::u16string& executablePath);

// The command the logon entry runs: the path in double quotes, a blank
// and "/restore-inputs"; an empty path gives the empty text.
std::u16string RestoreInputsCommand(const std::u16string& executablePath);

// The entry's command within kMaxRunCommandChars: with the long path when
// it fits, else with the short one; empty when neither fits (or neither
// is known).
std::u16string FittingRestoreInputsCommand(const std::u16string& longPath, const std::u16string& shortPath);
// The same for the running executable, its paths asked of the store.
std::u16string RestoreInputsCommandOf(KeyValueStore& store);

// Makes the user's Run key hold the restore entry exactly when `needed`
// (while the record lists a muted input), so that whatever ends the
// program, the next logon gives the input back. Writes only what differs:
// an entry in place is not written again. Where no command fits, no entry
// is kept (start-up says so). Answers 1 when the key is as it should be,
// 0 when it cannot be opened or the write or delete failed.
int ApplyRestoreInputsEntry(KeyValueStore& store, bool needed);
// Removes the entry of earlier versions from the user's RunOnce key;
// writes nothing where there is none. 1 when it is gone.
int RemoveOldRestoreInputsEntry(KeyValueStore& store);

}  // namespace shadowpane
