// The uninstall run that command 101 starts.
#pragma once
#include <windows.h>

// Removes what the install recorded; the outcome is shown to the user only.
// Always returns 1.
int UninstallProduct(HWND window);

// The platform's shared registrations, the optional content question and
// content removal, the uninstall entry, the uninstall shortcuts, and finally
// the script and the uninstaller files. askContent: 1 to ask the content
// question (an interactive run). 1 when the script file was deleted; no
// caller needs it.
int RemoveRegistrationsAndContent(const char* scriptPath, const char* uninstallerPath,
                                  int askContent);

// 1 when the maker's key holds a readable string value of that name.
int IsComponentInstalled(const char* componentName);
