; The per-user installer. packaging/dist.cmake builds it with
;   makensis -DVERSION=a.b.c.d -DSTAGE=<folder with vexolind.exe, README.txt, LICENSE.txt>
;            -DOUTFILE=<setup.exe> -DPUBLISHER=<name> [-DSIGN=<command signing file %1 in place>]
;            vexolind.nsi
; Exit codes: 0 done, 1 cancelled, 2 nothing was changed: vexolind could not be closed, a file to
; replace is held by another program, another setup or uninstaller runs, or (uninstaller) its
; folder is not the installed one; 2 also when the uninstaller could not remove a file, and the
; install then stays recorded for a later try. Started as the record's QuietUninstallString (in
; place, with _?=) the uninstaller returns its own code instead of handing over to a copy of
; itself in %TEMP%, which returns at once.

!ifndef VERSION | STAGE | OUTFILE | PUBLISHER
    !error "VERSION, STAGE, OUTFILE and PUBLISHER must be defined"
!endif

!ifdef SIGN
    ; The uninstaller is signed as it is written into the setup, the setup once it is complete.
    !uninstfinalize '${SIGN}' = 0
    !finalize '${SIGN}' = 0
!endif

Unicode true
; The 32-bit stubs need a 32-bit Windows layer that not every system (or Wine) has.
Target amd64-unicode
RequestExecutionLevel user
ManifestSupportedOS all
ManifestDPIAware true
SetCompressor /SOLID lzma
; The wizard's picture, which the pages unpack, would carry the time of the checkout: no file
; keeps its time but those that dist.cmake staged and dated (below).
SetDateSave off

!define APP "vexolind"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define RUNKEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define CLOSEWAIT 10000
!define EXIT_UNCHANGED 2
; What the installer puts in its folder, recorded so that the uninstaller removes these alone.
!define FILES "${APP}.exe|README.txt|LICENSE.txt|${APP}.png|uninstall.exe"

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
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(vx_licence)"
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP}.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(vx_run)"
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "$(vx_removetop)"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.nospacetext
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

; NSIS's own pages in each of vexolind's languages, and ours (po/, made into this include at
; build time). Setup takes the one Windows shows its menus in, English for any other: no choice to
; make, and a silent run as before.
!include "${LANGNSH}"

; Ends every vexolind that runs from $INSTDIR as its own Exit does; a copy elsewhere (a portable
; one) is none of ours. A copy that shows a message box before its main window exists cannot be
; asked to close: the user is told, and may retry after answering it; a silent run stops with
; EXIT_UNCHANGED.
!macro CLOSEAPP un
Function ${un}closewindows
    StrCpy $R0 0
    ${Do}
        System::Call 'user32::FindWindowExW(p 0, p $R0, w "${APP}", p 0) p .r10'
        ${IfThen} $R0 = 0 ${|} ${ExitDo} ${|}
        StrCpy $R5 ""
        System::Call 'user32::GetWindowThreadProcessId(p $R0, *i .r11)'
        ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
        System::Call 'kernel32::OpenProcess(i 0x00101000, i 0, i $R1) p .r12'
        ${If} $R2 != 0
            System::Call 'kernel32::QueryFullProcessImageNameW(p $R2, i 0, w .r15, *i ${NSIS_MAX_STRLEN})'
            ${If} $R5 == "$INSTDIR\${APP}.exe"
                System::Call 'user32::PostMessageW(p $R0, i ${WM_CLOSE}, p 0, p 0)'
                System::Call 'kernel32::WaitForSingleObject(p $R2, i ${CLOSEWAIT})'
            ${EndIf}
            System::Call 'kernel32::CloseHandle(p $R2)'
        ${EndIf}
        ; A closed window leaves the list, so the search starts again; one still there is passed.
        System::Call 'user32::IsWindow(p $R0) i .r14'
        ${IfThen} $R4 = 0 ${|} StrCpy $R0 0 ${|}
    ${Loop}
FunctionEnd

; Returns once $INSTDIR\$R8 is absent or can be opened for writing.
Function ${un}filefree
    ${IfNot} ${FileExists} "$INSTDIR\$R8"
        Return
    ${EndIf}
    ${Do}
        ClearErrors
        ; A running program's image, or a file another program holds, cannot be opened for writing.
        FileOpen $R0 "$INSTDIR\$R8" a
        ${IfNot} ${Errors}
            FileClose $R0
            Return
        ${EndIf}
        ${If} $R8 == "${APP}.exe"
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(vx_running)" /SD IDCANCEL IDRETRY again
        ${Else}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(vx_fileopen)" /SD IDCANCEL IDRETRY again
        ${EndIf}
        SetErrorLevel ${EXIT_UNCHANGED}
        Quit
    again:
        Call ${un}closewindows
    ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSEAPP ""
!insertmacro CLOSEAPP "un."

; One setup or uninstaller at a time: the mutex is held until this process ends.
!macro ONEWIZARD un
Function ${un}onewizard
    System::Call 'kernel32::CreateMutexW(p 0, i 0, w "${APP}-setup") p .r0 ?e'
    Pop $1
    ; ERROR_ALREADY_EXISTS, or ERROR_ACCESS_DENIED when one with more rights (elevated) holds it
    ${If} $1 = 183
    ${OrIf} $1 = 5
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(vx_onewizard)" /SD IDOK
        SetErrorLevel ${EXIT_UNCHANGED}
        Quit
    ${EndIf}
FunctionEnd
!macroend
!insertmacro ONEWIZARD ""
!insertmacro ONEWIZARD "un."

!macro FILEFREE un name
    StrCpy $R8 "${name}"
    Call ${un}filefree
!macroend

; Sets result to 1 when root's Run value starts dir's vexolind.exe, to 0 otherwise.
!macro STARTSFROM root dir result
    ReadRegStr $R3 ${root} "${RUNKEY}" "${APP}"
    StrCpy ${result} 0
    ${If} $R3 == "$\"${dir}\${APP}.exe$\""
    ${OrIf} $R3 == "${dir}\${APP}.exe"
        StrCpy ${result} 1
    ${EndIf}
!macroend

Var runuser
Var runmachine
Var upgrading   ; the uninstaller, started by a setup that moves the install

; A folder that holds anything but the earlier install gets a vexolind folder inside it, so that
; no file of anyone else's is replaced or later removed.
Function pickdir
    ReadRegStr $R0 HKCU "${UNINSTKEY}" "InstallLocation"
    ${Do}
        ${DirState} "$INSTDIR" $R1
        ${If} $R1 != 1
        ${OrIf} $INSTDIR == $R0
            Return
        ${EndIf}
        StrCpy $INSTDIR "$INSTDIR\${APP}"
    ${Loop}
FunctionEnd

; An earlier install in another folder goes first, by its own uninstaller, which keeps the
; settings when silent; a Run value that started it will start this copy.
Function removeold
    StrCpy $runuser 0
    StrCpy $runmachine 0
    ReadRegStr $R0 HKCU "${UNINSTKEY}" "InstallLocation"
    ${If} $R0 == ""
    ${OrIf} $R0 == $INSTDIR
    ${OrIfNot} ${FileExists} "$R0\uninstall.exe"
        Return
    ${EndIf}
    !insertmacro STARTSFROM HKCU $R0 $runuser
    !insertmacro STARTSFROM HKLM $R0 $runmachine
    ; In place, so that its own exit code comes back; /upgrade: this setup holds the wizards' mutex.
    ExecWait '"$R0\uninstall.exe" /S /upgrade _?=$R0' $R1
    ${If} $R1 != 0
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(vx_earlier)" /SD IDOK
        SetErrorLevel ${EXIT_UNCHANGED}
        Quit
    ${EndIf}
    ; Run in place, an uninstaller cannot remove itself.
    Delete "$R0\uninstall.exe"
    RMDir "$R0"
FunctionEnd

Function .onInit
    Call onewizard
FunctionEnd

; Calls the function at address $9 with each name ($R8) in the install's record of its files,
; "|"-separated.
Function un.eachfile
    ReadRegStr $5 HKCU "${UNINSTKEY}" "Files"
    StrCpy $6 ""
    StrCpy $7 0
    ${Do}
        StrCpy $8 $5 1 $7
        ${If} $8 == "|"
        ${OrIf} $8 == ""
            StrCpy $R8 $6
            ${IfThen} $R8 != "" ${|} Call $9 ${|}
            ${IfThen} $8 == "" ${|} ${ExitDo} ${|}
            StrCpy $6 ""
        ${Else}
            StrCpy $6 "$6$8"
        ${EndIf}
        IntOp $7 $7 + 1
    ${Loop}
FunctionEnd

; The uninstaller is the one file that need not be free: it may be the one running.
Function un.freefile
    ${IfThen} $R8 != "uninstall.exe" ${|} Call un.filefree ${|}
FunctionEnd

; Removes a recorded file but the program and the uninstaller, which go last: until then the
; install can be removed later by its own uninstaller. $R7 names a file that stayed.
Function un.removefile
    ${If} $R8 != "${APP}.exe"
    ${AndIf} $R8 != "uninstall.exe"
        Delete "$INSTDIR\$R8"
        ${IfThen} ${FileExists} "$INSTDIR\$R8" ${|} StrCpy $R7 $R8 ${|}
    ${EndIf}
FunctionEnd

; Run in place (_?=), the uninstaller cannot delete its own file: the setup that upgrades does,
; or else a copy of it started without _?=, which NSIS runs from %TEMP%, once this one has ended.
Function un.removeself
    ${If} $EXEDIR != $INSTDIR
        Call un.deleteself
    ${ElseIf} $upgrading != 1
        System::Call 'kernel32::GetCurrentProcessId() i .r0'
        Exec '"$INSTDIR\uninstall.exe" /S /finish=$0'
    ${EndIf}
FunctionEnd

; That copy: waits for process $R1 to end, then removes the uninstaller and the folder when it
; is empty; never while the folder is still an install.
Function un.finish
    ReadRegStr $R0 HKCU "${UNINSTKEY}" "InstallLocation"
    ${If} $R0 == $INSTDIR
    ${OrIf} ${FileExists} "$INSTDIR\${APP}.exe"
        Return
    ${EndIf}
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i $R1) p .r12'
    ${If} $R2 != 0
        System::Call 'kernel32::WaitForSingleObject(p $R2, i -1)'
        System::Call 'kernel32::CloseHandle(p $R2)'
    ${EndIf}
    Call un.deleteself
FunctionEnd

; The process that handed over to this copy of the uninstaller may still be ending.
Function un.deleteself
    ${For} $R3 1 100
        Delete "$INSTDIR\uninstall.exe"
        ${IfNotThen} ${FileExists} "$INSTDIR\uninstall.exe" ${|} ${Break} ${|}
        Sleep 100
    ${Next}
    RMDir "$INSTDIR"
FunctionEnd

; An uninstall needs no space: the components page's "Space required: 0.0 KB" goes.
Function un.nospacetext
    FindWindow $0 "#32770" "" $HWNDPARENT
    GetDlgItem $0 $0 1023
    ShowWindow $0 ${SW_HIDE}
FunctionEnd

; Only the install that the uninstall record names is removed, and only by its own uninstaller:
; a copy of it anywhere else changes nothing.
Function un.onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/finish=" $R1
    ${IfNot} ${Errors}
        Call un.finish
        Quit
    ${EndIf}
    ${GetOptions} $R0 "/upgrade" $R1
    ${If} ${Errors}
        Call un.onewizard
    ${Else}
        StrCpy $upgrading 1
    ${EndIf}
    ReadRegStr $R0 HKCU "${UNINSTKEY}" "InstallLocation"
    ${If} $R0 == ""
    ${OrIf} $R0 != $INSTDIR
    ${OrIfNot} ${FileExists} "$INSTDIR\${APP}.exe"
        MessageBox MB_OK|MB_ICONSTOP "$(vx_notours)" /SD IDOK
        SetErrorLevel ${EXIT_UNCHANGED}
        Quit
    ${EndIf}
FunctionEnd

Section "${APP}"
    SetShellVarContext current
    Call pickdir
    Call closewindows
    ; Every file to be replaced is free before the first is touched, so that a refusal leaves
    ; the install as it was.
    !insertmacro FILEFREE "" "${APP}.exe"
    !insertmacro FILEFREE "" "README.txt"
    !insertmacro FILEFREE "" "LICENSE.txt"
    !insertmacro FILEFREE "" "${APP}.png"
    !insertmacro FILEFREE "" "uninstall.exe"
    Call removeold

    SetOutPath "$INSTDIR"
    ; The toasts' icon: Windows reads it from an image file, not from the program. Not staged,
    ; so it keeps no time, as the wizard's picture.
    File "${__FILEDIR__}\..\res\${APP}.png"
    SetDateSave on
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
    ; What winget runs: in place, so that the uninstaller's own exit code comes back.
    WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S _?=$INSTDIR"
    WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTKEY}" "Files" "${FILES}"
    ${GetSize} "$INSTDIR" "/M=*.* /S=0K /G=0" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTKEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
    ; A per-user program starts for its user alone: a machine-wide value of ours, which earlier
    ; builds wrote when they ran elevated, becomes the user's. The machine's goes where this
    ; user may remove it; elsewhere it stays, and both start this copy.
    !insertmacro STARTSFROM HKLM $INSTDIR $R6
    ${If} $R6 = 1
        StrCpy $runmachine 1
        DeleteRegValue HKLM "${RUNKEY}" "${APP}"
    ${EndIf}
    ${If} $runuser = 1
    ${OrIf} $runmachine = 1
        WriteRegStr HKCU "${RUNKEY}" "${APP}" "$\"$INSTDIR\${APP}.exe$\""
    ${EndIf}
SectionEnd

Section "un.${APP}" unprogram
    SectionIn RO
    SetShellVarContext current
    Call un.closewindows
    ; Every recorded file is free before the first goes, so that a refusal changes nothing.
    GetFunctionAddress $9 un.freefile
    Call un.eachfile
    StrCpy $R7 ""
    GetFunctionAddress $9 un.removefile
    Call un.eachfile
    ${If} $R7 == ""
        Delete "$INSTDIR\${APP}.exe"
        ${IfThen} ${FileExists} "$INSTDIR\${APP}.exe" ${|} StrCpy $R7 "${APP}.exe" ${|}
    ${EndIf}
    ; Something else holds a file after all (open without sharing its deletion): the record
    ; stays, with the program and the uninstaller, for a later try.
    ${If} $R7 != ""
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(vx_held)" /SD IDOK
        SetErrorLevel ${EXIT_UNCHANGED}
        Quit
    ${EndIf}
    Delete "$SMPROGRAMS\${APP}.lnk"
    DeleteRegKey HKCU "${UNINSTKEY}"
    ; Only a Run value that starts this copy: a portable one keeps its own. The machine's only
    ; where this user may write; elsewhere it fails quietly.
    !insertmacro STARTSFROM HKCU $INSTDIR $R6
    ${IfThen} $R6 = 1 ${|} DeleteRegValue HKCU "${RUNKEY}" "${APP}" ${|}
    !insertmacro STARTSFROM HKLM $INSTDIR $R6
    ${IfThen} $R6 = 1 ${|} DeleteRegValue HKLM "${RUNKEY}" "${APP}" ${|}
    Call un.removeself
SectionEnd

Section /o "un.$(vx_removesettings)" unsettings
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
    WriteRegStr HKCU "${AUMIDKEY}" "IconUri" "$INSTDIR\${APP}.png"
SectionEnd

Section "-un.toast name"
    DeleteRegKey HKCU "${AUMIDKEY}"
SectionEnd
