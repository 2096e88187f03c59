#include "settings/Languages.h"

#include "res/MenuIds.h"
#include "settings/StringTables.h"

namespace shadowpane {

std::int32_t gDisplayLanguage = LANGUAGE_ENGLISH;

namespace {

struct LanguageInfo {
  const WideChar* name;  // in its own language, whatever the current one
  const WideChar* code;  // the web links' "lang=" parameter
  int menuResourceId;
};

const LanguageInfo kLanguages[kLanguageCount] = {
    {u"English", u"en", IDR_MENU_ENGLISH},
    {u"Deutsche", u"de", IDR_MENU_GERMAN},
    {u"Español", u"es", IDR_MENU_SPANISH},
    {u"Italiano", u"it", IDR_MENU_ITALIAN},
};

const WideChar kEmptyText[] = u"";

bool ValidLanguage(int language) { return language >= 0 && language < kLanguageCount; }

bool CopyText(const WideChar* text, WideChar* buffer, int bufferUnits) {
  if (buffer == nullptr || bufferUnits <= 0) return false;
  CopyBounded(buffer, bufferUnits - 1, text);
  return true;
}

}  // namespace

const WideChar* GetStringIn(int language, int index) {
  if (index < 0 || index >= kStringCount) return kEmptyText;
  // A corrupted index must not read outside the tables.
  if (!ValidLanguage(language)) language = LANGUAGE_ENGLISH;
  return kStringTables[language][index];
}

const WideChar* GetString(int index) { return GetStringIn(gDisplayLanguage, index); }

bool GetLanguageName(int language, WideChar* buffer, int bufferUnits) {
  if (!ValidLanguage(language)) return false;
  return CopyText(kLanguages[language].name, buffer, bufferUnits);
}

bool GetLanguageCode(int language, WideChar* buffer, int bufferUnits) {
  if (!ValidLanguage(language)) return false;
  return CopyText(kLanguages[language].code, buffer, bufferUnits);
}

int LanguageFromName(const WideChar* text) {
  if (text == nullptr) return LANGUAGE_ENGLISH;
  for (int language = 0; language < kLanguageCount; ++language) {
    if (SameBounded(text, kLanguages[language].name, kLanguageNameUnits)) return language;
  }
  return LANGUAGE_ENGLISH;
}

int GetMenuResourceId(int language) {
  return ValidLanguage(language) ? kLanguages[language].menuResourceId : IDR_MENU_ENGLISH;
}

}  // namespace shadowpane
