// Unpacking a cabinet with Windows' own FDI functions, from cabinet.dll
// loaded at run time (Windows 95 without Internet Explorer 4 lacks it), so
// that the program links no library of its own for it.
#pragma once
#include <windows.h>

#include <cstdint>

enum UnpackResult {
  kUnpacked = 0,
  kUnpackNoLibrary,    // cabinet.dll or its FDI functions are missing
  kUnpackDamaged,      // the cabinet is not one, or its data are corrupt
  kUnpackWriteFailed,  // a file or folder could not be written (the disk is full, say)
};

// Unpacks the cabinet that starts `offset` bytes into the open file `archive`
// (whose full path is archivePath; the file is read through the handle only)
// into the existing `folder`, making the subfolders its names hold; a name
// that would lead out of the folder is refused as damaged. Each file gets the
// date and time the cabinet gives it, and the temporary attribute alone.
UnpackResult UnpackCabinet(HANDLE archive, const char* archivePath, uint64_t offset, const char* folder);
