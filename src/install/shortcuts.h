// The product's shortcuts and the shell-link functions the uninstaller uses.
#pragma once
#include <windows.h>

// The file name extension of a shell link.
extern const char kLinkExtension[];  // ".lnk"

// Start-menu shortcut, the uninstall shortcut (when makeUninstallShortcut is
// set and the script names one) and the desktop shortcut, each recorded in
// the uninstall script. Non-zero when the desktop shortcut was made.
int CreateShortcuts(int makeUninstallShortcut);

// The file-system path of a shell special folder (CSIDL) into path (at least
// 260 bytes); 0 when it is not available.
int GetSpecialFolderPath(int csidl, char* path);

// Saves a standard shell link; the result is the COM status.
HRESULT CreateLinkWithArgs(const char* target, const char* linkPath, const char* description,
                           const char* arguments);
HRESULT CreateLink(const char* target, const char* linkPath, const char* description);

// Loads and resolves a link; targetPath (at least 260 bytes) receives the
// target, or stays empty when the link was not resolved.
HRESULT ResolveLink(HWND owner, const char* linkPath, char* targetPath);
