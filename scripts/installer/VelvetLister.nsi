; The setup program of the plug-in, built by scripts/dist:
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DSTAGE=<staged release> -DPAYLOAD=<payload.nsh>
;            -DICON=<icon> -DOUTFILE=<setup.exe> VelvetLister.nsi
; It installs into the player's folder ($INSTDIR, /D=folder): the DLL into Plugins,
; the read-me, the sample skins and the uninstaller into Plugins\VelvetLister.
; The uninstaller runs from Plugins\VelvetLister, so there $INSTDIR is that folder.

Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma
AllowSkipFiles off

!ifndef VERSION | STAGE | PAYLOAD | ICON | OUTFILE
  !error "VERSION, STAGE, PAYLOAD, ICON and OUTFILE must be defined"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include "${PAYLOAD}"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelvetLister"
!define PLAYER_UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Winamp"
!define PLAYER_WINDOW_CLASS "Winamp v1.x"
!define DLL "gen_VelvetLister.dll"
!define SETTINGS_SECTION "VelvetLister Plug-in"

Name "VelvetLister ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "VelvetLister ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "VelvetLister"
VIAddVersionKey /LANG=0 "FileDescription" "VelvetLister ${VERSION} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "VelvetLister"

Var Plugins          ; the player's Plugins folder
Var RemoveSettings   ; 1: the uninstaller also removes the plug-in's section of plugin.ini
Var SettingsBox

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(VL_Welcome)"
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "$(VL_DirectoryTop)"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "$(VL_DirectoryBox)"
!define MUI_PAGE_HEADER_TEXT "$(VL_DirectoryTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(VL_DirectorySubtitle)"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(VL_Finish)"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Plugins\VelvetLister\ReadMe.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.OptionsShow un.OptionsLeave
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for a system whose language is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString VL_Welcome ${LANG_ENGLISH} "Setup will install VelvetLister ${VERSION}, a playlist window for Winamp 2, into Winamp's Plugins folder.$\r$\n$\r$\nPlease close Winamp before you continue.$\r$\n$\r$\n$_CLICK"
LangString VL_Welcome ${LANG_JAPANESE} "このセットアップは、Winamp 2 用のプレイリスト ウィンドウ VelvetLister ${VERSION} を Winamp の Plugins フォルダにインストールします。$\r$\n$\r$\n続ける前に Winamp を終了してください。$\r$\n$\r$\n$_CLICK"
LangString VL_DirectoryTitle ${LANG_ENGLISH} "Winamp's Folder"
LangString VL_DirectoryTitle ${LANG_JAPANESE} "Winamp のフォルダ"
LangString VL_DirectorySubtitle ${LANG_ENGLISH} "Where is Winamp installed?"
LangString VL_DirectorySubtitle ${LANG_JAPANESE} "Winamp はどこにインストールされていますか?"
LangString VL_DirectoryTop ${LANG_ENGLISH} "Choose the folder Winamp is installed in, the one that holds winamp.exe. VelvetLister goes into its Plugins folder."
LangString VL_DirectoryTop ${LANG_JAPANESE} "Winamp がインストールされているフォルダ (winamp.exe のあるフォルダ) を選んでください。VelvetLister はその中の Plugins フォルダに入ります。"
LangString VL_DirectoryBox ${LANG_ENGLISH} "Winamp folder"
LangString VL_DirectoryBox ${LANG_JAPANESE} "Winamp のフォルダ"
LangString VL_NoPlayer ${LANG_ENGLISH} "Winamp is not in this folder (there is no winamp.exe):$\r$\n$INSTDIR$\r$\n$\r$\nChoose the folder Winamp is installed in."
LangString VL_NoPlayer ${LANG_JAPANESE} "このフォルダには Winamp がありません (winamp.exe がありません):$\r$\n$INSTDIR$\r$\n$\r$\nWinamp がインストールされているフォルダを選んでください。"
LangString VL_PlayerRunning ${LANG_ENGLISH} "Winamp is running. Close Winamp, then click Retry.$\r$\n$\r$\nThe plug-in cannot be changed while Winamp uses it."
LangString VL_PlayerRunning ${LANG_JAPANESE} "Winamp が起動しています。Winamp を終了してから [再試行] をクリックしてください。$\r$\n$\r$\nWinamp が使っている間はプラグインを変更できません。"
LangString VL_DllInUse ${LANG_ENGLISH} "This file is in use and cannot be replaced:$\r$\n$Plugins\${DLL}$\r$\n$\r$\nClose Winamp, then click Retry."
LangString VL_DllInUse ${LANG_JAPANESE} "次のファイルは使用中のため置き換えられません:$\r$\n$Plugins\${DLL}$\r$\n$\r$\nWinamp を終了してから [再試行] をクリックしてください。"
LangString VL_Finish ${LANG_ENGLISH} "VelvetLister is installed. Start Winamp and open its playlist editor (Alt+E): the VelvetLister window appears in its place."
LangString VL_Finish ${LANG_JAPANESE} "VelvetLister をインストールしました。Winamp を起動してプレイリスト エディタを開くと (Alt+E)、代わりに VelvetLister のウィンドウが表示されます。"

LangString VL_UnTitle ${LANG_ENGLISH} "Uninstall VelvetLister"
LangString VL_UnTitle ${LANG_JAPANESE} "VelvetLister のアンインストール"
LangString VL_UnSubtitle ${LANG_ENGLISH} "Remove VelvetLister from Winamp."
LangString VL_UnSubtitle ${LANG_JAPANESE} "Winamp から VelvetLister を削除します。"
LangString VL_UnText ${LANG_ENGLISH} "VelvetLister will be removed from this Plugins folder:"
LangString VL_UnText ${LANG_JAPANESE} "次の Plugins フォルダから VelvetLister を削除します:"
LangString VL_UnSettings ${LANG_ENGLISH} "Your settings stay in plugin.ini (section [${SETTINGS_SECTION}]) for a later install, unless you tick the box below."
LangString VL_UnSettings ${LANG_JAPANESE} "下のボックスをオンにしない限り、設定は後で再びインストールするときのために plugin.ini ([${SETTINGS_SECTION}] セクション) に残ります。"
LangString VL_UnRemoveSettings ${LANG_ENGLISH} "Also remove my settings"
LangString VL_UnRemoveSettings ${LANG_JAPANESE} "設定も削除する"

; $0: a folder; the player's folder goes to $INSTDIR when it holds the player.
!macro VL_TRY_PLAYER_FOLDER
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\winamp.exe"
    StrCpy $INSTDIR $0
    Return
  ${EndIf}
!macroend

; $0: an uninstall command line; gives the folder of the program it names.
!macro VL_FOLDER_OF_COMMAND
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
    StrCpy $2 0
    ${Do}
      StrCpy $1 $0 1 $2
      ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
      ${IfThen} $1 == '"' ${|} ${ExitDo} ${|}
      IntOp $2 $2 + 1
    ${Loop}
    StrCpy $0 $0 $2
  ${EndIf}
  ${If} $0 != ""
    ${GetParent} $0 $0
  ${EndIf}
!macroend

; The destination offered: where an earlier setup put the plug-in, else where the
; player's own setup says it is, else the usual place.
Function FindPlayerFolder
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  !insertmacro VL_TRY_PLAYER_FOLDER
  ReadRegStr $0 HKCU "Software\Winamp" ""
  !insertmacro VL_TRY_PLAYER_FOLDER
  ReadRegStr $0 HKLM "${PLAYER_UNINST_KEY}" "UninstallString"
  !insertmacro VL_FOLDER_OF_COMMAND
  !insertmacro VL_TRY_PLAYER_FOLDER
  ReadRegStr $0 HKCU "${PLAYER_UNINST_KEY}" "UninstallString"
  !insertmacro VL_FOLDER_OF_COMMAND
  !insertmacro VL_TRY_PLAYER_FOLDER
  StrCpy $INSTDIR "$PROGRAMFILES\Winamp"
FunctionEnd

Function .onInit
  ; /D=folder has already set $INSTDIR; there is no InstallDir to clash with.
  ${If} $INSTDIR == ""
    Call FindPlayerFolder
  ${EndIf}
FunctionEnd

Function DirectoryLeave
  ${IfNot} ${FileExists} "$INSTDIR\winamp.exe"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(VL_NoPlayer)"
    Abort
  ${EndIf}
FunctionEnd

; Asks until the player is closed; a silent run gives up at once.
!macro VL_WAIT_FOR_PLAYER_CLOSED
  ${Do}
    FindWindow $0 "${PLAYER_WINDOW_CLASS}"
    ${IfThen} $0 == 0 ${|} ${ExitDo} ${|}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(VL_PlayerRunning)" /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
!macroend

Section
  ${IfNot} ${FileExists} "$INSTDIR\winamp.exe"
    MessageBox MB_OK|MB_ICONSTOP "$(VL_NoPlayer)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  !insertmacro VL_WAIT_FOR_PLAYER_CLOSED
  StrCpy $Plugins "$INSTDIR\Plugins"
  ; The new DLL is written beside the old one first and then takes its place in
  ; one step: a DLL some process holds is refused as a whole (the old one stays),
  ; and the folder is never left without one.
  SetOutPath $Plugins
  File "/oname=${DLL}.new" "${STAGE}/${DLL}"
  ${Do}
    System::Call 'kernel32::MoveFileExW(w "$Plugins\${DLL}.new", w "$Plugins\${DLL}", i 1) i .r0'
    ${IfThen} $0 <> 0 ${|} ${ExitDo} ${|}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(VL_DllInUse)" /SD IDCANCEL IDRETRY +3
    Delete "$Plugins\${DLL}.new"
    Abort
  ${Loop}
  !insertmacro VL_INSTALL_PAYLOAD "$Plugins\VelvetLister"
  SetOutPath $INSTDIR
  WriteUninstaller "$Plugins\VelvetLister\Uninstall.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "VelvetLister Plug-in for Winamp"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$Plugins\${DLL},0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$Plugins\VelvetLister\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$Plugins\VelvetLister\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$Plugins\VelvetLister" "/S=0K" $0 $1 $2
  ${GetSize} "$Plugins" "/M=${DLL} /S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  ${GetParent} $INSTDIR $Plugins
  StrCpy $RemoveSettings 0
  ; /REMOVESETTINGS ticks "Also remove my settings" (for a silent run).
  ClearErrors
  ${GetOptions} $CMDLINE "/REMOVESETTINGS" $0
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

Function un.OptionsShow
  !insertmacro MUI_HEADER_TEXT "$(VL_UnTitle)" "$(VL_UnSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${IfThen} $0 == error ${|} Abort ${|}
  ${NSD_CreateLabel} 0 0 100% 12u "$(VL_UnText)"
  Pop $0
  ${NSD_CreateText} 0 14u 100% 12u "$Plugins"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0
  ${NSD_CreateLabel} 0 40u 100% 24u "$(VL_UnSettings)"
  Pop $0
  ${NSD_CreateCheckbox} 0 68u 100% 12u "$(VL_UnRemoveSettings)"
  Pop $SettingsBox
  ${If} $RemoveSettings == 1
    ${NSD_Check} $SettingsBox
  ${EndIf}
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^UninstallBtn)"
  nsDialogs::Show
FunctionEnd

Function un.OptionsLeave
  ${NSD_GetState} $SettingsBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $RemoveSettings 1
  ${Else}
    StrCpy $RemoveSettings 0
  ${EndIf}
FunctionEnd

Section Uninstall
  !insertmacro VL_WAIT_FOR_PLAYER_CLOSED
  ; The DLL first: while some process holds it nothing else is removed.
  ${Do}
    ClearErrors
    ${IfThen} ${FileExists} "$Plugins\${DLL}" ${|} Delete "$Plugins\${DLL}" ${|}
    ${IfNotThen} ${Errors} ${|} ${ExitDo} ${|}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(VL_DllInUse)" /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
  !insertmacro VL_REMOVE_PAYLOAD "$INSTDIR"
  Delete "$INSTDIR\Uninstall.exe"
  SetOutPath $TEMP
  RMDir "$INSTDIR"
  ; plugin.ini is shared with the player's other plug-ins: only this plug-in's
  ; section goes, and the file only if nothing else is left in it.
  ${If} $RemoveSettings == 1
  ${AndIf} ${FileExists} "$Plugins\plugin.ini"
    DeleteINISec "$Plugins\plugin.ini" "${SETTINGS_SECTION}"
    FlushINI "$Plugins\plugin.ini"
    ${GetSize} "$Plugins" "/M=plugin.ini /S=0B /G=0" $0 $1 $2
    ${IfThen} $0 == 0 ${|} Delete "$Plugins\plugin.ini" ${|}
  ${EndIf}
  ; The entry in the list of programs may be another folder's install.
  ${GetParent} $Plugins $0
  ReadRegStr $1 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $1 == $0
    DeleteRegKey HKLM "${UNINST_KEY}"
  ${EndIf}
SectionEnd
