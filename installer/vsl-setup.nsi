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
!define MUI_DIRECTORYPAGE_TEXT_TOP "Vastrel opens vsl links from web pages and starts the game they name. Choose the folder for vsl.exe; keep it for vsl.exe alone, because removing Vastrel removes the folder."
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
FunctionEnd

; Leaves in $0 why $INSTDIR cannot hold Vastrel, or nothing when it can.
; ($INSTDIR never ends in a backslash: NSIS cuts it off, as the settings key
; and the uninstall's batch file want it.)
Function CheckInstallFolder
  StrLen $1 "$INSTDIR"
  StrCpy $0 ""
  ; NSIS itself refuses a drive's root (the uninstall would try to remove
  ; the drive): the page does not go on, and a silent install given one
  ; with /D= installs into the default folder instead.
  ${If} $1 > ${MAX_FOLDER_LENGTH}
    StrCpy $0 "The folder's path is too long: it may have at most ${MAX_FOLDER_LENGTH} characters."
  ${EndIf}
FunctionEnd

Function .onVerifyInstDir
  Call CheckInstallFolder
  ${If} $0 != ""
    Abort
  ${EndIf}
FunctionEnd

Section
  Call CheckInstallFolder
  ${If} $0 != ""
    !insertmacro Refuse "$0 Nothing has been installed." ${EXIT_BAD_FOLDER}
  ${EndIf}

  ReadRegStr $previousFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $previousFolder == ""
    ReadRegStr $previousFolder HKCU "${SETTINGS_KEY}" "path"
  ${EndIf}

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
