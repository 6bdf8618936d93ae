; The Windows installer of Тиволан, made by scripts/build-windows with
; Debian's makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DFILES=<files.nsh>
;            -DICON=<tivolan.ico> -DOUTFILE=<setup.exe> tivolan.nsi
; FILES installs the program as it runs (tivolan.exe, the DLLs it loads, ...)
; as File lines, FILES.uninstall removes them as Delete lines, so that
; the uninstaller removes exactly what was installed.
;
; Without administrator rights it installs for the current user into
; %LOCALAPPDATA%\Programs\Тиволан (HKCU); run as administrator, for all users
; into Program Files (HKLM). Neither the user's settings
; (HKCU\Software\Stelmark\Zentavo) nor the user's files are touched by the
; uninstaller. /S installs and uninstalls without a question; /CURRENTUSER
; installs for the current user only, also for an administrator.

; A 64-bit installer for a 64-bit program (Wine's wine64 runs only these).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!define PRODUCT "Тиволан"
!define PUBLISHER "Stelmark"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tivolan"
!define FILE_TYPE "Tivolan.Configuration"
; The mark a running window holds (kRunningMark in src/platform/Platform.h).
!define RUNNING_MARK "Global\Stelmark.Tivolan.Running"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1049 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1049 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка программы ${PRODUCT}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1049 "LegalCopyright" "MIT; Qt: LGPL-3.0"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tivolan.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Запустить ${PRODUCT}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Var AllUsers

; Administrators install for everyone, other users for themselves; an
; administrator who wants it for himself alone gives /CURRENTUSER.
!macro ChooseUsers
  UserInfo::GetAccountType
  Pop $0
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/CURRENTUSER" $2
  ${IfNot} ${Errors}
    StrCpy $0 "User"
  ${EndIf}
  ${If} $0 == "Admin"
    StrCpy $AllUsers 1
    SetShellVarContext all
  ${Else}
    StrCpy $AllUsers 0
    SetShellVarContext current
  ${EndIf}
  SetRegView 64
!macroend

; A replaced or removed program must not be running: its files are in use.
!macro RefuseWhileRunning
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MARK}") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} запущен. Закройте программу и повторите." /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro ChooseUsers
  !insertmacro RefuseWhileRunning
  ${If} $AllUsers == 1
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${Else}
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tivolan.exe" "" "$INSTDIR\tivolan.exe" 0

  ; ".cf8" files open in the program and show its icon.
  WriteRegStr SHCTX "Software\Classes\.cf8" "" "${FILE_TYPE}"
  WriteRegStr SHCTX "Software\Classes\${FILE_TYPE}" "" "Конфигурация прибора (${PRODUCT})"
  WriteRegStr SHCTX "Software\Classes\${FILE_TYPE}\DefaultIcon" "" '"$INSTDIR\tivolan.exe",0'
  WriteRegStr SHCTX "Software\Classes\${FILE_TYPE}\shell\open\command" "" '"$INSTDIR\tivolan.exe" "%1"'

  ; Programs and Features.
  ${If} $AllUsers == 1
    StrCpy $0 "/ALLUSERS"
  ${Else}
    StrCpy $0 "/CURRENTUSER"
  ${EndIf}
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\tivolan.exe",0'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" $0'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" $0 /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1

  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'  ; SHCNE_ASSOCCHANGED
SectionEnd

; The uninstaller is told whose installation it removes; removing one made
; for all users takes an administrator.
Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${If} ${Errors}
    StrCpy $AllUsers 0
    SetShellVarContext current
  ${Else}
    StrCpy $AllUsers 1
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} установлен для всех пользователей: удалить его может администратор." /SD IDOK
      SetErrorLevel 4
      Quit
    ${EndIf}
  ${EndIf}
  SetRegView 64
  !insertmacro RefuseWhileRunning
FunctionEnd

Section "Uninstall"
  ; Exactly the files installed; a folder left with files of the user's stays.
  !include "${FILES}.uninstall"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The user's programs folder, made by the installation when it was not there.
  ${If} $AllUsers == 0
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; The file type only while it is still the program's.
  ReadRegStr $0 SHCTX "Software\Classes\.cf8" ""
  ${If} $0 == "${FILE_TYPE}"
    DeleteRegKey SHCTX "Software\Classes\.cf8"
  ${EndIf}
  DeleteRegKey SHCTX "Software\Classes\${FILE_TYPE}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
