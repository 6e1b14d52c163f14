; The Windows installer: the VST3 bundle into the common VST3 folder, where every VST3 host looks, and the
; application and the renderer into Program Files, the factory presets where VST3 hosts look for presets
; installed for every user, with an uninstaller in the system's list of programs.
; Built by cmake/windows/Package.cmake, which defines VERSION, VENDOR, STAGE (the files), OUTFILE and
; PRESET_LIST (the preset files by name).
; A 64-bit installer, like what it installs: it needs no 32-bit Windows layer (Wine without wine32 has none).
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "VELDRANOX"
; With the shell folders of all users, $APPDATA is C:\ProgramData.
!define PRESET_DIR "$APPDATA\VST3 Presets\${VENDOR}\${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

!include "${PRESET_LIST}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${VENDOR}\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The 64-bit registry view and folders, asked for by name, whatever the installer's own view would be.
Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "VELDRANOX"
    SetOutPath "$COMMONFILES64\VST3"
    File /r "${STAGE}/${PRODUCT}.vst3"

    SetOutPath "$INSTDIR"
    File "${STAGE}/${PRODUCT}.exe"
    File "${STAGE}/veldranox-render.exe"
    File "${STAGE}/README.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PRODUCT}.exe"

    SetOutPath "${PRESET_DIR}"
    !insertmacro InstallPresets

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT}.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there: the bundle is the plug-in's own folder, everything else goes file by file,
; and a folder goes only once it is empty, so other plug-ins and anything a user added stay.
Section "Uninstall"
    RMDir /r "$COMMONFILES64\VST3\${PRODUCT}.vst3"
    RMDir "$COMMONFILES64\VST3"

    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\${PRODUCT}.exe"
    Delete "$INSTDIR\veldranox-render.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    RMDir "$INSTDIR\.."

    !insertmacro UninstallPresets
    RMDir "${PRESET_DIR}"
    RMDir "${PRESET_DIR}\.."
    RMDir "${PRESET_DIR}\..\.."

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
