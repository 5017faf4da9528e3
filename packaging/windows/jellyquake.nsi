; The Jellyquake installer for 64-bit Windows, built by makensis from the staged
; game folder (packaging/windows/CMakeLists.txt passes every define below):
;   JQ_VERSION   the project's version      JQ_STAGE   the staged game folder
;   JQ_FILES     lines that install it      JQ_REMOVALS lines that remove it again
;   JQ_ICON      the game's icon (.ico)     JQ_OUTFILE the installer to write
;   JQ_SIGN      a script that signs a program in place (or does nothing)
; Silent with /S, for installing and for uninstalling; /CurrentUser or /AllUsers
; chooses the kind of install.
;
; Two kinds of install: for the current user (no administrator: the user's own
; programs folder, Start menu and registry) or for everyone (Program Files, the
; Start menu of all users, the machine's registry). Without an administrator
; only the first is offered; an administrator chooses, everyone by default.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Jellyquake"
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "Jellyquake"
; A second install of a kind goes where the first of that kind went.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

; The game, the uninstaller and the installer are signed as they are written, when
; the release has a certificate.
!finalize 'bash "${JQ_SIGN}" "%1"' = 0
!uninstfinalize 'bash "${JQ_SIGN}" "%1"' = 0
!define PUBLISHER "The Jellyquake developers"
; The Start menu entry lives straight in Programs, as current Windows versions
; list them, with no folder of its own.
!define SHORTCUT "$SMPROGRAMS\Jellyquake.lnk"

Name "Jellyquake"
BrandingText "Jellyquake ${JQ_VERSION}"
OutFile "${JQ_OUTFILE}"

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
; The installer may run as an administrator; the game must run as the player.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartGameAsPlayer
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${JQ_STAGE}/licence.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

; An uninstaller removes the kind of install it belongs to: the current user's
; when its folder is the one the user's registry names.
Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    Call un.MultiUser.InstallMode.CurrentUser
  ${EndIf}
FunctionEnd

; The shell that is already running starts the game, as the logged-in user, even
; when an administrator's password elevated the installer.
Function StartGameAsPlayer
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\jellyquake.exe"'
FunctionEnd

; Runs the uninstaller of an install in the folder given, in place and waiting
; (_?= keeps it from copying itself away and returning at once), then removes it
; and the folder if nothing else is left there.
!macro RemoveInstall FOLDER KIND
  ExecWait '"${FOLDER}\uninstall.exe" /S ${KIND} _?=${FOLDER}'
  Delete "${FOLDER}\uninstall.exe"
  RMDir "${FOLDER}"
!macroend

; One install of the game at a time: an install of the other kind goes first, so
; the Start menu never shows two. An install for everyone takes away the
; current user's; an administrator's install for the current user takes away the
; one for everyone. A user without an administrator cannot remove that one, and
; keeps it beside their own.
Function RemoveOtherKind
  ${If} $MultiUser.InstallMode == "AllUsers"
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $1 "/CurrentUser"
  ${ElseIf} $MultiUser.Privileges == "Admin"
  ${OrIf} $MultiUser.Privileges == "Power"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $1 "/AllUsers"
  ${Else}
    Return
  ${EndIf}
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    !insertmacro RemoveInstall $0 $1
  ${EndIf}
FunctionEnd

Section "Jellyquake"
  Call RemoveOtherKind
  ; Over an earlier install, its own uninstaller first takes away exactly the
  ; files it put there, so none of an older version's files linger.
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    !insertmacro RemoveInstall $INSTDIR "/$MultiUser.InstallMode"
  ${EndIf}

  !include "${JQ_FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut's working folder is the output folder at the time it is made.
  SetOutPath "$INSTDIR"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\jellyquake.exe" "" "$INSTDIR\jellyquake.exe" 0

  ; Apps & features lists the game with what is written here.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Jellyquake"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${JQ_VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\jellyquake.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "${SHORTCUT}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; Only the files and folders the installer made: a folder that holds anything
  ; else (a player's own file) stays.
  !include "${JQ_REMOVALS}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The current user's programs folder, if the install made it and nothing else
  ; is in it.
  ${If} $MultiUser.InstallMode == "CurrentUser"
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}
  ; The uninstaller runs as a copy of itself in a temporary folder, which NSIS has
  ; Windows delete at the next restart, the folder before the copy inside it, so
  ; the folder would stay. Asking again, after the copy, takes it away as well.
  StrCmp "$EXEDIR" "$INSTDIR" +2
    RMDir /REBOOTOK "$EXEDIR"
SectionEnd
