; The Jellyquake installer for 64-bit Windows, built by makensis from the staged
; game folder (packaging/windows/CMakeLists.txt passes every define below):
;   JQ_VERSION   the project's version      JQ_STAGE   the staged game folder
;   JQ_FILES     lines that install it      JQ_REMOVALS lines that remove it again
;   JQ_ICON      the game's icon (.ico)     JQ_OUTFILE the installer to write
; Silent with /S, for installing and for uninstalling.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Jellyquake"
!define PUBLISHER "The Jellyquake developers"
; The Start menu entry lives straight in Programs, as current Windows versions
; list them, with no folder of its own.
!define SHORTCUT "$SMPROGRAMS\Jellyquake.lnk"

Name "Jellyquake"
BrandingText "Jellyquake ${JQ_VERSION}"
OutFile "${JQ_OUTFILE}"
InstallDir "$PROGRAMFILES64\Jellyquake"
; A second install goes where the first one went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${JQ_VERSION}.0"
VIAddVersionKey ProductName "Jellyquake"
VIAddVersionKey ProductVersion "${JQ_VERSION}"
VIAddVersionKey FileVersion "${JQ_VERSION}"
VIAddVersionKey FileDescription "Jellyquake ${JQ_VERSION} Setup"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey LegalCopyright "${PUBLISHER}, MIT licence"

!define MUI_ICON "${JQ_ICON}"
!define MUI_UNICON "${JQ_ICON}"
!define MUI_WELCOMEPAGE_TEXT "Setup will install Jellyquake ${JQ_VERSION}, a small 3D arcade game: \
  save the jelly blobs from a cracking board for 90 seconds.$\r$\n$\r$\nClick Next to continue."
; The MIT licence asks nothing of a player, so there is nothing to agree to.
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Jellyquake is free software under these terms. Click Next to continue."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_FINISHPAGE_RUN "$INSTDIR\jellyquake.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${JQ_STAGE}/licence.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ; Program Files and the Start menu of every user of the machine.
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Jellyquake"
  ; Over an earlier install, its own uninstaller first takes away exactly the
  ; files it put there, so none of an older version's files linger. _?= keeps it
  ; in place and waiting rather than copying itself away and returning at once.
  IfFileExists "$INSTDIR\uninstall.exe" 0 +3
    ExecWait '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
    Delete "$INSTDIR\uninstall.exe"

  !include "${JQ_FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut's working folder is the output folder at the time it is made.
  SetOutPath "$INSTDIR"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\jellyquake.exe" "" "$INSTDIR\jellyquake.exe" 0

  ; Apps & features lists the game with what is written here.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Jellyquake"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${JQ_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\jellyquake.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Only the files and folders the installer made: a folder that holds anything
  ; else (a player's own file) stays.
  !include "${JQ_REMOVALS}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The uninstaller runs as a copy of itself in a temporary folder, which NSIS has
  ; Windows delete at the next restart, the folder before the copy inside it, so
  ; the folder would stay. Asking again, after the copy, takes it away as well.
  StrCmp "$EXEDIR" "$INSTDIR" +2
    RMDir /REBOOTOK "$EXEDIR"
SectionEnd
