; The Quillmarsh installer: both programs, the icon and the maker's update keys under Program
; Files (only an administrator can change the keys there, which Live Update trusts), Start-menu
; shortcuts, the Run entry named by the product name (which the Options page reports as
; "Configured with installer"), and an uninstaller listed in Add/Remove Programs.
; Silent with /S, for install and uninstall alike.
;
; makensis -DMAIN_PATH=... -DCLI_PATH=... -DICON=... -DKEYS_PATH=... -DVERSION=... -DOUT_FILE=...
;          Quillmarsh.nsi

Unicode true
Target amd64-unicode
!include "WinMessages.nsh"

!define PRODUCT "Quillmarsh"
!define COMPANY "Quillmarsh Software"
!define MAIN_EXE "Quillmarsh.exe"
!define CLI_EXE "quillmarsh-cli.exe"
!define KEYS_FILE "UpdateKeys.txt"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The running program's window class, to be asked to close before its files are replaced or
; removed. The class, not the caption, which a translation changes.
!define WINDOW_CLASS "QuillmarshMainWindow"
; How long a running copy is given to end its work and close, in seconds.
!define CLOSE_WAIT 30

!ifndef MAIN_PATH | CLI_PATH | ICON | KEYS_PATH | VERSION | OUT_FILE
  !error "MAIN_PATH, CLI_PATH, ICON, KEYS_PATH, VERSION and OUT_FILE must be defined"
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

; Asks a running copy to close and waits for it, at most CLOSE_WAIT seconds: its files are in
; use while it runs. A scan stops at once and an open alert closes unanswered; a removal run
; ends first. A copy still there after that fails the setup with a message (silently: exit
; code 2) rather than leaving it waiting for ever.
!macro CLOSE_RUNNING_FUNCTION un
Function ${un}CloseRunningProgram
  StrCpy $1 0
  StrCpy $2 0
  ask:
    FindWindow $0 "${WINDOW_CLASS}" ""
    StrCmp $0 0 gone
    IntCmp $1 ${CLOSE_WAIT} busy
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    StrCpy $2 1
    Sleep 1000
    IntOp $1 $1 + 1
    Goto ask
  busy:
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is still running and could not be closed. Please \
      end it, then run this setup again." /SD IDOK
    SetErrorLevel 2
    Quit
  gone:
    ; The window goes a moment before the process lets go of its files.
    StrCmp $2 0 +2
      Sleep 1500
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_FUNCTION ""
!insertmacro CLOSE_RUNNING_FUNCTION "un."

Section "Install"
  SetRegView 64
  SetShellVarContext all
  Call CloseRunningProgram
  SetOutPath "$INSTDIR"
  File "/oname=${MAIN_EXE}" "${MAIN_PATH}"
  File "/oname=${CLI_EXE}" "${CLI_PATH}"
  File /oname=quillmarsh.ico "${ICON}"
  File "/oname=${KEYS_FILE}" "${KEYS_PATH}"
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
  Call un.CloseRunningProgram
  Delete "$INSTDIR\${MAIN_EXE}"
  Delete "$INSTDIR\${CLI_EXE}"
  Delete "$INSTDIR\quillmarsh.ico"
  Delete "$INSTDIR\${KEYS_FILE}"
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
