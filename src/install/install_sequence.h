// The install run that command 100 starts.
#pragma once
#include <windows.h>

// 1 when the product was installed, 0 when the wizard was left or the
// install failed.
int RunInstall(HWND window);
