#include "uninstall/uninstall_sequence.h"

// The removal engine arrives in a later change; until then the run removes
// nothing.
int UninstallProduct(HWND) { return 1; }
