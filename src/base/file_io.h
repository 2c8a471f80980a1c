// Whole reads and writes on an open file: a short read or write is a failure.
#pragma once
#include <windows.h>

#include <cstdint>

// size bytes of file from offset into buffer; 0 when fewer could be read.
int ReadFileAt(HANDLE file, uint64_t offset, void* buffer, DWORD size);

// size bytes to file at its position; 0 when fewer were written.
int WriteFileAll(HANDLE file, const void* bytes, DWORD size);
