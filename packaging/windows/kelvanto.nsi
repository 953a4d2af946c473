; The Windows installer of Kelvanto, made with makensis on the build machine:
;   makensis -DVERSION=1.0.0 -DPROGRAM=path\to\kelvanto.exe -DOUTFILE=kelvanto-1.0.0-setup.exe kelvanto.nsi
; For the current user (no administrator rights, the default) or for all users of the machine
; (/AllUsers, or the choice on the first page). /S installs silently; /AUTOSTART then also
; starts Kelvanto with Windows. The uninstaller asks whether the logs stay; silent, they stay.

; kelvanto.exe is a 64-bit program: so is its installer (its registry view and Program Files too).
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Kelvanto"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvanto"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Kelvanto"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_USE_PROGRAMFILES64
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include Sections.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} network traffic monitor setup"
VIAddVersionKey "LegalCopyright" "The Kelvanto developers"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\kelvanto.exe"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

; A running copy is asked to close as Windows asks it (its logs are saved), so that its
; program file can be replaced or removed.
!macro CLOSE_RUNNING
  nsExec::Exec '"$SYSDIR\taskkill.exe" /IM kelvanto.exe'
  Pop $0
  StrCmp $0 "0" 0 +2
    Sleep 3000
!macroend

Section "Kelvanto" SecProgram
  SectionIn RO
  !insertmacro CLOSE_RUNNING
  SetOutPath "$INSTDIR"
  File "/oname=kelvanto.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\kelvanto.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe" "/$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The Kelvanto developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelvanto.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The entry the program itself writes when "Start with the session" is ticked, and the setting.
Section /o "Start Kelvanto with Windows" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\kelvanto.exe" /minimized'
  WriteRegStr HKCU "${SETTINGS_KEY}" "Autostart" "1"
  WriteRegStr HKCU "${SETTINGS_KEY}" "AutoStartMinimized" "1"
SectionEnd

Function .onInit
  !insertmacro MULTIUSER_INIT
  ; A silent install asks nothing: /AUTOSTART chooses the autostart section.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  IfErrors +2
    SectionSetFlags ${SecAutostart} ${SF_SELECTED}
FunctionEnd

Section "Uninstall"
  !insertmacro CLOSE_RUNNING
  Delete "$INSTDIR\kelvanto.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /r "$SMPROGRAMS\${PRODUCT}"
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  StrCmp $0 "" +2
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; The logs are beside the program when its folder is writable, else in the user's
  ; local application data.
  ReadEnvStr $1 LOCALAPPDATA
  StrCpy $2 "$INSTDIR"
  IfFileExists "$INSTDIR\Stats\*.*" ask
  StrCpy $2 "$1\${PRODUCT}"
  IfFileExists "$2\Stats\*.*" ask done
  ask:
  MessageBox MB_YESNO|MB_ICONQUESTION "Keep the traffic logs and the settings of ${PRODUCT}?$\n$\nThey are in $2.$\nAnswer No to delete them." /SD IDYES IDYES done
  RMDir /r "$2\Stats"
  Delete "$2\Preset.ini"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  RMDir "$2"
  done:
  RMDir "$INSTDIR"
SectionEnd
