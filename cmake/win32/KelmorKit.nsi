; SPDX-License-Identifier: GPL-3.0-or-later
; The setup program of the Kelmor compatibility kit for Windows. It installs
; the application folder for the current user, without administrator rights,
; into a folder that user can write (the launchers write dosbox.conf and the
; kit's data into their own folder, which Program Files does not allow):
; the four programs, TEST.FUJ, README.txt, SAVEGAME and the folders the kit's
; installation copies into. It adds Start-menu shortcuts ("Kelmor", "Kelmor
; Plix", ...) and an entry in the user's Programs and Features, each
; installed folder its own: "Kelmor Kit" for the first, "Kelmor Kit (KitB)"
; for a folder C:\KitB installed beside it. When DOSBox is installed it
; offers to copy DOSBox.exe and its DLLs into the folder; the silent install
; (/S) copies them.
;
; The setup writes over no file it did not bring. Each file it brings (the
; programs, TEST.FUJ, README.txt, the DOSBox files it copies, the
; uninstaller) is recorded with its size and CRC-32 in Uninstall.ini in the
; folder itself, so the record goes wherever the folder's uninstaller is.
; A folder that already holds a file of the kit's names that the record does
; not give as brought and unchanged (README.txt or uninstall.exe in DOSBox's
; own folder, for one) is refused: another program's files would be written
; over, and that program's uninstaller would act in the kit's folder. A
; silent install then ends with exit code 2, as for a folder the ANSI code
; page cannot hold. A DOSBox file already in the folder is kept and not
; copied.
;
; The uninstaller removes the files of its folder's record that are still as
; they were brought, and the layout's folders that are then empty; it keeps
; SAVEGAME, the files the kit launcher installed, dosbox.conf and every file
; that changed since, and ends by listing what stayed, each as a path, the
; settings in the registry included, and how to remove them: on its last
; page, and in the folder as "Uninstalled - what stayed.txt" (a silent
; uninstall shows nothing, but writes that file too). Without a record it
; removes nothing from the folder.
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
!define WINDOWS_UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINSTALL_ENTRY "KelmorKit"
!define UNINSTALLER "Uninstall.exe"
!define RECORD "Uninstall.ini"    ; [Kelmor Kit] Version=, [Files] <name>=<fingerprint>
!define RECORD_FILES "Files"
; The record's [Kelmor Kit] also names the folder's Start-menu folder (Menu=)
; and its key in Programs and Features (Entry=).
!define KEPT_LIST "Uninstalled - what stayed.txt"
!define SETTINGS_KEY "Software\VB and VBA Program Settings"

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
Var MenuFolder      ; the folder's Start-menu folder, below $SMPROGRAMS
Var UninstallEntry  ; the folder's key in Programs and Features

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, the programs that start Kelmor and the Kelmor Plix kit from their CDs under DOSBox, for you alone.$\r$\n$\r$\nNo administrator rights are needed."
!insertmacro MUI_PAGE_WELCOME
; The kit is free software: the GPL is shown, for reading (nothing to agree to).
!define MUI_LICENSEPAGE_TEXT_BOTTOM "The kit is free software under this license. You may use it without accepting anything; read it before you share or change the kit."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/COPYING.txt"
!define MUI_DIRECTORYPAGE_TEXT_TOP "The launchers write their DOSBox settings and the kit's files into their own folder, so it must be a folder you can write to, not Program Files."
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolder
!insertmacro MUI_PAGE_DIRECTORY
Page custom DOSBoxPage DOSBoxPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed in $INSTDIR.$\r$\n$\r$\nThe launchers find Kelmor's CD in a CD drive, or a CD image copied into that folder: an .iso file, or a .cue file with its .bin files. No virtual drive program is needed.$\r$\n$\r$\nStart Kelmor and Kelmor Plix from the Start menu, folder $MenuFolder."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show README.txt"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION ShowReadme
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
UninstPage custom un.KeptPage
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

; --- the record of what the setup brought ------------------------------------

; Takes a file's path from the stack and leaves its fingerprint there, its
; size and CRC-32 ("1234 0A1B2C3D"), or "" when it cannot be read.
; RtlComputeCrc32 is in ntdll from Windows XP on.
!macro FingerprintFunction UN
Function ${UN}Fingerprint
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  ClearErrors
  FileOpen $1 $0 r
  StrCpy $0 ""
  ${IfNot} ${Errors}
    System::Alloc 65536
    Pop $2
    StrCpy $3 0  ; the CRC so far
    StrCpy $4 0  ; the size so far
    ${Do}
      System::Call 'kernel32::ReadFile(p r1, p r2, i 65536, *i .r5, p 0) i .r0'
      ${If} $0 == 0
        StrCpy $4 ""
        ${ExitDo}
      ${EndIf}
      ${IfThen} $5 == 0 ${|} ${ExitDo} ${|}
      System::Call 'ntdll::RtlComputeCrc32(i r3, p r2, i r5) i .r3'
      IntOp $4 $4 + $5
    ${Loop}
    System::Free $2
    FileClose $1
    StrCpy $0 ""
    ${If} $4 != ""
      IntFmt $3 "%08X" $3
      StrCpy $0 "$4 $3"
    ${EndIf}
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro FingerprintFunction ""
!insertmacro FingerprintFunction "un."

; Takes a file name from the stack and leaves 1 there when the record of
; $INSTDIR gives that file as brought by the setup and it is still as it was
; brought, else 0.
!macro AsBroughtFunction UN
Function ${UN}AsBrought
  Exch $0
  Push $1
  ReadINIStr $1 "$INSTDIR\${RECORD}" "${RECORD_FILES}" $0
  ${If} $1 == ""
    StrCpy $0 0
  ${Else}
    Push "$INSTDIR\$0"
    Call ${UN}Fingerprint
    Pop $0
    ${If} $0 == $1
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro AsBroughtFunction ""
!insertmacro AsBroughtFunction "un."

; $0 becomes 1 when $INSTDIR holds a record of this setup, else 0.
!macro HasRecordFunction UN
Function ${UN}HasRecord
  ReadINIStr $0 "$INSTDIR\${RECORD}" "${PRODUCT}" "Version"
  ${If} $0 == ""
    StrCpy $0 0
  ${Else}
    StrCpy $0 1
  ${EndIf}
FunctionEnd
!macroend
!insertmacro HasRecordFunction ""
!insertmacro HasRecordFunction "un."

; Records the file of $INSTDIR named on the stack as brought by the setup.
Function RecordFile
  Exch $0
  Push $1
  Push "$INSTDIR\$0"
  Call Fingerprint
  Pop $1
  ${If} $1 == ""
    DeleteINIStr "$INSTDIR\${RECORD}" "${RECORD_FILES}" $0
  ${Else}
    WriteINIStr "$INSTDIR\${RECORD}" "${RECORD_FILES}" $0 $1
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Begins the record, or goes on with the one of an earlier installation into
; the same folder. UTF-16 (the byte-order mark makes the system write the
; file so), so that it holds every character of a file name.
Function StartRecord
  ${IfNot} ${FileExists} "$INSTDIR\${RECORD}"
    FileOpen $0 "$INSTDIR\${RECORD}" w
    FileWriteWord $0 0xFEFF
    FileClose $0
  ${EndIf}
  WriteINIStr "$INSTDIR\${RECORD}" "${PRODUCT}" "Version" "${VERSION}"
FunctionEnd

!macro CheckKitFile NAME
  ${If} $0 == ""
  ${AndIf} ${FileExists} "$INSTDIR\${NAME}"
    Push "${NAME}"
    Call AsBrought
    Pop $1
    ${IfThen} $1 != 1 ${|} StrCpy $0 "${NAME}" ${|}
  ${EndIf}
!macroend

; $0 becomes the name of the first file the setup would write into $INSTDIR
; that is there but not as this setup brought it (another program's, or one
; the user changed), or "" when there is none.
Function FindForeignFile
  StrCpy $0 ""
  ${If} ${FileExists} "$INSTDIR\${RECORD}"
    Call HasRecord
    ${If} $0 != 1
      StrCpy $0 "${RECORD}"
      Return
    ${EndIf}
    StrCpy $0 ""
  ${EndIf}
  !insertmacro KelmorForEachFile CheckKitFile
  !insertmacro CheckKitFile "${UNINSTALLER}"
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
; writes anything. So does a silent install into a folder that holds files
; of the kit's names that this setup did not bring.
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
  ${If} ${Silent}
    Call FindForeignFile
    ${If} $0 != ""
      SetErrorLevel 2
      Quit
    ${EndIf}
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
  Call FindForeignFile
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "The folder $\"$INSTDIR$\" already holds $0, which this setup did not bring there: another program's file, or one you changed. The setup never writes over such a file, so it cannot install into this folder.$\r$\n$\r$\nPlease choose another folder: a new one, or the folder of an earlier installation of ${PRODUCT}."
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

; Places CONTROL of the current page at X, Y, W wide and H high, in dialog
; units, as nsDialogs places them (by the setup window's font).
!macro PlaceControl CONTROL X Y W H
  System::Call '*(i ${X}, i ${Y}, i ${W}, i ${H}) p .r1'
  System::Call 'user32::MapDialogRect(p $HWNDPARENT, p r1)'
  System::Call '*$1(i .r2, i .r3, i .r4, i .r5)'
  System::Free $1
  System::Call 'user32::SetWindowPos(p ${CONTROL}, p 0, i r2, i r3, i r4, i r5, i 0x14)'  ; SWP_NOZORDER|SWP_NOACTIVATE
!macroend

; The last page's text takes the page's height down to the check box, which
; goes to the page's foot: the folder's path, as long as the user's name
; makes it, would otherwise push the text past the few lines the page keeps
; for it above a check box.
Function FinishPageShow
  !insertmacro PlaceControl $mui.FinishPage.Text 120 45 195 122
  !insertmacro PlaceControl $mui.FinishPage.ShowReadme 120 175 195 10
FunctionEnd

; README.txt in the user's program for text files, or where no program opens
; .txt files (a fresh Wine prefix has none) in Notepad, which every Windows
; has.
Function ShowReadme
  ClearErrors
  ExecShell "open" "$INSTDIR\README.txt"
  ${If} ${Errors}
    Exec '"$WINDIR\notepad.exe" "$INSTDIR\README.txt"'
  ${EndIf}
FunctionEnd

; --- the folder's Start-menu folder and Programs and Features entry ----------

; $0 becomes 1 when the Programs and Features entry named on the stack may be
; $INSTDIR's: there is none, it is this folder's, or its folder no longer
; holds a record of this setup (it was deleted by hand).
Function EntryIsFree
  Exch $1
  ReadRegStr $0 HKCU "${WINDOWS_UNINSTALL}\$1" "InstallLocation"
  ${If} $0 == ""
  ${OrIf} $0 == $INSTDIR
  ${OrIfNot} ${FileExists} "$0\${RECORD}"
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $1
FunctionEnd

; MenuFolder and UninstallEntry: those the folder's record names, when still
; its own; else "Kelmor Kit" and KelmorKit, when free; else named by the
; folder, "Kelmor Kit (KitB)" for C:\KitB, or by the folder that holds it when
; its own name is the kit's ("Kelmor Kit (Games)" for D:\Games\Kelmor Kit),
; numbered when that is taken too.
Function ChooseMenuFolder
  ReadINIStr $MenuFolder "$INSTDIR\${RECORD}" "${PRODUCT}" "Menu"
  ReadINIStr $UninstallEntry "$INSTDIR\${RECORD}" "${PRODUCT}" "Entry"
  ${If} $MenuFolder != ""
  ${AndIf} $UninstallEntry != ""
    Push $UninstallEntry
    Call EntryIsFree
    ${IfThen} $0 == 1 ${|} Return ${|}
  ${EndIf}
  StrCpy $MenuFolder "${PRODUCT}"
  StrCpy $UninstallEntry "${UNINSTALL_ENTRY}"
  Push $UninstallEntry
  Call EntryIsFree
  ${IfThen} $0 == 1 ${|} Return ${|}
  ${GetFileName} $INSTDIR $1
  ${If} $1 == "${PRODUCT}"
    ${GetParent} $INSTDIR $1
    ${GetFileName} $1 $1
  ${EndIf}
  StrCpy $2 $1 "" -1
  ${IfThen} $2 == ":" ${|} StrCpy $1 $1 -1 ${|}  ; a drive's root: "C"
  StrCpy $2 1
  ${Do}
    StrCpy $3 $1
    ${IfThen} $2 > 1 ${|} StrCpy $3 "$1 $2" ${|}
    StrCpy $MenuFolder "${PRODUCT} ($3)"
    StrCpy $UninstallEntry "${UNINSTALL_ENTRY} ($3)"
    Push $UninstallEntry
    Call EntryIsFree
    ${IfThen} $0 == 1 ${|} Return ${|}
    IntOp $2 $2 + 1
  ${Loop}
FunctionEnd

; --- installing --------------------------------------------------------------

!macro InstallKitFile NAME
  File "${STAGE}/${NAME}"
  Push "${NAME}"
  Call RecordFile
!macroend

; One DOSBox file, named on the stack, recorded so that the uninstaller
; removes the copy. A file of that name that the setup did not bring (the
; user's own DOSBox, say) is kept as it is.
Function CopyDOSBoxFile
  Exch $0
  Push $1
  StrCpy $1 1
  ${If} ${FileExists} "$INSTDIR\$0"
    Push $0
    Call AsBrought
    Pop $1
  ${EndIf}
  ${If} $1 != 1
    DetailPrint "Kept $0: it was in $INSTDIR before, and the setup writes over no file it did not bring"
  ${Else}
    ClearErrors
    CopyFiles /SILENT "$DOSBoxFolder\$0" "$INSTDIR"
    ${If} ${Errors}
      DetailPrint "Could not copy $DOSBoxFolder\$0"
    ${Else}
      Push $0
      Call RecordFile
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

Function CopyDOSBox
  DetailPrint "Copying DOSBox from $DOSBoxFolder"
  Push "DOSBox.exe"
  Call CopyDOSBoxFile
  FindFirst $R0 $R1 "$DOSBoxFolder\*.dll"
  ${DoWhile} $R1 != ""
    Push $R1
    Call CopyDOSBoxFile
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
FunctionEnd

Section "${PRODUCT}"
  SetOutPath "$INSTDIR"
  Call ChooseMenuFolder
  Call StartRecord
  WriteINIStr "$INSTDIR\${RECORD}" "${PRODUCT}" "Menu" $MenuFolder
  WriteINIStr "$INSTDIR\${RECORD}" "${PRODUCT}" "Entry" $UninstallEntry
  ; An earlier uninstall's list, no longer true.
  Delete "$INSTDIR\${KEPT_LIST}"
  !insertmacro KelmorForEachFile InstallKitFile
  !insertmacro KelmorCreateFolders
  ${If} $CopyDOSBox == ${BST_CHECKED}
  ${AndIf} $DOSBoxFolder != ""
    Call CopyDOSBox
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  Push "${UNINSTALLER}"
  Call RecordFile
  FlushINI "$INSTDIR\${RECORD}"

  CreateDirectory "$SMPROGRAMS\$MenuFolder"
  !insertmacro KelmorCreateShortcuts "$SMPROGRAMS\$MenuFolder"

  WriteRegStr HKCU "${KIT_KEY}" "InstallDir" "$INSTDIR"
  StrCpy $1 "${WINDOWS_UNINSTALL}\$UninstallEntry"
  WriteRegStr HKCU $1 "DisplayName" $MenuFolder
  WriteRegStr HKCU $1 "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU $1 "DisplayIcon" "$INSTDIR\${KELMOR_ICON_PROGRAM},0"
  WriteRegStr HKCU $1 "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU $1 "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU $1 "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU $1 "NoModify" 1
  WriteRegDWORD HKCU $1 "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $2 $3
  WriteRegDWORD HKCU $1 "EstimatedSize" $0
SectionEnd

; --- uninstalling ------------------------------------------------------------

Var KeptFile     ; the list of what stayed, while it is written
Var KeptInFolder ; 1 once the list names something in the folder
Var KeptBox

; The file of $INSTDIR named on the stack goes when the record gives it as
; brought and it is still as it was brought.
Function un.RemoveAsBrought
  Exch $0
  Push $1
  ReadINIStr $1 "$INSTDIR\${RECORD}" "${RECORD_FILES}" $0
  ${If} $1 != ""
    Push $0
    Call un.AsBrought
    Pop $1
    ${If} $1 == 1
      ClearErrors
      Delete "$INSTDIR\$0"
      ${IfThen} ${Errors} ${|} DetailPrint "Could not remove $0: it is in use" ${|}
    ${Else}
      DetailPrint "Kept $0: it changed after the setup brought it"
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

!macro KeptKitData NAME
  ${IfThen} $1 == "${NAME}" ${|} StrCpy $0 data ${|}
!macroend

; $0 becomes what the entry of $INSTDIR named on the stack is, once the
; uninstall removed what it brought: saves (SAVEGAME), data (the kit's, which
; its launcher copied from the CD), image (a CD image), written (by the
; launchers or DOSBox), changed (a file the setup brought, changed since),
; busy (one still as brought: it could not be removed), other, or "" for the
; record and the list of what stayed.
Function un.KeptKind
  Exch $1
  Push $2
  Push $3
  StrCpy $0 ""
  ReadINIStr $2 "$INSTDIR\${RECORD}" "${RECORD_FILES}" $1
  ${If} $1 == "."
  ${OrIf} $1 == ".."
  ${OrIf} $1 == "${RECORD}"
  ${OrIf} $1 == "${KEPT_LIST}"
    StrCpy $0 ""
  ${ElseIf} $2 != ""
    Push $1
    Call un.AsBrought
    Pop $2
    StrCpy $0 changed
    ${IfThen} $2 == 1 ${|} StrCpy $0 busy ${|}
  ${ElseIf} $1 == "${KELMOR_SAVE_FOLDER}"
    StrCpy $0 saves
  ${Else}
    !insertmacro KelmorForEachKitData KeptKitData
    ${If} $0 == ""
      StrCpy $0 other
      StrCpy $2 $1 "" -5
      ${If} $2 == ".conf"  ; dosbox.conf, mapeditor.conf, each in other dialects
        StrCpy $3 $1 7
        ${IfThen} $3 == "dosbox." ${|} StrCpy $0 written ${|}
        StrCpy $3 $1 10
        ${IfThen} $3 == "mapeditor." ${|} StrCpy $0 written ${|}
      ${EndIf}
      StrCpy $2 $1 "" -4
      ${If} $0 == other
        ${If} $2 == ".iso"
        ${OrIf} $2 == ".cue"
        ${OrIf} $2 == ".bin"
          StrCpy $0 image
        ${EndIf}
      ${EndIf}
      StrCpy $2 $1 "" -11
      ${If} $2 == ".dosbox.cue"  ; the launchers' copy of a cue sheet
      ${OrIf} $1 == "stdout.txt"  ; what DOSBox printed
      ${OrIf} $1 == "stderr.txt"
        StrCpy $0 written
      ${EndIf}
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; Lists the entries of $INSTDIR of the kind $R5, each as a path, a folder
; with the number of files it holds, under the heading $R6 when there are any.
Function un.ListKept
  FindFirst $R0 $R1 "$INSTDIR\*"
  ${DoWhile} $R1 != ""
    Push $R1
    Call un.KeptKind
    ${If} $0 == $R5
      ${If} $R6 != ""
        FileWriteUTF16LE $KeptFile "$\r$\n$R6$\r$\n"
        StrCpy $R6 ""
      ${EndIf}
      StrCpy $R2 ""
      ${If} ${FileExists} "$INSTDIR\$R1\*.*"
        ${GetSize} "$INSTDIR\$R1" "/S=0K" $R2 $R3 $R4
        IntOp $R3 $R3 + 0  ; "" for a folder without files
        ${If} $R3 == 0
          StrCpy $R2 " (no files)"
        ${ElseIf} $R3 == 1
          StrCpy $R2 " (1 file)"
        ${Else}
          StrCpy $R2 " ($R3 files)"
        ${EndIf}
      ${EndIf}
      FileWriteUTF16LE $KeptFile "  $INSTDIR\$R1$R2$\r$\n"
    ${EndIf}
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
FunctionEnd

; $KeptInFolder becomes 1 when anything stays in $INSTDIR, else 0.
Function un.FindKept
  StrCpy $KeptInFolder 0
  FindFirst $R0 $R1 "$INSTDIR\*"
  ${DoWhile} $R1 != ""
    Push $R1
    Call un.KeptKind
    ${IfThen} $0 != "" ${|} StrCpy $KeptInFolder 1 ${|}
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
FunctionEnd

!macro ListKept KIND HEADING
  StrCpy $R5 "${KIND}"
  StrCpy $R6 "${HEADING}"
  Call un.ListKept
!macroend

; $0 becomes 1 when the settings of APPLICATION are in the registry.
!macro HasSettings APPLICATION
  ClearErrors
  EnumRegKey $0 HKCU "${SETTINGS_KEY}\${APPLICATION}" 0
  StrCpy $0 1
  ${IfThen} ${Errors} ${|} StrCpy $0 0 ${|}
!macroend

; Writes what stayed, for the last page, into $PLUGINSDIR\kept.txt (UTF-16):
; what stayed in the folder, kind by kind, each as a path, then the
; settings in the registry, then how to remove them too.
Function un.WriteKeptList
  Call un.FindKept
  !insertmacro HasSettings kel1
  StrCpy $1 $0
  !insertmacro HasSettings kelkit
  StrCpy $2 $0
  FileOpen $KeptFile "$PLUGINSDIR\kept.txt" w
  FileWriteWord $KeptFile 0xFEFF
  ${If} "$KeptInFolder$1$2" == "000"
    FileWriteUTF16LE $KeptFile "The programs and the other files the setup brought are removed from $INSTDIR, and nothing of the kit stays.$\r$\n"
  ${Else}
    FileWriteUTF16LE $KeptFile "The programs and the other files the setup brought are removed from $INSTDIR. These stay:$\r$\n"
  ${EndIf}
  !insertmacro ListKept saves "Your saved games:"
  !insertmacro ListKept data "The kit's files, which the kit launcher copied from its CD:"
  !insertmacro ListKept image "CD images:"
  !insertmacro ListKept written "Written by the launchers and DOSBox:"
  !insertmacro ListKept changed "Changed since the setup brought them:"
  !insertmacro ListKept busy "Still in use, so not removed (end the kit's programs, then delete them):"
  !insertmacro ListKept other "Other files and folders:"
  ${If} "$1$2" != "00"
    FileWriteUTF16LE $KeptFile "$\r$\nThe settings, in the registry (every folder of the kit you install uses them):$\r$\n"
    ${If} $1 == 1
      FileWriteUTF16LE $KeptFile "  HKEY_CURRENT_USER\${SETTINGS_KEY}\kel1 (the game's; Kelmor's earlier Windows programs use them too)$\r$\n"
    ${EndIf}
    ${If} $2 == 1
      FileWriteUTF16LE $KeptFile "  HKEY_CURRENT_USER\${SETTINGS_KEY}\kelkit (the kit's)$\r$\n"
    ${EndIf}
  ${EndIf}
  ${If} $KeptInFolder == 1
    FileWriteUTF16LE $KeptFile "$\r$\nTo remove these too: copy SAVEGAME elsewhere if you want to keep your saved games, then delete the folder $INSTDIR.$\r$\n"
  ${EndIf}
  ${If} "$1$2" != "00"
    FileWriteUTF16LE $KeptFile "$\r$\nTo remove the settings: delete their keys with the Registry Editor (regedit), or in a command prompt:$\r$\n"
    ${If} $1 == 1
      FileWriteUTF16LE $KeptFile '  reg delete "HKCU\${SETTINGS_KEY}\kel1" /f$\r$\n'
    ${EndIf}
    ${If} $2 == 1
      FileWriteUTF16LE $KeptFile '  reg delete "HKCU\${SETTINGS_KEY}\kelkit" /f$\r$\n'
    ${EndIf}
  ${EndIf}
  FileClose $KeptFile
FunctionEnd

; The last page: what stayed, from $PLUGINSDIR\kept.txt, in a box that
; scrolls.
Function un.KeptPage
  ${IfNot} ${FileExists} "$PLUGINSDIR\kept.txt"
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "What stayed" "${PRODUCT} is removed. These files and settings stay:"
  nsDialogs::Create 1018
  Pop $0
  nsDialogs::CreateControl EDIT ${DEFAULT_STYLES}|${WS_TABSTOP}|${ES_MULTILINE}|${ES_READONLY}|${WS_VSCROLL} ${WS_EX_CLIENTEDGE} 0 0 100% 100% ""
  Pop $KeptBox
  FileOpen $1 "$PLUGINSDIR\kept.txt" r
  FileReadWord $1 $2  ; the byte-order mark
  ${Do}
    ClearErrors
    FileReadUTF16LE $1 $2
    ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
    SendMessage $KeptBox ${EM_REPLACESEL} 0 "STR:$2"
  ${Loop}
  FileClose $1
  ${If} ${FileExists} "$INSTDIR\${KEPT_LIST}"
    SendMessage $KeptBox ${EM_REPLACESEL} 0 "STR:$\r$\nThis list is also in $INSTDIR\${KEPT_LIST}."
  ${EndIf}
  SendMessage $KeptBox ${EM_SETSEL} 0 0
  SendMessage $KeptBox ${EM_SCROLLCARET} 0 0
  nsDialogs::Show
FunctionEnd

Section "Uninstall"
  InitPluginsDir
  StrCpy $MenuFolder "${PRODUCT}"
  StrCpy $UninstallEntry "${UNINSTALL_ENTRY}"
  Call un.HasRecord
  ${If} $0 == 1
    ReadINIStr $0 "$INSTDIR\${RECORD}" "${PRODUCT}" "Menu"
    ${IfThen} $0 != "" ${|} StrCpy $MenuFolder $0 ${|}
    ReadINIStr $0 "$INSTDIR\${RECORD}" "${PRODUCT}" "Entry"
    ${IfThen} $0 != "" ${|} StrCpy $UninstallEntry $0 ${|}
    FindFirst $R0 $R1 "$INSTDIR\*"
    ${DoWhile} $R1 != ""
      Push $R1
      Call un.RemoveAsBrought
      FindNext $R0 $R1
    ${Loop}
    FindClose $R0
    ; Only the folders still empty: SAVEGAME and the kit's data stay.
    !insertmacro KelmorRemoveEmptyFolders
    Call un.WriteKeptList
    Delete "$INSTDIR\${RECORD}"
    RMDir "$INSTDIR"
    ${If} ${FileExists} "$INSTDIR\*.*"
      System::Call 'kernel32::CopyFileW(w "$PLUGINSDIR\kept.txt", w "$INSTDIR\${KEPT_LIST}", i 0) i .r0'
    ${EndIf}
    ; The last page shows the list at once.
    SetAutoClose true
  ${Else}
    DetailPrint "$INSTDIR holds no record of what the setup of ${PRODUCT} brought there: nothing is removed from it"
  ${EndIf}

  ; The shortcuts and the entry of this folder, while they lead to it: a
  ; later installation into another folder may have taken over the names.
  ReadRegStr $0 HKCU "${WINDOWS_UNINSTALL}\$UninstallEntry" "InstallLocation"
  ${If} $0 == $INSTDIR
    !insertmacro KelmorRemoveShortcuts "$SMPROGRAMS\$MenuFolder"
    RMDir "$SMPROGRAMS\$MenuFolder"
    DeleteRegKey HKCU "${WINDOWS_UNINSTALL}\$UninstallEntry"
  ${EndIf}
  ReadRegStr $0 HKCU "${KIT_KEY}" "InstallDir"
  ${IfThen} $0 == $INSTDIR ${|} DeleteRegKey HKCU "${KIT_KEY}" ${|}
SectionEnd
