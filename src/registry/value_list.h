// The value-list editor: one module-level list of ";"-separated entries, as
// stored in a REG_SZ value. No Win32 here: built and tested natively too.
// Results: 0 for success, -1 for failure.
#pragma once
#include <cstddef>

enum { kRegListCapacity = 1024 };

// Empties the list and names the value it is stored in (cut to 259
// characters). Returns 0.
int RegListInit(const char* valueName);

// Appends entry after a ";" (none when the list is empty or entry begins
// with one). With skipDuplicateCheck 0 an entry already listed (letters
// folded, a leading ";" of entry ignored) is refused. -1 when refused or when
// the list would pass 1023 characters; the list is then unchanged.
int RegListAdd(int skipDuplicateCheck, const char* entry);

// Replaces the text after the first occurrence of prefix, up to the next ";"
// or the end of the list, with newText. The list is left unchanged when
// prefix does not occur or the result would pass 1023 characters.
void RegListReplace(const char* prefix, const char* newText);

// The list as it stands, its value name, and a way to set it from a read.
const char* RegListText();
const char* RegListValueName();
// Takes text as the whole list; -1 (list emptied) when it has more than 1023
// characters.
int RegListSetText(const char* text);

// The version text of a fixed file version: the high and low 16-bit halves
// of the most significant number, then of the least significant one, as
// unsigned decimals joined by ".", for example 2.1.0.35. 0 (out emptied) when
// it does not fit outSize bytes.
int FormatVersionText(unsigned long mostSignificant, unsigned long leastSignificant, char* out,
                      size_t outSize);
