; The Inkwisp installer. scripts/dist.sh runs makensis with
;   /DVERSION=<version> /DSTAGE=<folder with the files> /DICON=<icon> /DOUTFILE=<setup exe>
; Everything written here is removed again by the uninstaller; the user's memos, Settings.txt and
; bak (in the application-data folder, or wherever memos are saved) are never touched.

Unicode true
!if ${NSIS_PACKEDVERSION} < 0x03008000
    !error "NSIS 3.08 or later is needed: its DeleteRegKey /ifempty keeps a key that has values"
!endif
SetCompressor /SOLID lzma
; Program Files and HKLM: an install for every user of the PC.
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define APP "Inkwisp"
!define EXE "inkwisp.exe"
!define PUBLISHER "The Inkwisp developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Inkwisp"
!define APP_KEY "Software\Classes\Applications\${EXE}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
; The settings folder is named after the program's folder, so it stays "Inkwisp".
InstallDir "$PROGRAMFILES32\Inkwisp"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${APP}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${APP} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
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

Function .onInit
    ; Japanese on a Japanese Windows, English everywhere else.
    ${If} $LANGUAGE != ${LANG_JAPANESE}
        StrCpy $LANGUAGE ${LANG_ENGLISH}
    ${EndIf}
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetShellVarContext all
FunctionEnd

Section "!$(SectionProgram)" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${STAGE}\${EXE}"
    File "${STAGE}\inkwisp.htm"
    File "${STAGE}\LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}"

    ; "Open with" for images, without taking over any extension's default program.
    WriteRegStr HKLM "${APP_KEY}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
    WriteRegStr HKLM "${APP_KEY}" "FriendlyAppName" "${APP}"
    !macro ImageType EXT
        WriteRegStr HKLM "${APP_KEY}\SupportedTypes" "${EXT}" ""
        WriteRegStr HKLM "Software\Classes\${EXT}\OpenWithList\${EXE}" "" ""
    !macroend
    !insertmacro ImageType ".png"
    !insertmacro ImageType ".jpg"
    !insertmacro ImageType ".jpeg"
    !insertmacro ImageType ".bmp"
    !insertmacro ImageType ".gif"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${EXE}",0'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(SectionDesktop)" SecDesktop
    CreateShortCut "$DESKTOP\${APP}.lnk" "$INSTDIR\${EXE}"
SectionEnd

Section "Uninstall"
    Delete "$INSTDIR\${EXE}"
    Delete "$INSTDIR\inkwisp.htm"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Not /r: whatever the user keeps in the folder (memos saved there) stays, and so does it.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${APP}.lnk"
    Delete "$DESKTOP\${APP}.lnk"

    DeleteRegKey HKLM "${APP_KEY}"
    ; /ifempty (NSIS 3.08): a key goes only when it has neither subkeys nor values,
    ; so a list or an extension's key that holds anything of anybody else's stays.
    !macro RemoveImageType EXT
        DeleteRegKey HKLM "Software\Classes\${EXT}\OpenWithList\${EXE}"
        DeleteRegKey /ifempty HKLM "Software\Classes\${EXT}\OpenWithList"
        DeleteRegKey /ifempty HKLM "Software\Classes\${EXT}"
    !macroend
    !insertmacro RemoveImageType ".png"
    !insertmacro RemoveImageType ".jpg"
    !insertmacro RemoveImageType ".jpeg"
    !insertmacro RemoveImageType ".bmp"
    !insertmacro RemoveImageType ".gif"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
