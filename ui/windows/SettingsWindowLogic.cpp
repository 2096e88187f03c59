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
constexpr int kShowIndicatorY = kNotifyAttemptsY + kSettingsNotifyRowHeight;
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
  void Under(const ForcedSetting& setting, int noteId, int noteY, std::vector<ControlPlacement>& controls) {
    if (!setting.forced) return;
    controls.push_back(SelfSizedAt(noteId, ControlKind::Label, GetString(STR_MANAGED_BY_ORGANIZATION), kOptionX,
                                   noteY + shift));
    shift += kSettingsNoteRowHeight;
  }
};

constexpr int kPickerNoteY = kPickerY + kPickerSize.height + 2;
constexpr int kOptionNoteOffset = 18;

int ForcedCount(const EnforcedPolicy& policy) {
  int count = 0;
  for (const ForcedSetting* setting :
       {&policy.language, &policy.startup, &policy.blockStart, &policy.blockPluggedIn, &policy.notifyAttempts,
        &policy.showIndicator}) {
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
                  kLanguageLabelY),
      {IDC_SETTINGS_PICKER, ControlKind::Picker, u"", RectAt({kPickerX, kPickerY}, kPickerSize)},
  };
  NoteRows notes{policy};
  notes.Under(policy.language, IDC_SETTINGS_LANGUAGE_NOTE, kPickerNoteY, controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_PROGRAM_LABEL, ControlKind::Label, GetString(STR_PROGRAM), kLabelX,
                                 kProgramLabelY + notes.shift));
  controls.push_back(SelfSizedAt(
      IDC_SETTINGS_STARTUP, ControlKind::CheckBox,
      GetString(StartupEditable() ? STR_START_WITH_WINDOWS : STR_START_WITH_WINDOWS_BY_ADMINISTRATOR), kOptionX,
      kStartupY + notes.shift));
  notes.Under(policy.startup, IDC_SETTINGS_STARTUP_NOTE, kStartupY + kOptionNoteOffset, controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_BLOCK_START, ControlKind::CheckBox, GetString(STR_BLOCK_AT_START),
                                 kOptionX, kBlockStartY + notes.shift));
  notes.Under(policy.blockStart, IDC_SETTINGS_BLOCK_START_NOTE, kBlockStartY + kOptionNoteOffset, controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_BLOCK_PLUGGED_IN, ControlKind::CheckBox,
                                 GetString(STR_BLOCK_PLUGGED_IN), kOptionX, kBlockPluggedInY + notes.shift));
  notes.Under(policy.blockPluggedIn, IDC_SETTINGS_BLOCK_PLUGGED_IN_NOTE, kBlockPluggedInY + kOptionNoteOffset,
              controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_NOTIFY_ATTEMPTS, ControlKind::CheckBox,
                                 UsageTextIn(UsageText::NotifyAttemptsSetting, gDisplayLanguage), kOptionX,
                                 kNotifyAttemptsY + notes.shift));
  notes.Under(policy.notifyAttempts, IDC_SETTINGS_NOTIFY_ATTEMPTS_NOTE, kNotifyAttemptsY + kOptionNoteOffset,
              controls);
  controls.push_back(SelfSizedAt(IDC_SETTINGS_SHOW_INDICATOR, ControlKind::CheckBox, GetString(STR_SHOW_INDICATOR),
                                 kOptionX, kShowIndicatorY + notes.shift));
  notes.Under(policy.showIndicator, IDC_SETTINGS_SHOW_INDICATOR_NOTE, kShowIndicatorY + kOptionNoteOffset, controls);
  for (int corner = 0; corner < kIndicatorCornerCount; ++corner) {
    const bool right = corner % 2 == 1;
    const int row = 1 + corner / 2;
    controls.push_back(SelfSizedAt(IDC_SETTINGS_CORNER_FIRST + corner, ControlKind::Radio,
                                   GetString(STR_CORNER_TOP_LEFT + corner), right ? kCornerRightX : kCornerLeftX,
                                   kShowIndicatorY + row * kSettingsNotifyRowHeight + notes.shift));
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
    case IDC_SETTINGS_SHOW_INDICATOR:
      return policy.showIndicator.forced ? 0 : 1;
    default:
      return 1;
  }
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
