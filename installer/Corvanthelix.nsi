; Installer of Corvanthelix: the program and its language files, the data folder for the settings
; and the registry value that names it, a Start-menu entry, optional start with Windows, and an
; uninstaller. Built by scripts/package with:
;   makensis -DSRCDIR=<folder with the files> -DOUTFILE=<setup.exe> -DVERSION=<as shown>
;            -DFILEVERSION=<four numbers>
; The version comes from the build (project() in CMakeLists.txt); it is never written here.
;
; The program folder keeps the permissions of the folder it is created in (administrators only
; under Program Files): ordinary users must never be able to replace a file that every user's
; logon starts or that administrators run. Only the data folder, which holds nothing but the
; settings, is writable for the Users group.
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
!ifndef VERSION
  !error "VERSION must be the program's version as shown, for example from scripts/package"
!endif
!define APPKEY "Software\Quillomarte\Corvanthelix"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvanthelix"

Name "${MAKER} ${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${MAKER}\${PRODUCT}"
; Installing over an older copy goes to the folder it was installed in.
InstallDirRegKey HKLM "${UNINSTKEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

!ifndef FILEVERSION
  !error "FILEVERSION must be the program's version as four numbers"
!endif
VIProductVersion "${FILEVERSION}"
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
!include "LogicLib.nsh"

Var RemoveConfig
Var DataDir

Function .onInit
  SetRegView 64
  ; $APPDATA is then the common application-data folder (C:\ProgramData).
  SetShellVarContext all
  StrCpy $DataDir "$APPDATA\${MAKER}\${PRODUCT}"
  ; An installation from the Windows Installer package belongs to Windows Installer.
  ClearErrors
  ReadRegDWORD $0 HKLM "Software\${MAKER}\${PRODUCT}Package" "MenuShortcut"
  ${IfNot} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is already installed from its Windows Installer \
      package. Remove that installation first (Apps and features, ${PRODUCT}), then run this \
      setup. The settings are kept." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  StrCpy $DataDir "$APPDATA\${MAKER}\${PRODUCT}"
  StrCpy $RemoveConfig "0"
  ; /REMOVECONFIG removes the user's settings too; otherwise they stay.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVECONFIG" $1
  IfErrors +2
    StrCpy $RemoveConfig "1"
FunctionEnd

; Running copies hold their program file open. Before files change, ask every copy to close,
; then end the ones that stay (in every session: the installer runs as administrator), and wait
; until none is left, for at most about 15 s. taskkill answers 128 when there is none.
!macro END_RUNNING_COPIES
  StrCpy $R9 0
  ${Do}
    ${If} $R9 < 4
      nsExec::Exec 'taskkill /IM Corvanthelix.exe'
    ${Else}
      nsExec::Exec 'taskkill /F /IM Corvanthelix.exe'
    ${EndIf}
    Pop $R8
    ${If} $R8 == 128
    ${OrIf} $R8 == "error"
    ${OrIf} $R9 >= 30
      ${Break}
    ${EndIf}
    IntOp $R9 $R9 + 1
    Sleep 500
  ${Loop}
!macroend

; A program file that is still in use is put beside the old one and replaces it at the next
; restart, rather than leaving the old version in place.
!macro INSTALL_FILE NAME
  SetOverwrite try
  ClearErrors
  File "${SRCDIR}\${NAME}"
  ${If} ${Errors}
    File "/oname=$INSTDIR\${NAME}.new" "${SRCDIR}\${NAME}"
    Rename /REBOOTOK "$INSTDIR\${NAME}.new" "$INSTDIR\${NAME}"
  ${EndIf}
  SetOverwrite on
!macroend

Section "${PRODUCT} (required)" SecMain
  SectionIn RO
  !insertmacro END_RUNNING_COPIES
  SetOutPath "$INSTDIR"
  !insertmacro INSTALL_FILE "Corvanthelix.exe"
  !insertmacro INSTALL_FILE "Common.lng"
  !insertmacro INSTALL_FILE "Forms.lng"

  ; The data folder for the settings. Users may change the settings, so the Users group gets
  ; modify access to this folder, and only when this installer creates it.
  ${IfNot} ${FileExists} "$DataDir\*.*"
    CreateDirectory "$DataDir"
    nsExec::Exec 'icacls "$DataDir" /grant *S-1-5-32-545:(OI)(CI)M'
  ${EndIf}

  ; Earlier versions kept the settings in the application folder that the registry named,
  ; normally the program folder, and let users write there. Bring the settings into the data
  ; folder (settings already there win); from the program folder they move, and the write
  ; access that those versions gave users there is taken back.
  SetRegView 32
  ReadRegStr $0 HKLM "${APPKEY}" "AppPAth"
  SetRegView 64
  ${If} $0 != ""
  ${AndIf} $0 != "$DataDir\"
    ${If} ${FileExists} "$0Corvanthelix.cfg"
    ${AndIfNot} ${FileExists} "$DataDir\Corvanthelix.cfg"
      CopyFiles /SILENT "$0Corvanthelix.cfg" "$DataDir\Corvanthelix.cfg"
    ${EndIf}
    ${If} $0 == "$INSTDIR\"
      ${If} ${FileExists} "$DataDir\Corvanthelix.cfg"
        Delete "$INSTDIR\Corvanthelix.cfg"
      ${EndIf}
      nsExec::Exec 'icacls "$INSTDIR" /remove:g *S-1-5-32-545'
    ${EndIf}
  ${EndIf}

  ; The application folder, with its trailing backslash, in the 32-bit view that the program
  ; reads first.
  SetRegView 32
  WriteRegStr HKLM "${APPKEY}" "AppPAth" "$DataDir\"
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
  ${If} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION \
      "A program file was in use. It is replaced when Windows restarts." /SD IDOK
  ${EndIf}
SectionEnd

Section "Start with Windows" SecStartup
  CreateShortcut "$SMSTARTUP\${PRODUCT}.lnk" "$INSTDIR\Corvanthelix.exe"
SectionEnd

Section "Uninstall"
  !insertmacro END_RUNNING_COPIES
  Delete /REBOOTOK "$INSTDIR\Corvanthelix.exe"
  Delete /REBOOTOK "$INSTDIR\Common.lng"
  Delete /REBOOTOK "$INSTDIR\Forms.lng"
  Delete "$INSTDIR\Uninstall.exe"
  IfSilent keep_or_remove
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Remove your settings (Corvanthelix.cfg) too?" IDNO keep_or_remove
    StrCpy $RemoveConfig "1"
  keep_or_remove:
  StrCmp $RemoveConfig "1" 0 +2
    Delete "$DataDir\Corvanthelix.cfg"
  ; A folder goes only when nothing of the user's is left in it.
  RMDir "$DataDir"
  RMDir "$APPDATA\${MAKER}"
  RMDir /REBOOTOK "$INSTDIR"
  RMDir "$PROGRAMFILES64\${MAKER}"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMSTARTUP\${PRODUCT}.lnk"

  SetRegView 32
  DeleteRegKey HKLM "${APPKEY}"
  DeleteRegKey /ifempty HKLM "Software\Quillomarte"
  SetRegView 64
  DeleteRegKey HKLM "${UNINSTKEY}"
SectionEnd
