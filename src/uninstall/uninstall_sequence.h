// The uninstall run that command 101 starts.
#pragma once
#include <windows.h>

// Removes what the install recorded; the outcome is shown to the user only.
// Always returns 1.
int UninstallProduct(HWND window);

// The platform's shared registrations and, after the optional content
// question (askContent: 1 in an interactive run), the content. Always 1; no
// caller needs it.
int RemoveRegistrationsAndContent(const char* scriptPath, int askContent);

// The uninstall's last steps: the uninstall shortcuts, then the uninstall
// entry, the uninstaller and, last of all, the script. 1 when all went; 0
// when the shortcuts' folder cannot be found, and then all of them stay.
int RemoveUninstallRecords(const char* scriptPath, const char* uninstallerPath);

// 1 when the maker's key holds a readable string value of that name.
int IsComponentInstalled(const char* componentName);
