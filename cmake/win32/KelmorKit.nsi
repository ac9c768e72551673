; The setup program of the Kelmor compatibility kit for Windows. It installs
; the application folder for the current user, without administrator rights,
; into a folder that user can write (the launchers write dosbox.conf and the
; kit's data into their own folder, which Program Files does not allow):
; the four programs, TEST.FUJ, README.txt, SAVEGAME and the folders the kit's
; installation copies into. It adds Start-menu shortcuts named by the
; programs' titles and an entry in the user's Programs and Features. When
; DOSBox is installed it offers to copy DOSBox.exe and its DLLs into the
; folder; the silent install (/S) copies them.
;
; The uninstaller removes what the installer brought (the DOSBox files it
; copied included) and the folders it made that are still empty; it keeps
; SAVEGAME, the files the kit launcher installed and dosbox.conf.
;
;   makensis -DVERSION=1.0.0 -DLAYOUT=<layout.nsh> -DSTAGE=<staged folder>
;            -DOUTFILE=<setup.exe> KelmorKit.nsi
; The layout (made by Win32Release.cmake) names the files, the folders and
; the shortcuts.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware false

!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include x64.nsh
!include MUI2.nsh
!include "${LAYOUT}"

!define PRODUCT "Kelmor Kit"
!define KIT_KEY "Software\Kelmor Kit"
!define COPIED_KEY "${KIT_KEY}\Copied files"
!define WINDOWS_UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINSTALL_KEY "${WINDOWS_UNINSTALL}\KelmorKit"
!define UNINSTALLER "Uninstall.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${KIT_KEY}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey FileDescription "${PRODUCT} ${VERSION} setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey LegalCopyright "The Kelmor Kit developers"

Var DOSBoxFolder  ; where an installed DOSBox was found, or empty
Var CopyDOSBox    ; 1: copy DOSBox.exe and its DLLs into the kit's folder
Var DOSBoxBox

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, the programs that start Kelmor and the Kelmor Plix kit from their CDs under DOSBox, for you alone.$\r$\n$\r$\nNo administrator rights are needed."
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "The launchers write their DOSBox settings and the kit's files into their own folder, so it must be a folder you can write to, not Program Files."
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolder
!insertmacro MUI_PAGE_DIRECTORY
Page custom DOSBoxPage DOSBoxPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed in $INSTDIR.$\r$\n$\r$\nThe launchers find Kelmor's CD in a CD drive, or a CD image copied into that folder: an .iso file, or a .cue file with its .bin files. No virtual drive program is needed."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; --- finding an installed DOSBox ---------------------------------------------

; Takes a folder from the stack; it becomes DOSBoxFolder when none was found
; yet and it holds DOSBox.exe.
Function TryDOSBoxFolder
  Exch $R9
  ${If} $DOSBoxFolder == ""
  ${AndIf} $R9 != ""
    ${If} ${FileExists} "$R9\DOSBox.exe"
      StrCpy $DOSBoxFolder $R9
    ${EndIf}
  ${EndIf}
  Pop $R9
FunctionEnd

; Takes a program path from the stack, quoted or not, perhaps followed by its
; arguments or an icon index ("...\uninstall.exe" /S, ...\DOSBox.exe,0), and
; tries the folder that holds the program.
Function TryDOSBoxProgramFolder
  Exch $R8
  Push $R7
  StrCpy $R7 $R8 1
  ${If} $R7 == '"'
    StrCpy $R8 $R8 "" 1
    StrCpy $R7 0
    ${Do}
      StrCpy $R6 $R8 1 $R7
      ${IfThen} $R6 == '"' ${|} ${ExitDo} ${|}
      ${IfThen} $R6 == "" ${|} ${ExitDo} ${|}
      IntOp $R7 $R7 + 1
    ${Loop}
    StrCpy $R8 $R8 $R7
  ${EndIf}
  ${GetParent} $R8 $R8
  Push $R8
  Call TryDOSBoxFolder
  Pop $R7
  Pop $R8
FunctionEnd

; The uninstall entries below ROOT whose key or display name begins with
; "DOSBox": the folder each names (InstallLocation, or the folder of its
; uninstaller or its icon).
!macro DOSBoxFromUninstallEntries ROOT
  StrCpy $R0 0
  ${Do}
    ${IfThen} $DOSBoxFolder != "" ${|} ${ExitDo} ${|}
    ClearErrors
    EnumRegKey $R1 ${ROOT} "${WINDOWS_UNINSTALL}" $R0
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    IntOp $R0 $R0 + 1
    ReadRegStr $R2 ${ROOT} "${WINDOWS_UNINSTALL}\$R1" "DisplayName"
    StrCpy $R3 $R1 6
    StrCpy $R4 $R2 6
    ${If} $R3 == "DOSBox"
    ${OrIf} $R4 == "DOSBox"
      ReadRegStr $R5 ${ROOT} "${WINDOWS_UNINSTALL}\$R1" "InstallLocation"
      StrCpy $R6 $R5 "" -1
      ${IfThen} $R6 == "\" ${|} StrCpy $R5 $R5 -1 ${|}
      Push $R5
      Call TryDOSBoxFolder
      ReadRegStr $R5 ${ROOT} "${WINDOWS_UNINSTALL}\$R1" "UninstallString"
      Push $R5
      Call TryDOSBoxProgramFolder
      ReadRegStr $R5 ${ROOT} "${WINDOWS_UNINSTALL}\$R1" "DisplayIcon"
      Push $R5
      Call TryDOSBoxProgramFolder
    ${EndIf}
  ${Loop}
!macroend

; The folders named DOSBox... in FOLDER ("DOSBox-0.74-3", "DOSBox Staging").
!macro DOSBoxInFolder FOLDER
  ${If} $DOSBoxFolder == ""
    FindFirst $R0 $R1 "${FOLDER}\DOSBox*"
    ${DoWhile} $R1 != ""
      Push "${FOLDER}\$R1"
      Call TryDOSBoxFolder
      FindNext $R0 $R1
    ${Loop}
    FindClose $R0
  ${EndIf}
!macroend

; An installed DOSBox: by the uninstall entries (the user's, then the
; machine's in both registry views: a 32-bit DOSBox's entry is in the 32-bit
; view, which a 64-bit setup program must ask for), else in its usual
; folders.
Function FindDOSBox
  StrCpy $DOSBoxFolder ""
  !insertmacro DOSBoxFromUninstallEntries HKCU
  SetRegView 32
  !insertmacro DOSBoxFromUninstallEntries HKLM
  ${If} ${RunningX64}
    SetRegView 64
    !insertmacro DOSBoxFromUninstallEntries HKLM
  ${EndIf}
  SetRegView default
  !insertmacro DOSBoxInFolder "$PROGRAMFILES32"
  ${If} ${RunningX64}
    !insertmacro DOSBoxInFolder "$PROGRAMFILES64"
  ${EndIf}
  !insertmacro DOSBoxInFolder "$LOCALAPPDATA\Programs"
FunctionEnd

; The launchers write dosbox.conf, which names their folder, as 8-bit text in
; the ANSI code page: $0 becomes 1 when that page holds every character of
; $INSTDIR, else 0; $3 is the code page.
Function FolderFitsCodePage
  System::Call 'kernel32::GetACP() i .r3'
  StrCpy $0 1
  ${IfThen} $3 == 65001 ${|} Return ${|}  ; UTF-8 holds every character
  StrCpy $1 0
  StrCpy $4 $INSTDIR
  ; WC_NO_BEST_FIT_CHARS: no look-alike stands in for a missing character.
  System::Call 'kernel32::WideCharToMultiByte(i 0, i 0x400, w r4, i -1, p 0, i 0, p 0, *i 0 r1) i .r2'
  ${If} $2 == 0
  ${OrIf} $1 != 0
    StrCpy $0 0
  ${EndIf}
FunctionEnd

; A user name the code page cannot hold is in the default folder, below
; %LOCALAPPDATA%: the directory page then offers a folder at the root of the
; system drive instead, and a silent install stops (exit code 2) before it
; writes anything.
Function .onInit
  StrCpy $CopyDOSBox 1
  Call FolderFitsCodePage
  ${If} $0 != 1
    ${If} ${Silent}
      SetErrorLevel 2
      Quit
    ${EndIf}
    StrCpy $R0 $WINDIR 2
    StrCpy $INSTDIR "$R0\Games\${PRODUCT}"
  ${EndIf}
  Call FindDOSBox
FunctionEnd

; --- pages -------------------------------------------------------------------

Function CheckFolder
  Call FolderFitsCodePage
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "The Kelmor programs cannot run from the folder $\"$INSTDIR$\": its name holds a character that this system's ANSI code page ($3) cannot hold, so dosbox.conf could not name the folder.$\r$\n$\r$\nPlease choose another folder, one whose name has no such character."
    Abort
  ${EndIf}
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\kelmor-setup.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION "You cannot write into $INSTDIR.$\r$\n$\r$\nThe launchers write into their own folder: please choose a folder of your own."
    Abort
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\kelmor-setup.tmp"
FunctionEnd

Function DOSBoxPage
  !insertmacro MUI_HEADER_TEXT "DOSBox" "The launchers start DOSBox from the kit's folder."
  nsDialogs::Create 1018
  Pop $0
  ${If} $DOSBoxFolder == ""
    ${NSD_CreateLabel} 0 0 100% 100% "No installed DOSBox was found.$\r$\n$\r$\nInstall DOSBox and run this setup again, or copy DOSBox.exe and the DLL files beside it into $INSTDIR yourself. README.txt in that folder says more."
    Pop $0
  ${Else}
    ${NSD_CreateLabel} 0 0 100% 56u "DOSBox is installed in $DOSBoxFolder.$\r$\n$\r$\nThe setup can copy DOSBox.exe and its DLLs from there into $INSTDIR, where the launchers look for them. Removing the kit removes these copies, not your DOSBox."
    Pop $0
    ${NSD_CreateCheckbox} 0 64u 100% 12u "&Copy DOSBox.exe and its DLLs into the kit's folder"
    Pop $DOSBoxBox
    ${If} $CopyDOSBox == 1
      ${NSD_Check} $DOSBoxBox
    ${EndIf}
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function DOSBoxPageLeave
  ${If} $DOSBoxFolder != ""
    ${NSD_GetState} $DOSBoxBox $CopyDOSBox
  ${EndIf}
FunctionEnd

; --- installing --------------------------------------------------------------

; One DOSBox file, recorded so that the uninstaller removes the copy.
!macro CopyDOSBoxFile NAME
  ClearErrors
  CopyFiles /SILENT "$DOSBoxFolder\${NAME}" "$INSTDIR"
  ${If} ${Errors}
    DetailPrint "Could not copy $DOSBoxFolder\${NAME}"
  ${Else}
    WriteRegStr HKCU "${COPIED_KEY}" "${NAME}" "$DOSBoxFolder"
  ${EndIf}
!macroend

Function CopyDOSBox
  DetailPrint "Copying DOSBox from $DOSBoxFolder"
  !insertmacro CopyDOSBoxFile "DOSBox.exe"
  FindFirst $R0 $R1 "$DOSBoxFolder\*.dll"
  ${DoWhile} $R1 != ""
    !insertmacro CopyDOSBoxFile $R1
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  !insertmacro KelmorInstallFiles
  !insertmacro KelmorCreateFolders
  ${If} $CopyDOSBox == ${BST_CHECKED}
  ${AndIf} $DOSBoxFolder != ""
    Call CopyDOSBox
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  !insertmacro KelmorCreateShortcuts

  WriteRegStr HKCU "${KIT_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${KELMOR_ICON_PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; --- uninstalling ------------------------------------------------------------

Section "Uninstall"
  !insertmacro KelmorRemoveFiles
  StrCpy $R0 0
  ${Do}
    ClearErrors
    EnumRegValue $R1 HKCU "${COPIED_KEY}" $R0
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
    Delete "$INSTDIR\$R1"
    IntOp $R0 $R0 + 1
  ${Loop}
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only the folders still empty: SAVEGAME and the kit's data stay.
  !insertmacro KelmorRemoveEmptyFolders
  RMDir "$INSTDIR"

  !insertmacro KelmorRemoveShortcuts
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${KIT_KEY}"
SectionEnd
