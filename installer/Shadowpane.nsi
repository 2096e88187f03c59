; The Shadowpane installer: a per-user installation into the user's own
; programs folder, so the program runs without administrative rights and
; Profile.db beside it stays writable. Built by scripts/package.sh (through
; the build's ShadowpaneInstaller target) with:
;   makensis -DEXE_FILE=<Shadowpane.exe> -DHELP_FILE=<Shadowpane.chm>
;            -DOUT_FILE=<installer.exe> installer/Shadowpane.nsi
; Silent use: "setup.exe /S" installs; "Uninstall.exe /S" uninstalls and
; keeps the settings, "Uninstall.exe /S /PURGE" removes them as well.
; Presets for the installing user, for a silent deployment:
;   /LANGUAGE=0..3  the program's language (English, German, Spanish,
;                   Italian), so no language window asks at the first start
;   /AUTOSTART=0|1  start with Windows, or not
;   /NOFIRSTRUN     no web page at the first start
; A malformed or out-of-range preset fails the run with exit code 4 before
; anything is touched.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef EXE_FILE | HELP_FILE | CLOSER_FILE | OUT_FILE
  !error "EXE_FILE, HELP_FILE, CLOSER_FILE and OUT_FILE must be defined"
!endif

; The version, from the header the program's version resource reads.
!ifndef VERSION
  !searchparse /file "${__FILEDIR__}/../res/Version.h" `#define SHADOWPANE_VERSION_TEXT "` VERSION `"`
!endif
!searchparse "-${VERSION}" "-" VERSION_MAJOR "." VERSION_MINOR "."
!searchparse /file "${__FILEDIR__}/../res/Version.h" `#define SHADOWPANE_COPYRIGHT "` COPYRIGHT `"`

!define PRODUCT "Shadowpane"
!define COMPANY "KESTRALYNX"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Shadowpane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define AUTOSTART_VALUE "KESTRALYNX Shadowpane"
!define SETTINGS_KEY "Software\KESTRALYNX\Shadowpane"
; The program's settings and first-run mark (settings/Settings.h,
; program/StartUpRules.h and program/win32/StartUp.cpp name them).
!define USER_SETTINGS_KEY "${SETTINGS_KEY}\2"
!define LANGUAGE_VALUE "Language"
!define STARTUP_VALUE "Startup"
!define FIRSTRUN_KEY "${SETTINGS_KEY}\2001"
!define FIRSTRUN_VALUE "firstrun"
; The last language number (settings/Languages.h counts four).
!define LAST_LANGUAGE 3
; The autostart command, as the program writes it (settings/Settings.cpp).
!define AUTOSTART_COMMAND '"$INSTDIR\Shadowpane.exe" /min'
; The command that gives back the inputs a copy left muted, its logon entry
; in the user's Run key, and where earlier versions kept that entry: the
; user's RunOnce key (settings/Settings.h).
!define RESTORE_INPUTS_COMMAND '"$INSTDIR\Shadowpane.exe" /restore-inputs'
!define RESTORE_INPUTS_VALUE "KESTRALYNX Shadowpane Restore"
!define OLD_RESTORE_INPUTS_VALUE "KESTRALYNX Shadowpane"
!define WEBSITE "https://www.kestralynx.com"
; The closing tool's exit codes (installer/RunningCopies.h) and this
; installer's own.
!define CLOSER_NONE_RAN 0
!define CLOSER_ENDED 1
!define EXIT_FILES_IN_USE 2
!define EXIT_NEWER_INSTALLED 3
!define EXIT_BAD_PRESET 4

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
; The user's own programs folder (FOLDERID_UserProgramFiles).
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${COMPANY} ${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${COPYRIGHT}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "WordFunc.nsh"

!define MUI_ICON "${__FILEDIR__}/../res/skins/101.ico"
!define MUI_UNICON "${__FILEDIR__}/../res/skins/101.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartUnlessRestarted
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The program's four languages; the one matching the user's system is used.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"

LangString KeepSettings ${LANG_ENGLISH} "Keep your Shadowpane settings and the remembered device choices for a later installation?"
LangString KeepSettings ${LANG_GERMAN} "Einstellungen und gespeicherte Geräteauswahl von Shadowpane für eine spätere Installation behalten?"
LangString KeepSettings ${LANG_SPANISH} "¿Conservar la configuración de Shadowpane y las elecciones guardadas de cada dispositivo para una instalación posterior?"
LangString KeepSettings ${LANG_ITALIAN} "Conservare le impostazioni di Shadowpane e le scelte salvate per ogni dispositivo per una futura installazione?"

LangString FilesInUse ${LANG_ENGLISH} "Shadowpane is still running or its files are in use, so they cannot be replaced or removed. Close Shadowpane and its help, then try again."
LangString FilesInUse ${LANG_GERMAN} "Shadowpane läuft noch oder seine Dateien sind in Gebrauch und können nicht ersetzt oder entfernt werden. Schließen Sie Shadowpane und seine Hilfe und versuchen Sie es erneut."
LangString FilesInUse ${LANG_SPANISH} "Shadowpane sigue en ejecución o sus archivos están en uso, por lo que no se pueden reemplazar ni quitar. Cierre Shadowpane y su ayuda e inténtelo de nuevo."
LangString FilesInUse ${LANG_ITALIAN} "Shadowpane è ancora in esecuzione o i suoi file sono in uso, quindi non possono essere sostituiti o rimossi. Chiudere Shadowpane e la sua guida, poi riprovare."
LangString BadPreset ${LANG_ENGLISH} "$0 is not a valid option. Use /LANGUAGE=0 to 3 (English, German, Spanish, Italian), /AUTOSTART=0 or 1, and /NOFIRSTRUN without a value."
LangString BadPreset ${LANG_GERMAN} "$0 ist keine gültige Option. Verwenden Sie /LANGUAGE=0 bis 3 (Englisch, Deutsch, Spanisch, Italienisch), /AUTOSTART=0 oder 1 und /NOFIRSTRUN ohne Wert."
LangString BadPreset ${LANG_SPANISH} "$0 no es una opción válida. Use /LANGUAGE=0 a 3 (inglés, alemán, español, italiano), /AUTOSTART=0 o 1, y /NOFIRSTRUN sin valor."
LangString BadPreset ${LANG_ITALIAN} "$0 non è un'opzione valida. Usare /LANGUAGE=da 0 a 3 (inglese, tedesco, spagnolo, italiano), /AUTOSTART=0 o 1 e /NOFIRSTRUN senza valore."
LangString InputsNotRestored ${LANG_ENGLISH} "Shadowpane could not unmute every microphone it had muted. Unmute them in the Sound settings."
LangString InputsNotRestored ${LANG_GERMAN} "Shadowpane konnte nicht alle Mikrofone, die es stummgeschaltet hatte, wieder einschalten. Schalten Sie sie in den Soundeinstellungen wieder ein."
LangString InputsNotRestored ${LANG_SPANISH} "Shadowpane no pudo reactivar todos los micrófonos que había silenciado. Reactívelos en la configuración de sonido."
LangString InputsNotRestored ${LANG_ITALIAN} "Shadowpane non è riuscito a riattivare tutti i microfoni che aveva disattivato. Riattivarli nelle impostazioni audio."
LangString Downgrade ${LANG_ENGLISH} "A newer version of Shadowpane ($0) is installed. Replace it with the older version ${VERSION}?"
LangString Downgrade ${LANG_GERMAN} "Eine neuere Version von Shadowpane ($0) ist installiert. Durch die ältere Version ${VERSION} ersetzen?"
LangString Downgrade ${LANG_SPANISH} "Hay instalada una versión más reciente de Shadowpane ($0). ¿Reemplazarla por la versión anterior ${VERSION}?"
LangString Downgrade ${LANG_ITALIAN} "È installata una versione più recente di Shadowpane ($0). Sostituirla con la versione precedente ${VERSION}?"

; 1 when a running copy was ended for this installation: it is started
; again after copying, so the devices it blocked do not stay released.
Var RestartAfterCopy
; The presets given on the command line; empty when not given.
Var PresetLanguage
Var PresetAutostart
Var PresetNoFirstRun

; Stops with the given exit code, telling an interactive user why; the
; uninstall entry and every file not yet touched stay as they were.
!macro FailWith code
  SetErrorLevel ${code}
  MessageBox MB_OK|MB_ICONSTOP "$(FilesInUse)" /SD IDOK
  Abort
!macroend

; Ends every copy running from the install folder, whatever window it
; shows (main window, language window, a question) or none yet: the
; closing tool asks each to close and ends it only when it does not.
!macro EndRunningCopies un
Function ${un}EndRunningCopies
  InitPluginsDir
  File "/oname=$PLUGINSDIR\CloseRunningCopies.exe" "${CLOSER_FILE}"
  ExecWait '"$PLUGINSDIR\CloseRunningCopies.exe" "$INSTDIR"' $0
  ${If} $0 == ${CLOSER_ENDED}
    StrCpy $RestartAfterCopy 1
  ${ElseIf} $0 != ${CLOSER_NONE_RAN}
    !insertmacro FailWith ${EXIT_FILES_IN_USE}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro EndRunningCopies ""
!insertmacro EndRunningCopies "un."

; Deletes a file, retrying while the process that held it ends; fails the
; whole run when the file is still there.
!macro RemoveFile un
Function ${un}RemoveFile
  Exch $0
  Push $1
  StrCpy $1 0
  ${Do}
    Delete "$0"
    ${IfNot} ${FileExists} "$0"
      ${Break}
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 100
  ${If} ${FileExists} "$0"
    !insertmacro FailWith ${EXIT_FILES_IN_USE}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro RemoveFile ""
!insertmacro RemoveFile "un."

; An autostart entry under the machine's Run key that starts this per-user
; installation was left by an earlier version run with administrative
; rights: every account would start a file this user can replace. It goes
; wherever this run has the rights; an administrator's entry for another
; path stays.
!macro RemoveMachineAutostartOfThisFolder
  ReadRegStr $0 HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
  ${If} $0 == '${AUTOSTART_COMMAND}'
    DeleteRegValue HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
  ${EndIf}
!macroend

; Stops the run with EXIT_BAD_PRESET, naming the option in $0: a message
; for an interactive user, a line on the standard error for a silent run
; whose caller gave it one.
!macro RefusePreset
  MessageBox MB_OK|MB_ICONSTOP "$(BadPreset)" /SD IDOK
  ${If} ${Silent}
    System::Call 'kernel32::GetStdHandle(i -12) i.r1'
    ${If} $1 <> 0
    ${AndIf} $1 <> -1
      StrCpy $2 "Shadowpane setup: $0 is not a valid option (/LANGUAGE=0..${LAST_LANGUAGE}, /AUTOSTART=0|1, /NOFIRSTRUN)$\r$\n"
      StrLen $3 $2
      System::Call 'kernel32::WriteFile(i r1, m r2, i r3, *i 0, i 0)'
    ${EndIf}
  ${EndIf}
  SetErrorLevel ${EXIT_BAD_PRESET}
  Quit
!macroend

; Reads /<name>=<number> from the parameters in $R0 into the variable,
; refusing anything but a plain decimal number from 0 to the last; leaves
; it empty when the option is absent.
!macro ReadNumberPreset name last variable
  ClearErrors
  ${GetOptions} $R0 "/${name}" $R1
  ${IfNot} ${Errors}
    StrCpy $0 "/${name}$R1"
    StrCpy $R2 $R1 1
    StrCpy $R1 $R1 "" 1
    IntOp $R3 $R1 + 0
    ${If} $R2 != "="
    ${OrIf} "$R3" != "$R1"
    ${OrIf} $R3 < 0
    ${OrIf} $R3 > ${last}
      !insertmacro RefusePreset
    ${EndIf}
    StrCpy ${variable} $R3
  ${EndIf}
!macroend

Function ReadPresets
  ${GetParameters} $R0
  !insertmacro ReadNumberPreset LANGUAGE ${LAST_LANGUAGE} $PresetLanguage
  !insertmacro ReadNumberPreset AUTOSTART 1 $PresetAutostart
  ClearErrors
  ${GetOptions} $R0 "/NOFIRSTRUN" $R1
  ${IfNot} ${Errors}
    ${If} $R1 != ""
      StrCpy $0 "/NOFIRSTRUN$R1"
      !insertmacro RefusePreset
    ${EndIf}
    StrCpy $PresetNoFirstRun 1
  ${EndIf}
FunctionEnd

; The presets as the program itself would have stored them.
Function WritePresets
  ${If} $PresetLanguage != ""
    WriteRegDWORD HKCU "${USER_SETTINGS_KEY}" "${LANGUAGE_VALUE}" $PresetLanguage
  ${EndIf}
  ${If} $PresetAutostart != ""
    WriteRegDWORD HKCU "${USER_SETTINGS_KEY}" "${STARTUP_VALUE}" $PresetAutostart
    ; Like the program: no entry of its own beside an administrator's
    ; machine entry of the same name.
    ClearErrors
    ReadRegStr $0 HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
    ${If} $PresetAutostart == 1
    ${AndIf} ${Errors}
      WriteRegStr HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}" '${AUTOSTART_COMMAND}'
    ${Else}
      DeleteRegValue HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}"
    ${EndIf}
  ${EndIf}
  ${If} $PresetNoFirstRun == 1
    ; The program keeps the mark in the machine's key wherever it may write
    ; there, else in the user's: both, so it holds whether the program runs
    ; with rights or without. Without rights the machine's write fails.
    WriteRegDWORD HKCU "${FIRSTRUN_KEY}" "${FIRSTRUN_VALUE}" 1
    WriteRegDWORD HKLM "${FIRSTRUN_KEY}" "${FIRSTRUN_VALUE}" 1
  ${EndIf}
FunctionEnd

; Malformed presets are refused before anything else. An older version
; never silently replaces a newer one: the interactive installer asks, a
; silent one refuses unless given /DOWNGRADE. The same version installs
; again as a repair.
Function .onInit
  Call ReadPresets
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 == ""
    Return
  ${EndIf}
  ${VersionCompare} "$0" "${VERSION}" $1
  ${If} $1 != 1
    Return
  ${EndIf}
  ${GetParameters} $2
  ClearErrors
  ${GetOptions} $2 "/DOWNGRADE" $3
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONEXCLAMATION "$(Downgrade)" /SD IDNO IDYES downgrade
  SetErrorLevel ${EXIT_NEWER_INSTALLED}
  Quit
  downgrade:
FunctionEnd

Function StartUnlessRestarted
  ${If} $RestartAfterCopy != 1
    Exec '"$INSTDIR\Shadowpane.exe"'
  ${EndIf}
FunctionEnd

Section "Shadowpane" SecMain
  SectionIn RO
  SetShellVarContext current
  Call EndRunningCopies
  SetOutPath "$INSTDIR"
  ; A program that ended a moment ago may still hold its file; the help
  ; file may be open in the help viewer.
  Push "$INSTDIR\Shadowpane.exe"
  Call RemoveFile
  Push "$INSTDIR\Shadowpane.chm"
  Call RemoveFile
  ClearErrors
  File "/oname=Shadowpane.exe" "${EXE_FILE}"
  File "/oname=Shadowpane.chm" "${HELP_FILE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    !insertmacro FailWith ${EXIT_FILES_IN_USE}
  ${EndIf}
  !insertmacro RemoveMachineAutostartOfThisFolder

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Shadowpane.exe" "" "$INSTDIR\Shadowpane.exe" 0

  ; The user's "Apps & features" entry.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Shadowpane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  ; Run in place (_?=), so the command returns only when the work is done.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "HelpLink" "${WEBSITE}/shadowpane/"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${WEBSITE}"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"

  Call WritePresets
  ${If} $RestartAfterCopy == 1
    Exec '${AUTOSTART_COMMAND}'
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.EndRunningCopies
  ; A copy that had to be ended, or one killed earlier, may have left a
  ; microphone muted: once the program is gone nothing would give it back.
  ; The program's own command does it while it is still here, whether or
  ; not the settings are kept; its logon entry goes after it, and so does
  ; the one earlier versions kept in RunOnce.
  ClearErrors
  ExecWait '${RESTORE_INPUTS_COMMAND}' $0
  ${IfNot} ${Errors}
  ${AndIf} $0 <> 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(InputsNotRestored)" /SD IDOK
  ${EndIf}
  DeleteRegValue HKCU "${RUN_KEY}" "${RESTORE_INPUTS_VALUE}"
  DeleteRegValue HKCU "${RUNONCE_KEY}" "${OLD_RESTORE_INPUTS_VALUE}"

  ; The entry stays as long as any of the program's files does. The help
  ; file first: the one a viewer may hold, so a failure leaves the program
  ; whole.
  Push "$INSTDIR\Shadowpane.chm"
  Call un.RemoveFile
  Push "$INSTDIR\Shadowpane.exe"
  Call un.RemoveFile
  ${If} $EXEDIR == $INSTDIR
    ; Run in place (_?=): a running image cannot be deleted, but Windows
    ; lets it be moved out of the folder, into this run's temporary folder.
    ; Where that is refused, the closing tool deletes it once this ends.
    ClearErrors
    Rename "$INSTDIR\Uninstall.exe" "$PLUGINSDIR\Uninstall.exe"
    ${If} ${Errors}
      Exec '"$PLUGINSDIR\CloseRunningCopies.exe" /remove-after-exit "$INSTDIR\Uninstall.exe"'
    ${EndIf}
  ${Else}
    Push "$INSTDIR\Uninstall.exe"
    Call un.RemoveFile
  ${EndIf}
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The user's autostart entry, and the machine's where an earlier version
  ; left one for this installation.
  DeleteRegValue HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}"
  !insertmacro RemoveMachineAutostartOfThisFolder

  ; The settings key and Profile.db go only when the user does not keep
  ; them. Asked interactively; a silent uninstall keeps them unless given
  ; /PURGE.
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/PURGE" $2
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION "$(KeepSettings)" /SD IDYES IDYES keep
  ${EndIf}
  Delete "$INSTDIR\Profile.db"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
  ; The first-run mark, where the program could write it.
  DeleteRegKey HKLM "${FIRSTRUN_KEY}"
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\${COMPANY}"
  keep:
  RMDir "$INSTDIR"
SectionEnd
