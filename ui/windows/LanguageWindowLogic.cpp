#include "ui/windows/LanguageWindowLogic.h"

#include "settings/Languages.h"

namespace shadowpane {
namespace {

constexpr int kPromptX = 19;
constexpr int kPromptY = 101;
constexpr int kChoiceX = 37;
constexpr int kFirstChoiceY = 129;
constexpr int kChoiceSpacing = 25;

// The display names live as long as the program; the window shows them as
// they are, whatever the current language.
const WideChar* DisplayName(int language) {
  static WideChar names[kLanguageCount][kLanguageNameUnits];
  names[language][0] = 0;
  GetLanguageName(language, names[language], kLanguageNameUnits);
  return names[language];
}

}  // namespace

std::vector<ControlPlacement> LanguageWindowControls(Size client) {
  std::vector<ControlPlacement> controls = {
      BottomButtonAt(IDC_LANGUAGE_OK, kLanguageWindowOk, RightButtonX(client), client),
      SelfSizedAt(IDC_LANGUAGE_LABEL, ControlKind::Label, kLanguageWindowPrompt, kPromptX, kPromptY),
  };
  for (int n = 0; n < kLanguageChoiceCount; ++n) {
    controls.push_back(SelfSizedAt(IDC_LANGUAGE_FIRST_CHOICE + n, ControlKind::Radio, DisplayName(n),
                                   kChoiceX, kFirstChoiceY + kChoiceSpacing * n));
  }
  return controls;
}

bool IsLanguageChoice(int id) {
  return id >= IDC_LANGUAGE_FIRST_CHOICE && id < IDC_LANGUAGE_FIRST_CHOICE + kLanguageChoiceCount;
}

std::array<int, kLanguageChoiceCount> RadioGroupFor(int clickedId) {
  std::array<int, kLanguageChoiceCount> group{};
  group[0] = clickedId;
  int next = 1;
  for (int n = 0; n < kLanguageChoiceCount && next < kLanguageChoiceCount; ++n) {
    const int id = IDC_LANGUAGE_FIRST_CHOICE + n;
    if (id != clickedId) group[next++] = id;
  }
  return group;
}

int PickedLanguage(const std::array<int, kLanguageChoiceCount>& checked, int current) {
  int picked = current;
  for (int n = 0; n < kLanguageChoiceCount; ++n) {
    if (checked[n] != 0) picked = n;
  }
  return picked;
}

}  // namespace shadowpane
