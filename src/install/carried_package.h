// The package a single-file download carries: once the download's start
// has checked it whole, the install reads each file straight out of it and
// writes it once, into its destination. The download stays open until the
// run ends, shared for reading only, so that what is installed is what was
// checked.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "base/file_queries.h"
#include "base/heap_text.h"
#include "base/payload_format.h"

// Takes over the open download, its payload's start, its index (whose
// bytes hold the files' names) and the table of the names: the package the
// run installs from.
void UseCarriedPackage(HANDLE download, uint64_t payloadOffset, HeapText* index, HeapText* files, size_t count,
                       NameTable* names);

// 1 when the run installs from a carried package.
int IsPackageCarried();

// The carried file of a package path (relative to the package folder), or
// null when the package has none.
const CarriedFile* FindPackageFile(const char* relative);

// Its version and time, for the newer-file check.
void CarriedFileFacts(const CarriedFile* file, NewFileFacts* facts);

// Writes the carried file to dest, as CopyFileA copies a file: with
// failIfExists a dest already there is left alone (ERROR_FILE_EXISTS). The
// file gets the time the package gave it and no other attribute. A write
// that fails leaves nothing at dest. The result and last error are as
// CopyFileA's (ERROR_INVALID_DATA when the bytes do not inflate to the file).
// With renameTo the whole file then takes that name, when no file has it,
// through the handle that wrote it; when one has, it stays written at dest
// and the call fails with ERROR_ALREADY_EXISTS.
BOOL ExtractCarriedFile(const CarriedFile* file, const char* dest, BOOL failIfExists,
                        const char* renameTo = nullptr);

// Closes the download and frees the index.
void ReleaseCarriedPackage();
