// What the Settings window decides without the platform: its controls, its
// language list, what OK reads into the settings, what Default shows, what a
// pick from the list puts on the picker. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Text.h"
#include "policy/PolicyRules.h"
#include "settings/Settings.h"
#include "ui/toolkit/Geometry.h"
#include "ui/toolkit/MenuItemList.h"
#include "ui/windows/SecondaryWindowLogic.h"

namespace shadowpane {

// The last row, "Tell me when a program tries to use a blocked device",
// made it this much taller than the window without it.
constexpr int kSettingsNotifyRowHeight = 25;
// The rows of the user away ("Block all devices while the computer is
// locked", "Block all devices after [n] minutes without input") made it
// this much taller again.
constexpr int kSettingsAwayRowsHeight = 82;
// "Show an indicator on screen" and its four corners, two to a row, below
// them, a gap apart from the number field.
constexpr int kSettingsIndicatorGap = 4;
constexpr int kSettingsIndicatorRowsHeight = kSettingsIndicatorGap + 3 * kSettingsNotifyRowHeight;
constexpr Size kSettingsWindowSize{
    540, 360 + kSettingsNotifyRowHeight + kSettingsAwayRowsHeight + kSettingsIndicatorRowsHeight};
// Each note "Managed by your organization." under a forced setting moves
// the rows below it down by this much and makes the window as much taller.
constexpr int kSettingsNoteRowHeight = 20;

// Controls and commands.
constexpr int IDC_SETTINGS_CLOSE = 1026;
constexpr int IDC_SETTINGS_OK = 1027;
constexpr int IDC_SETTINGS_CANCEL = 1028;
constexpr int IDC_SETTINGS_DEFAULT = 1029;
constexpr int IDC_SETTINGS_PROGRAM_LABEL = 1030;
constexpr int IDC_SETTINGS_LANGUAGE_LABEL = 1031;
constexpr int IDC_SETTINGS_PICKER = 1032;
constexpr int IDC_SETTINGS_STARTUP = 1033;
constexpr int IDC_SETTINGS_BLOCK_START = 1034;
constexpr int IDC_SETTINGS_BLOCK_PLUGGED_IN = 1035;
// Command values of the language list: every language, and the separator.
constexpr int IDC_SETTINGS_LANGUAGE_ITEM = 1036;
constexpr int IDC_SETTINGS_LANGUAGE_SEPARATOR = 1037;
// The notes under the forced settings, in the order of the settings.
constexpr int IDC_SETTINGS_LANGUAGE_NOTE = 1038;
constexpr int IDC_SETTINGS_STARTUP_NOTE = 1039;
constexpr int IDC_SETTINGS_BLOCK_START_NOTE = 1040;
constexpr int IDC_SETTINGS_BLOCK_PLUGGED_IN_NOTE = 1041;
// "Tell me when a program tries to use a blocked device", and its note.
constexpr int IDC_SETTINGS_NOTIFY_ATTEMPTS = 1042;
constexpr int IDC_SETTINGS_NOTIFY_ATTEMPTS_NOTE = 1043;
// The user away: the lock's check box, the idle check box, its number
// field and the text after it, and their notes.
constexpr int IDC_SETTINGS_BLOCK_WHILE_LOCKED = 1044;
constexpr int IDC_SETTINGS_BLOCK_WHILE_LOCKED_NOTE = 1045;
constexpr int IDC_SETTINGS_BLOCK_AFTER_IDLE = 1046;
constexpr int IDC_SETTINGS_IDLE_MINUTES = 1047;
constexpr int IDC_SETTINGS_IDLE_MINUTES_LABEL = 1048;
constexpr int IDC_SETTINGS_BLOCK_AFTER_IDLE_NOTE = 1049;

// The number field shows this while the idle setting is off, and takes
// at most this many digits.
constexpr std::int32_t kShownIdleMinutesWhenOff = 10;
constexpr int kIdleMinutesDigits = 3;
// "Show an indicator on screen", its note, and the radios of its corners
// (first + the stored corner).
constexpr int IDC_SETTINGS_SHOW_INDICATOR = 1050;
constexpr int IDC_SETTINGS_SHOW_INDICATOR_NOTE = 1051;
constexpr int IDC_SETTINGS_CORNER_FIRST = 1052;
constexpr int IDC_SETTINGS_CORNER_LAST = IDC_SETTINGS_CORNER_FIRST + kIndicatorCornerCount - 1;

// The corner whose radio is checked (checked[i] for corner i); `kept` when
// none is.
int CheckedCorner(const int (&checked)[kIndicatorCornerCount], int kept);

// The picker's text is read back with at most this many characters.
constexpr int kPickerTextChars = 49;

// What Default shows: English, every option off.
constexpr Settings kDefaultSettings{};

// The window's size: one note row taller for each forced setting.
Size SettingsWindowSize(const EnforcedPolicy& policy);

// The controls in creation order, texts in the current language: under
// each setting the policy forces, a note "Managed by your organization.",
// the rows below moved down to make room.
std::vector<ControlPlacement> SettingsControls(Size client, const EnforcedPolicy& policy = EnforcedPolicy{});

// 1 when the control can be changed: the picker unless the language is
// forced, each option unless forced (the autostart box also not while an
// administrator's entry starts the program); every other control 1.
int SettingsControlEnabled(int controlId, const EnforcedPolicy& policy);

// The same with the boxes' ticks: the number field only while "Block all
// devices after" is ticked (idleChecked) and not forced; the corners' radios
// only while "Show an indicator on screen" is ticked (indicatorChecked) and
// not forced off. A policy forcing the indicator on leaves the corner, which
// no policy names, to the user. Every other control as above.
int SettingsControlEnabledWhenTicked(int controlId, const EnforcedPolicy& policy, int idleChecked,
                                     int indicatorChecked);

// The language list: "English", a separator, "Deutsche", "Español",
// "Italiano".
void BuildLanguageList(MenuItemList* list);

// The values OK stores: the language named on the picker (English when the
// text names none) and the three check states, each 0 or 1. While an
// administrator's entry starts the program (gAutostartByAdministrator), the
// autostart box is locked and the user's own keptStartup is kept as it was.
Settings ReadSettingsChoice(int keptStartup, const WideChar* pickerText, int startupChecked,
                            int blockStartChecked, int blockPluggedInChecked);

// The idle setting from its check box and its field's text: 0 when not
// checked; else the digits' number brought within 1 to 240 (no digits
// count as 1).
std::int32_t ReadIdleMinutes(int checked, const WideChar* fieldText);
// What the field shows for a setting: its minutes, or
// kShownIdleMinutesWhenOff while off.
WideString IdleMinutesText(std::int32_t minutes);

// The autostart box's check: ticked whatever the user's own choice while an
// administrator's entry starts the program, since it does start at logon.
int StartupShown(int startup);
// 1 when the autostart box can be changed (no administrator's entry).
int StartupEditable();

// The picker's text for a language (its own name; empty for none of the
// four) with that name marked in the list, every other mark cleared.
WideString ShowLanguageInList(MenuItemList* list, int languageIndex);

// A pick from the list at position: marks it and answers 1 with its text in
// `text` (kMenuItemTextUnits units) for the picker. A position that is not
// a selectable item of the list answers 0 and changes nothing, so the picker
// never shows an empty or separator text.
int PickListedLanguage(MenuItemList* list, int position, WideChar* text);

}  // namespace shadowpane
