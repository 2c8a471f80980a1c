// Writing a file this program installs, where an earlier one may lie: the
// list files, the uninstaller, the Netscape handler, the uninstaller's
// temporary copy.
#pragma once
#include <windows.h>

// Takes off a file this program wrote the attributes its source carried: the
// read-only mark a package on a CD (or unpacked from some archives) gives
// every file, which would keep the uninstaller and Windows from deleting it,
// and the temporary mark. `attributes` are the file's, just read. 1 when it
// carries neither afterwards.
int DropCarriedAttributes(const char* path, DWORD attributes);

// The same, reading the attributes first.
int ClearCarriedAttributes(const char* path);

// write() puts the file at dest, replacing one that is there (a CopyFileA
// with failIfExists FALSE, or a carried file's extraction); a dest made
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

// CopyFileA replacing dest, as WriteReplacing writes.
BOOL CopyReplacing(const char* source, const char* dest);
