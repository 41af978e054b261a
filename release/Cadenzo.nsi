; The installer of Cadenzo: the program for the system (64-bit on 64-bit Windows, else 32-bit)
; with its card database, language files, help and texts in "Program Files\Cadenzo", a
; Start-menu shortcut, an entry in Add/Remove Programs, the name "cadenzo" for the Run box and
; the Event Log source "Cadenzo".
; Its uninstaller first has Cadenzo put the display driver's settings back as they were before
; Cadenzo's first run.
;
; scripts/release.sh runs makensis with these defines:
;   OUTFILE  the installer to write
;   STAGE    a directory with x64\Cadenzo.exe, x86\Cadenzo.exe, the common files, and
;            Files.nsh / UnFiles.nsh (the File and Delete lines for the common files)
;   VERSION  the Version.nsh that the build made (name, version, publisher)
;   ICON     the program's icon
; Silent: "setup.exe /S [/D=directory]", "uninstall.exe /S".

Unicode true
!include "${VERSION}"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_NAME}"
!define UNINSTALLER "uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
; Win+R, "cadenzo /restore", Enter: the recovery a person can type without seeing the screen.
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\cadenzo.exe"
; The Event Log source "Cadenzo": Cadenzo.exe's own message table gives its entries their text.
!define EVENT_SOURCE_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\${PRODUCT_NAME}"
; Cadenzo.exe's answers to /UNINSTALL: 0 the settings went back in.
!define RESTORED 0

Name "${PRODUCT_NAME} ${VERSION_TEXT}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
; The driver's settings live under HKEY_LOCAL_MACHINE, and so does the Add/Remove entry.
RequestExecutionLevel admin
; Program Files itself on 32-bit Windows.
InstallDir "$PROGRAMFILES64\${PRODUCT_NAME}"
SetCompressor /SOLID lzma
; No file times go into the installer: two builds of the same files are the same bytes.
SetDateSave off
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_NUMBER}"
VIFileVersion "${VERSION_NUMBER}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT_NAME} ${VERSION_TEXT} Setup"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Keys under HKLM\Software in the 64-bit view on 64-bit Windows, where the 64-bit program and
; Add/Remove Programs look; the installer itself is a 32-bit program.
!macro UseSystemRegistryView
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

Function .onInit
  !insertmacro UseSystemRegistryView
FunctionEnd

Section "Cadenzo"
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File "${STAGE}/x64/Cadenzo.exe"
  ${Else}
    File "${STAGE}/x86/Cadenzo.exe"
  ${EndIf}
  !include "${STAGE}/Files.nsh"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; Started from the shortcut, Cadenzo's working directory is its folder, where it finds its
  ; card database and keeps its backups.
  SetShellVarContext all
  CreateShortcut "${SHORTCUT}" "$INSTDIR\Cadenzo.exe" "" "$INSTDIR\Cadenzo.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION_TEXT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Cadenzo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr HKLM "${APP_PATHS_KEY}" "" "$INSTDIR\Cadenzo.exe"
  WriteRegStr HKLM "${APP_PATHS_KEY}" "Path" "$INSTDIR"
  ; Information, warnings and errors (1 + 2 + 4).
  WriteRegExpandStr HKLM "${EVENT_SOURCE_KEY}" "EventMessageFile" "$INSTDIR\Cadenzo.exe"
  WriteRegDWORD HKLM "${EVENT_SOURCE_KEY}" "TypesSupported" 7
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  !insertmacro UseSystemRegistryView
FunctionEnd

; Whether any of Cadenzo's backups lies in the folder; $R0 is 1 then.
Function un.HasBackups
  StrCpy $R0 0
  IfFileExists "$INSTDIR\firstrun.dat" 0 +2
  StrCpy $R0 1
  IfFileExists "$INSTDIR\lastknowngood.dat" 0 +2
  StrCpy $R0 1
  IfFileExists "$INSTDIR\backup.dat" 0 +2
  StrCpy $R0 1
FunctionEnd

Section "Uninstall"
  ; Cadenzo itself puts back the driver's settings from before its first run (firstrun.dat)
  ; and removes its settings key; a person is asked first, a silent uninstall does it.
  StrCpy $0 "not run"
  ${If} ${Silent}
  ${OrIf} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION "Put the display driver's settings back as they were before Cadenzo's first run?" IDYES`
    ; Its working directory is its folder, as when started from the shortcut.
    SetOutPath "$INSTDIR"
    ClearErrors
    ExecWait '"$INSTDIR\Cadenzo.exe" /UNINSTALL /S' $0
    IfErrors 0 +2
    StrCpy $0 "not run"
    SetOutPath "$TEMP"
  ${EndIf}
  DetailPrint "Cadenzo /UNINSTALL: $0"

  ; An incomplete export is no backup.
  Delete "$INSTDIR\backup.dat.new"
  Delete "$INSTDIR\lastknowngood.dat.new"
  Delete "$INSTDIR\firstrun.dat.new"
  Delete "$INSTDIR\history.log.new"
  ${If} $0 == ${RESTORED}
    Delete "$INSTDIR\backup.dat"
    Delete "$INSTDIR\lastknowngood.dat"
    Delete "$INSTDIR\firstrun.dat"
    Delete "$INSTDIR\history.log"
  ${Else}
    ; The backups may be the only record of the driver's own settings: they stay, and so does
    ; the history, which tells what became of them. Without backups it goes too: the Event Log
    ; keeps the same events.
    Call un.HasBackups
    ${If} $R0 == 0
      Delete "$INSTDIR\history.log"
    ${EndIf}
    ${If} $R0 == 1
      DetailPrint "The driver's settings were not put back; the backups stay in $INSTDIR."
      MessageBox MB_OK|MB_ICONEXCLAMATION "The display driver's settings were not put back.$\r$\n$\r$\nCadenzo's registry backups stay in $INSTDIR. To restore the settings from before Cadenzo's first run, double-click firstrun.dat there." /SD IDOK
      SetErrorLevel 2
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\Cadenzo.exe"
  !include "${STAGE}/UnFiles.nsh"
  Delete "$INSTDIR\${UNINSTALLER}"
  SetShellVarContext all
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${APP_PATHS_KEY}"
  ; The watch at logon ("Configure -> Keep rates after driver updates"), whatever the restore did.
  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "Cadenzo watch"
  ; A check of a change still waiting for it would start a program that is gone at the next
  ; logon; Cadenzo's own uninstall has removed it when the restore went in.
  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\RunOnce" "Cadenzo - test resolution"
  DeleteRegKey HKLM "${EVENT_SOURCE_KEY}"
  ; Only when empty: a kept backup keeps its folder.
  RMDir "$INSTDIR"
SectionEnd
