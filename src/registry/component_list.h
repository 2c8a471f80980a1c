// Component lists: ";"-separated product keys in a REG_SZ value under the
// maker's key (for example "Viewer"), compared without regard to letter case.
// No Win32 here: built and tested natively too.
#pragma once
#include <cstddef>

// 1 when key is one of the list's entries (empty entries skipped).
int ComponentListContains(const char* list, const char* key);
