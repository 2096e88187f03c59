// The texts a policy puts on screen, in the four interface languages. They
// join the program's string tables as the two entries after the last one;
// until then the windows read them here.
#pragma once

#include "core/Text.h"

namespace shadowpane {

// Their indices in the string tables once merged (next after 42).
enum PolicyStringIndex : int {
  STR_MANAGED_BY_ORGANIZATION = 43,  // beneath a control a policy forces
  STR_UNBLOCK_NOT_ALLOWED = 44,      // a refused unblock's balloon or message
};
constexpr int kFirstPolicyString = STR_MANAGED_BY_ORGANIZATION;
constexpr int kPolicyStringCount = 2;

// English, German, Spanish, Italian: the order of the interface languages.
constexpr int kPolicyLanguageCount = 4;

constexpr WideChar kManagedByOrganizationEnglish[] = u"Managed by your organization.";
constexpr WideChar kManagedByOrganizationGerman[] = u"Von Ihrer Organisation verwaltet.";
constexpr WideChar kManagedByOrganizationSpanish[] = u"Administrado por su organización.";
constexpr WideChar kManagedByOrganizationItalian[] = u"Gestito dalla tua organizzazione.";

constexpr WideChar kUnblockNotAllowedEnglish[] = u"Your organization does not allow unblocking devices.";
constexpr WideChar kUnblockNotAllowedGerman[] = u"Ihre Organisation erlaubt das Entsperren von Geräten nicht.";
constexpr WideChar kUnblockNotAllowedSpanish[] = u"Su organización no permite desbloquear dispositivos.";
constexpr WideChar kUnblockNotAllowedItalian[] =
    u"La tua organizzazione non consente di sbloccare i dispositivi.";

// One row per language, one column per text from kFirstPolicyString.
extern const WideChar* const kPolicyStrings[kPolicyLanguageCount][kPolicyStringCount];

// The text of index in language; like the string tables, a language outside
// 0..3 reads English and an index that is not a policy text gives "".
const WideChar* GetPolicyStringIn(int language, int index);

}  // namespace shadowpane
