#include "registry/file_types.h"

// Filled in with the protocol and associations.
void RegisterProtocolAndFileTypes(const char*, const char*, const char*) {}
int IsWindowsNT() { return 0; }
int IsWindows98OrMe() { return 0; }
