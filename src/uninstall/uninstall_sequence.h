// The uninstall run that command 101 starts.
#pragma once
#include <windows.h>

// Removes what the install recorded; the outcome is shown to the user only.
int UninstallProduct(HWND window);
