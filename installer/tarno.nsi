; Installer of the Windows program: per user, no administrator. scripts/windows.sh builds it with
;   makensis -DVERSION=x.y.z -DSTAGE=<folder> -DOUTFILE=<setup.exe> tarno.nsi
; where <folder> holds app\ (the program and its libraries), emulator\ (the emulated mouse) and the generated
; *-files.nsh lists of both.
; Silent: /S. Options: /EMULATOR installs the emulated mouse, /AUTOSTART starts the program at login; without
; /S the same two are check boxes.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh

!define PRODUCT "TARNO CONNECT"
!define EXE "TARNO_CONNECT_PC.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program writes the same value from its settings page.
!define RUN_VALUE "TARNO CONNECT"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "TradChinese"
!insertmacro MUI_LANGUAGE "English"

LangString SectionProgram ${LANG_SIMPCHINESE} "TARNO CONNECT"
LangString SectionProgram ${LANG_TRADCHINESE} "TARNO CONNECT"
LangString SectionProgram ${LANG_ENGLISH} "TARNO CONNECT"
LangString SectionAutostart ${LANG_SIMPCHINESE} "登录时启动"
LangString SectionAutostart ${LANG_TRADCHINESE} "登入時啟動"
LangString SectionAutostart ${LANG_ENGLISH} "Start at login"
LangString SectionEmulator ${LANG_SIMPCHINESE} "模拟鼠标（测试用）"
LangString SectionEmulator ${LANG_TRADCHINESE} "模擬滑鼠（測試用）"
LangString SectionEmulator ${LANG_ENGLISH} "Emulated mouse (for testing)"
LangString RemoveUserFiles ${LANG_SIMPCHINESE} "同时删除保存的颜色、语言设置和下载的更新吗？"
LangString RemoveUserFiles ${LANG_TRADCHINESE} "同時刪除儲存的顏色、語言設定和下載的更新嗎？"
LangString RemoveUserFiles ${LANG_ENGLISH} "Also remove the saved colours, the language setting and downloaded updates?"

Section "!$(SectionProgram)" SecProgram
    SectionIn RO
    !include "${STAGE}\app-files.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; Started from its shortcut, the program works in its own folder: downloads and updates land there.
    SetOutPath "$INSTDIR"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "TARNO"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(SectionAutostart)" SecAutostart
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${EXE}" --hidden'
SectionEnd

Section /o "$(SectionEmulator)" SecEmulator
    !include "${STAGE}\emulator-files.nsh"
SectionEnd

Function .onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/EMULATOR" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecEmulator}
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/AUTOSTART" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    ; Only what the installer put here; the user's own files after asking (kept in silent mode).
    !include "${STAGE}\app-unfiles.nsh"
    !include "${STAGE}\emulator-unfiles.nsh"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    MessageBox MB_YESNO|MB_ICONQUESTION "$(RemoveUserFiles)" /SD IDNO IDNO keep
        Delete "$INSTDIR\user_color.ini"
        Delete "$INSTDIR\lang_zh_cn.qm"
        Delete "$INSTDIR\TarnoConnectUpdate.txt*"
        Delete "$INSTDIR\FWUpdateContent.txt*"
        Delete "$INSTDIR\Z31_USB.bin*"
        Delete "$INSTDIR\TARNO_CONNECT_PC.zip*"
        Delete "$APPDATA\TARNO\TARNO_CONNECT.ini"
        RMDir "$APPDATA\TARNO"
    keep:
    ; Newer versions of the program that its self-update unpacked are the program, not the user's.
    Delete "$INSTDIR\TARNO_CONNECT_PC_V*.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
