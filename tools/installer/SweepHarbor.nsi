; SweepHarbor's setup program and its uninstaller (NSIS 3, Modern UI 2).
; tools/make-installer.sh passes TARGET, PROGRAMS, VERSION, FILEVERSION,
; ICON, SIDE (the finish page's picture), LICENSE and OUTFILE. The shipped
; 32-bit setup and the 64-bit one the tests run differ only in TARGET and
; PROGRAMS.
;
;   setup /S [/D=folder]                  silent install (/D last, no quotes)
;   Uninstall.exe /S [/REMOVEUSERDATA]    silent uninstall; the user's custom
;                                         plugins, cookie keep-list and settings
;                                         stay unless the switch is given

Target ${TARGET}
SetCompressor /SOLID lzma
Name "SweepHarbor"
Caption "SweepHarbor ${VERSION} Setup"
UninstallCaption "SweepHarbor ${VERSION} Uninstall"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\SweepHarbor"
RequestExecutionLevel admin
BrandingText "SweepHarbor ${VERSION}"

!define PRODUCT_KEY "SOFTWARE\SweepHarbor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\SweepHarbor"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's single-instance mapping and its tray window (class, title):
; a running copy is found and asked to end the way a second copy finds it.
!define INSTANCE_MAPPING "CInstanceChecker_MMF_SweepHarbor"
!define TRAY_CLASS "SweepHarborTrayWnd"
!define CLOSE_MESSAGE "SWEEPHARBOR_CLOSE_FOR_SETUP"

; An installed copy's folder is the default of an upgrade.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WordFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_ABORTWARNING
; The progress page stays until Next, so its details can be read.
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start SweepHarbor"
!define MUI_FINISHPAGE_RUN_FUNCTION StartForTheUser

!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${FILEVERSION}"
VIAddVersionKey "ProductName" "SweepHarbor"
VIAddVersionKey "CompanyName" "Lumivale"
VIAddVersionKey "FileDescription" "SweepHarbor Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Lumivale"

; Ends a running SweepHarbor and waits until its process is gone (its
; single-instance mapping closes with it). A copy still starting has its
; mapping before its tray window: the window is looked for again until the
; request could be sent. After 10 s the user may close it by hand and retry;
; a silent run gives up, which ends the setup.
!macro DEFINE_CLOSE_RUNNING_COPY UN
Function ${UN}CloseRunningCopy
  System::Call 'user32::RegisterWindowMessage(t "${CLOSE_MESSAGE}") i .r1'
  retry:
  StrCpy $2 0
  StrCpy $4 0  ; the request was sent
  ${Do}
    System::Call 'kernel32::OpenFileMapping(i 4, i 0, t "${INSTANCE_MAPPING}") p .r3'
    ${If} $3 = 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r3)'
    ${If} $4 = 0
      FindWindow $0 "${TRAY_CLASS}" "SweepHarbor"
      ${If} $0 <> 0
        SendMessage $0 $1 0 0 /TIMEOUT=5000
        StrCpy $4 1
      ${EndIf}
    ${EndIf}
    ${If} $2 >= 100
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "SweepHarbor is still running and could not be closed.$\nClose it, then click Retry." /SD IDCANCEL IDRETRY retry
      DetailPrint "SweepHarbor is still running: nothing was changed."
      Abort
    ${EndIf}
    Sleep 100
    IntOp $2 $2 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_RUNNING_COPY ""
!insertmacro DEFINE_CLOSE_RUNNING_COPY "un."

; Started by the shell, the program runs as the signed-in user: started
; from here it would have the setup's administrator rights.
Function StartForTheUser
  SetOutPath "$INSTDIR\Data"
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\SweepHarbor.exe"'
FunctionEnd

Function .onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} $0 "${VERSION}" $1
    ${If} $1 = 1
      MessageBox MB_YESNO|MB_ICONQUESTION "SweepHarbor $0 is installed, which is newer than this setup's ${VERSION}.$\nInstall ${VERSION} over it?" /SD IDNO IDYES +2
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "SweepHarbor"
  SectionIn RO
  Call CloseRunningCopy

  SetOutPath "$INSTDIR"
  File "${PROGRAMS}\SweepHarbor.exe"
  File "${PROGRAMS}\swhclean.exe"
  File "/oname=License.txt" "${LICENSE}"

  ; The data folder is a folder of its own: the program stores the user's
  ; choices in it while it runs without administrator rights, and only this
  ; folder is opened to the Users group, never the programs' folder.
  CreateDirectory "$INSTDIR\Data"
  WriteRegStr HKCU "${PRODUCT_KEY}" "path" "$INSTDIR\Data"

  ; The new lists go in through swhclean, which carries the choices of an
  ; installed copy's lists over by name; the custom plugins and the cookie
  ; keep-list are never touched.
  InitPluginsDir
  SetOutPath "$PLUGINSDIR\lists"
  File "${PROGRAMS}\data\Splst.swh"
  File "${PROGRAMS}\data\Plglst.swh"
  SetOutPath "$INSTDIR\Data"
  nsExec::ExecToLog '"$INSTDIR\swhclean.exe" --setup-data "$PLUGINSDIR\lists"'
  Pop $0
  ${If} $0 != 0
    ; Whatever failed, the program must find lists to start with.
    DetailPrint "swhclean --setup-data ended with $0"
    ${IfNot} ${FileExists} "$INSTDIR\Data\Splst.swh"
      CopyFiles /SILENT "$PLUGINSDIR\lists\Splst.swh" "$INSTDIR\Data"
    ${EndIf}
    ${IfNot} ${FileExists} "$INSTDIR\Data\Plglst.swh"
      CopyFiles /SILENT "$PLUGINSDIR\lists\Plglst.swh" "$INSTDIR\Data"
    ${EndIf}
  ${EndIf}

  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Shortcuts start in the data folder, where a run's log folder would be.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\SweepHarbor"
  CreateShortCut "$SMPROGRAMS\SweepHarbor\SweepHarbor.lnk" "$INSTDIR\SweepHarbor.exe" "" "$INSTDIR\SweepHarbor.exe" 0
  CreateShortCut "$SMPROGRAMS\SweepHarbor\Uninstall SweepHarbor.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "SweepHarbor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Lumivale"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\SweepHarbor.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Var KeepUserData

Function un.onInit
  StrCpy $KeepUserData 1
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEUSERDATA" $1
  ${IfNot} ${Errors}
    StrCpy $KeepUserData 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningCopy

  ${If} $KeepUserData = 1
    MessageBox MB_YESNO|MB_ICONQUESTION "Keep your custom plugins, the cookies you chose to keep and your SweepHarbor settings?$\n$\nYes keeps them for a later installation; No removes them too." /SD IDYES IDYES +2
    StrCpy $KeepUserData 0
  ${EndIf}

  ; Only what the setup put here, by name: a file the user added to these
  ; folders stays, and so do the folders then.
  Delete "$INSTDIR\SweepHarbor.exe"
  Delete "$INSTDIR\swhclean.exe"
  Delete "$INSTDIR\License.txt"
  Delete "$INSTDIR\Data\Splst.swh"
  Delete "$INSTDIR\Data\Plglst.swh"
  ${If} $KeepUserData = 0
    Delete "$INSTDIR\Data\CutmPlg.swh"
    Delete "$INSTDIR\Data\Igckies.swh"
    Delete "$INSTDIR\Data\logs\*,*,*(*,*,*).txt"
    RMDir "$INSTDIR\Data\logs"
    DeleteRegKey HKCU "${PRODUCT_KEY}"
  ${EndIf}
  RMDir "$INSTDIR\Data"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\SweepHarbor\SweepHarbor.lnk"
  Delete "$SMPROGRAMS\SweepHarbor\Uninstall SweepHarbor.lnk"
  RMDir "$SMPROGRAMS\SweepHarbor"
  DeleteRegValue HKCU "${RUN_KEY}" "SweepHarbor"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
