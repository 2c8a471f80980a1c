// Writing a file this program installs, where an earlier one may lie: the
// list files, the uninstaller, the uninstall script, the Netscape handler,
// the uninstaller's temporary copy. Each is written whole under its partial
// name (base/partial_name.h) in its own folder, then renamed over its real
// name in one step: a run ended at any moment leaves the old file or the new
// one under the real name, never a cut one.
#pragma once
#include <windows.h>

#include "base/globals.h"
#include "base/partial_name.h"

// Takes off a file this program wrote the attributes its source carried: the
// read-only mark a package on a CD (or unpacked from some archives) gives
// every file, which would keep the uninstaller and Windows from deleting it,
// and the temporary mark. `attributes` are the file's, just read. 1 when it
// carries neither afterwards.
int DropCarriedAttributes(const char* path, DWORD attributes);

// The same, reading the attributes first.
int ClearCarriedAttributes(const char* path);

// write() puts the file at dest, replacing one that is there; a dest made
// read-only by an earlier install from such a medium is replaced all the
// same (its attribute is put back when the write still fails), and the file
// written keeps neither attribute of ClearCarriedAttributes. The result and
// last error are write()'s.
template <typename Write>
BOOL WriteReplacing(const char* dest, Write write) {
  if (write()) return ClearCarriedAttributes(dest), TRUE;
  DWORD error = GetLastError();
  DWORD attributes = GetFileAttributesA(dest);
  if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) && SetFileAttributesA(dest, attributes & ~FILE_ATTRIBUTE_READONLY)) {
    if (write()) return ClearCarriedAttributes(dest), TRUE;
    error = GetLastError();
    // The file stays as it was, attribute and all.
    SetFileAttributesA(dest, attributes);
  }
  SetLastError(error);
  return FALSE;
}

// Renames the written partial file to dest in one step, through to the disk
// (MOVEFILE_WRITE_THROUGH); with replace set a file there is replaced, else
// the rename fails with ERROR_ALREADY_EXISTS. A dest that another program
// holds open fails with ERROR_SHARING_VIOLATION, as a copy over it does.
BOOL CommitPartial(const char* partial, const char* dest, int replace);

// Gives the open file (opened with DELETE access) the name dest in one
// step: with replace set over a file of that name, else only when no file
// has it (ERROR_ALREADY_EXISTS). One call on the handle that wrote it,
// where a rename by name opens the file again. ERROR_CALL_NOT_IMPLEMENTED
// where Windows cannot (before Vista): the caller then closes the file and
// uses CommitPartial.
BOOL RenameOpenFile(HANDLE file, const char* dest, int replace);

// write(partial) writes the whole file under dest's partial name (replacing
// a leftover of an ended run); the file then replaces dest as
// WriteReplacing does. On failure dest is as it was and no partial file is
// left. The result and last error are write()'s or the rename's.
template <typename Write>
BOOL WriteInOneStep(const char* dest, Write write) {
  char partial[kPathSize];
  if (!BuildPartialName(dest, partial, sizeof(partial))) return SetLastError(ERROR_FILENAME_EXCED_RANGE), FALSE;
  if (WriteReplacing(partial, [&] { return write(partial); }) &&
      WriteReplacing(dest, [&] { return CommitPartial(partial, dest, 1); }))
    return TRUE;
  DWORD error = GetLastError();
  DeleteFileA(partial);
  SetLastError(error);
  return FALSE;
}

// Copies source whole to partial (over a leftover of an ended run) with the
// source's last-write time and no attribute, then gives it the name dest
// through the handle that wrote it: with replace set over a file there,
// else only when no file has that name. TRUE when it took the name, with the
// bytes copied in *size; FALSE with ERROR_ALREADY_EXISTS (or, replacing,
// the rename's error) when it is written at partial only; otherwise FALSE
// with CopyFileA's errors (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, a
// full disk) and nothing left at partial. With dest null the file is
// written at partial only, and replace 0 leaves a file there as it is
// (FALSE, ERROR_FILE_EXISTS).
BOOL CopyToName(const char* source, const char* partial, const char* dest, int replace, ULONGLONG* size);

// CopyFileA replacing dest, through its partial name.
BOOL CopyReplacing(const char* source, const char* dest);

// The bytes as the whole file at path, flushed to the disk before they take
// its name. 1 when written.
int WriteWholeFile(const char* path, const void* bytes, DWORD size);
