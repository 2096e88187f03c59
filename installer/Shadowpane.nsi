; The Shadowpane installer: a per-user installation into the user's own
; programs folder, so the program runs without administrative rights and
; Profile.db beside it stays writable. Built by scripts/package.sh (through
; the build's ShadowpaneInstaller target) with:
;   makensis -DEXE_FILE=<Shadowpane.exe> -DHELP_FILE=<Shadowpane.chm>
;            -DOUT_FILE=<installer.exe> installer/Shadowpane.nsi
; Silent use: "setup.exe /S" installs; "Uninstall.exe /S" uninstalls and
; keeps the settings, "Uninstall.exe /S /PURGE" removes them as well.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!ifndef EXE_FILE | HELP_FILE | OUT_FILE
  !error "EXE_FILE, HELP_FILE and OUT_FILE must be defined"
!endif

; The version, from the header the program's version resource reads.
!searchparse /file "${__FILEDIR__}/../res/Version.h" `#define SHADOWPANE_VERSION_TEXT "` VERSION `"`
!searchparse /file "${__FILEDIR__}/../res/Version.h" `#define SHADOWPANE_COPYRIGHT "` COPYRIGHT `"`

!define PRODUCT "Shadowpane"
!define COMPANY "KESTRALYNX"
!define MAIN_CLASS "KSP2MainWndClass"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Shadowpane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define AUTOSTART_VALUE "KESTRALYNX Shadowpane"
!define SETTINGS_KEY "Software\KESTRALYNX\Shadowpane"

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

!define MUI_ICON "${__FILEDIR__}/../res/skins/101.ico"
!define MUI_UNICON "${__FILEDIR__}/../res/skins/101.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Shadowpane.exe"
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

; Ends a running Shadowpane the way its close button does (WM_CLOSE to the
; main window: it saves Profile.db and releases every device), then waits
; for its process to be gone so its files can be replaced or removed.
!macro EndRunningShadowpane un
Function ${un}EndRunningShadowpane
  Push $0
  Push $1
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${MAIN_CLASS}" ""
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 100
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro EndRunningShadowpane ""
!insertmacro EndRunningShadowpane "un."

; Deletes a file, retrying while the process that held it ends.
!macro DeleteWhenFree un
Function ${un}DeleteWhenFree
  Exch $0
  Push $1
  StrCpy $1 0
  ${Do}
    ClearErrors
    Delete "$0"
    ${IfNot} ${FileExists} "$0"
      ${Break}
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 100
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DeleteWhenFree ""
!insertmacro DeleteWhenFree "un."

Section "Shadowpane" SecMain
  SectionIn RO
  SetShellVarContext current
  Call EndRunningShadowpane
  SetOutPath "$INSTDIR"
  ; A program that ended a moment ago may still hold its file.
  Push "$INSTDIR\Shadowpane.exe"
  Call DeleteWhenFree
  File "/oname=Shadowpane.exe" "${EXE_FILE}"
  File "/oname=Shadowpane.chm" "${HELP_FILE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Shadowpane.exe" "" "$INSTDIR\Shadowpane.exe" 0

  ; The user's "Apps & features" entry.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Shadowpane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.EndRunningShadowpane

  Push "$INSTDIR\Shadowpane.exe"
  Call un.DeleteWhenFree
  Delete "$INSTDIR\Shadowpane.chm"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; Both places the autostart entry can be: the user's Run key always; the
  ; machine's only when it starts this installation (another user's may be
  ; there), and only where this user has the rights.
  DeleteRegValue HKCU "${RUN_KEY}" "${AUTOSTART_VALUE}"
  ReadRegStr $0 HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
  ${If} $0 == '"$INSTDIR\Shadowpane.exe" /min'
    DeleteRegValue HKLM "${RUN_KEY}" "${AUTOSTART_VALUE}"
  ${EndIf}

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
  DeleteRegKey HKLM "${SETTINGS_KEY}\2001"
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\${COMPANY}"
  keep:
  RMDir "$INSTDIR"
SectionEnd
