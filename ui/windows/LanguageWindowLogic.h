// What the first-run language window decides without the platform: its
// controls and fixed English texts, which radio group a click checks, and
// the language OK records. Portable: no platform headers.
#pragma once

#include <array>
#include <vector>

#include "ui/toolkit/Geometry.h"
#include "ui/windows/SecondaryWindowLogic.h"

namespace shadowpane {

constexpr Size kLanguageWindowSize{540, 308};

constexpr int IDC_LANGUAGE_OK = 1026;
constexpr int IDC_LANGUAGE_LABEL = 1027;
// Choice 1028 + n stands for language n.
constexpr int IDC_LANGUAGE_FIRST_CHOICE = 1028;
constexpr int kLanguageChoiceCount = 4;

// No language is known yet, so the window speaks English whatever the
// tables say.
constexpr WideChar kLanguageWindowTitle[] = u"Language";
constexpr WideChar kLanguageWindowPrompt[] = u"Select language";
constexpr WideChar kLanguageWindowOk[] = u"OK";

// The controls in creation order.
std::vector<ControlPlacement> LanguageWindowControls(Size client);

// Whether id is one of the four choices.
bool IsLanguageChoice(int id);

// The order CheckRadioInGroup takes for a click on a choice: the clicked
// one first (checked), then the three others (unchecked).
std::array<int, kLanguageChoiceCount> RadioGroupFor(int clickedId);

// The language OK records from the four check states in choice order: the
// last checked one (with exactly one checked, that is the pick); `current`
// when none is checked.
int PickedLanguage(const std::array<int, kLanguageChoiceCount>& checked, int current);

}  // namespace shadowpane
