// This file is UTF-8; the u"" literals make the compiler store each text as
// UTF-16, whatever the build machine's locale.
#include "ui/toolkit/AccessibleTexts.h"

namespace shadowpane {
namespace {

using TextInLanguages = const WideChar* const[kAccessibleTextLanguages];

// English, German, Spanish, Italian; in the order of AccessibleText.
TextInLanguages kTexts[kAccessibleTextCount] = {
    {u"Menu", u"Menü", u"Menú", u"Menu"},
    {u"Minimize", u"Minimieren", u"Minimizar", u"Riduci a icona"},
    {u"Close", u"Schließen", u"Cerrar", u"Chiudi"},
    {u"Blocked", u"Gesperrt", u"Bloqueado", u"Bloccato"},
    {u"Not blocked", u"Nicht gesperrt", u"No bloqueado", u"Non bloccato"},
    {u"Blocked, but other programs can still use it", u"Gesperrt, aber andere Programme können es noch verwenden",
     u"Bloqueado, pero otros programas todavía pueden usarlo", u"Bloccato, ma altri programmi possono ancora usarlo"},
    {u"Blocked, but other programs can still hear it", u"Gesperrt, aber andere Programme können es noch hören",
     u"Bloqueado, pero otros programas todavía pueden oírlo", u"Bloccato, ma altri programmi possono ancora sentirlo"},
    {u"Press", u"Drücken", u"Presionar", u"Premi"},
    {u"Check", u"Aktivieren", u"Activar", u"Seleziona"},
    {u"Uncheck", u"Deaktivieren", u"Desactivar", u"Deseleziona"},
    {u"Block", u"Sperren", u"Bloquear", u"Blocca"},
    {u"Unblock", u"Entsperren", u"Desbloquear", u"Sblocca"},
    {u"Blocked", u"Gesperrt", u"Bloqueado", u"Bloccato"},
    {u"Not blocked", u"Offen", u"Abierto", u"Aperto"},
    {u"Shared", u"Geteilt", u"Compartido", u"Condiviso"},
    {u"Blocked, heard while the talk key is held", u"Gesperrt, zu hören, solange die Sprechtaste gehalten wird",
     u"Bloqueado, se oye mientras se mantiene la tecla para hablar",
     u"Bloccato, si sente finché si tiene premuto il tasto per parlare"},
    {u"Talking", u"Sprechen", u"Hablando", u"Parlando"},
};

}  // namespace

const WideChar* AccessibleTextIn(AccessibleText text, int language) {
  const int index = static_cast<int>(text);
  if (index < 0 || index >= kAccessibleTextCount) return u"";
  const int column = language >= 0 && language < kAccessibleTextLanguages ? language : 0;
  return kTexts[index][column];
}

}  // namespace shadowpane
