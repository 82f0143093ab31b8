; The Hakaron installer: per user into a folder the user can write to (the program keeps its
; measurements beside itself), a Start-menu entry, an uninstaller that keeps Org\ and
; Name_List\. Made by scripts/package-windows.sh.
Unicode true
Target amd64-unicode
!include "MUI2.nsh"

Name "Hakaron ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Hakaron"
InstallDirRegKey HKCU "Software\Hakaron" "InstallDir"

!define MUI_FINISHPAGE_RUN "$INSTDIR\hakaron.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Hakaron"

Section
  SetOutPath "$INSTDIR"
  File /r /x Org /x Name_List "${STAGE}/*.*"
  CreateDirectory "$INSTDIR\Org"
  CreateDirectory "$INSTDIR\Name_List"
  ; A reinstall keeps the user's settings.
  SetOutPath "$INSTDIR\Org"
  SetOverwrite off
  File "${STAGE}/Org/user.dat"
  SetOverwrite on
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Hakaron"
  CreateShortcut "$SMPROGRAMS\Hakaron\Hakaron.lnk" "$INSTDIR\hakaron.exe"
  WriteRegStr HKCU "Software\Hakaron" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Hakaron ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
SectionEnd

Section "Uninstall"
  ; The measurements (Org\) and the name lists (Name_List\) stay.
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Hakaron\Hakaron.lnk"
  RMDir "$SMPROGRAMS\Hakaron"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Hakaron"
SectionEnd
