; Kelvadiag-setup.exe: installs the Kelvadiag suite on 64-bit Windows.
;
; Built by CMake (packaging/CMakeLists.txt), which hands over
;   KV_FILES    the list of files (kelvadiag-files.nsh: KV_INSTALL_FILES, KV_DELETE_FILES)
;   KV_VERSION  the suite's version
;   KV_OUTFILE  the installer to write
;
; It puts the files into one folder (Kelvadiag.exe finds its DLLs and Plantdrv64.exe there), adds
; a Start-menu entry, writes the folder as "AppDir" under HKLM\SOFTWARE\Kelvadiag (the utility
; reads it, makes it its working directory and names it in the start-up launch entry) and
; registers the uninstaller with Windows. The uninstaller removes exactly that again; the user's
; settings under HKLM\SOFTWARE\Kelvadiag ("ShowTrayIcon", "AllPages") stay. Silent with /S.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "${KV_FILES}"

!define KV_SETTINGS_KEY "SOFTWARE\Kelvadiag"
!define KV_RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define KV_UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Kelvadiag"
!define KV_MENU_FOLDER "$SMPROGRAMS\Kelvadiag"

Name "Kelvadiag"
Caption "Kelvadiag ${KV_VERSION} Setup"
OutFile "${KV_OUTFILE}"
InstallDir "$PROGRAMFILES64\Tavrick\Kelvadiag"
InstallDirRegKey HKLM "${KV_SETTINGS_KEY}" "AppDir"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${KV_VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "Kelvadiag"
VIAddVersionKey /LANG=0 "FileDescription" "Kelvadiag Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${KV_VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${KV_VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Tavrick"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Kelvadiag"
  SetShellVarContext all
  !insertmacro KV_INSTALL_FILES
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${KV_SETTINGS_KEY}" "AppDir" "$INSTDIR"

  CreateDirectory "${KV_MENU_FOLDER}"
  CreateShortcut "${KV_MENU_FOLDER}\Kelvadiag.lnk" "$INSTDIR\Kelvadiag.exe"

  WriteRegStr HKLM "${KV_UNINSTALL_KEY}" "DisplayName" "Kelvadiag"
  WriteRegStr HKLM "${KV_UNINSTALL_KEY}" "DisplayVersion" "${KV_VERSION}"
  WriteRegStr HKLM "${KV_UNINSTALL_KEY}" "Publisher" "Tavrick"
  WriteRegStr HKLM "${KV_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KV_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kelvadiag.exe"
  WriteRegStr HKLM "${KV_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${KV_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${KV_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KV_UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !insertmacro KV_DELETE_FILES
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: files the user or the programs left there stay, and so does the folder.
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."

  Delete "${KV_MENU_FOLDER}\Kelvadiag.lnk"
  RMDir "${KV_MENU_FOLDER}"

  DeleteRegValue HKLM "${KV_SETTINGS_KEY}" "AppDir"
  DeleteRegKey /ifempty HKLM "${KV_SETTINGS_KEY}"
  ; The start-up launch entry names the program just removed.
  DeleteRegValue HKLM "${KV_RUN_KEY}" "Kelvadiag"
  DeleteRegKey HKLM "${KV_UNINSTALL_KEY}"
SectionEnd
