; The Inkwisp installer. scripts/dist.sh runs makensis with
;   /DVERSION=<version> /DCOPYRIGHT=<copyright notice> /DSTAGE=<folder with the files>
;   /DICON=<icon> /DOUTFILE=<setup exe>
; and, to sign the uninstaller and the installer, /DSIGN=<command that signs the file it is given>;
; /DX64 for the x64 program, whose installer is a 64-bit program itself: it installs into the
; 64-bit Program Files and writes the 64-bit registry view. Without it the 32-bit program goes
; where 32-bit programs go, on 64-bit Windows too (Program Files (x86), the 32-bit view).
; Everything written here is removed again by the uninstaller ("Open with", which the other
; program's install for every user shares, once that one is gone too); the user's memos,
; Settings.txt and bak (in the application-data folder, or wherever memos are saved) are never
; touched.
;
; Two scopes: every user (Program Files, HKLM, all users' Start menu; needs administrator rights)
; or the current user only (%LOCALAPPDATA%\Programs, HKCU, the user's Start menu; needs none).
; /AllUsers or /CurrentUser choose on the command line. Without either, an administrator gets the
; scope of an earlier install, else every user; anybody else installs for themselves.

!ifdef X64
    Target amd64-unicode
!else
    Unicode true
!endif
!if ${NSIS_PACKEDVERSION} < 0x03008000
    ; !uninstfinalize, and DeleteRegKey /ifempty keeping a key that has values
    !error "NSIS 3.08 or later is needed"
!endif
SetCompressor /SOLID lzma
!ifdef SIGN
    !uninstfinalize '${SIGN} "%1"' = 0
    !finalize '${SIGN} "%1"' = 0
!endif

!define APP "Inkwisp"
!define EXE "inkwisp.exe"
!define PUBLISHER "The Inkwisp developers"
; The uninstall entry's key name is the product code that package managers look for.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Inkwisp"
!define APP_KEY "Software\Classes\Applications\${EXE}"
; Exit codes of a run that changed nothing.
!define EXIT_IN_USE 32 ; ERROR_SHARING_VIOLATION: Inkwisp runs from the folder
!define EXIT_NOT_ADMIN 740 ; ERROR_ELEVATION_REQUIRED
!define EXIT_OLD_WINDOWS 1150 ; ERROR_OLD_WIN_VERSION

; "Highest": an administrator is asked to elevate; anybody else runs with their own rights and
; installs for themselves without being asked for a password.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
; The settings folder is named after the program's folder, so it is "Inkwisp" in both scopes.
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_FUNCTION UseEarlierLocation
!ifdef X64
    !define MULTIUSER_USE_PROGRAMFILES64
!endif
; The uninstaller takes its scope from its folder, not from the command line.
!define MULTIUSER_NOUNINSTALL
!include "MultiUser.nsh"
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinVer.nsh"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${APP}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${APP} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartAsLoggedOnUser
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString SectionProgram ${LANG_JAPANESE} "Inkwisp (プログラムと説明書)"
LangString SectionProgram ${LANG_ENGLISH} "Inkwisp (program and manual)"
LangString SectionDesktop ${LANG_JAPANESE} "デスクトップにショートカットを作る"
LangString SectionDesktop ${LANG_ENGLISH} "Desktop shortcut"
LangString OldWindows ${LANG_JAPANESE} "Inkwisp には Windows 7 以降が必要です。"
LangString OldWindows ${LANG_ENGLISH} "Inkwisp needs Windows 7 or later."
LangString CloseInkwisp ${LANG_JAPANESE} "Inkwisp が $INSTDIR で起動しています。Inkwisp を閉じてから [再試行] を押してください。"
LangString CloseInkwisp ${LANG_ENGLISH} "Inkwisp is running from $INSTDIR. Close Inkwisp, then choose Retry."
LangString NeedsAdmin ${LANG_JAPANESE} "すべてのユーザー用の Inkwisp を削除するには管理者の権限が必要です。"
LangString NeedsAdmin ${LANG_ENGLISH} "Removing Inkwisp for all users needs administrator rights."

!macro UseUserLanguage
    ; Japanese on a Japanese Windows, English everywhere else.
    ${If} $LANGUAGE != ${LANG_JAPANESE}
        StrCpy $LANGUAGE ${LANG_ENGLISH}
    ${EndIf}
!macroend

; The registry view of the program's own architecture, before anything is read from it.
!macro UseProgramRegistryView
    !ifdef X64
        SetRegView 64
    !endif
!macroend
; The view in which the other architecture's install for every user keeps its entry.
!ifdef X64
    !define OTHER_REGISTRY_VIEW 32
!else
    !define OTHER_REGISTRY_VIEW 64
!endif

Function .onInit
    !insertmacro UseUserLanguage
    !insertmacro UseProgramRegistryView
    ${IfNot} ${AtLeastWin7}
        MessageBox MB_OK|MB_ICONSTOP "$(OldWindows)" /SD IDOK
        SetErrorLevel ${EXIT_OLD_WINDOWS}
        Quit
    ${EndIf}
    ; Everyone's install without administrator rights: MultiUser.nsh would show its message box
    ; even in a silent run, and the run would hang; a silent run ends with the exit code instead.
    ${If} ${Silent}
        ${GetParameters} $0
        ClearErrors
        ${GetOptions} $0 "/AllUsers" $1
        ${IfNot} ${Errors}
            UserInfo::GetAccountType
            Pop $1
            ${If} $1 != "Admin"
            ${AndIf} $1 != "Power"
                SetErrorLevel ${EXIT_NOT_ADMIN}
                Quit
            ${EndIf}
        ${EndIf}
    ${EndIf}
    ; A folder given with /D wins over the scope's default.
    StrCpy $R9 $INSTDIR
    !insertmacro MULTIUSER_INIT
    ${If} $R9 != ""
        StrCpy $INSTDIR $R9
    ${EndIf}
FunctionEnd

; Called whenever the scope is set: an earlier install of that scope is updated where it is.
Function UseEarlierLocation
    ${If} $MultiUser.InstallMode == "AllUsers"
        ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${Else}
        ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${EndIf}
    ${If} $0 != ""
        StrCpy $INSTDIR $0
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro UseUserLanguage
    !insertmacro UseProgramRegistryView
    ; Each scope has its own uninstaller in its own folder: it removes what the scope whose entry
    ; names that folder wrote, and nothing of the other scope.
    UserInfo::GetAccountType
    Pop $MultiUser.Privileges
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} $0 == $INSTDIR
        StrCpy $MultiUser.InstallMode "CurrentUser"
        SetShellVarContext current
    ${ElseIf} $MultiUser.Privileges == "Admin"
    ${OrIf} $MultiUser.Privileges == "Power"
        StrCpy $MultiUser.InstallMode "AllUsers"
        SetShellVarContext all
    ${Else}
        MessageBox MB_OK|MB_ICONSTOP "$(NeedsAdmin)" /SD IDOK
        SetErrorLevel ${EXIT_NOT_ADMIN}
        Quit
    ${EndIf}
FunctionEnd

; Windows refuses to open a running program's file for writing, whatever the sharing asked for:
; that refusal means Inkwisp runs from this folder, and replacing or removing files now would
; leave half of them behind. Asked to close it, the user may retry or cancel; a silent run ends
; at once with nothing changed and the exit code saying why.
!macro WaitUntilClosed UN
Function ${UN}WaitUntilClosed
    ${Do}
        System::Call 'kernel32::CreateFileW(w "$INSTDIR\${EXE}", i 0x40000000, i 7, p 0, i 3, i 0, p 0) p .r0 ?e'
        Pop $1
        ${If} $0 P<> -1
            System::Call 'kernel32::CloseHandle(p r0)'
            Return
        ${EndIf}
        ; Any other refusal (no file yet, no rights) is not a running copy.
        ${If} $1 <> 32
            Return
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(CloseInkwisp)" /SD IDCANCEL IDRETRY retry
        SetErrorLevel ${EXIT_IN_USE}
        Quit
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro WaitUntilClosed ""
!insertmacro WaitUntilClosed "un."

; Explorer refreshes what it shows of file types' programs, the "Open with" lists among them.
!macro NotifyShell
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)' ; SHCNE_ASSOCCHANGED
!macroend

; An elevated installer must not start Inkwisp elevated: its settings and memos would go to the
; administrator's profile, and drops from Explorer would be refused. Explorer starts it as the
; logged-on user. An installer that is not elevated already runs as that user.
Function StartAsLoggedOnUser
    ${If} $MultiUser.Privileges == "Admin"
    ${OrIf} $MultiUser.Privileges == "Power"
        Exec '"$WINDIR\explorer.exe" "$INSTDIR\${EXE}"'
    ${Else}
        Exec '"$INSTDIR\${EXE}"'
    ${EndIf}
FunctionEnd

; SHCTX is HKLM for every user and HKCU for the current user, as the scope set it.
Section "!$(SectionProgram)" SecProgram
    SectionIn RO
    Call WaitUntilClosed
    SetOutPath "$INSTDIR"
    File "${STAGE}\${EXE}"
    File "${STAGE}\inkwisp.htm"
    File "${STAGE}\LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}"

    ; "Open with" for images, without taking over any extension's default program.
    WriteRegStr SHCTX "${APP_KEY}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
    WriteRegStr SHCTX "${APP_KEY}" "FriendlyAppName" "${APP}"
    !macro ImageType EXT
        WriteRegStr SHCTX "${APP_KEY}\SupportedTypes" "${EXT}" ""
        WriteRegStr SHCTX "Software\Classes\${EXT}\OpenWithList\${EXE}" "" ""
    !macroend
    !insertmacro ImageType ".png"
    !insertmacro ImageType ".jpg"
    !insertmacro ImageType ".jpeg"
    !insertmacro ImageType ".bmp"
    !insertmacro ImageType ".gif"
    !insertmacro NotifyShell

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${EXE}",0'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(SectionDesktop)" SecDesktop
    CreateShortCut "$DESKTOP\${APP}.lnk" "$INSTDIR\${EXE}"
SectionEnd

; The folder of the other architecture's install of this scope, pushed; empty when there is none
; or its program is gone. On 32-bit Windows both views are one, and the entry read is our own.
Function un.OtherProgramFolder
    SetRegView ${OTHER_REGISTRY_VIEW}
    ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    SetRegView lastused
    ${If} $0 == $INSTDIR
    ${OrIfNot} ${FileExists} "$0\${EXE}"
        StrCpy $0 ""
    ${EndIf}
    Push $0
FunctionEnd

; /ifempty (NSIS 3.08): a key goes only when it has neither subkeys nor values, so a list or an
; extension's key that holds anything of anybody else's stays.
!macro RemoveImageType EXT
    DeleteRegKey SHCTX "Software\Classes\${EXT}\OpenWithList\${EXE}"
    DeleteRegKey /ifempty SHCTX "Software\Classes\${EXT}\OpenWithList"
    DeleteRegKey /ifempty SHCTX "Software\Classes\${EXT}"
!macroend

Section "Uninstall"
    Call un.WaitUntilClosed
    Delete "$INSTDIR\${EXE}"
    Delete "$INSTDIR\inkwisp.htm"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Not /r: whatever the user keeps in the folder (memos saved there) stays, and so does it.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${APP}.lnk"
    Delete "$DESKTOP\${APP}.lnk"

    ; On 64-bit Windows 7 and later the two programs' installs for every user share "Open with"
    ; (Software\Classes is one for both registry views). Its keys are this program's only while
    ; their command names it; else the install that wrote them last is the other one, and keeps
    ; them. When they name this program and the other is still installed, they pass to it.
    ReadRegStr $0 SHCTX "${APP_KEY}\shell\open\command" ""
    StrLen $1 '"$INSTDIR\${EXE}"'
    StrCpy $0 $0 $1
    ${If} $0 == '"$INSTDIR\${EXE}"'
        Call un.OtherProgramFolder
        Pop $0
        ${If} $0 != ""
            WriteRegStr SHCTX "${APP_KEY}\shell\open\command" "" '"$0\${EXE}" "%1"'
        ${Else}
            DeleteRegKey SHCTX "${APP_KEY}"
            !insertmacro RemoveImageType ".png"
            !insertmacro RemoveImageType ".jpg"
            !insertmacro RemoveImageType ".jpeg"
            !insertmacro RemoveImageType ".bmp"
            !insertmacro RemoveImageType ".gif"
        ${EndIf}
        !insertmacro NotifyShell
    ${EndIf}
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
