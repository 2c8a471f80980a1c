// The registry operations every other module uses. Each opens (or creates)
// the key it needs below the given root, does one thing and closes the key
// before returning. Results: non-zero for success, 0 for failure; the
// registry's own error code is never passed on.
#pragma once
#include <windows.h>

// Creates or opens root\subkey (KEY_ALL_ACCESS) and stores value as REG_DWORD.
int SetRegDword(HKEY root, const char* subkey, const char* name, DWORD value);

// Creates or opens root\subkey (KEY_ALL_ACCESS). set != 0 stores value as
// REG_SZ with its terminator counted in the data length; set == 0 deletes the
// named value instead (the key is created all the same). An empty name is
// the key's default value.
int SetRegString(HKEY root, const char* subkey, const char* name, const char* value, int set);

// Opens root\subkey (KEY_QUERY_VALUE) and reads the value into buffer, whatever
// its type, always terminated. On any failure (missing key or value, value
// larger than the buffer, or data filling it with no terminator of its own)
// the buffer is emptied and 0 returned.
int GetRegString(HKEY root, const char* subkey, const char* name, char* buffer, DWORD size);

// Opens root\subkey (KEY_READ) and reads a number of `size` bytes (callers pass
// 4). On failure stores 0 and returns 0.
int GetRegDword(HKEY root, const char* subkey, const char* name, DWORD* value, DWORD size);

// Deletes root\subkey and every key below it, depth first.
int DeleteRegKeyTree(HKEY root, const char* subkey);

// Deletes root\subkey only when it has neither subkeys nor values; a key left
// alone because it is not empty also counts as success.
int DeleteRegKeyIfEmpty(HKEY root, const char* subkey);

// Opens root\subkey (KEY_WRITE, never creating it) and deletes the value.
int DeleteRegValue(HKEY root, const char* subkey, const char* name);

// Opens root\subkey (KEY_QUERY_VALUE) and gives the value's data size in
// bytes. 1 when the value exists; 0 (and size 0) when the key or value is
// missing. Lets a caller tell "missing" from "too long for my buffer".
int GetRegValueSize(HKEY root, const char* subkey, const char* name, DWORD* size);
