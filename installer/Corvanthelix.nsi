; Installer of Corvanthelix: the program and its language files, the registry value that names the
; application folder, a Start-menu entry, optional start with Windows, and an uninstaller.
; Built by scripts/package with: makensis -DSRCDIR=<folder with the files> -DOUTFILE=<setup.exe>
Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef SRCDIR
  !error "SRCDIR must name the folder holding Corvanthelix.exe and the language files"
!endif
!ifndef OUTFILE
  !define OUTFILE "Corvanthelix-Setup.exe"
!endif

!define PRODUCT "Corvanthelix"
!define MAKER "Quillomarte"
!define VERSION "1.00.008"
!define APPKEY "Software\Quillomarte\Corvanthelix"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvanthelix"

Name "${MAKER} ${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${MAKER}\${PRODUCT}"
; Installing over an older copy goes to the folder it was installed in.
InstallDirRegKey HKLM "${UNINSTKEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "1.0.0.8"
VIAddVersionKey "ProductName" "${PRODUCT} Setup"
VIAddVersionKey "CompanyName" "${MAKER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${MAKER}"

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!include "FileFunc.nsh"

Var RemoveConfig

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  StrCpy $RemoveConfig "0"
  ; /REMOVECONFIG removes the user's settings too; otherwise they stay.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVECONFIG" $1
  IfErrors +2
    StrCpy $RemoveConfig "1"
FunctionEnd

; A running copy holds its program file open: ask it to close before files are replaced.
!macro CLOSE_RUNNING
  nsExec::Exec 'taskkill /IM Corvanthelix.exe'
  Sleep 500
!macroend

Section "${PRODUCT} (required)" SecMain
  SectionIn RO
  !insertmacro CLOSE_RUNNING
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${SRCDIR}\Corvanthelix.exe"
  File "${SRCDIR}\Common.lng"
  File "${SRCDIR}\Forms.lng"
  ; Corvanthelix.cfg is never written here: an existing one keeps the user's settings.

  ; The program saves its settings beside itself: let ordinary users write there.
  nsExec::Exec 'icacls "$INSTDIR" /grant *S-1-5-32-545:(OI)(CI)M'

  ; The application folder, with its trailing backslash, in the 32-bit view that the program
  ; reads first.
  SetRegView 32
  WriteRegStr HKLM "${APPKEY}" "AppPAth" "$INSTDIR\"
  SetRegView 64

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Corvanthelix.exe"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\Corvanthelix.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTKEY}" "EstimatedSize" $0
SectionEnd

Section "Start with Windows" SecStartup
  CreateShortcut "$SMSTARTUP\${PRODUCT}.lnk" "$INSTDIR\Corvanthelix.exe"
SectionEnd

Section "Uninstall"
  !insertmacro CLOSE_RUNNING
  Delete "$INSTDIR\Corvanthelix.exe"
  Delete "$INSTDIR\Common.lng"
  Delete "$INSTDIR\Forms.lng"
  Delete "$INSTDIR\Uninstall.exe"
  IfSilent keep_or_remove
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Remove your settings (Corvanthelix.cfg) too?" IDNO keep_or_remove
    StrCpy $RemoveConfig "1"
  keep_or_remove:
  StrCmp $RemoveConfig "1" 0 +2
    Delete "$INSTDIR\Corvanthelix.cfg"
  ; The folder goes only when nothing of the user's is left in it.
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\${MAKER}"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMSTARTUP\${PRODUCT}.lnk"

  SetRegView 32
  DeleteRegKey HKLM "${APPKEY}"
  DeleteRegKey /ifempty HKLM "Software\Quillomarte"
  SetRegView 64
  DeleteRegKey HKLM "${UNINSTKEY}"
SectionEnd
