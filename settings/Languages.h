// The four interface languages and their string tables. Every text that
// changes with the language is looked up here when it is used, through the
// process-wide gDisplayLanguage (user-interface thread only).
#pragma once

#include <cstdint>

#include "core/Text.h"

namespace shadowpane {

constexpr int LANGUAGE_ENGLISH = 0;
constexpr int LANGUAGE_GERMAN = 1;
constexpr int LANGUAGE_SPANISH = 2;
constexpr int LANGUAGE_ITALIAN = 3;
constexpr int kLanguageCount = 4;

// Entries per string table; every table has all of them.
constexpr int kStringCount = 62;

// Output buffers of GetLanguageName and GetLanguageCode: 50 characters and
// a terminator.
constexpr int kLanguageNameUnits = 51;

// What each table entry means. The gaps (6, 10, 27 to 31, 33, 34, 40) are
// reserved entries that no window shows.
enum StringIndex : int {
  STR_YES = 0,
  STR_NO = 1,
  STR_OK = 2,
  STR_CANCEL = 3,
  STR_CLOSE = 4,
  STR_DEFAULT = 5,
  STR_SETTINGS = 7,
  STR_HELP = 8,
  STR_ABOUT = 9,
  STR_JOIN_US_ON = 11,
  STR_WEBSITE = 12,
  STR_CONTACT_US = 13,
  STR_SEND_FEEDBACK = 14,
  STR_PRIVACY_AT_RISK = 15,
  STR_BLOCK_ALL_HINT = 16,
  STR_PRIVACY_PROTECTED = 17,
  STR_ALL_BLOCKED = 18,
  STR_VIDEO_DEVICES = 19,
  STR_AUDIO_DEVICES = 20,
  STR_LANGUAGE = 21,
  STR_PROGRAM = 22,
  STR_START_WITH_WINDOWS = 23,
  STR_BLOCK_AT_START = 24,
  STR_BLOCK_PLUGGED_IN = 25,
  STR_VERSION = 26,
  STR_REGISTRY_DENIED = 32,
  STR_DEVICE = 35,
  STR_UNABLE_TO_UNBLOCK = 36,
  STR_UNABLE_TO_BLOCK = 37,
  STR_DEVICE_PLUGGED_IN = 38,
  STR_NOTIFY_REGISTER_FAILED = 39,
  // A blocked camera that the system still lets other programs open.
  STR_CAMERA_STILL_SHARED = 41,
  // A blocked microphone that other programs can still hear.
  STR_MICROPHONE_NOT_SILENT = 42,
  // The autostart option when an administrator's entry starts the program.
  STR_START_WITH_WINDOWS_BY_ADMINISTRATOR = 43,
  // Beneath a control an organisation's policy forces.
  STR_MANAGED_BY_ORGANIZATION = 44,
  // An unblock an organisation's policy refuses.
  STR_UNBLOCK_NOT_ALLOWED = 45,
  // An unblock whose give-back could not be read back: the microphone may
  // still be muted for every program.
  STR_MICROPHONE_NOT_UNMUTED = 46,
  // A device the user had blocked came back and is held again.
  STR_DEVICE_PLUGGED_IN_BLOCKED_AGAIN = 47,
  // An unblock left to another copy of the program that holds the
  // microphone too: it stays muted until that copy lets go.
  STR_MICROPHONE_HELD_BY_ANOTHER_COPY = 48,
  // A held microphone a program that asks for it exclusively still hears.
  STR_MICROPHONE_EXCLUSIVE_HEARD = 49,
  // A held microphone whose mute another program keeps undoing: the
  // program's name at %1 (usage/UsageTexts' mark), or unnamed.
  STR_MICROPHONE_UNMUTED_BY = 50,
  STR_MICROPHONE_UNMUTED_BY_ANOTHER = 51,
  // The setting that holds every device while the user is away: locked,
  // disconnected or asleep.
  STR_BLOCK_WHILE_LOCKED = 52,
  // "Block all devices after [number] minutes without input": the check
  // box's text before the number field, and the text after it.
  STR_BLOCK_AFTER_IDLE = 53,
  STR_MINUTES_WITHOUT_INPUT = 54,
  // Push-to-talk: a microphone entry's line and the tray's tip while its
  // hold is paused for a talk; the status panel's line meanwhile.
  STR_TALKING = 55,
  STR_TALKING_LINE = 56,
  // The Settings window's indicator row and its four corners, in the
  // order of the stored corner (settings/Settings.h).
  STR_SHOW_INDICATOR = 57,
  STR_CORNER_TOP_LEFT = 58,
  STR_CORNER_TOP_RIGHT = 59,
  STR_CORNER_BOTTOM_LEFT = 60,
  STR_CORNER_BOTTOM_RIGHT = 61,
};

// The language the windows show now, 0 to 3: a copy of the Settings value's
// language, set at start-up and on the Settings window's OK. It stays
// process-wide because every text of every window is looked up through
// GetString, and threading the language through each call would reach into
// every layer for one number; the settings themselves live in Settings.
extern std::int32_t gDisplayLanguage;

// The text at index 0..47 in the table of the current gDisplayLanguage, read
// afresh on every call. Never null: an index outside the table gives the
// empty text, and a gDisplayLanguage outside 0..3 reads the English table.
// The texts live as long as the program; the caller does not free them.
const WideChar* GetString(int index);

// The same lookup for an explicit language (the language window shows the
// other languages' names, tests check every table).
const WideChar* GetStringIn(int language, int index);

// Copies the language's own name ("English", "Deutsche", "Español",
// "Italiano") into buffer, at most bufferUnits - 1 characters and a
// terminator, and answers true. A language outside 0..3 (or no buffer)
// writes nothing and answers false.
bool GetLanguageName(int language, WideChar* buffer, int bufferUnits = kLanguageNameUnits);

// The language whose name equals text exactly (case-sensitive), checked in
// the order English, German, Spanish, Italian; 0 when none matches.
int LanguageFromName(const WideChar* text);

// The web-link code "en", "de", "es" or "it"; the same contract as
// GetLanguageName.
bool GetLanguageCode(int language, WideChar* buffer, int bufferUnits = kLanguageNameUnits);

// The popup-menu template of the language: 4608, 4610, 4611 or 4612; the
// English one for any other value.
int GetMenuResourceId(int language);

}  // namespace shadowpane
