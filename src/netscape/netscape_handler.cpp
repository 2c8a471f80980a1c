#include "netscape/netscape_handler.h"

const char kNetscapeProgramName[] = "netscp6.exe";

// The Netscape 6 integration arrives in a later change; until then there is
// nothing to install or remove.
void UpdateNetscapeHandler(HWND, const char*, int, int) {}
