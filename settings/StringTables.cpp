// The four string tables. This file is UTF-8; the u"" literals make the
// compiler store each text as UTF-16, whatever the build machine's locale.
#include "settings/StringTables.h"

namespace shadowpane {

// Reserved entries: never shown, but a harmless non-empty text keeps the
// numbering and guards a caller that shows one by mistake.
const WideChar kReservedString[] = u" ";
#define RESERVED kReservedString

const WideChar* const kStringTables[kLanguageCount][kStringCount] = {
    // English
    {
        u"Yes",                                            // 0
        u"No",                                             // 1
        u"OK",                                             // 2
        u"Cancel",                                         // 3
        u"Close",                                          // 4
        u"Default",                                        // 5
        RESERVED,                                          // 6
        u"Settings",                                       // 7
        u"Help",                                           // 8
        u"About",                                          // 9
        RESERVED,                                          // 10
        u"Join us on",                                     // 11
        u"Website",                                        // 12
        u"Contact Us",                                     // 13
        u"Send Feedback",                                  // 14
        u"Privacy at Risk",                                // 15
        u"Block all devices to protect your privacy.",     // 16
        u"Privacy Protected",                              // 17
        u"All devices are blocked.",                       // 18
        u"Video Devices",                                  // 19
        u"Audio Devices",                                  // 20
        u"Language",                                       // 21
        u"Program",                                        // 22
        u"Start with Windows",                             // 23
        u"Block all video and audio devices at start",     // 24
        u"Block video and audio devices when plugged in",  // 25
        u"version",                                        // 26
        RESERVED,                                          // 27
        RESERVED,                                          // 28
        RESERVED,                                          // 29
        RESERVED,                                          // 30
        RESERVED,                                          // 31
        u"Access to the Registry key denied.",             // 32
        RESERVED,                                          // 33
        RESERVED,                                          // 34
        u"Device",                                         // 35
        u"Unable to unblock device.",                      // 36
        u"Unable to block device.",                        // 37
        u"Device has been plugged in.",                    // 38
        u"Failed to register for device notifications.",   // 39
        RESERVED,                                          // 40
        u"This camera can still be used by other programs while it is blocked.",  // 41
        u"This microphone can still be heard by other programs while it is blocked.",  // 42
        u"Start with Windows (set for all users by an administrator)",  // 43
        u"Managed by your organization.",  // 44
        u"Your organization does not allow unblocking devices.",  // 45
        u"Shadowpane could not unmute this microphone. Unmute it in the Sound settings.",  // 46
        u"Device has been plugged in and blocked again.",  // 47
        u"This microphone stays muted while another copy of Shadowpane holds it.",  // 48
        u"A program that takes this microphone for itself can still hear it.",  // 49
        u"%1 keeps unmuting this microphone.",  // 50
        u"Another program keeps unmuting this microphone.",  // 51
        u"Block all devices while the computer is locked",  // 52
        u"Block all devices after",  // 53
        u"minutes without input",  // 54
        u"Talking",  // 55
        u"Talking through blocked microphones",  // 56
        u"Show an indicator on screen",  // 57
        u"Top left",  // 58
        u"Top right",  // 59
        u"Bottom left",  // 60
        u"Bottom right",  // 61
    },
    // German
    {
        u"Ja",                                                             // 0
        u"Nein",                                                           // 1
        u"OK",                                                             // 2
        u"Abbrechen",                                                      // 3
        u"Schließen",                                                      // 4
        u"Standard",                                                       // 5
        RESERVED,                                                          // 6
        u"Einstellungen",                                                  // 7
        u"Hilfe",                                                          // 8
        u"Über",                                                           // 9
        RESERVED,                                                          // 10
        u"Folgen Sie uns auf",                                             // 11
        u"Website",                                                        // 12
        u"Kontakt",                                                        // 13
        u"Feedback schreiben",                                             // 14
        u"Privatssphäre in Gefahr",                                        // 15
        u"Sperren Sie alle Geräte, um Ihre Privatsspäre zu schützen.",     // 16
        u"Privatssphäre geschützt",                                        // 17
        u"Alle Geräte gesperrt.",                                          // 18
        u"Videogeräte",                                                    // 19
        u"Audiogeräte",                                                    // 20
        u"Sprache",                                                        // 21
        u"Program",                                                        // 22
        u"Bei Systemstart öffnen",                                         // 23
        u"Bei Systemstart alle Video- und Audiogeräte sperren",            // 24
        u"Angeschlossene Video- und Audiogeräte sperren",                  // 25
        u"Version",                                                        // 26
        RESERVED,                                                          // 27
        RESERVED,                                                          // 28
        RESERVED,                                                          // 29
        RESERVED,                                                          // 30
        RESERVED,                                                          // 31
        u"Zugriff auf Registrationsschlüssel verweigert.",                 // 32
        RESERVED,                                                          // 33
        RESERVED,                                                          // 34
        u"Gerät",                                                          // 35
        u"Nicht in der Lage, das Gerät zu entsperren.",                    // 36
        u"Nicht in der Lage, das Gerät zu sperren.",                       // 37
        u"Gerät wurde angeschlossen.",                                     // 38
        u"Registrierung für Benachrichtigungen des Gerätes fehlgeschlagen.",  // 39
        RESERVED,                                                          // 40
        u"Diese Kamera kann weiterhin von anderen Programmen verwendet werden, während sie gesperrt ist.",  // 41
        u"Dieses Mikrofon kann weiterhin von anderen Programmen gehört werden, während es gesperrt ist.",  // 42
        u"Bei Systemstart öffnen (vom Administrator für alle Benutzer festgelegt)",  // 43
        u"Von Ihrer Organisation verwaltet.",  // 44
        u"Ihre Organisation erlaubt das Entsperren von Geräten nicht.",  // 45
        u"Shadowpane konnte die Stummschaltung dieses Mikrofons nicht aufheben. Heben Sie sie in den Soundeinstellungen auf.",  // 46
        u"Gerät wurde angeschlossen und wieder gesperrt.",  // 47
        u"Dieses Mikrofon bleibt stummgeschaltet, solange eine andere Kopie von Shadowpane es hält.",  // 48
        u"Ein Programm, das dieses Mikrofon für sich allein beansprucht, kann es weiterhin hören.",  // 49
        u"%1 hebt die Stummschaltung dieses Mikrofons immer wieder auf.",  // 50
        u"Ein anderes Programm hebt die Stummschaltung dieses Mikrofons immer wieder auf.",  // 51
        u"Alle Geräte sperren, solange der Computer gesperrt ist",  // 52
        u"Alle Geräte sperren nach",  // 53
        u"Minuten ohne Eingabe",  // 54
        u"Sprechen",  // 55
        u"Sprechen durch gesperrte Mikrofone",  // 56
        u"Anzeige auf dem Bildschirm einblenden",  // 57
        u"Oben links",  // 58
        u"Oben rechts",  // 59
        u"Unten links",  // 60
        u"Unten rechts",  // 61
    },
    // Spanish
    {
        u"Sí",                                                                     // 0
        u"No",                                                                     // 1
        u"OK",                                                                     // 2
        u"Cancelar",                                                               // 3
        u"Cerrar",                                                                 // 4
        u"Predeterminado",                                                         // 5
        RESERVED,                                                                  // 6
        u"Ajustes",                                                                // 7
        u"Ayuda",                                                                  // 8
        u"Acerca de",                                                              // 9
        RESERVED,                                                                  // 10
        u"Únete",                                                                  // 11
        u"Sitio web",                                                              // 12
        u"Contáctanos",                                                            // 13
        u"Envía tus comentarios",                                                  // 14
        u"Privacidad en Riesgo",                                                   // 15
        u"Bloquear todos los dispositivos para proteger su privacidad.",           // 16
        u"Privacidad Protegida",                                                   // 17
        u"Todos los dispositivos están bloqueados.",                               // 18
        u"Dispositivos de vídeo",                                                  // 19
        u"Dispositivos de audio",                                                  // 20
        u"Idioma",                                                                 // 21
        u"Program",                                                                // 22
        u"Iniciar con Windows",                                                    // 23
        u"Bloquea todos los dispositivos de vídeo y audio en el inicio",           // 24
        u"Bloquea los dispositivos de vídeos y de audio cuando estén conectados",  // 25
        u"Versión",                                                                // 26
        RESERVED,                                                                  // 27
        RESERVED,                                                                  // 28
        RESERVED,                                                                  // 29
        RESERVED,                                                                  // 30
        RESERVED,                                                                  // 31
        u"Acceso a la clave del Registro negada.",                                 // 32
        RESERVED,                                                                  // 33
        RESERVED,                                                                  // 34
        u"Dispositivo",                                                            // 35
        u"No es posible desbloquear el dispositivo.",                              // 36
        u"No se puede bloquear el dispositivo.",                                   // 37
        u"El dispositivo se ha conectado.",                                        // 38
        u"No se pudo registrar para las notificaciones de los dispositivos.",      // 39
        RESERVED,                                                                  // 40
        u"Esta cámara todavía puede ser utilizada por otros programas mientras está bloqueada.",  // 41
        u"Este micrófono todavía puede ser escuchado por otros programas mientras está bloqueado.",  // 42
        u"Iniciar con Windows (configurado por un administrador para todos los usuarios)",  // 43
        u"Administrado por su organización.",  // 44
        u"Su organización no permite desbloquear dispositivos.",  // 45
        u"Shadowpane no pudo reactivar el sonido de este micrófono. Reactívelo en la configuración de sonido.",  // 46
        u"El dispositivo se ha conectado y se ha vuelto a bloquear.",  // 47
        u"Este micrófono sigue silenciado mientras otra copia de Shadowpane lo retenga.",  // 48
        u"Un programa que tome este micrófono para sí solo todavía puede oírlo.",  // 49
        u"%1 sigue reactivando el sonido de este micrófono.",  // 50
        u"Otro programa sigue reactivando el sonido de este micrófono.",  // 51
        u"Bloquear todos los dispositivos con el equipo bloqueado",  // 52
        u"Bloquear todos los dispositivos tras",  // 53
        u"minutos sin actividad",  // 54
        u"Hablando",  // 55
        u"Hablando por micrófonos bloqueados",  // 56
        u"Mostrar un indicador en pantalla",  // 57
        u"Arriba a la izquierda",  // 58
        u"Arriba a la derecha",  // 59
        u"Abajo a la izquierda",  // 60
        u"Abajo a la derecha",  // 61
    },
    // Italian
    {
        u"Sì",                                                              // 0
        u"No",                                                              // 1
        u"OK",                                                              // 2
        u"Annulla",                                                         // 3
        u"Chiudi",                                                          // 4
        u"Predefinito",                                                     // 5
        RESERVED,                                                           // 6
        u"Impostazioni",                                                    // 7
        u"Aiuto",                                                           // 8
        u"Riguardo a",                                                      // 9
        RESERVED,                                                           // 10
        u"Unisciti a noi su",                                               // 11
        u"Sito web",                                                        // 12
        u"Contattaci",                                                      // 13
        u"Invia feedback",                                                  // 14
        u"Privacy a rischio",                                               // 15
        u"Bloccare tutti i dispositivi per proteggere la vostra privacy.",  // 16
        u"Privacy protetta",                                                // 17
        u"Tutti i dispositivi sono bloccati.",                              // 18
        u"Dispositivi video",                                               // 19
        u"Dispositivi audio",                                               // 20
        u"Lingua",                                                          // 21
        u"Programma",                                                       // 22
        u"Inizia con Windows",                                              // 23
        u"Blocca tutti i dispositivi audio e video all'avvio",              // 24
        u"Blocca video e dispositivi audio una volta inserito",             // 25
        u"Versione",                                                        // 26
        RESERVED,                                                           // 27
        RESERVED,                                                           // 28
        RESERVED,                                                           // 29
        RESERVED,                                                           // 30
        RESERVED,                                                           // 31
        u"Accesso alla chiave di registro negato.",                         // 32
        RESERVED,                                                           // 33
        RESERVED,                                                           // 34
        u"Dispositivo",                                                     // 35
        u"Impossibile sbloccare il dispositivo.",                           // 36
        u"In grado di bloccare il dispositivo.",                            // 37
        u"Il dispositivo è stato collegato.",                               // 38
        u"Impossibile registrare per le notifiche della periferica.",       // 39
        RESERVED,                                                           // 40
        u"Questa videocamera può ancora essere utilizzata da altri programmi mentre è bloccata.",  // 41
        u"Questo microfono può ancora essere ascoltato da altri programmi mentre è bloccato.",  // 42
        u"Inizia con Windows (impostato da un amministratore per tutti gli utenti)",  // 43
        u"Gestito dalla tua organizzazione.",  // 44
        u"La tua organizzazione non consente di sbloccare i dispositivi.",  // 45
        u"Shadowpane non è riuscito a riattivare questo microfono. Riattivalo nelle impostazioni audio.",  // 46
        u"Il dispositivo è stato collegato ed è di nuovo bloccato.",  // 47
        u"Questo microfono resta disattivato finché un'altra copia di Shadowpane lo trattiene.",  // 48
        u"Un programma che prende questo microfono solo per sé può ancora sentirlo.",  // 49
        u"%1 continua a riattivare l'audio di questo microfono.",  // 50
        u"Un altro programma continua a riattivare l'audio di questo microfono.",  // 51
        u"Bloccare tutti i dispositivi a computer bloccato",  // 52
        u"Bloccare tutti i dispositivi dopo",  // 53
        u"minuti senza input",  // 54
        u"Parlando",  // 55
        u"Parlando nei microfoni bloccati",  // 56
        u"Mostra un indicatore sullo schermo",  // 57
        u"In alto a sinistra",  // 58
        u"In alto a destra",  // 59
        u"In basso a sinistra",  // 60
        u"In basso a destra",  // 61
    },
};

#undef RESERVED

}  // namespace shadowpane
