// The setup wizard: Welcome, licence, destination and Finish pages.
#pragma once
#include <windows.h>

// Positive after Finish, 0 after Cancel, -1 on error.
int RunSetupWizard(HWND owner, HINSTANCE instance);
