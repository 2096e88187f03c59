#include "ui/windows/SettingsWindowLogic.h"

#include "settings/Languages.h"
#include "settings/Settings.h"
#include "usage/UsageTexts.h"

namespace shadowpane {
namespace {

constexpr int kPickerX = 35;
constexpr int kPickerY = 127;
constexpr Size kPickerSize{184, 37};
constexpr int kCancelFromRight = 205;
constexpr int kDefaultButtonX = 22;
constexpr int kLabelX = 19;
constexpr int kLanguageLabelY = 101;
constexpr int kProgramLabelY = 178;
constexpr int kOptionX = 37;
constexpr int kStartupY = 206;
constexpr int kBlockStartY = 231;
constexpr int kBlockPluggedInY = 256;
constexpr int kNotifyAttemptsY = kBlockPluggedInY + kSettingsNotifyRowHeight;
constexpr int kBlockWhileLockedY = kNotifyAttemptsY + 25;
constexpr int kBlockAfterIdleY = kBlockWhileLockedY + 25;
// The number field on the row under its check box, indented to the box's
// text, and the text after it on the field's text line.
constexpr int kIdleFieldX = kOptionX + 20;
constexpr int kIdleFieldDown = 22;
constexpr Size kIdleFieldSize{50, 32};
constexpr int kIdleLabelGap = 6;
constexpr int kIdleLabelDown = 8;
constexpr int kIdleNoteOffset = kIdleFieldDown + kIdleFieldSize.height + 1;

// The fewest minutes the idle setting takes.
constexpr std::int32_t kMinIdleSettingMinutes = 1;

// The indicator's row under the idle row's number field, a gap apart.
constexpr int kShowIndicatorY = kBlockWhileLockedY + kSettingsAwayRowsHeight + kSettingsIndicatorGap;
// The corners' radios: two columns, indented under the indicator's box.
constexpr int kCornerLeftX = kOptionX + 18;
constexpr int kCornerRightX = kCornerLeftX + 200;

int AsFlag(int checked) { return checked != 0 ? 1 : 0; }

const WideChar* LanguageName(int language, WideChar (&buffer)[kLanguageNameUnits]) {
  buffer[0] = 0;
  GetLanguageName(language, buffer, kLanguageNameUnits);
  return buffer;
}


// Rows below a forced setting move down by the notes above them.
struct NoteRows {
  const EnforcedPolicy& policy;
  int shift = 0;
  // Adds the note under a setting's control when forced, at the top given.
  int rowRight = 0;
  void Under(const ForcedSetting& setting, int noteId, int noteY, std::vector<ControlPlacement>& controls) {
    if (!setting.forced) return;
    controls.push_back(SelfSizedAt(noteId, ControlKind::Label, GetString(STR_MANAGED_BY_ORGANIZATION), kOptionX,
                                   noteY + shift, rowRight));
    shift += kSettingsNoteRowHeight;
  }
};

constexpr int kPickerNoteY = kPickerY + kPickerSize.height + 2;
constexpr int kOptionNoteOffset = 18;

int ForcedCount(const EnforcedPolicy& policy) {
  int count = 0;
  for (const ForcedSetting* setting :
       {&policy.language, &policy.startup, &policy.blockStart, &policy.blockPluggedIn, &policy.notifyAttempts,
        &policy.blockWhileLocked, &policy.blockAfterIdleMinutes, &policy.showIndicator}) {
    if (setting->forced) ++count;
  }
  return count;
}

}  // namespace

Size SettingsWindowSize(const EnforcedPolicy& policy) {
  return {kSettingsWindowSize.width, kSettingsWindowSize.height + ForcedCount(policy) * kSettingsNoteRowHeight};
}

std::vector<ControlPlacement> SettingsControls(Size client, const EnforcedPolicy& policy) {
  std::vector<ControlPlacement> controls = {
      CloseButtonAt(IDC_SETTINGS_CLOSE, client),
      BottomButtonAt(IDC_SETTINGS_OK, GetString(STR_OK), RightButtonX(client), client),
      BottomButtonAt(IDC_SETTINGS_CANCEL, GetString(STR_CANCEL), client.width - kCancelFromRight, client),
      BottomButtonAt(IDC_SETTINGS_DEFAULT, GetString(STR_DEFAULT), kDefaultButtonX, client),
      SelfSizedAt(IDC_SETTINGS_LANGUAGE_LABEL, ControlKind::Label, GetString(STR_LANGUAGE), kLabelX,
                  kLanguageLabelY, TextRowRight(client)),
      {IDC_SETTINGS_PICKER, ControlKind::Picker, u"", RectAt({kPickerX, kPickerY}, kPickerSize)},
  };
  NoteRows notes{policy, 0, TextRowRight(client)};
  notes.Under(policy.language, IDC_SETTINGS_LANGUAGE_NOTE, kPickerNoteY, controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_PROGRAM_LABEL, ControlKind::Label, GetString(STR_PROGRAM), kLabelX,
                                 kProgramLabelY + notes.shift, notes.rowRight));
  controls.push_back(SelfSizedAt(
      IDC_SETTINGS_STARTUP, ControlKind::CheckBox,
      GetString(StartupEditable() ? STR_START_WITH_WINDOWS : STR_START_WITH_WINDOWS_BY_ADMINISTRATOR), kOptionX,
      kStartupY + notes.shift, notes.rowRight));
  notes.Under(policy.startup, IDC_SETTINGS_STARTUP_NOTE, kStartupY + kOptionNoteOffset, controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_BLOCK_START, ControlKind::CheckBox, GetString(STR_BLOCK_AT_START),
                                 kOptionX, kBlockStartY + notes.shift, notes.rowRight));
  notes.Under(policy.blockStart, IDC_SETTINGS_BLOCK_START_NOTE, kBlockStartY + kOptionNoteOffset, controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_BLOCK_PLUGGED_IN, ControlKind::CheckBox,
                                 GetString(STR_BLOCK_PLUGGED_IN), kOptionX, kBlockPluggedInY + notes.shift,
                                 notes.rowRight));
  notes.Under(policy.blockPluggedIn, IDC_SETTINGS_BLOCK_PLUGGED_IN_NOTE, kBlockPluggedInY + kOptionNoteOffset,
              controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_NOTIFY_ATTEMPTS, ControlKind::CheckBox,
                                 UsageTextIn(UsageText::NotifyAttemptsSetting, gDisplayLanguage), kOptionX,
                                 kNotifyAttemptsY + notes.shift, notes.rowRight));
  notes.Under(policy.notifyAttempts, IDC_SETTINGS_NOTIFY_ATTEMPTS_NOTE, kNotifyAttemptsY + kOptionNoteOffset,
              controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_BLOCK_WHILE_LOCKED, ControlKind::CheckBox,
                                 GetString(STR_BLOCK_WHILE_LOCKED), kOptionX, kBlockWhileLockedY + notes.shift,
                                 notes.rowRight));
  notes.Under(policy.blockWhileLocked, IDC_SETTINGS_BLOCK_WHILE_LOCKED_NOTE, kBlockWhileLockedY + kOptionNoteOffset,
              controls);
  const int idleY = kBlockAfterIdleY + notes.shift;
  controls.push_back(SelfSizedAt(IDC_SETTINGS_BLOCK_AFTER_IDLE, ControlKind::CheckBox,
                                 GetString(STR_BLOCK_AFTER_IDLE), kOptionX, idleY, notes.rowRight));
  const Rect field = RectAt({kIdleFieldX, idleY + kIdleFieldDown}, kIdleFieldSize);
  controls.push_back({IDC_SETTINGS_IDLE_MINUTES, ControlKind::NumberField, u"", field});
  controls.push_back(SelfSizedAt(IDC_SETTINGS_IDLE_MINUTES_LABEL, ControlKind::Label,
                                 GetString(STR_MINUTES_WITHOUT_INPUT), field.right + kIdleLabelGap,
                                 field.top + kIdleLabelDown, notes.rowRight));
  notes.Under(policy.blockAfterIdleMinutes, IDC_SETTINGS_BLOCK_AFTER_IDLE_NOTE, kBlockAfterIdleY + kIdleNoteOffset,
              controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_SHOW_INDICATOR, ControlKind::CheckBox, GetString(STR_SHOW_INDICATOR),
                                 kOptionX, kShowIndicatorY + notes.shift, notes.rowRight));
  notes.Under(policy.showIndicator, IDC_SETTINGS_SHOW_INDICATOR_NOTE, kShowIndicatorY + kOptionNoteOffset, controls);
  for (int corner = 0; corner < kIndicatorCornerCount; ++corner) {
    const bool right = corner % 2 == 1;
    const int row = 1 + corner / 2;
    // The left column reaches to where the right one starts.
    controls.push_back(SelfSizedAt(IDC_SETTINGS_CORNER_FIRST + corner, ControlKind::Radio,
                                   GetString(STR_CORNER_TOP_LEFT + corner), right ? kCornerRightX : kCornerLeftX,
                                   kShowIndicatorY + row * kSettingsNotifyRowHeight + notes.shift,
                                   right ? notes.rowRight : kCornerRightX));
  }
  return controls;
}

int SettingsControlEnabled(int controlId, const EnforcedPolicy& policy) {
  switch (controlId) {
    case IDC_SETTINGS_PICKER:
      return policy.language.forced ? 0 : 1;
    case IDC_SETTINGS_STARTUP:
      return policy.startup.forced ? 0 : StartupEditable();
    case IDC_SETTINGS_BLOCK_START:
      return policy.blockStart.forced ? 0 : 1;
    case IDC_SETTINGS_BLOCK_PLUGGED_IN:
      return policy.blockPluggedIn.forced ? 0 : 1;
    case IDC_SETTINGS_NOTIFY_ATTEMPTS:
      return policy.notifyAttempts.forced ? 0 : 1;
    case IDC_SETTINGS_BLOCK_WHILE_LOCKED:
      return policy.blockWhileLocked.forced ? 0 : 1;
    case IDC_SETTINGS_BLOCK_AFTER_IDLE:
    case IDC_SETTINGS_IDLE_MINUTES:
      return policy.blockAfterIdleMinutes.forced ? 0 : 1;
    case IDC_SETTINGS_SHOW_INDICATOR:
      return policy.showIndicator.forced ? 0 : 1;
    default:
      return 1;
  }
}

int SettingsControlEnabledWhenTicked(int controlId, const EnforcedPolicy& policy, int idleChecked,
                                     int indicatorChecked) {
  if (controlId == IDC_SETTINGS_IDLE_MINUTES) {
    return idleChecked != 0 ? SettingsControlEnabled(controlId, policy) : 0;
  }
  if (controlId >= IDC_SETTINGS_CORNER_FIRST && controlId <= IDC_SETTINGS_CORNER_LAST) {
    const bool forcedOff = policy.showIndicator.forced && policy.showIndicator.value == 0;
    return indicatorChecked != 0 && !forcedOff ? 1 : 0;
  }
  return SettingsControlEnabled(controlId, policy);
}

void BuildLanguageList(MenuItemList* list) {
  WideChar name[kLanguageNameUnits];
  AddMenuItem(MIT_ITEM, LanguageName(LANGUAGE_ENGLISH, name), list, IDC_SETTINGS_LANGUAGE_ITEM);
  AddMenuItem(MIT_SEPARATOR, u"", list, IDC_SETTINGS_LANGUAGE_SEPARATOR);
  for (int language = LANGUAGE_GERMAN; language < kLanguageCount; ++language) {
    AddMenuItem(MIT_ITEM, LanguageName(language, name), list, IDC_SETTINGS_LANGUAGE_ITEM);
  }
}

Settings ReadSettingsChoice(int keptStartup, const WideChar* pickerText, int startupChecked,
                            int blockStartChecked, int blockPluggedInChecked) {
  WideChar text[kPickerTextChars + 1];
  CopyBounded(text, kPickerTextChars, pickerText);
  Settings values;
  values.language = LanguageFromName(text);
  values.startup = StartupEditable() ? AsFlag(startupChecked) : keptStartup;
  values.blockStart = AsFlag(blockStartChecked);
  values.blockPluggedIn = AsFlag(blockPluggedInChecked);
  return values;
}

std::int32_t ReadIdleMinutes(int checked, const WideChar* fieldText) {
  if (checked == 0) return 0;
  std::int32_t minutes = 0;
  for (int i = 0; fieldText != nullptr && fieldText[i] != 0 && i < kIdleMinutesDigits + 1; ++i) {
    if (fieldText[i] < u'0' || fieldText[i] > u'9') break;
    minutes = minutes * 10 + (fieldText[i] - u'0');
  }
  if (minutes < kMinIdleSettingMinutes) return kMinIdleSettingMinutes;
  return minutes > kMaxBlockAfterIdleMinutes ? kMaxBlockAfterIdleMinutes : minutes;
}

WideString IdleMinutesText(std::int32_t minutes) {
  const std::int32_t shown = minutes > 0 && minutes <= kMaxBlockAfterIdleMinutes ? minutes : kShownIdleMinutesWhenOff;
  WideString text;
  for (std::int32_t rest = shown; rest > 0; rest /= 10) {
    text.insert(text.begin(), static_cast<WideChar>(u'0' + rest % 10));
  }
  return text;
}

int CheckedCorner(const int (&checked)[kIndicatorCornerCount], int kept) {
  for (int corner = 0; corner < kIndicatorCornerCount; ++corner) {
    if (checked[corner] != 0) return corner;
  }
  return kept;
}

int StartupShown(int startup) { return StartupEditable() ? startup : 1; }

int StartupEditable() { return gAutostartByAdministrator ? 0 : 1; }

WideString ShowLanguageInList(MenuItemList* list, int languageIndex) {
  WideChar name[kLanguageNameUnits];
  LanguageName(languageIndex, name);
  // An empty name would mark the separator, whose text is empty too.
  if (name[0] != 0) MarkMenuItemByText(list, name);
  return BoundedString(name, kLanguageNameUnits);
}

int PickListedLanguage(MenuItemList* list, int position, WideChar* text) {
  if (list == nullptr || text == nullptr) return 0;
  const MenuItem* item = FindMenuItemByIndex(list->first, position);
  if (item == nullptr || item->type != MIT_ITEM) return 0;
  if (!GetMenuItemText(list, text, position)) return 0;
  MarkMenuItemByIndex(list, position);
  return 1;
}

}  // namespace shadowpane
