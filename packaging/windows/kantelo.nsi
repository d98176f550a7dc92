; Kantelo's installer: for the current user, without administrator rights.
; makensis -DVERSION=3.0 -DSTAGE=<folder with kantelo.exe and its DLLs> -DICON=<.ico> -DOUTFILE=<setup.exe>
; Silent install: setup.exe /S [/D=C:\path]. The uninstaller removes the program's own files
; only: the bibles, kantelo.INI (the settings) and the backups stay.
; A 64-bit installer: the program is 64-bit, and a 64-bit Windows (or wine64) runs it as it is.
Target amd64-unicode
!include "MUI2.nsh"

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef ICON
  !error "ICON is not defined"
!endif
!ifndef STAGE
  !error "STAGE is not defined"
!endif

Name "Kantelo ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Kantelo"
InstallDirRegKey HKCU "Software\Kantelo" "InstallDir"
SetCompressor /SOLID lzma
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kantelo"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\kantelo.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Dutch"
!insertmacro MUI_LANGUAGE "German"

Function .onInit
  SetShellVarContext current
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Kantelo"
  SetOutPath "$INSTDIR"
  File "${STAGE}/kantelo.exe"
  File "${STAGE}/kantelo-db.exe"
  File "${STAGE}/*.dll"
  SetOutPath "$INSTDIR\platforms"
  File "${STAGE}/platforms/*.dll"
  SetOutPath "$INSTDIR\styles"
  File "${STAGE}/styles/*.dll"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Kantelo.lnk" "$INSTDIR\kantelo.exe"
  WriteRegStr HKCU "Software\Kantelo" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kantelo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kantelo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; The program's own files, by name: kantelo.INI and anything else the user put here stay.
  Delete "$INSTDIR\kantelo.exe"
  Delete "$INSTDIR\kantelo-db.exe"
  Delete "$INSTDIR\Qt6Core.dll"
  Delete "$INSTDIR\Qt6Gui.dll"
  Delete "$INSTDIR\Qt6Widgets.dll"
  Delete "$INSTDIR\libstdc++-6.dll"
  Delete "$INSTDIR\libgcc_s_seh-1.dll"
  Delete "$INSTDIR\libwinpthread-1.dll"
  Delete "$INSTDIR\platforms\qwindows.dll"
  Delete "$INSTDIR\styles\qwindowsvistastyle.dll"
  RMDir "$INSTDIR\platforms"
  RMDir "$INSTDIR\styles"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Kantelo.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Kantelo"
SectionEnd
