// This edition's records under the viewer's keys: its brand bit in "RegInfo"
// and its version entry in the shared "RegVerStr" list.
#pragma once
#include <windows.h>

void MarkBrandInstalled();
void RecordBrandVersion(const char* version);

// Loads and saves the value-list editor's one list (see value_list.h).
int RegListLoad(HKEY root, const char* subkey);
int RegListSave(HKEY root, const char* subkey);
