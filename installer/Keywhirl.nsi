; installer/Keywhirl.nsi - the setup program and uninstaller of Keywhirl.
;   makensis -DVERSION=1.0.0 -DPROGRAM_FOLDER=<the build's out folder>
;            -DOUTPUT_FILE=<setup.exe> -DICON=<keywhirl.ico>
;            -DSIDE_PICTURE=<welcome.bmp> Keywhirl.nsi
; Setup speaks the six interface languages, taken from the system's language
; (a language page asks when it is none of them), and installs either for
; every user, into Program Files, or for the current user only, without
; administrator rights, into the user's local programs folder. A running
; Keywhirl is ended first; the user's settings are kept, and on a first
; install the chosen language becomes the program's interface language.
; The uninstaller ends a running Keywhirl first, removes the logon start
; value and the files, and keeps the user's settings unless asked.
;
; Command line, beside NSIS's own /S and /D=:
;   /AllUsers, /CurrentUser   the kind of install (silent installs too)
;   /LANGUAGE=RUS             the language, by its interface language code;
;                             an unknown code shows the language page
;   /START                    a silent install starts Keywhirl at its end, as
;                             the finish page's checked box does

!ifndef VERSION | PROGRAM_FOLDER | OUTPUT_FILE | ICON | SIDE_PICTURE
  !error "VERSION, PROGRAM_FOLDER, OUTPUT_FILE, ICON and SIDE_PICTURE must be defined"
!endif

Unicode true
SetCompressor /SOLID lzma
ManifestSupportedOS all

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Keywhirl"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SYNCHRONIZE 0x00100000
!define WAIT_OBJECT_0 0

; Both kinds of install: an administrator may choose either, any other user
; installs for themselves.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Keywhirl"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"

!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include WinMessages.nsh
!include FileFunc.nsh

Name "Keywhirl"
OutFile "${OUTPUT_FILE}"
BrandingText "Keywhirl ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Keywhirl"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Keywhirl setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Keywhirl"

; The help file in the chosen language, as the program picks it.
Var HelpFile

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE_PICTURE}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SIDE_PICTURE}"
!define MUI_ABORTWARNING
!define MUI_LANGDLL_ALLLANGUAGES

!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Keywhirl.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(StartKeywhirl)"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\$HelpFile"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowHelp)"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the fallback.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Ukrainian"
!insertmacro MUI_RESERVEFILE_LANGDLL

!include "${__FILEDIR__}\Texts.nsh"

; Ends a running Keywhirl the way its Exit item does, so that it saves its
; settings and lets go of its files, and waits until its process is gone.
; WM_CLOSE is posted, not sent: a program still in its start-up pause takes
; it when its window starts to run, and setup never hangs on it.
; Pushes "ok", or "running" when it did not end and the user gave up.
!macro DEFINE_CLOSE_KEYWHIRL PREFIX
; Pushes the main window of a running Keywhirl, or 0: the hidden dialog
; window captioned "Keywhirl". Its message boxes carry the same class and
; caption but are visible.
Function ${PREFIX}FindKeywhirl
  Push $0
  Push $1
  StrCpy $0 0
  ${Do}
    FindWindow $0 "#32770" "Keywhirl" 0 $0
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    System::Call "user32::IsWindowVisible(p r0) i .r1"
    ${If} $1 = 0
      ${Break}
    ${EndIf}
  ${Loop}
  Pop $1
  Exch $0
FunctionEnd

Function ${PREFIX}CloseKeywhirl
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 "ok"
  ${Do}
    Call ${PREFIX}FindKeywhirl
    Pop $0
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    StrCpy $1 0
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1) i"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2"
    System::Call "user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0) i"
    ${If} $2 P<> 0
      System::Call "kernel32::WaitForSingleObject(p r2, i 20000) i .r1"
      System::Call "kernel32::CloseHandle(p r2)"
    ${Else}
      ; No handle to wait on: watch the window instead.
      StrCpy $1 200
      ${DoWhile} $1 > 0
        IsWindow $0 0 +2
        ${Break}
        Sleep 100
        IntOp $1 $1 - 1
      ${Loop}
      ${If} $1 > 0
        StrCpy $1 ${WAIT_OBJECT_0}
      ${EndIf}
    ${EndIf}
    ${If} $1 <> ${WAIT_OBJECT_0}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
      StrCpy $3 "running"
      ${Break}
      retry:
    ${EndIf}
  ${Loop}
  StrCpy $0 $3
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_KEYWHIRL ""
!insertmacro DEFINE_CLOSE_KEYWHIRL "un."

; The interface language code of the language setup speaks.
!macro LANGUAGE_CODE RESULT
  ${Select} $LANGUAGE
    ${Case} ${LANG_RUSSIAN}
      StrCpy ${RESULT} "RUS"
    ${Case} ${LANG_GERMAN}
      StrCpy ${RESULT} "DEU"
    ${Case} ${LANG_FRENCH}
      StrCpy ${RESULT} "FRA"
    ${Case} ${LANG_SPANISH}
      StrCpy ${RESULT} "ESP"
    ${Case} ${LANG_UKRAINIAN}
      StrCpy ${RESULT} "UKR"
    ${CaseElse}
      StrCpy ${RESULT} "ENU"
  ${EndSelect}
!macroend

; The language: /LANGUAGE= if given; otherwise the system's, when it is one
; of the six; otherwise the user is asked (a silent setup takes English).
Function ChooseLanguage
  Push $0
  Push $1
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/LANGUAGE=" $1
  ${IfNot} ${Errors}
    ${Select} $1
      ${Case} "ENU"
        StrCpy $LANGUAGE ${LANG_ENGLISH}
      ${Case} "RUS"
        StrCpy $LANGUAGE ${LANG_RUSSIAN}
      ${Case} "DEU"
        StrCpy $LANGUAGE ${LANG_GERMAN}
      ${Case} "FRA"
        StrCpy $LANGUAGE ${LANG_FRENCH}
      ${Case} "ESP"
        StrCpy $LANGUAGE ${LANG_SPANISH}
      ${Case} "UKR"
        StrCpy $LANGUAGE ${LANG_UKRAINIAN}
      ${CaseElse}
        !insertmacro MUI_LANGDLL_DISPLAY
    ${EndSelect}
  ${Else}
    ; The primary language of the user's interface language, compared as
    ; a decimal number.
    System::Call "kernel32::GetUserDefaultUILanguage() i .r1"
    IntOp $1 $1 & 0x3FF
    ${Select} $1
      ${Case} 9
        StrCpy $LANGUAGE ${LANG_ENGLISH}
      ${Case} 25
        StrCpy $LANGUAGE ${LANG_RUSSIAN}
      ${Case} 7
        StrCpy $LANGUAGE ${LANG_GERMAN}
      ${Case} 12
        StrCpy $LANGUAGE ${LANG_FRENCH}
      ${Case} 10
        StrCpy $LANGUAGE ${LANG_SPANISH}
      ${Case} 34
        StrCpy $LANGUAGE ${LANG_UKRAINIAN}
      ${CaseElse}
        !insertmacro MUI_LANGDLL_DISPLAY
    ${EndSelect}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

Function .onInit
  !insertmacro MULTIUSER_INIT
  Call ChooseLanguage
  Push $0
  !insertmacro LANGUAGE_CODE $0
  StrCpy $HelpFile "Keywhirl.$0.chm"
  ${If} $0 == "ENU"
    StrCpy $HelpFile "Keywhirl.chm"
  ${EndIf}
  Pop $0
FunctionEnd

; A silent install starts the program only when asked with /START.
Function .onInstSuccess
  ${If} ${Silent}
    Push $0
    Push $1
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/START" $1
    ${IfNot} ${Errors}
      Exec '"$INSTDIR\Keywhirl.exe"'
    ${EndIf}
    Pop $1
    Pop $0
  ${EndIf}
FunctionEnd

Section "Keywhirl" SectionProgram
  SectionIn RO
  Call CloseKeywhirl
  Pop $0
  ${If} $0 != "ok"
    Abort "$(NothingInstalled)"
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${PROGRAM_FOLDER}/Keywhirl.exe"
  File "${PROGRAM_FOLDER}/Keywhirl.dll"
  File "${PROGRAM_FOLDER}/Keywhirl*.chm"
  SetOutPath "$INSTDIR\Sounds"
  File "${PROGRAM_FOLDER}/Sounds/*.wav"
  SetOutPath "$INSTDIR\Keyboard"
  File "${PROGRAM_FOLDER}/Keyboard/*.bmp"
  SetOutPath "$INSTDIR\Localization"
  File "${PROGRAM_FOLDER}/Localization/*.xml"
  SetOutPath "$INSTDIR"
  ; Which kind of install this is goes with the uninstaller's command line.
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; SetShellVarContext follows the kind of install (MultiUser): the Start
  ; menu and the uninstall entry are the user's own or every user's.
  CreateDirectory "$SMPROGRAMS\Keywhirl"
  CreateShortcut "$SMPROGRAMS\Keywhirl\Keywhirl.lnk" "$INSTDIR\Keywhirl.exe"
  CreateShortcut "$SMPROGRAMS\Keywhirl\Keywhirl Help.lnk" "$INSTDIR\$HelpFile"
  CreateShortcut "$SMPROGRAMS\Keywhirl\Uninstall Keywhirl.lnk" "$INSTDIR\Uninstall.exe" "/$MultiUser.InstallMode"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Keywhirl"
  ; The uninstaller speaks the language chosen here.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallerLanguage" $LANGUAGE
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Keywhirl.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "The Keywhirl team"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; On a first install the language chosen here becomes the interface
  ; language; existing settings are the user's and stay as they are. The
  ; settings are always the installing user's own.
  SetShellVarContext current
  ${IfNot} ${FileExists} "$APPDATA\Keywhirl\Keywhirl.ini"
    CreateDirectory "$APPDATA\Keywhirl"
    !insertmacro LANGUAGE_CODE $0
    WriteINIStr "$APPDATA\Keywhirl\Keywhirl.ini" "Settings" "l10nLanguageCode" $0
  ${EndIf}
  ${If} $MultiUser.InstallMode == "AllUsers"
    SetShellVarContext all
  ${EndIf}
SectionEnd

; The uninstaller's own page: the settings stay unless the box is ticked.
; A silent uninstall never shows it and so keeps them.
Var RemoveSettings
Var RemoveSettingsBox

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  StrCpy $RemoveSettings ${BST_UNCHECKED}
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallerLanguage"
  ${If} $0 != ""
    StrCpy $LANGUAGE $0
  ${EndIf}
FunctionEnd

Function un.SettingsPage
  !insertmacro MUI_HEADER_TEXT "$(SettingsTitle)" "$(SettingsSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  SetShellVarContext current
  ${NSD_CreateLabel} 0 0 100% 40u "$(SettingsKept)"
  Pop $0
  ${NSD_CreateCheckbox} 0 48u 100% 20u "$(RemoveSettings)"
  Pop $RemoveSettingsBox
  ${NSD_AddStyle} $RemoveSettingsBox ${BS_MULTILINE}
  ${NSD_SetState} $RemoveSettingsBox $RemoveSettings
  nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
  ${NSD_GetState} $RemoveSettingsBox $RemoveSettings
FunctionEnd

Section "Uninstall"
  Call un.CloseKeywhirl
  Pop $0
  ${If} $0 != "ok"
    Abort "$(NothingRemoved)"
  ${EndIf}

  DeleteRegValue HKCU "${RUN_KEY}" "Keywhirl"

  ; Only what setup put there: files of the user's own in the program
  ; folder keep their folder alive rather than being deleted with it.
  Delete "$INSTDIR\Keywhirl.exe"
  Delete "$INSTDIR\Keywhirl.dll"
  Delete "$INSTDIR\Keywhirl.chm"
  Delete "$INSTDIR\Keywhirl.???.chm"
  Delete "$INSTDIR\Sounds\*.wav"
  RMDir "$INSTDIR\Sounds"
  Delete "$INSTDIR\Keyboard\*.bmp"
  RMDir "$INSTDIR\Keyboard"
  Delete "$INSTDIR\Localization\*.xml"
  RMDir "$INSTDIR\Localization"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  ; The Start menu and the entry of this kind of install, which MultiUser
  ; read from the command line.
  ${If} $MultiUser.InstallMode == "AllUsers"
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  Delete "$SMPROGRAMS\Keywhirl\Keywhirl.lnk"
  Delete "$SMPROGRAMS\Keywhirl\Keywhirl Help.lnk"
  Delete "$SMPROGRAMS\Keywhirl\Uninstall Keywhirl.lnk"
  RMDir "$SMPROGRAMS\Keywhirl"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  SetShellVarContext current
  ${If} $RemoveSettings == ${BST_CHECKED}
  ${AndIf} $APPDATA != ""
    ; Every file Keywhirl writes there, with its temporary and the copies
    ; set aside (.bad, .bad.1, ..., .too-large, ...).
    Delete "$APPDATA\Keywhirl\Keywhirl.ini*"
    Delete "$APPDATA\Keywhirl\WeakKeys.ini*"
    Delete "$APPDATA\Keywhirl\History.csv*"
    RMDir "$APPDATA\Keywhirl"
  ${EndIf}
SectionEnd
