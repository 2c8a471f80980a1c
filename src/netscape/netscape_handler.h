// The protocol handler library in Netscape 6.
#pragma once
#include <windows.h>

// Installs (remove = 0) or removes (remove = 1) the handler; asks first
// unless confirmed. The callers go on whatever happened.
void UpdateNetscapeHandler(HWND owner, const char* executableName, int confirmed, int remove);

// Netscape 6's program name, which both the install and the uninstall pass.
extern const char kNetscapeProgramName[];  // "netscp6.exe"

// The question that offers the registration, with the product name for both
// "%s"; asked here when not confirmed, and by the install before it
// registers with the older Navigator.
extern const char kNetscapeRegisterQuestion[];
