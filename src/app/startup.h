// The steps WinMain takes before its message loop: the window class, the
// run mode (with the running-browser question and the uninstaller's
// relocation), the captions and the hidden main window.
#pragma once
#include <windows.h>

int RegisterMainClass(HINSTANCE instance);
int DecideRunMode();
int InitInstance(HINSTANCE instance);
int LoadCaptions();

// The setup's caption, before LoadCaptions has copied it into g_setupCaption.
extern const char kSetupCaptionText[];  // "Quillara Browser Installation"
