; The Windows installer: Mivo.exe, its ReadMe and the marker DefSet.txt in Program Files\Mivo,
; for every user of the machine, with a Start-menu entry, an uninstaller and an entry in
; Add/Remove Programs. The user's data (application data\Varlow\Mivo) is never touched.
; makensis -DSTAGE=<folder with the three files> -DOUTFILE=<setup.exe> installer.nsi

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define NAME "Mivo"
!define VERSION "1.9"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mivo"

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${NAME}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "1.9.0.0"
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "FileDescription" "${NAME} ${VERSION} Setup"
VIAddVersionKey "FileVersion" "1.9.0.0"
VIAddVersionKey "ProductVersion" "1.9.0.0"
VIAddVersionKey "CompanyName" "Varlow"
VIAddVersionKey "LegalCopyright" "Varlow"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Mivo"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${STAGE}\Mivo.exe"
    File "${STAGE}\ReadMe.htm"
    File "${STAGE}\DefSet.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateDirectory "$SMPROGRAMS\${NAME}"
    CreateShortcut "$SMPROGRAMS\${NAME}\${NAME}.lnk" "$INSTDIR\Mivo.exe"
    CreateShortcut "$SMPROGRAMS\${NAME}\ReadMe.lnk" "$INSTDIR\ReadMe.htm"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME} ${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Varlow"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Mivo.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$INSTDIR\Mivo.exe"
    Delete "$INSTDIR\ReadMe.htm"
    Delete "$INSTDIR\DefSet.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${NAME}\${NAME}.lnk"
    Delete "$SMPROGRAMS\${NAME}\ReadMe.lnk"
    RMDir "$SMPROGRAMS\${NAME}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
