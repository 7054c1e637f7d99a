; The Tarnwell installer, one per architecture. packaging/package.sh runs
;   makensis -DARCH=win64|win32 -DVERSION=1.0.1 -DSTAGE=<installed folder>
;            -DLISTS=<folder of files.nsh/unfiles.nsh> -DICON=<.ico>
;            -DSIZE_KB=<installed size> -DOUTFILE=<setup.exe>
; It installs into Program Files, adds a Start menu entry and an entry in
; Add/Remove Programs. The uninstaller removes exactly the files it put
; there, and the compiled conversions the program cached for the user who
; uninstalls (%LOCALAPPDATA%\Quorvane\Tarnwell\Conversions), but never the
; user's settings (%APPDATA%\Quorvane\Tarnwell).

!if "${ARCH}" == "win64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "Tarnwell"
!define PUBLISHER "Quorvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwell"
; Explorer's context menu: two verbs for each kind of file the program
; queues from a folder (the list in pages/FileDrop.cpp) and two for folders.
!define FILE_VERBS "Software\Classes\SystemFileAssociations"
!define DIR_VERBS "Software\Classes\Directory\shell"
!define VERB_S2T "Tarnwell.ToTraditional"
!define VERB_T2S "Tarnwell.ToSimplified"
; "Start with Windows" (the settings dialog): the current user's Run value.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tarnwell"

; One verb: its caption, the program's icon, any number of selected items
; (each starts the program, which hands its files to the first one), and
; the command with the page's switch.
!macro TarnwellVerb ROOT VERB CAPTION SWITCH
  WriteRegStr HKLM "${ROOT}\${VERB}" "MUIVerb" "${CAPTION}"
  WriteRegStr HKLM "${ROOT}\${VERB}" "Icon" '"$INSTDIR\tarnwell.exe",0'
  WriteRegStr HKLM "${ROOT}\${VERB}" "MultiSelectModel" "Player"
  WriteRegStr HKLM "${ROOT}\${VERB}\command" "" '"$INSTDIR\tarnwell.exe" ${SWITCH} "%1"'
!macroend

; Runs MACRO for each extension of a text or subtitle file.
!macro ForEachTextExtension MACRO
  !insertmacro ${MACRO} ".txt"
  !insertmacro ${MACRO} ".text"
  !insertmacro ${MACRO} ".log"
  !insertmacro ${MACRO} ".htm"
  !insertmacro ${MACRO} ".html"
  !insertmacro ${MACRO} ".xhtml"
  !insertmacro ${MACRO} ".xml"
  !insertmacro ${MACRO} ".json"
  !insertmacro ${MACRO} ".csv"
  !insertmacro ${MACRO} ".tsv"
  !insertmacro ${MACRO} ".ini"
  !insertmacro ${MACRO} ".md"
  !insertmacro ${MACRO} ".srt"
  !insertmacro ${MACRO} ".ass"
  !insertmacro ${MACRO} ".ssa"
  !insertmacro ${MACRO} ".vtt"
  !insertmacro ${MACRO} ".lrc"
  !insertmacro ${MACRO} ".sub"
!macroend
!macro AddFileVerbs EXT
  !insertmacro TarnwellVerb "${FILE_VERBS}\${EXT}\shell" "${VERB_S2T}" "用 Tarnwell 转为繁体" "/s2t"
  !insertmacro TarnwellVerb "${FILE_VERBS}\${EXT}\shell" "${VERB_T2S}" "用 Tarnwell 转为简体" "/t2s"
!macroend
!macro RemoveFileVerbs EXT
  DeleteRegKey HKLM "${FILE_VERBS}\${EXT}\shell\${VERB_S2T}"
  DeleteRegKey HKLM "${FILE_VERBS}\${EXT}\shell\${VERB_T2S}"
!macroend

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
!if "${ARCH}" == "win64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarnwell.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
!if "${ARCH}" == "win64"
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "此版本需要 64 位 Windows，请使用 32 位安装程序。" /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
!endif
FunctionEnd

Function un.onInit
!if "${ARCH}" == "win64"
  SetRegView 64
!endif
FunctionEnd

Section "Tarnwell"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !include "${LISTS}\files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\tarnwell.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} 简繁转换 ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwell.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}

  !insertmacro ForEachTextExtension AddFileVerbs
  !insertmacro TarnwellVerb "${DIR_VERBS}" "${VERB_S2T}" "用 Tarnwell 转为繁体" "/s2t"
  !insertmacro TarnwellVerb "${DIR_VERBS}" "${VERB_T2S}" "用 Tarnwell 转为简体" "/t2s"

  ; The installer adds no Run value; one the program added for a copy in
  ; another folder now starts this one, so that none is left pointing at
  ; a program that is gone.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 != ""
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\tarnwell.exe"'
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  ; The context menu's verbs first, so that they never start missing files;
  ; only our own keys go.
  !insertmacro ForEachTextExtension RemoveFileVerbs
  DeleteRegKey HKLM "${DIR_VERBS}\${VERB_S2T}"
  DeleteRegKey HKLM "${DIR_VERBS}\${VERB_T2S}"
  ; "Start with Windows" would start a program that is gone.
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ; The Start menu entry first, so that it never points at missing files.
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  ; Only what the installer put there; the settings file stays.
  !include "${LISTS}\unfiles.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The compiled conversions the program keeps for the user who removes it:
  ; a cache, made again by any later copy. Only its own files; a folder
  ; goes only when empty.
  SetShellVarContext current
  ${If} $LOCALAPPDATA != ""
    Delete "$LOCALAPPDATA\Quorvane\Tarnwell\Conversions\*.image"
    Delete "$LOCALAPPDATA\Quorvane\Tarnwell\Conversions\*.image.*"
    RMDir "$LOCALAPPDATA\Quorvane\Tarnwell\Conversions"
    RMDir "$LOCALAPPDATA\Quorvane\Tarnwell"
    RMDir "$LOCALAPPDATA\Quorvane"
  ${EndIf}
  SetShellVarContext all
  ; Last, once the files are gone: the entry in Add/Remove Programs.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
