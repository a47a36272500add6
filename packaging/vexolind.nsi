; The per-user installer. packaging/dist.cmake builds it with
;   makensis -DVERSION=a.b.c.d -DSTAGE=<folder with vexolind.exe, README.txt, LICENSE.txt>
;            -DOUTFILE=<setup.exe> -DPUBLISHER=<name> vexolind.nsi
; Exit codes: 0 done, 1 cancelled, 2 vexolind could not be closed (nothing was changed).

!ifndef VERSION | STAGE | OUTFILE | PUBLISHER
    !error "VERSION, STAGE, OUTFILE and PUBLISHER must be defined"
!endif

Unicode true
; The 32-bit stubs need a 32-bit Windows layer that not every system (or Wine) has.
Target amd64-unicode
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true
SetCompressor /SOLID lzma

!define APP "vexolind"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define RUNKEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define CLOSEWAIT 10000
!define EXIT_INUSE 2

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
InstallDirRegKey HKCU "${UNINSTKEY}" "InstallLocation"
; A file that cannot be written ends the install instead of being skipped.
AllowSkipFiles off
ShowInstDetails hide
ShowUninstDetails hide
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
; vexolind's own face: the kiss icon, and the side picture res/gen/makewizard.py draws. The
; uninstaller's finish page is there to show it.
!define MUI_ICON "${__FILEDIR__}\..\res\kisses.ico"
!define MUI_UNICON "${__FILEDIR__}\..\res\kisses.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}\..\res\wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}\..\res\wizard.bmp"

; The MIT licence asks for nothing to be accepted: the page informs and moves on.
!define MUI_LICENSEPAGE_TEXT_BOTTOM "${APP} is free software under the MIT licence above."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP}.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP} now"
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "${APP} will be removed. Your settings stay in %APPDATA%\${APP} \
    unless you tick the box below."
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "English"

; Ends every running vexolind as its own Exit does, then makes sure the installed exe is free.
; A copy that shows a message box before its main window exists cannot be asked to close:
; the user is told, and may retry after answering it; a silent run stops with EXIT_INUSE.
!macro CLOSEAPP un
Function ${un}closewindows
    StrCpy $R9 ""
    ${Do}
        FindWindow $R0 "${APP}" ""
        ; The window asked last is still there: it did not close in time.
        ${If} $R0 = 0
        ${OrIf} $R0 == $R9
            ${ExitDo}
        ${EndIf}
        StrCpy $R9 $R0
        System::Call 'user32::GetWindowThreadProcessId(p $R0, *i .r11)'
        System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i $R1) p .r12'
        System::Call 'user32::PostMessageW(p $R0, i ${WM_CLOSE}, p 0, p 0)'
        ${If} $R2 != 0
            System::Call 'kernel32::WaitForSingleObject(p $R2, i ${CLOSEWAIT})'
            System::Call 'kernel32::CloseHandle(p $R2)'
        ${Else}
            ; No handle to wait on: watch the window instead.
            StrCpy $R3 0
            ${DoWhile} $R3 < ${CLOSEWAIT}
                System::Call 'user32::IsWindow(p $R0) i .r14'
                ${IfThen} $R4 = 0 ${|} ${ExitDo} ${|}
                Sleep 250
                IntOp $R3 $R3 + 250
            ${Loop}
        ${EndIf}
    ${Loop}
FunctionEnd

Function ${un}exefree
    ${IfNot} ${FileExists} "$INSTDIR\${APP}.exe"
        Return
    ${EndIf}
    ${Do}
        ClearErrors
        ; A running program's image cannot be opened for writing.
        FileOpen $R0 "$INSTDIR\${APP}.exe" a
        ${IfNot} ${Errors}
            FileClose $R0
            Return
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${APP} is still running and could not be closed. \
            Answer or close its open window, then choose Retry.$\n$\n$INSTDIR\${APP}.exe is in use: nothing was changed." \
            /SD IDCANCEL IDRETRY again
        SetErrorLevel ${EXIT_INUSE}
        Quit
    again:
        Call ${un}closewindows
    ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSEAPP ""
!insertmacro CLOSEAPP "un."

Section "${APP}"
    SetShellVarContext current
    Call closewindows
    Call exefree

    SetOutPath "$INSTDIR"
    File "${STAGE}\${APP}.exe"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${APP}.exe"

    WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${APP}"
    WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$\"$INSTDIR\${APP}.exe$\",0"
    WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
    WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
    WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
    ${GetSize} "$INSTDIR" "/M=*.* /S=0K /G=0" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTKEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
SectionEnd

Section "un.${APP}" unprogram
    SectionIn RO
    SetShellVarContext current
    Call un.closewindows
    Call un.exefree

    ; By name only: /D= may have pointed at a folder that holds other files.
    Delete "$INSTDIR\${APP}.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${APP}.lnk"
    DeleteRegKey HKCU "${UNINSTKEY}"
    DeleteRegValue HKCU "${RUNKEY}" "${APP}"
    ; Only where this user may write; elsewhere it fails quietly.
    DeleteRegValue HKLM "${RUNKEY}" "${APP}"
SectionEnd

Section /o "un.Also remove my settings" unsettings
    SetShellVarContext current
    Delete "$APPDATA\${APP}\${APP}.INI"
    Delete "$APPDATA\${APP}\kisses.txt"
    Delete "$APPDATA\${APP}\kickers.txt"
    RMDir "$APPDATA\${APP}"
SectionEnd

; The name and icon Windows 10 and 11 give the toasts of vexolind's balloons (its AppUserModelID).
!define AUMIDKEY "Software\Classes\AppUserModelId\Vexolind.vexolind"
Section "-toast name"
    WriteRegStr HKCU "${AUMIDKEY}" "DisplayName" "${APP}"
    WriteRegStr HKCU "${AUMIDKEY}" "IconUri" "$INSTDIR\${APP}.exe"
SectionEnd

Section "-un.toast name"
    DeleteRegKey HKCU "${AUMIDKEY}"
SectionEnd
