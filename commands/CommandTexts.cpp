// This file is UTF-8; the u"" literals make the compiler store each text as
// UTF-16, whatever the build machine's locale.
#include "commands/CommandTexts.h"

namespace shadowpane {

const WideChar kDeviceNameMark[] = u"%1";

namespace {

using TextInLanguages = const WideChar* const[kCommandTextLanguages];

// English, German, Spanish, Italian.
TextInLanguages kTextAllBlocked = {u"All devices blocked.", u"Alle Geräte gesperrt.",
                                   u"Todos los dispositivos bloqueados.", u"Tutti i dispositivi bloccati."};
TextInLanguages kTextAllUnblocked = {u"All devices unblocked.", u"Alle Geräte entsperrt.",
                                     u"Todos los dispositivos desbloqueados.", u"Tutti i dispositivi sbloccati."};
TextInLanguages kTextCamerasBlocked = {u"All cameras blocked.", u"Alle Kameras gesperrt.",
                                       u"Todas las cámaras bloqueadas.", u"Tutte le videocamere bloccate."};
TextInLanguages kTextCamerasUnblocked = {u"All cameras unblocked.", u"Alle Kameras entsperrt.",
                                         u"Todas las cámaras desbloqueadas.", u"Tutte le videocamere sbloccate."};
TextInLanguages kTextMicrophonesBlocked = {u"All microphones blocked.", u"Alle Mikrofone gesperrt.",
                                           u"Todos los micrófonos bloqueados.", u"Tutti i microfoni bloccati."};
TextInLanguages kTextMicrophonesUnblocked = {u"All microphones unblocked.", u"Alle Mikrofone entsperrt.",
                                             u"Todos los micrófonos desbloqueados.", u"Tutti i microfoni sbloccati."};
TextInLanguages kTextDeviceBlocked = {u"%1 blocked.", u"%1 gesperrt.", u"Bloqueado: %1.", u"Bloccato: %1."};
TextInLanguages kTextDeviceUnblocked = {u"%1 unblocked.", u"%1 entsperrt.", u"Desbloqueado: %1.",
                                        u"Sbloccato: %1."};
TextInLanguages kTextUnableToBlock = {u"Unable to block %1.", u"%1 konnte nicht gesperrt werden.",
                                      u"No se puede bloquear %1.", u"Impossibile bloccare %1."};
TextInLanguages kTextUnableToUnblock = {u"Unable to unblock %1.", u"%1 konnte nicht entsperrt werden.",
                                        u"No se puede desbloquear %1.", u"Impossibile sbloccare %1."};
TextInLanguages kTextNotVerified = {
    u"%1 is blocked, but other programs can still use it.",
    u"%1 ist gesperrt, kann aber noch von anderen Programmen verwendet werden.",
    u"%1 está bloqueado, pero otros programas todavía pueden usarlo.",
    u"%1 è bloccato, ma altri programmi possono ancora usarlo."};
TextInLanguages kTextNothingListed = {kNothingListedLine, u"Kein passendes Gerät ist aufgeführt.",
                                      u"No hay ningún dispositivo correspondiente.",
                                      u"Nessun dispositivo corrispondente."};
TextInLanguages kTextShortcutUsedByAnotherAction = {u"Another action already uses this shortcut.",
                                                    u"Eine andere Aktion verwendet diese Tastenkombination schon.",
                                                    u"Otra acción ya usa este atajo.",
                                                    u"Un'altra azione usa già questa scorciatoia."};
TextInLanguages kTextShortcutTaken = {u"This shortcut is used by another program.",
                                      u"Diese Tastenkombination wird von einem anderen Programm verwendet.",
                                      u"Este atajo lo usa otro programa.",
                                      u"Questa scorciatoia è usata da un altro programma."};
TextInLanguages kTextShortcutNeedsCtrlOrAlt = {u"A shortcut needs Ctrl or Alt.",
                                               u"Eine Tastenkombination braucht Strg oder Alt.",
                                               u"Un atajo necesita Ctrl o Alt.",
                                               u"Una scorciatoia richiede Ctrl o Alt."};
TextInLanguages kTextShortcutsWindowTitle = {u"Keyboard shortcuts", u"Tastenkombinationen", u"Atajos de teclado",
                                             u"Scorciatoie da tastiera"};
TextInLanguages kTextShortcutBlockAllLabel = {u"Block all devices", u"Alle Geräte sperren",
                                              u"Bloquear todos los dispositivos", u"Blocca tutti i dispositivi"};
TextInLanguages kTextShortcutUnblockAllLabel = {u"Unblock all devices", u"Alle Geräte entsperren",
                                                u"Desbloquear todos los dispositivos",
                                                u"Sblocca tutti i dispositivi"};
TextInLanguages kTextShortcutToggleMicrophonesLabel = {u"Block or unblock microphones",
                                                       u"Mikrofone sperren oder entsperren",
                                                       u"Bloquear o desbloquear micrófonos",
                                                       u"Blocca o sblocca i microfoni"};
TextInLanguages kTextShortcutToggleCamerasLabel = {u"Block or unblock cameras", u"Kameras sperren oder entsperren",
                                                   u"Bloquear o desbloquear cámaras",
                                                   u"Blocca o sblocca le videocamere"};
TextInLanguages kTextShortcutHoldToTalkLabel = {u"Hold to talk through blocked microphones",
                                                u"Halten, um durch gesperrte Mikrofone zu sprechen",
                                                u"Mantener para hablar por micrófonos bloqueados",
                                                u"Tieni premuto per parlare nei microfoni bloccati"};
TextInLanguages kTextShortcutClear = {u"Clear", u"Löschen", u"Borrar", u"Cancella"};
TextInLanguages kTextShortcutNone = {u"None", u"Keine", u"Ninguno", u"Nessuna"};
TextInLanguages kTextKeyCtrl = {u"Ctrl", u"Strg", u"Ctrl", u"Ctrl"};
TextInLanguages kTextKeyAlt = {u"Alt", u"Alt", u"Alt", u"Alt"};
TextInLanguages kTextKeyShift = {u"Shift", u"Umschalt", u"Mayús", u"Maiusc"};
TextInLanguages kTextKeyWin = {u"Win", u"Win", u"Win", u"Win"};

// In CommandText order.
const WideChar* const* const kCommandTexts[kCommandTextCount] = {
    kTextAllBlocked,
    kTextAllUnblocked,
    kTextCamerasBlocked,
    kTextCamerasUnblocked,
    kTextMicrophonesBlocked,
    kTextMicrophonesUnblocked,
    kTextDeviceBlocked,
    kTextDeviceUnblocked,
    kTextUnableToBlock,
    kTextUnableToUnblock,
    kTextNotVerified,
    kTextNothingListed,
    kTextShortcutUsedByAnotherAction,
    kTextShortcutTaken,
    kTextShortcutNeedsCtrlOrAlt,
    kTextShortcutsWindowTitle,
    kTextShortcutBlockAllLabel,
    kTextShortcutUnblockAllLabel,
    kTextShortcutToggleMicrophonesLabel,
    kTextShortcutToggleCamerasLabel,
    kTextShortcutHoldToTalkLabel,
    kTextShortcutClear,
    kTextShortcutNone,
    kTextKeyCtrl,
    kTextKeyAlt,
    kTextKeyShift,
    kTextKeyWin,
};

constexpr WideChar kEllipsis = u'\u2026';
// Longer than any text above.
constexpr int kTextMaxChars = 200;

CommandText DoneText(CommandScope scope, bool block) {
  switch (scope) {
    case CommandScope::Cameras:
      return block ? CommandText::CamerasBlocked : CommandText::CamerasUnblocked;
    case CommandScope::Microphones:
      return block ? CommandText::MicrophonesBlocked : CommandText::MicrophonesUnblocked;
    case CommandScope::Device:
      return block ? CommandText::DeviceBlocked : CommandText::DeviceUnblocked;
    default:
      return block ? CommandText::AllBlocked : CommandText::AllUnblocked;
  }
}

}  // namespace

const WideChar* CommandTextIn(CommandText text, int language) {
  const int index = static_cast<int>(text);
  if (index < 0 || index >= kCommandTextCount) return u"";
  if (language < 0 || language >= kCommandTextLanguages) language = 0;
  return kCommandTexts[index][language];
}

WideString WithDeviceName(const WideChar* text, WideView name) {
  WideString result = BoundedString(text, kTextMaxChars);
  const WideView mark = kDeviceNameMark;
  const std::size_t at = result.find(mark);
  if (at == WideString::npos) return result;
  const std::size_t room = static_cast<std::size_t>(kBalloonTextChars) - (result.size() - mark.size());
  WideString shown(name);
  if (shown.size() > room) {
    shown.resize(room - 1);
    shown += kEllipsis;
  }
  return result.replace(at, mark.size(), shown);
}

WideString CommandBalloonText(const Command& command, const CommandTargets& targets,
                              const std::vector<DeviceSnapshot>& devicesBefore,
                              const std::vector<DeviceSnapshot>& devicesAfter, int language) {
  if (targets.outcome == TargetOutcome::NothingListed ||
      (targets.outcome == TargetOutcome::Act && targets.targets.empty())) {
    return CommandTextIn(CommandText::NothingListed, language);
  }
  if (targets.outcome != TargetOutcome::Act) return WideString();
  const int failed = FirstFailedTarget(targets, devicesAfter);
  if (failed >= 0 && static_cast<std::size_t>(failed) < devicesBefore.size()) {
    const WideView name = devicesBefore[static_cast<std::size_t>(failed)].displayName;
    CommandText text = targets.block ? CommandText::UnableToBlock : CommandText::UnableToUnblock;
    if (targets.block && static_cast<std::size_t>(failed) < devicesAfter.size() &&
        devicesAfter[static_cast<std::size_t>(failed)].state != DeviceState::Open) {
      text = CommandText::NotVerified;
    }
    return WithDeviceName(CommandTextIn(text, language), name);
  }
  return WithDeviceName(CommandTextIn(DoneText(command.scope, targets.block), language), command.name);
}

}  // namespace shadowpane
