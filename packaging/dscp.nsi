; The Windows installer of Dirscope: dscp.exe and dscp-report.exe into Program Files, a
; Start Menu shortcut, and an uninstaller registered in Add/Remove Programs.
;   makensis -DVERSION=3.0.0 -DARCH=win32|win64 -DSTAGE=DIR -DOUTFILE=FILE -DICON=FILE dscp.nsi
; STAGE holds the two programs. The 64-bit installer is a 64-bit program itself: it runs
; on a 64-bit Windows only, installs into the 64-bit Program Files and registers in the
; 64-bit registry view; the 32-bit one uses the 32-bit folder and view ("Program Files
; (x86)" and WOW6432Node on a 64-bit Windows), so both can be installed side by side.
;
; The installer writes the program folder, the shortcut and the uninstall key, and the
; uninstaller removes exactly those. The user's settings (HKCU\Software\Tarnwick\Dirscope,
; written by the program, never by the installer) stay. An installation over an earlier
; one goes into the earlier one's folder, after its own uninstaller has removed what it
; installed.

Unicode true

!ifndef VERSION | ARCH | STAGE | OUTFILE | ICON
  !error "define VERSION, ARCH, STAGE, OUTFILE and ICON"
!endif

!define PRODUCT "Dirscope"
!define PUBLISHER "Tarnwick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

!if "${ARCH}" == "win64"
  Target amd64-unicode
  !define BITS 64
!else if "${ARCH}" == "win32"
  Target x86-unicode
  !define BITS 32
!else
  !error "ARCH must be win32 or win64"
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include MUI2.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"
SetCompressor /SOLID lzma
!if ${BITS} == 64
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES32\${PRODUCT}"
!endif
; An earlier installation's folder, from its uninstall entry (the registry view of this
; installer's architecture: a 64-bit installer is a 64-bit process).
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} (${BITS}-bit) setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\dscp.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  !if ${BITS} == 64
    ${IfNot} ${RunningX64}
      MessageBox MB_ICONSTOP "This is the 64-bit ${PRODUCT}: it needs a 64-bit Windows." /SD IDOK
      Abort
    ${EndIf}
  !endif
  SetRegView ${BITS}
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView ${BITS}
  SetShellVarContext all
FunctionEnd

Section "Install"
  ; An earlier installation: its own uninstaller removes what it installed, in its folder
  ; and waiting for it (_?=), then goes itself.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    ExecWait '"$0\uninstall.exe" /S _?=$0'
    Delete "$0\uninstall.exe"
    RMDir "$0"
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${STAGE}\dscp.exe"
  File "${STAGE}\dscp-report.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\dscp.exe" "" "$INSTDIR\dscp.exe" 0 \
    SW_SHOWNORMAL "" "${PRODUCT} folder-size viewer"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (${BITS}-bit)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\dscp.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\dscp.exe"
  Delete "$INSTDIR\dscp-report.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Only if empty: what the user put there stays.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The uninstaller runs as a copy of itself in a folder of the user's Temp, which the
  ; system deletes at the next restart; the folder after the copy, so that it is empty.
  ${If} "$EXEDIR" != "$INSTDIR"
    RMDir /REBOOTOK "$EXEDIR"
  ${EndIf}
SectionEnd
