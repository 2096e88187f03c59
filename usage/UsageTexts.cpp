// This file is UTF-8; the u"" literals make the compiler store each text as
// UTF-16, whatever the build machine's locale.
#include "usage/UsageTexts.h"

namespace shadowpane {

const WideChar kFirstNameMark[] = u"%1";
const WideChar kSecondNameMark[] = u"%2";

namespace {

using TextInLanguages = const WideChar* const[kUsageTextLanguages];

// English, German, Spanish, Italian.
TextInLanguages kTextInUseBy = {u"In use by %1", u"Verwendet von %1", u"En uso por %1", u"In uso da %1"};
TextInLanguages kTextTriedCamera = {u"%1 tried to use the camera. It is blocked.",
                                    u"%1 wollte die Kamera verwenden. Sie ist gesperrt.",
                                    u"%1 intentó usar la cámara. Está bloqueada.",
                                    u"%1 ha provato a usare la videocamera. È bloccata."};
TextInLanguages kTextListeningInSilence = {u"%1 is listening to %2. It hears only silence.",
                                           u"%1 hört %2 ab. Es hört nur Stille.",
                                           u"%1 está escuchando %2. Solo oye silencio.",
                                           u"%1 sta ascoltando %2. Sente solo silenzio."};
TextInLanguages kTextACamera = {u"a camera", u"eine Kamera", u"una cámara", u"una videocamera"};
TextInLanguages kTextAMicrophone = {u"a microphone", u"ein Mikrofon", u"un micrófono", u"un microfono"};
TextInLanguages kTextUnknownProgram = {u"Unknown program", u"Unbekanntes Programm", u"Programa desconocido",
                                       u"Programma sconosciuto"};
TextInLanguages kTextRecentUseTitle = {u"Recent use", u"Letzte Verwendung", u"Uso reciente", u"Uso recente"};
TextInLanguages kTextColumnTime = {u"Time", u"Zeit", u"Hora", u"Ora"};
TextInLanguages kTextColumnProgram = {u"Program", u"Programm", u"Programa", u"Programma"};
TextInLanguages kTextColumnDevice = {u"Device", u"Gerät", u"Dispositivo", u"Dispositivo"};
TextInLanguages kTextColumnOutcome = {u"Result", u"Ergebnis", u"Resultado", u"Esito"};
TextInLanguages kTextAllowed = {u"Allowed", u"Erlaubt", u"Permitido", u"Consentito"};
TextInLanguages kTextTurnedAway = {u"Turned away", u"Abgewiesen", u"Rechazado", u"Respinto"};
TextInLanguages kTextNotifyAttemptsSetting = {
    u"Tell me when a program tries to use a blocked device",
    u"Melden, wenn ein Programm ein gesperrtes Gerät verwenden will",
    u"Avisarme cuando un programa intente usar un dispositivo bloqueado",
    u"Avvisami quando un programma tenta di usare un dispositivo bloccato"};

// In UsageText order.
const WideChar* const* const kUsageTexts[kUsageTextCount] = {
    kTextInUseBy,         kTextTriedCamera,    kTextListeningInSilence, kTextACamera,  kTextAMicrophone,
    kTextUnknownProgram,  kTextRecentUseTitle, kTextColumnTime,         kTextColumnProgram,
    kTextColumnDevice,    kTextColumnOutcome,  kTextAllowed,            kTextTurnedAway,
    kTextNotifyAttemptsSetting,
};

constexpr WideChar kEllipsis = u'\u2026';
constexpr WideChar kListSeparator[] = u", ";
// Longer than any text above.
constexpr std::size_t kTextMaxChars = 200;

// Puts each name in place of its mark; the names share what room the
// balloon leaves, the first name before the second, each cut with "…".
WideString WithNames(const WideChar* text, WideView first, WideView second) {
  WideString result = BoundedString(text, static_cast<int>(kTextMaxChars));
  const WideView marks[2] = {kFirstNameMark, kSecondNameMark};
  const WideView names[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    const std::size_t at = result.find(marks[i]);
    if (at == WideString::npos) continue;
    const std::size_t fixed = result.size() - marks[i].size();
    const std::size_t room = kUsageBalloonChars > fixed ? kUsageBalloonChars - fixed : 0;
    WideString shown(names[i]);
    // The second name keeps room for itself when the first is placed.
    const std::size_t keep = i == 0 && result.find(marks[1]) != WideString::npos
                                 ? (names[1].size() < room / 2 ? names[1].size() : room / 2)
                                 : 0;
    const std::size_t fits = room > keep ? room - keep : 0;
    if (shown.size() > fits) {
      shown.resize(fits > 0 ? fits - 1 : 0);
      if (fits > 0) shown += kEllipsis;
    }
    result.replace(at, marks[i].size(), shown);
  }
  return result;
}

}  // namespace

const WideChar* UsageTextIn(UsageText text, int language) {
  const int index = static_cast<int>(text);
  if (index < 0 || index >= kUsageTextCount) return u"";
  if (language < 0 || language >= kUsageTextLanguages) language = 0;
  return kUsageTexts[index][language];
}

WideString ShownProgram(WideView program, int language) {
  return program.empty() ? WideString(UsageTextIn(UsageText::UnknownProgram, language)) : WideString(program);
}

WideString InUseByText(const std::vector<WideString>& programs, int language) {
  if (programs.empty()) return WideString();
  WideString names;
  for (const WideString& program : programs) {
    if (!names.empty()) names += kListSeparator;
    names += ShownProgram(program, language);
  }
  return WithNames(UsageTextIn(UsageText::InUseBy, language), names, WideView());
}

WideString AttemptBalloonText(const UsageEvent& event, int language) {
  const WideString program = ShownProgram(event.program, language);
  if (event.kind == UsageKind::Camera) {
    return WithNames(UsageTextIn(UsageText::TriedCamera, language), program, WideView());
  }
  const WideString device =
      event.device.empty() ? WideString(UsageTextIn(UsageText::AMicrophone, language)) : event.device;
  return WithNames(UsageTextIn(UsageText::ListeningInSilence, language), program, device);
}

}  // namespace shadowpane
