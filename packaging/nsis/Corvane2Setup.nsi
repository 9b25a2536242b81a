; Example installer for Corvane2's integration: it installs CXAddinReg.exe with the product's files,
; runs the install sequence that docs/installers.md recommends, checks every exit code, and its
; uninstaller runs the reverse. Build it with NSIS 3 (Debian: package nsis), on Linux or Windows:
;
;   makensis -DTOOL_DIR=<layout> -DPRODUCT_DIR=<files> -DVERSION=<x.y.z> -DOUTFILE=<setup.exe> Corvane2Setup.nsi
;
; TOOL_DIR is the release layout that `cmake --install` makes (CXAddinReg.exe and its locale folder);
; PRODUCT_DIR holds the product's files that the tool expects beside it: Corvane.exe, CVWordAddin2.dll,
; x64\CVWordAddin2.dll (the add-in library for a 64-bit Word), CVOOAddin.oxt and the BrowserExt folder.
; Every run of the tool, with its exit code, is logged to "<install folder>\Logs\Corvane2 setup.log", the
; tool's own steps beside it; a code the sequence does not expect makes the installer's own exit code 2.
; Silent: setup.exe /S [/D=<folder>], Uninstall.exe /S.

Unicode true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef TOOL_DIR | PRODUCT_DIR | VERSION | OUTFILE
  !error "Give TOOL_DIR, PRODUCT_DIR, VERSION and OUTFILE with -D (see the head of this file)"
!endif

!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "Corvane2"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The logs lie where only administrators can write (the install folder, under Program Files): the
; installer and the tool run elevated, and in a folder that the user's programs can write, such as
; $TEMP, any of them could plant a link at a log's name and turn the elevated writes into writes of
; another file.
!define CX_LOG_DIR "$INSTDIR\Logs"
!define CX_LOG "${CX_LOG_DIR}\${PRODUCT} setup.log"
; Switches given to every run of the tool, before the step's own: no message box (it would wait for a
; click in a silent install) and a time limit, and the tool's own log of every step.
!define CX_COMMON_SWITCHES '/qu "/lo${CX_LOG_DIR}\CXAddinReg.log"'

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"

; The installer's language picks the captions of the browser entries: the tool ships de and zh_CN; any
; other code, such as en, gives the English captions.
LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\German.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"
LangString CxCaptionLanguage ${LANG_ENGLISH} "en"
LangString CxCaptionLanguage ${LANG_GERMAN} "de"
LangString CxCaptionLanguage ${LANG_SIMPCHINESE} "zh_CN"

Var CxSwitches  ; the switches of the next run
Var CxCode      ; its exit code as NSIS reads it: text, "-2" for -2 (4294967294 unsigned)
Var CxFailed    ; not empty once a code was not one the sequence expects
Var WordFound   ; the probes' codes: 0 present, 1 missing
Var WpsFound
Var WriterFound

; One set of helpers for the installer and one, prefixed "un.", for the uninstaller.
!macro CX_HELPERS UN
  ; Appends a line to the log.
  Function ${UN}CxLog
    Exch $0
    Push $1
    FileOpen $1 "${CX_LOG}" a
    FileSeek $1 0 END
    FileWrite $1 "$0$\r$\n"
    FileClose $1
    Pop $1
    Pop $0
  FunctionEnd

  ; Runs the tool with $CxSwitches and waits for it; the code lands in $CxCode.
  Function ${UN}CxRun
    ClearErrors
    ExecWait '"$INSTDIR\CXAddinReg.exe" ${CX_COMMON_SWITCHES} $CxSwitches' $CxCode
    ; Compare codes as text: an integer comparison would take "not started" for 0.
    ${If} ${Errors}
      StrCpy $CxCode "not started"
    ${EndIf}
    Push "CXAddinReg $CxSwitches -> $CxCode"
    Call ${UN}CxLog
  FunctionEnd

  Function ${UN}CxUnexpected
    StrCpy $CxFailed "yes"
    Push "  unexpected: $CxCode"
    Call ${UN}CxLog
  FunctionEnd
!macroend
!insertmacro CX_HELPERS ""
!insertmacro CX_HELPERS "un."

!macro CX_RUN UN SWITCHES
  StrCpy $CxSwitches `${SWITCHES}`
  Call ${UN}CxRun
!macroend
!define CxRun `!insertmacro CX_RUN ""`
!define UnCxRun `!insertmacro CX_RUN "un."`

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  File "${TOOL_DIR}\CXAddinReg.exe"
  File /r "${TOOL_DIR}\locale"
  File "${PRODUCT_DIR}\Corvane.exe"
  File "${PRODUCT_DIR}\CVWordAddin2.dll"
  File "${PRODUCT_DIR}\CVOOAddin.oxt"
  File /r "${PRODUCT_DIR}\BrowserExt"
  ; Both builds of the add-in library, on every Windows: "wi" registers the one the installed Word can
  ; load, and the other too where Windows can run it, so that a later change of Office's bitness works.
  SetOutPath "$INSTDIR\x64"
  File "${PRODUCT_DIR}\x64\CVWordAddin2.dll"
  SetOutPath "$INSTDIR"
  CreateDirectory "${CX_LOG_DIR}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  Push "install ${VERSION}"
  Call CxLog

  ; The probes first: "pi" writes WPS's key and "oi" the PATH entry whether their host is there or not.
  ${CxRun} "/wv"
  StrCpy $WordFound $CxCode
  ${CxRun} "/pv"
  StrCpy $WpsFound $CxCode
  ${CxRun} "/ov"
  StrCpy $WriterFound $CxCode

  ; The main application's server goes with the Word add-in: "ni" never ends a run, "wi" reports.
  ${If} $WordFound == 0
    ${CxRun} "/ni /wi"
    ${If} $CxCode == 2
      MessageBox MB_OK|MB_ICONINFORMATION "Restart Microsoft Word to load the ${PRODUCT} add-in." /SD IDOK
    ${ElseIf} $CxCode != 0
      Call CxUnexpected
    ${EndIf}
  ${Else}
    ; Without Word, "ni" alone registers the server; such a run always ends with -2.
    ${CxRun} "/ni"
    ${If} $CxCode != -2
      Call CxUnexpected
    ${EndIf}
  ${EndIf}

  ${If} $WpsFound == 0
    ${CxRun} "/pi"
    ${If} $CxCode != 0
      Call CxUnexpected
    ${EndIf}
  ${EndIf}

  ${If} $WriterFound == 0
    ${CxRun} "/oi"
    ${If} $CxCode == 1
    ${OrIf} $CxCode == -2
      ; The PATH entry was made before the package tool failed or the time limit passed: take it back.
      Call CxUnexpected
      ${CxRun} "/ou"
    ${ElseIf} $CxCode != 0
    ${AndIf} $CxCode != 2
      Call CxUnexpected
    ${EndIf}
  ${EndIf}

  ${CxRun} "/ei$(CxCaptionLanguage)"
  ${If} $CxCode != 0
    Call CxUnexpected
  ${EndIf}

  ${If} $CxFailed != ""
    SetErrorLevel 2
  ${EndIf}
  Push "install finished"
  Call CxLog
SectionEnd

Section "Uninstall"
  Push "uninstall"
  Call un.CxLog
  ; The reverse of the install. "eu", "ou" and "pu" run whatever the probes would say now: a host may
  ; be gone since, and each still takes back what is ours.
  ${UnCxRun} "/eu"
  ${If} $CxCode != 0
    Call un.CxUnexpected
  ${EndIf}

  ; 1: the package tool is gone; the PATH entry was removed before the tool looked for it.
  ${UnCxRun} "/ou"
  ${If} $CxCode != 0
  ${AndIf} $CxCode != 1
  ${AndIf} $CxCode != 2
    Call un.CxUnexpected
  ${EndIf}

  ; 1: the key was not there (WPS was missing at install), or could not be removed.
  ${UnCxRun} "/pu"
  ${If} $CxCode != 0
  ${AndIf} $CxCode != 1
    Call un.CxUnexpected
  ${EndIf}

  ; The add-in goes before the server it talks to, as in two runs: "nu" with "wu" would come first.
  ${UnCxRun} "/wu"
  ${If} $CxCode == 1
    ; Word is gone, and the tool left both builds of the add-in library registered: unregister them here.
    ClearErrors
    UnRegDLL "$INSTDIR\CVWordAddin2.dll"
    ${If} ${Errors}
      StrCpy $CxCode "UnRegDLL failed"
      Call un.CxUnexpected
    ${Else}
      Push "UnRegDLL CVWordAddin2.dll"
      Call un.CxLog
    ${EndIf}
    ; This 32-bit uninstaller cannot load the 64-bit build; the 64-bit regsvr32 can.
    ${If} ${RunningX64}
      ClearErrors
      ExecWait '"$WINDIR\Sysnative\regsvr32.exe" /s /u "$INSTDIR\x64\CVWordAddin2.dll"' $CxCode
      ${If} ${Errors}
        StrCpy $CxCode "regsvr32 not started"
      ${EndIf}
      ${If} $CxCode == 0
        Push "regsvr32 /u x64\CVWordAddin2.dll"
        Call un.CxLog
      ${Else}
        Call un.CxUnexpected
      ${EndIf}
    ${EndIf}
  ${ElseIf} $CxCode != 0
    Call un.CxUnexpected
  ${EndIf}

  ${UnCxRun} "/nu"
  ${If} $CxCode != -2
    Call un.CxUnexpected
  ${EndIf}

  Delete "$INSTDIR\CXAddinReg.exe"
  RMDir /r "$INSTDIR\locale"
  Delete "$INSTDIR\Corvane.exe"
  Delete "$INSTDIR\CVWordAddin2.dll"
  Delete "$INSTDIR\x64\CVWordAddin2.dll"
  RMDir "$INSTDIR\x64"
  Delete "$INSTDIR\CVOOAddin.oxt"
  RMDir /r "$INSTDIR\BrowserExt"
  Delete "$INSTDIR\Uninstall.exe"
  ; The logs stay, and with them the install folder.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${If} $CxFailed != ""
    SetErrorLevel 2
  ${EndIf}
  Push "uninstall finished"
  Call un.CxLog
SectionEnd
