; installer/Keywhirl.nsi - the setup program and uninstaller of Keywhirl.
;   makensis -DVERSION=1.0.0 -DPROGRAM_FOLDER=<the build's out folder>
;            -DOUTPUT_FILE=<setup.exe> -DICON=<keywhirl.ico> Keywhirl.nsi
; Setup installs into Program Files for every user and adds a Start menu
; folder. The uninstaller ends a running Keywhirl first, removes the logon
; start value and the files, and keeps the user's settings unless asked.

!ifndef VERSION | PROGRAM_FOLDER | OUTPUT_FILE | ICON
  !error "VERSION, PROGRAM_FOLDER, OUTPUT_FILE and ICON must be defined"
!endif

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include WinMessages.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Keywhirl"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SYNCHRONIZE 0x00100000
!define WAIT_OBJECT_0 0

Name "Keywhirl"
OutFile "${OUTPUT_FILE}"
InstallDir "$PROGRAMFILES\Keywhirl"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Keywhirl ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Keywhirl"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Keywhirl setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Keywhirl"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Keywhirl is a typing companion: it sits in the tray, shows a keyboard hint when you hesitate, can click and beat a metronome, and shows your typing speed, effectiveness and rhythm.$\r$\n$\r$\nSetup will install Keywhirl ${VERSION} on your computer. If Keywhirl is running, setup ends it first.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Keywhirl ${VERSION} is installed. Start it from its folder in the Start menu; from then on it starts whenever you log on, which its tray menu can switch off."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Keywhirl.chm"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the help"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.SettingsPage un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

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
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Keywhirl is still running and does not end. Close its open windows, choose Exit in its tray menu, then choose Retry." /SD IDCANCEL IDRETRY retry
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

Section "Keywhirl" SectionProgram
  SectionIn RO
  Call CloseKeywhirl
  Pop $0
  ${If} $0 != "ok"
    Abort "Keywhirl is still running; nothing was installed."
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
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Keywhirl"
  CreateShortcut "$SMPROGRAMS\Keywhirl\Keywhirl.lnk" "$INSTDIR\Keywhirl.exe"
  CreateShortcut "$SMPROGRAMS\Keywhirl\Keywhirl Help.lnk" "$INSTDIR\Keywhirl.chm"
  CreateShortcut "$SMPROGRAMS\Keywhirl\Uninstall Keywhirl.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Keywhirl"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Keywhirl.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The uninstaller's own page: the settings stay unless the box is ticked.
; A silent uninstall never shows it and so keeps them.
Var RemoveSettings
Var RemoveSettingsBox

Function un.onInit
  StrCpy $RemoveSettings ${BST_UNCHECKED}
FunctionEnd

Function un.SettingsPage
  !insertmacro MUI_HEADER_TEXT "Your settings" "Choose whether your Keywhirl settings go too."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  SetShellVarContext current
  ${NSD_CreateLabel} 0 0 100% 40u "Keywhirl keeps your settings in $APPDATA\Keywhirl. They are kept, so that Keywhirl starts with them if you install it again, unless you tick the box below."
  Pop $0
  ${NSD_CreateCheckbox} 0 48u 100% 12u "&Also remove my Keywhirl settings"
  Pop $RemoveSettingsBox
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
    Abort "Keywhirl is still running; nothing was removed."
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

  SetShellVarContext all
  Delete "$SMPROGRAMS\Keywhirl\Keywhirl.lnk"
  Delete "$SMPROGRAMS\Keywhirl\Keywhirl Help.lnk"
  Delete "$SMPROGRAMS\Keywhirl\Uninstall Keywhirl.lnk"
  RMDir "$SMPROGRAMS\Keywhirl"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  SetShellVarContext current
  ${If} $RemoveSettings == ${BST_CHECKED}
  ${AndIf} $APPDATA != ""
    Delete "$APPDATA\Keywhirl\Keywhirl.ini"
    Delete "$APPDATA\Keywhirl\WeakKeys.ini"
    Delete "$APPDATA\Keywhirl\WeakKeys.ini.bad"
    Delete "$APPDATA\Keywhirl\WeakKeys.ini.tmp"
    RMDir "$APPDATA\Keywhirl"
  ${EndIf}
SectionEnd
