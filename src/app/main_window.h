// The hidden main window: owner of the message boxes and carrier of the one
// command that runs the install or the uninstall.
#pragma once
#include <windows.h>

enum { kCmdInstall = 100, kCmdUninstall = 101 };

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int OnCreate(HWND window);
LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam);

// Ends the run: the window procedure answers with the quit message.
void EndRun(HWND window);
