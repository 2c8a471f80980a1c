; What the NSIS peer of the benchmarks does beside its files, as the setup
; does: an uninstaller, an uninstall entry, two links, and the same two
; program starts, each waited for; and what its uninstaller removes of them.
!macro PeerWork
  WriteUninstaller "$INSTDIR\uninst.exe"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Peer Browser" "DisplayName" "Peer Browser"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Peer Browser" "UninstallString" "$INSTDIR\uninst.exe"
  CreateDirectory "$SMPROGRAMS\Peer Browser"
  CreateShortcut "$SMPROGRAMS\Peer Browser\Peer Browser.lnk" "$INSTDIR\LFViewer.exe"
  CreateShortcut "$DESKTOP\Peer Browser.lnk" "$INSTDIR\LFViewer.exe"
  ExecWait '"$INSTDIR\LFCtrl.exe" /r'
  ExecWait '"$INSTDIR\LFViewer.exe" -r'
!macroend
!macro PeerUnwork
  Delete "$SMPROGRAMS\Peer Browser\Peer Browser.lnk"
  RMDir "$SMPROGRAMS\Peer Browser"
  Delete "$DESKTOP\Peer Browser.lnk"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Peer Browser"
!macroend
