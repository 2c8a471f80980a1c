// The value-list editor: one module-level list of ";"-separated entries, as
// stored in a REG_SZ value. No Win32 here: built and tested natively too.
// Results: 0 for success, -1 for failure.
#pragma once
#include <cstddef>

enum { kRegListCapacity = 1024 };

int RegListInit(const char* valueName);
int RegListAdd(int skipDuplicateCheck, const char* entry);
void RegListReplace(const char* prefix, const char* newText);

// The list as it stands, its value name, and a way to set it from a read.
const char* RegListText();
const char* RegListValueName();
int RegListSetText(const char* text);
