; The Windows installer: installs for the user alone (no administrator rights), adds a Start menu
; entry, makes .kmtf files open in Tintwell and registers an uninstaller. scripts/windows gives
; VERSION, the folder of the files to install (STAGE), the installer's path (OUTFILE) and a list
; of Delete lines for exactly the files installed (FILES), so the uninstaller removes nothing else.
; A 64-bit installer for the 64-bit program: it sees the user's folders and registry as the
; program does, and runs where no 32-bit layer is installed (Wine without wine32 among them).
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | OUTFILE | FILES
  !error "scripts/windows defines VERSION, STAGE, OUTFILE and FILES"
!endif

Name "Tintwell ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tintwell"
InstallDirRegKey HKCU "Software\Tintwell" "InstallDir"
ShowInstDetails show
ShowUninstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tintwell"
!define SHCNE_ASSOCCHANGED 0x08000000
!define SHCNF_IDLIST 0

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tintwell"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "Software\Tintwell" "InstallDir" "$INSTDIR"

  CreateDirectory "$SMPROGRAMS\Tintwell"
  CreateShortcut "$SMPROGRAMS\Tintwell\Tintwell.lnk" "$INSTDIR\tintwell-window.exe"
  CreateShortcut "$SMPROGRAMS\Tintwell\Tintwell manual.lnk" "$INSTDIR\manual.html"

  ; Themes open in the editor on a double-click.
  WriteRegStr HKCU "Software\Classes\.kmtf" "" "Tintwell.Theme"
  WriteRegStr HKCU "Software\Classes\Tintwell.Theme" "" "Map colour theme"
  WriteRegStr HKCU "Software\Classes\Tintwell.Theme\DefaultIcon" "" "$INSTDIR\tintwell-window.exe,0"
  WriteRegStr HKCU "Software\Classes\Tintwell.Theme\shell\open\command" "" '"$INSTDIR\tintwell-window.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i ${SHCNF_IDLIST}, p 0, p 0)'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tintwell"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Tintwell developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tintwell-window.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Tintwell\Tintwell.lnk"
  Delete "$SMPROGRAMS\Tintwell\Tintwell manual.lnk"
  RMDir "$SMPROGRAMS\Tintwell"
  ; Only an association that is still ours is taken away.
  ReadRegStr $0 HKCU "Software\Classes\.kmtf" ""
  StrCmp $0 "Tintwell.Theme" 0 +2
    DeleteRegKey HKCU "Software\Classes\.kmtf"
  DeleteRegKey HKCU "Software\Classes\Tintwell.Theme"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i ${SHCNF_IDLIST}, p 0, p 0)'
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Tintwell"
  !include "${FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\platforms"
  RMDir "$INSTDIR\styles"
  RMDir "$INSTDIR"
SectionEnd
