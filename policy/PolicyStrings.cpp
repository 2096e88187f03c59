#include "policy/PolicyStrings.h"

namespace shadowpane {

const WideChar* const kPolicyStrings[kPolicyLanguageCount][kPolicyStringCount] = {
    {kManagedByOrganizationEnglish, kUnblockNotAllowedEnglish},
    {kManagedByOrganizationGerman, kUnblockNotAllowedGerman},
    {kManagedByOrganizationSpanish, kUnblockNotAllowedSpanish},
    {kManagedByOrganizationItalian, kUnblockNotAllowedItalian},
};

const WideChar* GetPolicyStringIn(int language, int index) {
  const int column = index - kFirstPolicyString;
  if (column < 0 || column >= kPolicyStringCount) return u"";
  if (language < 0 || language >= kPolicyLanguageCount) language = 0;
  return kPolicyStrings[language][column];
}

}  // namespace shadowpane
