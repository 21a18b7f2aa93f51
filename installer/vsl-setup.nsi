; Installs Vastrel: vsl.exe in a folder of the user's choice, the settings key
; that its uninstall reads, the vsl link scheme through which the shell starts
; it for a link, and its entry in the list of installed programs.
;
; vsl.exe removes all of that itself ("vsl.exe uninstall"), so this installer
; writes no uninstaller of its own and nothing that would stay behind:
;  - every key written here is one that the uninstall deletes, and no key gets
;    a subkey that the uninstall does not delete first: it deletes the keys
;    one by one, children first, and a key that still has a subkey cannot be
;    deleted that way;
;  - the install folder holds vsl.exe alone: the uninstall deletes that file
;    and then removes the folder, which only works when it is empty.
;
; Reinstalling into the same folder replaces vsl.exe and writes the keys
; afresh. Reinstalling into another folder moves the installation: the keys
; then point to the new folder, so the old folder's vsl.exe is deleted (no
; uninstall would ever find it again) and the old folder is removed when
; that leaves it empty; anything else the user keeps there stays.
;
; Built by CMake (installer/CMakeLists.txt) with these symbols:
;   VSL_EXE     the vsl.exe to install
;   VSL_ICON    the installer's icon
;   VSL_OUTFILE the installer to write
;   VSL_PRETEND_ACCOUNT_TYPE  test builds only: the account type to act on
;               instead of asking the system (Wine always runs as an
;               administrator, so the refusal is tested through this)

Unicode true

!include MUI2.nsh
!include LogicLib.nsh

!ifndef VSL_EXE
  !error "define VSL_EXE, the vsl.exe to install"
!endif
!ifndef VSL_ICON
  !error "define VSL_ICON, the installer's icon"
!endif
!ifndef VSL_OUTFILE
  !error "define VSL_OUTFILE, the installer to write"
!endif

!define VERSION "1.0.0.1"
!define SETTINGS_KEY "Software\Vastrel"
!define SCHEME_KEY "vsl"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vastrel"
; The exit codes of a refused install, for callers of a silent one.
!define EXIT_NOT_ADMIN 740 ; ERROR_ELEVATION_REQUIRED
!define EXIT_BAD_FOLDER 2
!define EXIT_WRITE_FAILED 3
; The longest install folder: CreateDirectory takes at most 247 characters
; (MAX_PATH less room for a file name), which also keeps vsl.exe's path
; within MAX_PATH and the folder within the 254 that the uninstall reads.
!define MAX_FOLDER_LENGTH 247
; The longest command line the installer reads whole: a variable holds
; NSIS_MAX_STRLEN characters with the one that ends it, and one more would
; not tell a line that fits from one that was cut.
!define /math LONGEST_COMMAND_LINE ${NSIS_MAX_STRLEN} - 2

Name "Vastrel"
OutFile "${VSL_OUTFILE}"
InstallDir "$PROGRAMFILES\Vastrel"
; A reinstall offers the folder of the installation it replaces.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; No file times in the installer: the same inputs make the same bytes.
SetDateSave off
ShowInstDetails show
BrandingText "Vastrel ${VERSION}"

!define MUI_ICON "${VSL_ICON}"
!define FOLDER_PAGE_TEXT "Vastrel opens vsl links from web pages and starts the game they name. Choose the folder for vsl.exe; keep it for vsl.exe alone, because removing Vastrel removes the folder. Only administrators will be able to change it: a folder that cannot be protected so is refused."
!define MUI_DIRECTORYPAGE_TEXT_TOP "${FOLDER_PAGE_TEXT}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Vastrel"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Vastrel installer"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "vsl-setup.exe"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "The Vastrel developers"

Var previousFolder

; Shows the message (skipped in a silent install) and ends the installer
; with the exit code, before or between the writes.
!macro Refuse message exitCode
  MessageBox MB_OK|MB_ICONSTOP "${message}" /SD IDOK
  SetErrorLevel ${exitCode}
  Quit
!macroend

Function .onInit
  !ifdef VSL_PRETEND_ACCOUNT_TYPE
    StrCpy $0 "${VSL_PRETEND_ACCOUNT_TYPE}"
  !else
    UserInfo::GetAccountType
    Pop $0
  !endif
  ; Only an administrator may write the link scheme and the list of
  ; installed programs, which are the computer's, not the user's.
  ${If} $0 != "Admin"
    !insertmacro Refuse "Installing Vastrel needs administrator rights: it registers the vsl link scheme and its entry in the list of installed programs for the whole computer.$\r$\n$\r$\nStart the installer again as an administrator. Nothing has been installed." ${EXIT_NOT_ADMIN}
  ${EndIf}

  Call TakeFolderArgument
  ${If} $0 != ""
    !insertmacro Refuse "$0 Nothing has been installed." ${EXIT_BAD_FOLDER}
  ${EndIf}
FunctionEnd

; Puts the folder that /D= gives on the command line into $INSTDIR as it is
; given, and leaves in $0 why it cannot be taken, or nothing.
;
; NSIS itself sees /D= only unquoted after a blank (" /D=C:\Games\Vastrel"):
; it takes the rest of the line for the folder, cuts that off $CMDLINE, and
; before .onInit it swaps a folder that it does not take (a drive's root, a
; path that is no full one, a drive that is not there) for the default folder
; without a word. Quoted, as Wine and deployment tools write an argument with
; blanks ("/D=C:\Program Files\Vastrel"), /D= is not seen at all. Either way
; a silent install would go elsewhere than asked. So the folder is read here
; from the command line as the process got it, which NSIS leaves alone, in
; both forms (and as /d=), and CheckInstallFolder refuses what cannot be
; installed into.
Function TakeFolderArgument
  StrCpy $0 ""
  System::Call 'kernel32::GetCommandLineW() w .r1'
  ; The plugin hands the line over in a variable: one longer than that holds
  ; arrives cut, perhaps without its /D= or a part of the folder.
  StrLen $2 $1
  ${If} $2 > ${LONGEST_COMMAND_LINE}
    StrCpy $0 "The command line is too long: the installer reads at most ${LONGEST_COMMAND_LINE} characters of it."
    Return
  ${EndIf}
  ; Blanks at the end belong to no argument.
  ${Do}
    StrCpy $4 $1 1 -1
    ${IfThen} $4 != " " ${|} ${ExitDo} ${|}
    StrCpy $1 $1 -1
  ${Loop}
  StrLen $2 $1
  ; The program's path, quoted or not, is no argument either.
  StrCpy $3 1
  StrCpy $4 $1 1
  ${If} $4 == '"'
    ${DoUntil} $3 >= $2
      StrCpy $4 $1 1 $3
      IntOp $3 $3 + 1
      ${IfThen} $4 == '"' ${|} ${ExitDo} ${|}
    ${Loop}
  ${EndIf}
  ; The first /D=, as NSIS's own or quoted.
  ${DoUntil} $3 >= $2
    StrCpy $4 $1 4 $3
    ${IfThen} $4 == " /D=" ${|} ${ExitDo} ${|}
    StrCpy $4 $1 5 $3
    ${IfThen} $4 == ' "/D=' ${|} ${ExitDo} ${|}
    IntOp $3 $3 + 1
  ${Loop}
  ${If} $3 >= $2
    Return ; none: NSIS's folder stands
  ${EndIf}

  ; Unquoted, the folder is the rest of the line; quoted, the rest without
  ; the closing quote, which must end the line. (Whoever quotes doubles a
  ; backslash before that quote; it goes with the backslashes at the end.)
  StrLen $5 $4
  IntOp $3 $3 + $5
  StrCpy $5 $1 "" $3
  ${If} $4 == ' "/D='
    StrCpy $4 $5 1 -1
    ${If} $4 != '"'
      StrCpy $0 "/D= comes last, quoted or not: nothing may follow the folder it gives."
      Return
    ${EndIf}
    StrCpy $5 $5 -1
  ${EndIf}
  StrCpy $INSTDIR $5

  ; Wherever $INSTDIR is used, NSIS leaves out the characters that no path
  ; may hold (* ? | < > / " and a colon but the drive's) and the blanks and
  ; backslashes at its end. A folder that loses more than its end would be
  ; installed into as another one.
  ${Do}
    StrCpy $4 $5 1 -1
    ${If} $4 == " "
    ${OrIf} $4 == "\"
      StrCpy $5 $5 -1
    ${Else}
      ${ExitDo}
    ${EndIf}
  ${Loop}
  ${If} $5 == ""
    StrCpy $0 "/D= gives no folder."
  ${ElseIf} "$INSTDIR" S!= $5
    StrCpy $0 `"$5" is no folder's path: a path has no * ? | < > " or /, and a colon only after the drive letter.`
  ${EndIf}
FunctionEnd

; Leaves in $0 why $INSTDIR cannot hold Vastrel, or nothing when it can, and
; in $1 the folder to install into: $INSTDIR with . and .. resolved and no
; backslash at its end (NSIS cuts that off "$INSTDIR" itself, as the settings
; key and the uninstall's batch file want it).
Function CheckInstallFolder
  StrCpy $0 ""
  StrCpy $1 ""
  ; A full path, on a drive (C:\...) or a share (\\server\share\...):
  ; GetFullPathName would take anything else from the working folder.
  StrCpy $2 "$INSTDIR" 2
  StrCpy $3 "$INSTDIR" 2 1
  ${If} $2 != "\\"
  ${AndIf} $3 != ":\"
  ${AndIf} $3 != ":"
    StrCpy $0 `"$INSTDIR" is no full path: give the folder with its drive, as in C:\Games\Vastrel.`
    Return
  ${EndIf}

  ; With a backslash at its end the path is resolved as it stands; without
  ; one, NSIS's GetFullPathName looks the last name up on the disk and gives
  ; nothing when it is not there yet. (It fails only for a path longer than
  ; NSIS holds.)
  GetFullPathName $1 "$INSTDIR\"
  ; A root is where .. leads back to itself: the uninstall would try to
  ; remove the drive, or the share.
  GetFullPathName $2 "$1..\"
  StrCpy $3 $1
  StrCpy $1 $1 -1
  StrLen $4 $1
  ${If} $4 > ${MAX_FOLDER_LENGTH}
  ${OrIf} $1 == ""
    StrCpy $0 "The folder's path is too long: it may have at most ${MAX_FOLDER_LENGTH} characters."
  ${ElseIf} $2 == $3
    StrCpy $0 "$3 is the root of a drive or share: Vastrel needs a folder of its own, since removing Vastrel removes its folder."
  ${Else}
    ; The shell starts vsl.exe for a link with the command
    ; "<folder>\vsl.exe" "%1" and puts the link wherever %1 stands, in the
    ; folder's part too (%2, %L, %* and others alike), and the uninstall's
    ; batch file reads a % as its own as well: neither would find vsl.exe.
    ${For} $2 0 $4
      StrCpy $3 $1 1 $2
      ${If} $3 == "%"
        StrCpy $0 "The folder's path holds a %, which the shell would replace in the command that starts vsl.exe for a link: choose a folder without %."
        ${ExitFor}
      ${EndIf}
    ${Next}
  ${EndIf}
FunctionEnd

; The folder page keeps its Install button off for a folder that cannot hold
; Vastrel; the button alone does not say why, so its text at the top does,
; until the folder can. (The page is the dialog in the installer's window;
; 1006 is its text.)
Function .onVerifyInstDir
  Call CheckInstallFolder
  FindWindow $2 "#32770" "" $HWNDPARENT
  GetDlgItem $2 $2 1006
  ${If} $0 != ""
    SendMessage $2 ${WM_SETTEXT} 0 "STR:$0"
    Abort
  ${EndIf}
  SendMessage $2 ${WM_SETTEXT} 0 "STR:${FOLDER_PAGE_TEXT}"
FunctionEnd

; Makes the install folder, if need be, one that only administrators may
; change. vsl.exe runs for every account that clicks a vsl link, and elevated
; when an administrator removes Vastrel: an account that could replace it
; would run its own program as them. A folder outside Program Files inherits
; rights that let every user change it (C:\ and a fresh drive's root give
; Authenticated Users Modify below them), so the folder gets an access list of
; its own, whatever it had before: full control for SYSTEM and the
; Administrators, read and execute for Users, nothing handed down from above.
; icacls names the groups by their SIDs, which every language of Windows
; shares. A folder that cannot take such a list (on FAT or exFAT, say) is
; refused, and a folder made here for it is removed again: nothing is written.
Function ProtectInstallFolder
  StrCpy $2 ""
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $2 "made"
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR" /reset /Q'
  Pop $0
  ${If} $0 == 0
    nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR" /inheritance:r /grant:r *S-1-5-18:(OI)(CI)F *S-1-5-32-544:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX /Q'
    Pop $0
  ${EndIf}
  ${If} ${Errors}
  ${OrIf} $0 != 0
    ${If} $2 == "made"
      RMDir "$INSTDIR"
    ${EndIf}
    !insertmacro Refuse "Cannot set the access rights of $INSTDIR so that only administrators may change it, and without them any account could replace vsl.exe there. Choose a folder on an NTFS drive. Nothing has been installed." ${EXIT_WRITE_FAILED}
  ${EndIf}
FunctionEnd

Section
  Call CheckInstallFolder
  ${If} $0 != ""
    !insertmacro Refuse "$0 Nothing has been installed." ${EXIT_BAD_FOLDER}
  ${EndIf}
  ; The folder as resolved is the one installed into and named in the keys,
  ; and the one compared with the previous installation's.
  StrCpy $INSTDIR $1

  ReadRegStr $previousFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $previousFolder == ""
    ReadRegStr $previousFolder HKCU "${SETTINGS_KEY}" "path"
  ${EndIf}

  Call ProtectInstallFolder

  ClearErrors
  SetOutPath "$INSTDIR"
  File "/oname=vsl.exe" "${VSL_EXE}"
  ${If} ${Errors}
    !insertmacro Refuse "Cannot write $INSTDIR\vsl.exe. Nothing has been installed." ${EXIT_WRITE_FAILED}
  ${EndIf}

  ; Each key is written afresh, so that it holds these values and no
  ; subkey that would keep the uninstall from deleting it.
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey HKCR "${SCHEME_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ClearErrors

  WriteRegStr HKCU "${SETTINGS_KEY}" "path" "$INSTDIR"

  ; The icon's file is quoted like the open command's, so that a folder
  ; with blanks or commas stays one path; the shell unquotes it.
  WriteRegStr HKCR "${SCHEME_KEY}" "" "URL:vsl Protocol"
  WriteRegStr HKCR "${SCHEME_KEY}" "URL Protocol" ""
  WriteRegStr HKCR "${SCHEME_KEY}\DefaultIcon" "" '"$INSTDIR\vsl.exe",0'
  WriteRegStr HKCR "${SCHEME_KEY}\shell\open\command" "" '"$INSTDIR\vsl.exe" "%1"'

  ; The installed size in KB, rounded up: the folder holds vsl.exe alone.
  FileOpen $1 "$INSTDIR\vsl.exe" r
  FileSeek $1 0 END $2
  FileClose $1
  IntOp $2 $2 + 1023
  IntOp $2 $2 / 1024

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vastrel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\vsl.exe",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\vsl.exe" uninstall'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $2
  ${If} ${Errors}
    !insertmacro Refuse "Cannot write Vastrel's registry keys. Run the installer again as an administrator." ${EXIT_WRITE_FAILED}
  ${EndIf}

  ; A reinstall into another folder moves the installation (see the top).
  ${If} $previousFolder != ""
  ${AndIf} $previousFolder != "$INSTDIR"
    Delete "$previousFolder\vsl.exe"
    RMDir "$previousFolder"
  ${EndIf}
SectionEnd
