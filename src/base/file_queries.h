// What the program asks of a file without changing it: whether it is there,
// its fixed version and its last-write time. The install's newer-file check,
// the Netscape handler and the product's registry entries all ask.
#pragma once
#include <windows.h>

// 1 when the file can be opened for reading with no sharing allowed.
int FileExists(const char* path);

// 1 when a file or folder of that name is there, whatever its sharing.
int NameExists(const char* path);

// The fixed file version's most and least significant halves. A missing
// file gives 1 and 0.0; a file without version information gives 0.
int GetFileVersionNumbers(const char* path, DWORD* mostSignificant, DWORD* leastSignificant);

// The last-write time's high and low halves; 0 when the file cannot be read.
int GetFileWriteTime(const char* path, DWORD* high, DWORD* low);

// What the newer-file check compares of the file to be installed: its fixed
// version (when it has version information) and its last-write time (when it
// can be read). A package folder's file is looked at; a file the download
// carries is described by its index.
struct NewFileFacts {
  int hasVersion;
  DWORD versionMs, versionLs;
  int hasTime;
  DWORD timeHigh, timeLow;
};

// The facts of a file on the disk. A missing file has version 0.0, as
// GetFileVersionNumbers gives it.
void ReadNewFileFacts(const char* path, NewFileFacts* facts);

// 1 when the installed file is newer (by version, or by time when either
// has no version information) than the new one.
int IsInstalledFileNewer(const char* installedPath, const NewFileFacts& newFile);
int IsInstalledFileNewer(const char* installedPath, const char* newPath);
