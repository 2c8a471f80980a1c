#include "registry/value_list.h"

// Filled in with the list editor.
int RegListInit(const char*) { return 0; }
int RegListAdd(int, const char*) { return -1; }
void RegListReplace(const char*, const char*) {}
const char* RegListText() { return ""; }
const char* RegListValueName() { return ""; }
int RegListSetText(const char*) { return -1; }
