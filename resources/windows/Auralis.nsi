; Installer of the Windows program, built with makensis by the build's
; Auralis_installer target (cmake/Windows.cmake), which defines:
;   PRODUCT_NAME, COMPANY_NAME, VERSION, VERSION_QUAD, EXE_FILE, EXE_NAME,
;   LICENCE_FILE, ICON_FILE, OUT_FILE, SIGN_SCRIPT, UNINSTALLER_COPY
;
; It installs the program and the font licence for all users, adds a
; Start-menu entry and an uninstaller, and creates the shared data folder
; below the common application data folder, writable by every local user.
; Silent use: "Setup.exe /S" and "Uninstall.exe /S".

Unicode true
Target amd64-unicode
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

; The uninstaller and the installer are signed as they are made, with the
; certificate the build's environment names (scripts/windows/sign.sh, which
; leaves them unsigned when none is given). The uninstaller is signed before
; it is packed into the installer, so the one the installer writes carries
; its signature; a copy of it is left at UNINSTALLER_COPY for checking.
!uninstfinalize '"${SIGN_SCRIPT}" --quiet --copy-to "${UNINSTALLER_COPY}" "${PRODUCT_NAME} Uninstall" "%1"' = 0
!finalize '"${SIGN_SCRIPT}" --quiet "${PRODUCT_NAME} Setup" "%1"' = 0

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_NAME}"
!define DATA_FOLDER "Common Files\${COMPANY_NAME}\Korvane"
!define USERS_SID "*S-1-5-32-545"

Name "${PRODUCT_NAME}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${COMPANY_NAME}\${PRODUCT_NAME}"
BrandingText "${PRODUCT_NAME} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey "CompanyName" "${COMPANY_NAME}"
VIAddVersionKey "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright ${COMPANY_NAME}"

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

;===============================================================================
Function .onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

;===============================================================================
Section "Program"
    SetOutPath "$INSTDIR"
    File "/oname=${EXE_NAME}" "${EXE_FILE}"
    File "/oname=LICENSE_FONT.txt" "${LICENCE_FILE}"

    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortCut "$SMPROGRAMS\${PRODUCT_NAME}.lnk" "$INSTDIR\${EXE_NAME}"

    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program keeps every profile in one bank that all local users share
; with the decoder plug-in, and replaces its files rather than appending to
; them, so every user needs to modify files that another user wrote. A folder
; this installer creates therefore grants Users "modify", inherited by the
; files and folders made in it. A folder that already exists keeps its
; permissions: granting inheritable rights on it would also make the files
; already in it writable by everyone.
Section "Shared data folder"
    StrCpy $0 "$APPDATA\${DATA_FOLDER}"

    ${If} ${FileExists} "$0\*.*"
        DetailPrint "Keeping the existing data folder $0"
    ${Else}
        ClearErrors
        CreateDirectory "$0"
        ${If} ${Errors}
            MessageBox MB_ICONSTOP "Could not create the data folder $0." /SD IDOK
            SetErrorLevel 2
            Abort
        ${EndIf}

        nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$0" /grant ${USERS_SID}:(OI)(CI)(M)'
        Pop $1
        ${If} $1 != 0
            MessageBox MB_ICONEXCLAMATION "Could not let every user write into $0 (icacls: $1)." /SD IDOK
            SetErrorLevel 2
        ${EndIf}
    ${EndIf}
SectionEnd

;===============================================================================
; The shared data folder stays: the decoder plug-in reads the profiles and
; HRTF data in it after this program is gone.
Section "Uninstall"
    Delete "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
    Delete "$INSTDIR\${EXE_NAME}"
    Delete "$INSTDIR\LICENSE_FONT.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    RMDir "$INSTDIR\.."

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
