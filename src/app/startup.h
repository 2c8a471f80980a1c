// Entry point, run mode, instance start-up and the program-wide message box.
#pragma once
#include <windows.h>

int RegisterMainClass(HINSTANCE instance);
int DecideRunMode();
int InitInstance(HINSTANCE instance);
int LoadCaptions();

// MessageBoxA, except that a quiet run shows nothing and answers IDOK.
int QuietMessageBox(HWND owner, const char* text, const char* caption, UINT type);

extern const char kMainClassName[];  // "InstallWClass"
