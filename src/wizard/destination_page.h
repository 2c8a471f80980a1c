// The wizard's destination page: the folder typed or browsed for, and the
// free-space check against the setup script's reserve.
#pragma once
#include <windows.h>

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// 1 and the chosen folder in `path` (260 bytes), or 0 when none was chosen.
int BrowseForFolder(HWND owner, const char* title, char* path);

// 1 when the install may go to `folder`, 0 when the user declined.
int CheckDiskSpace(HWND owner, const char* folder, const char* setupScript);

// The bytes the setup script reserves: the sum of its three sizes.
unsigned GetReservedDiskSpace(const char* setupScript);
