; The Quillmarsh installer: both programs and the icon under Program Files, Start-menu
; shortcuts, the Run entry named by the product name (which the Options page reports as
; "Configured with installer"), and an uninstaller listed in Add/Remove Programs.
; Silent with /S, for install and uninstall alike.
;
; makensis -DMAIN_PATH=... -DCLI_PATH=... -DICON=... -DVERSION=... -DOUT_FILE=... Quillmarsh.nsi

Unicode true
Target amd64-unicode
!include "WinMessages.nsh"

!define PRODUCT "Quillmarsh"
!define COMPANY "Quillmarsh Software"
!define MAIN_EXE "Quillmarsh.exe"
!define CLI_EXE "quillmarsh-cli.exe"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The running program's window, to be asked to close before its files are replaced or removed.
!define WINDOW_TITLE "${PRODUCT} by ${COMPANY}"

!ifndef MAIN_PATH | CLI_PATH | ICON | VERSION | OUT_FILE
  !error "MAIN_PATH, CLI_PATH, ICON, VERSION and OUT_FILE must be defined"
!endif

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${COMPANY}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Asks a running copy to close and gives it a few seconds: its files are in use while it runs.
!macro CloseRunningProgram
  FindWindow $0 "#32770" "${WINDOW_TITLE}"
  StrCmp $0 0 +4
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Sleep 1000
    Goto -4
!macroend

Section "Install"
  SetRegView 64
  SetShellVarContext all
  !insertmacro CloseRunningProgram
  SetOutPath "$INSTDIR"
  File "/oname=${MAIN_EXE}" "${MAIN_PATH}"
  File "/oname=${CLI_EXE}" "${CLI_PATH}"
  File /oname=quillmarsh.ico "${ICON}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${MAIN_EXE}" "" \
    "$INSTDIR\quillmarsh.ico"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${MAIN_EXE}"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillmarsh.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The programs, shortcuts and Run entries go; the user's data folder (definitions, quarantine,
; report, exclusions) and settings stay, so a later install finds them again.
Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  !insertmacro CloseRunningProgram
  Delete "$INSTDIR\${MAIN_EXE}"
  Delete "$INSTDIR\${CLI_EXE}"
  Delete "$INSTDIR\quillmarsh.ico"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  ; The installer's entry, and the one "Run at Windows start-up" writes under the program's
  ; file name.
  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKLM "${RUN_KEY}" "Quillmarsh"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
