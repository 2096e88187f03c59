#include "ui/windows/win32/SettingsWindow.h"

#include "settings/Languages.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/MenuItemList.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/MenuControl.h"
#include "ui/windows/SettingsWindowLogic.h"
#include "ui/windows/win32/SecondaryWindow.h"

namespace shadowpane {
namespace {

struct SettingsWindow : SecondaryWindow {
  MenuItemList languages;  // the picker's choices, owned
  Settings* edited = nullptr;  // the caller's copy: shown at the start, written on OK
  EnforcedPolicy policy;       // as it was when the window opened
  SettingsWindow() { BuildLanguageList(&languages); }
  ~SettingsWindow() { ClearMenuItemList(&languages); }
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;
};

constexpr int kOptionIds[] = {IDC_SETTINGS_STARTUP, IDC_SETTINGS_BLOCK_START, IDC_SETTINGS_BLOCK_PLUGGED_IN,
                              IDC_SETTINGS_NOTIFY_ATTEMPTS, IDC_SETTINGS_BLOCK_WHILE_LOCKED,
                              IDC_SETTINGS_BLOCK_AFTER_IDLE, IDC_SETTINGS_SHOW_INDICATOR};
constexpr int kOptionCount = static_cast<int>(sizeof(kOptionIds) / sizeof(kOptionIds[0]));

HWND Picker(HWND window) { return GetDlgItem(window, IDC_SETTINGS_PICKER); }

void SetPickerText(HWND window, const WideChar* text, bool repaint) {
  HWND picker = Picker(window);
  if (picker == nullptr) return;
  SetWindowTextW(picker, AsWide(text));
  if (repaint) RepaintControl(picker);
}

void SetOption(HWND window, int id, int checked) {
  SendDlgItemMessageW(window, id, CXM_CHECKED, kPropertyStoreRepaint, checked);
}

int OptionChecked(HWND window, int id) {
  return static_cast<int>(SendDlgItemMessageW(window, id, CXM_CHECKED, kPropertyRead, 0));
}

// The number field and the corners' radios follow their boxes' ticks.
void EnableTickedRows(const SettingsWindow& settings) {
  const int idle = OptionChecked(settings.window, IDC_SETTINGS_BLOCK_AFTER_IDLE);
  const int indicator = OptionChecked(settings.window, IDC_SETTINGS_SHOW_INDICATOR);
  for (int control : {IDC_SETTINGS_IDLE_MINUTES, IDC_SETTINGS_CORNER_FIRST, IDC_SETTINGS_CORNER_FIRST + 1,
                      IDC_SETTINGS_CORNER_FIRST + 2, IDC_SETTINGS_CORNER_LAST}) {
    EnableWindow(GetDlgItem(settings.window, control),
                 SettingsControlEnabledWhenTicked(control, settings.policy, idle, indicator));
  }
}

// The controls show the given values: the options checked or not, the
// language's name on the picker and marked in the list.
void ShowValues(SettingsWindow& settings, const Settings& values, bool repaintPicker) {
  const int checks[kOptionCount] = {StartupShown(values.startup), values.blockStart,       values.blockPluggedIn,
                                    values.notifyAttempts,          values.blockWhileLocked,
                                    values.blockAfterIdleMinutes > 0 ? 1 : 0,
                                    values.showIndicator};
  for (int i = 0; i < kOptionCount; ++i) SetOption(settings.window, kOptionIds[i], checks[i]);
  HWND minutes = GetDlgItem(settings.window, IDC_SETTINGS_IDLE_MINUTES);
  if (minutes != nullptr) SetWindowTextW(minutes, AsWide(IdleMinutesText(values.blockAfterIdleMinutes).c_str()));
  for (int corner = 0; corner < kIndicatorCornerCount; ++corner) {
    SetOption(settings.window, IDC_SETTINGS_CORNER_FIRST + corner, corner == values.indicatorCorner ? 1 : 0);
  }
  const WideString name = ShowLanguageInList(&settings.languages, values.language);
  SetPickerText(settings.window, name.c_str(), repaintPicker);
  EnableTickedRows(settings);
}

void Apply(SettingsWindow& settings) {
  wchar_t text[kPickerTextChars + 1] = {};
  HWND picker = Picker(settings.window);
  if (picker != nullptr) GetWindowTextW(picker, text, kPickerTextChars + 1);
  Settings chosen = ReadSettingsChoice(settings.edited->startup, AsCore(text),
                                             OptionChecked(settings.window, IDC_SETTINGS_STARTUP),
                                             OptionChecked(settings.window, IDC_SETTINGS_BLOCK_START),
                                             OptionChecked(settings.window, IDC_SETTINGS_BLOCK_PLUGGED_IN));
  chosen.notifyAttempts = OptionChecked(settings.window, IDC_SETTINGS_NOTIFY_ATTEMPTS) != 0 ? 1 : 0;
  chosen.blockWhileLocked = OptionChecked(settings.window, IDC_SETTINGS_BLOCK_WHILE_LOCKED) != 0 ? 1 : 0;
  wchar_t minutes[kIdleMinutesDigits + 1] = {};
  GetDlgItemTextW(settings.window, IDC_SETTINGS_IDLE_MINUTES, minutes, kIdleMinutesDigits + 1);
  chosen.blockAfterIdleMinutes =
      ReadIdleMinutes(OptionChecked(settings.window, IDC_SETTINGS_BLOCK_AFTER_IDLE), AsCore(minutes));
  chosen.showIndicator = OptionChecked(settings.window, IDC_SETTINGS_SHOW_INDICATOR) != 0 ? 1 : 0;
  int corners[kIndicatorCornerCount] = {};
  for (int corner = 0; corner < kIndicatorCornerCount; ++corner) {
    corners[corner] = OptionChecked(settings.window, IDC_SETTINGS_CORNER_FIRST + corner);
  }
  chosen.indicatorCorner = CheckedCorner(corners, settings.edited->indicatorCorner);
  *settings.edited = KeepForcedAsUsers(*settings.edited, chosen, settings.policy);
  settings.result = 1;
  CloseSecondaryWindow(settings.window);
}

void OnLanguagePicked(SettingsWindow& settings, int position) {
  WideChar text[kMenuItemTextUnits] = {};
  if (PickListedLanguage(&settings.languages, position, text)) SetPickerText(settings.window, text, true);
}

void OnCommand(SettingsWindow& settings, WPARAM wParam) {
  switch (DialogKeyCommand(LOWORD(wParam), IDC_SETTINGS_OK, IDC_SETTINGS_CANCEL)) {
    case IDC_SETTINGS_CLOSE:
    case IDC_SETTINGS_CANCEL:
      CloseSecondaryWindow(settings.window);
      break;
    case IDC_SETTINGS_OK:
      Apply(settings);
      break;
    case IDC_SETTINGS_DEFAULT:
      ShowValues(settings, EffectiveSettings(kDefaultSettings, settings.policy), true);
      break;
    case IDC_SETTINGS_PICKER:
      ShowMenuPopup(&settings.languages, settings.window);
      break;
    case IDC_SETTINGS_LANGUAGE_ITEM:
      OnLanguagePicked(settings, HIWORD(wParam));
      break;
    case IDC_SETTINGS_BLOCK_AFTER_IDLE:
    case IDC_SETTINGS_SHOW_INDICATOR:
      EnableTickedRows(settings);  // the box toggled itself
      break;
    case IDC_SETTINGS_CORNER_FIRST:
    case IDC_SETTINGS_CORNER_FIRST + 1:
    case IDC_SETTINGS_CORNER_FIRST + 2:
    case IDC_SETTINGS_CORNER_LAST:
      // A radio checks itself; the others of its group are cleared.
      for (int corner = IDC_SETTINGS_CORNER_FIRST; corner <= IDC_SETTINGS_CORNER_LAST; ++corner) {
        if (corner != LOWORD(wParam)) SetOption(settings.window, corner, 0);
      }
      break;
    default:
      break;  // the options toggle themselves
  }
}

// What ShowSettingsWindow hands the window at its creation.
struct SettingsRequest {
  Settings* edited;
  EnforcedPolicy policy;
};

// The record, with the Settings value the window edits and the policy from
// its creation data: a window made without them is not made.
SettingsWindow* MakeSettingsRecord(HWND window, const CREATESTRUCTW& create) {
  if (create.lpCreateParams == nullptr) return nullptr;
  SettingsWindow* record = MakeSecondaryRecord<SettingsWindow>(window, create);
  if (record == nullptr) return nullptr;
  const auto* request = static_cast<const SettingsRequest*>(create.lpCreateParams);
  record->edited = request->edited;
  record->policy = request->policy;
  return record;
}

void CreateSettingsControls(SettingsWindow& settings, LPARAM createStruct) {
  HWND window = settings.window;
  CreateWindowControls(window, createStruct, SettingsControls(DesignClientSize(window), settings.policy));
  for (int id : {IDC_SETTINGS_PICKER, IDC_SETTINGS_STARTUP, IDC_SETTINGS_BLOCK_START, IDC_SETTINGS_BLOCK_PLUGGED_IN,
                 IDC_SETTINGS_NOTIFY_ATTEMPTS, IDC_SETTINGS_BLOCK_WHILE_LOCKED, IDC_SETTINGS_BLOCK_AFTER_IDLE,
                 IDC_SETTINGS_SHOW_INDICATOR}) {
    EnableWindow(GetDlgItem(window, id), SettingsControlEnabled(id, settings.policy));
  }
  SendDlgItemMessageW(window, IDC_SETTINGS_IDLE_MINUTES, EM_LIMITTEXT, kIdleMinutesDigits, 0);
  ShowValues(settings, EffectiveSettings(*settings.edited, settings.policy), false);
}

// The picker shows a language's name: screen readers hear "Language" with
// that name as its value; its list popup is the language list.
LRESULT OnDescribe(SettingsWindow& settings, WPARAM wParam, LPARAM lParam) {
  const LRESULT answer = HandleShellMessage(settings, settings.window, WM_ACCESSIBLE_DESCRIBE, wParam, lParam);
  auto* description = reinterpret_cast<AccessibleDescription*>(lParam);
  HWND control = reinterpret_cast<HWND>(wParam);
  if (description == nullptr || description->child != kAccessibleSelf) return answer;
  HWND picker = Picker(settings.window);
  if (control == picker || GetWindow(control, GW_OWNER) == settings.window) {
    if (control == picker) description->value = description->name;
    description->name = GetString(STR_LANGUAGE);
  }
  // The number field is named by the text after it.
  if (control == GetDlgItem(settings.window, IDC_SETTINGS_IDLE_MINUTES)) {
    description->name = GetString(STR_MINUTES_WITHOUT_INPUT);
  }
  return answer;
}

void PaintSettings(const SettingsWindow& settings) {
  PaintWindowFrame(settings, kSkinSecondaryFrame, GetString(STR_SETTINGS));
}

LRESULT HandleMessage(SettingsWindow& settings, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateSettingsControls(settings, lParam);
      NameSecondaryWindow(window, GetString(STR_SETTINGS));
      return 0;
    case WM_ACCESSIBLE_DESCRIBE:
      return OnDescribe(settings, wParam, lParam);
    case WM_PAINT:
      PaintSettings(settings);
      return 0;
    case WM_COMMAND:
      OnCommand(settings, wParam);
      return 0;
    default:
      return HandleShellMessage(settings, window, message, wParam, lParam);
  }
}

}  // namespace

int RegisterSettingsWindowClass(HINSTANCE instance) {
  return RegisterSecondaryWindowClass(instance, kSettingsWindowClassName, SettingsWindowProc);
}

int ShowSettingsWindow(HWND owner, Settings* settings, const EnforcedPolicy& policy) {
  if (settings == nullptr) return 0;
  SettingsRequest request{settings, policy};
  return OpenSecondaryWindow(kSettingsWindowClassName, owner, SettingsWindowSize(policy), L"", nullptr, &request);
}

LRESULT CALLBACK SettingsWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<SettingsWindow>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                          MakeSettingsRecord, HandleMessage);
}

}  // namespace shadowpane
