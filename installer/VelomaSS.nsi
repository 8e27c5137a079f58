; The Windows installer: the saver into the system folder, the piece image,
; the samples and the install text into a folder under Program Files.
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DSTAGE=DIR -DOUTFILE=FILE \
;            -DX86_KB=n -DX64_KB=n VelomaSS.nsi
;
; STAGE is the folder scripts/package.sh fills for the zip, plus samples.nsh,
; the list of sample files; X86_KB and X64_KB are the savers' sizes in KiB.
; One x86 installer serves both kinds of Windows: it runs on 64-bit Windows
; too, and copies the 64-bit saver past the file system redirection there.

!ifndef VERSION | STAGE | OUTFILE | X86_KB | X64_KB
  !error "usage: makensis -DVERSION=x.y.z -DSTAGE=DIR -DOUTFILE=FILE -DX86_KB=n -DX64_KB=n VelomaSS.nsi"
!endif

Unicode true
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define PRODUCT "Veloma Screen Saver"
!define PUBLISHER "Tamsk soft"
!define SAVER "VelomaSS.scr"
; Where the saver finds the folder; the user's own settings live under HKCU.
!define APP_KEY "Software\Tamsk soft\VelomaSS"
!define VENDOR_KEY "Software\Tamsk soft"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelomaSS"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
; No InstallDir: .onInit fills $INSTDIR unless /D= has.
ShowInstDetails nevershow
ShowUninstDetails nevershow

!include MUI2.nsh
!include x64.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include "${STAGE}/samples.nsh"

!define MUI_ICON "../res/velomass.ico"
!define MUI_UNICON "../res/velomass.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "$(DIR_TEXT)"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(USE_AS_SAVER)"
!define MUI_FINISHPAGE_RUN_FUNCTION UseAsScreenSaver
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the fallback for any other system language.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"
!include "strings.nsh"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
!macro VersionStrings LANG DESCRIPTION
  VIAddVersionKey /LANG=${LANG} ProductName "${PRODUCT}"
  VIAddVersionKey /LANG=${LANG} CompanyName "${PUBLISHER}"
  VIAddVersionKey /LANG=${LANG} LegalCopyright "© ${PUBLISHER}"
  VIAddVersionKey /LANG=${LANG} FileDescription "${DESCRIPTION}"
  VIAddVersionKey /LANG=${LANG} FileVersion "${VERSION}"
  VIAddVersionKey /LANG=${LANG} ProductVersion "${VERSION}"
!macroend
!insertmacro VersionStrings ${LANG_ENGLISH} "${PRODUCT} Setup"
!insertmacro VersionStrings ${LANG_JAPANESE} "${PRODUCT} セットアップ"

; Both halves run as the same x86 program: on 64-bit Windows the saver and
; its keys are the 64-bit ones.
!macro Prepare
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP|MB_OK "$(NEED_ADMIN)" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

; Our files in a folder, and the folder when nothing else is left in it.
!macro RemoveFolderFiles DIR
  Delete "${DIR}\velomass.bmp"
  Delete "${DIR}\INSTALL.txt"
  !insertmacro RemoveSamples "${DIR}\samples"
  RMDir "${DIR}\samples"
  Delete "${DIR}\uninstall.exe"
  RMDir "${DIR}"
!macroend

Function .onInit
  !insertmacro Prepare
  ; The section holds both savers but installs one: the space asked for
  ; counts only that one.
  SectionGetSize 0 $0
  ${If} ${RunningX64}
    IntOp $0 $0 - ${X86_KB}
  ${Else}
    IntOp $0 $0 - ${X64_KB}
  ${EndIf}
  SectionSetSize 0 $0
  ${If} $INSTDIR == ""
    ; An update goes where the last version went.
    ReadRegStr $INSTDIR HKLM "${APP_KEY}" InstallDir
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\VelomaSS"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\VelomaSS"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section
  ; An older version in another folder leaves nothing behind.
  ReadRegStr $0 HKLM "${APP_KEY}" InstallDir
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    !insertmacro RemoveFolderFiles $0
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${STAGE}/velomass.bmp"
  File "${STAGE}/INSTALL.txt"
  SetOutPath "$INSTDIR\samples"
  !insertmacro InstallSamples
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    File "/oname=$SYSDIR\${SAVER}" "${STAGE}/x64/VelomaSS.scr"
  ${Else}
    File "/oname=$SYSDIR\${SAVER}" "${STAGE}/x86/VelomaSS.scr"
  ${EndIf}
  FileOpen $1 "$SYSDIR\${SAVER}" r
  FileSeek $1 0 END $2
  FileClose $1
  ${EnableX64FSRedirection}
  ${GetSize} "$INSTDIR" "/S=0B /G=1" $3 $4 $5
  IntOp $2 $2 + $3
  IntOp $2 $2 + 1023
  IntOp $2 $2 / 1024

  WriteRegStr HKLM "${APP_KEY}" InstallDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
  WriteRegStr HKLM "${UNINST_KEY}" DisplayName "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" DisplayIcon "$SYSDIR\${SAVER},0"
  WriteRegStr HKLM "${UNINST_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" EstimatedSize $2
  WriteRegDWORD HKLM "${UNINST_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINST_KEY}" NoRepair 1
SectionEnd

; What right-click "Install" on a saver does: the saver becomes the user's
; choice and the screen saver settings open with it selected. The 64-bit
; rundll32 and desk.cpl, so that the path means the real System32.
Function UseAsScreenSaver
  ${DisableX64FSRedirection}
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $SYSDIR\${SAVER}'
  ${EnableX64FSRedirection}
FunctionEnd

Function un.onInit
  !insertmacro Prepare
FunctionEnd

Section Uninstall
  ; The user's choice goes with the saver, as choosing "(None)" would do.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE
  ${DisableX64FSRedirection}
  GetFullPathName /SHORT $1 "$SYSDIR\${SAVER}"
  ${If} $0 != ""
    ${If} $0 == "$SYSDIR\${SAVER}"
    ${OrIf} $0 == $1
      DeleteRegValue HKCU "${DESKTOP_KEY}" SCRNSAVE.EXE
      System::Call 'user32::SystemParametersInfoW(i 17, i 0, p 0, i 3)' ; SPI_SETSCREENSAVEACTIVE off
    ${EndIf}
  ${EndIf}
  Delete /REBOOTOK "$SYSDIR\${SAVER}"
  ${EnableX64FSRedirection}

  !insertmacro RemoveFolderFiles "$INSTDIR"

  DeleteRegKey HKLM "${UNINST_KEY}"
  DeleteRegValue HKLM "${APP_KEY}" InstallDir
  DeleteRegKey /ifempty HKLM "${APP_KEY}"
  DeleteRegKey /ifempty HKLM "${VENDOR_KEY}"
SectionEnd
