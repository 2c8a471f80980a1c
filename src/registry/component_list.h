// The program's one editor of ";"-lists: the component lists (";"-separated
// product keys in a REG_SZ value under the maker's key, such as "Viewer",
// compared without regard to letter case), the viewer records' list (see
// value_list.h) and the uninstall's key walk all go through it. No Win32
// here: built and tested natively too.
#pragma once
#include <cstddef>

// The walk every list edit takes: the next non-empty entry at or after
// *cursor (runs of ";" separate, leading and trailing ones are ignored), its
// length in *length, and the cursor moved past it; nullptr at the end.
const char* NextListEntry(const char** cursor, size_t* length);

// 1 when key is one of the list's entries (empty entries skipped).
int ComponentListContains(const char* list, const char* key);

// The install's append: when key is not yet in list, out becomes the whole
// list, a ";" when the list is not empty, then key. Returns 1 when out holds
// the grown list, 0 when key is already listed (out untouched, nothing to
// store), -1 when the grown list does not fit outSize bytes (out untouched).
int AppendToComponentList(const char* list, const char* key, char* out, size_t outSize);

// The uninstall's removal: out becomes the list without every entry equal to
// key in any letter case, with runs of ";" as one separator and no empty,
// leading or trailing entry (an empty out means the value is to be deleted).
// Returns 1 when an entry was removed, 0 when key was not listed (out still
// holds the tidied list), -1 when the result does not fit outSize bytes (out
// untouched: nothing may be stored then).
int RemoveComponentListEntry(const char* list, const char* key, char* out, size_t outSize);
