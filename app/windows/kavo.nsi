; The Windows installer: per user, without administrator rights, into the user's programs folder.
; The program goes to bin\, a marker beside it tells the bar it is installed, so it keeps its
; files in %APPDATA%\Kavo (the uninstaller leaves them there). Built by scripts/windows-package.sh:
;   makensis -DPORTABLE=<portable folder> -DOUTFILE=<installer> -DVERSION=<x.y> kavo.nsi
; A 64-bit installer for the 64-bit program (and for systems without 32-bit support).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kavo"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Kavo ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kavo"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Kavo" SectionProgram
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR\bin"
  File /r "${PORTABLE}/*.*"
  CreateDirectory "$INSTDIR\share\kavo"
  FileOpen $0 "$INSTDIR\share\kavo\installed" w
  FileWrite $0 "This copy of Kavo is installed: Kavo.ini and KavoKey.txt live in %APPDATA%\Kavo.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Kavo.lnk" "$INSTDIR\bin\kavo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kavo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\kavo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "Start with Windows" SectionAutostart
  WriteRegStr HKCU "${RUN_KEY}" "Kavo" '"$INSTDIR\bin\kavo.exe"'
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  DeleteRegValue HKCU "${RUN_KEY}" "Kavo"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$SMPROGRAMS\Kavo.lnk"
  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\share"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
