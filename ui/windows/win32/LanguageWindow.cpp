#include "ui/windows/win32/LanguageWindow.h"

#include <array>

#include "settings/Settings.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/win32/ChoiceControl.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/windows/LanguageWindowLogic.h"
#include "ui/windows/win32/SecondaryWindow.h"

namespace shadowpane {
namespace {

struct LanguageWindow : SecondaryWindow {};

void CheckOnly(HWND window, int id) {
  const std::array<int, kLanguageChoiceCount> group = RadioGroupFor(id);
  CheckRadioInGroup(window, group[0], group[1], group[2], group[3], 0);
}

void Apply(LanguageWindow& record) {
  std::array<int, kLanguageChoiceCount> checked{};
  for (int n = 0; n < kLanguageChoiceCount; ++n) {
    checked[n] = static_cast<int>(
        SendDlgItemMessageW(record.window, IDC_LANGUAGE_FIRST_CHOICE + n, CXM_CHECKED, kPropertyRead, 0));
  }
  gChosenLanguage = PickedLanguage(checked, gChosenLanguage);
  record.result = 1;
  CloseSecondaryWindow(record.window);
}

LRESULT HandleMessage(LanguageWindow& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateWindowControls(window, lParam, LanguageWindowControls(DesignClientSize(window)));
      NameSecondaryWindow(window, kLanguageWindowTitle);
      CheckOnly(window, IDC_LANGUAGE_FIRST_CHOICE);
      return 0;
    case WM_PAINT:
      PaintWindowFrame(record, kSkinFrame, kLanguageWindowTitle);
      return 0;
    case WM_COMMAND: {
      // Enter is OK; Escape does nothing, since a language must be chosen.
      const int id = DialogKeyCommand(LOWORD(wParam), IDC_LANGUAGE_OK, 0);
      if (id == IDC_LANGUAGE_OK) {
        Apply(record);
      } else if (IsLanguageChoice(id)) {
        CheckOnly(window, id);
      }
      // The prompt's clicks do nothing.
      return 0;
    }
    default:
      return HandleShellMessage(record, window, message, wParam, lParam);
  }
}

}  // namespace

int RegisterLanguageWindowClass(HINSTANCE instance) {
  return RegisterSecondaryWindowClass(instance, kLanguageWindowClassName, LanguageWindowProc);
}

int ShowLanguageWindow(const wchar_t* programTitle, HICON programIcon) {
  return OpenSecondaryWindow(kLanguageWindowClassName, nullptr, kLanguageWindowSize, programTitle, programIcon);
}

LRESULT CALLBACK LanguageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<LanguageWindow>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                          MakeSecondaryRecord<LanguageWindow>, HandleMessage);
}

}  // namespace shadowpane
