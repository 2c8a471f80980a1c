#include "base/file_replace.h"

#include "base/file_io.h"
#include "base/handles.h"
#include "base/heap_text.h"
#include "base/progress_window.h"
#include "base/system_library.h"

namespace {

// A copy takes its source's attributes. A package on a CD marks every file
// read-only, and a file marked temporary stays in the cache without being
// written to the disk: an installed file keeps neither.
const DWORD kCarriedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_TEMPORARY;

// 1 when another program has path open: a write of our own is refused.
int HeldOpen(const char* path) {
  ScopedHandle probe(CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe.Valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

int DropCarriedAttributes(const char* path, DWORD attributes) {
  if (!(attributes & kCarriedAttributes)) return 1;
  return SetFileAttributesA(path, attributes & ~kCarriedAttributes) ? 1 : 0;
}

int ClearCarriedAttributes(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  return DropCarriedAttributes(path, attributes);
}

BOOL CommitPartial(const char* partial, const char* dest, int replace) {
  DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (MoveFileExA(partial, dest, flags)) return TRUE;
  DWORD error = GetLastError();
  if (error == ERROR_CALL_NOT_IMPLEMENTED) {
    // Windows 95, 98 and Me rename only onto a free name: the old file goes
    // first, in a second step.
    if (replace && GetFileAttributesA(dest) != INVALID_FILE_ATTRIBUTES && !DeleteFileA(dest)) return FALSE;
    return MoveFileA(partial, dest);
  }
  // A rename onto a file in use is refused as access denied; the program
  // has always told that case by the copy's sharing violation.
  if (error == ERROR_ACCESS_DENIED && HeldOpen(dest)) error = ERROR_SHARING_VIOLATION;
  SetLastError(error);
  return FALSE;
}

BOOL RenameOpenFile(HANDLE file, const char* dest, int replace) {
  typedef BOOL(WINAPI * SetInfoFn)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
  static SetInfoFn setInfo = FunctionAs<SetInfoFn>(SystemFunction("kernel32.dll", "SetFileInformationByHandle"));
  if (!setInfo) return SetLastError(ERROR_CALL_NOT_IMPLEMENTED), FALSE;
  // The new name in UTF-16, after the structure's fixed part.
  struct {
    FILE_RENAME_INFO info;
    WCHAR rest[kPathSize];
  } rename = {};
  int length = MultiByteToWideChar(CP_ACP, 0, dest, -1, rename.info.FileName, kPathSize);
  if (length <= 1) return SetLastError(ERROR_FILENAME_EXCED_RANGE), FALSE;
  rename.info.ReplaceIfExists = replace ? TRUE : FALSE;
  rename.info.FileNameLength = static_cast<DWORD>(length - 1) * sizeof(WCHAR);
  if (setInfo(file, FileRenameInfo, &rename, sizeof(rename))) return TRUE;
  DWORD error = GetLastError();
  // A file system that renames no open file: as on a Windows that cannot.
  if (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION)
    error = ERROR_CALL_NOT_IMPLEMENTED;
  if (error == ERROR_FILE_EXISTS) error = ERROR_ALREADY_EXISTS;
  return SetLastError(error), FALSE;
}

BOOL CopyToName(const char* source, const char* partial, const char* dest, int replace, ULONGLONG* size) {
  // Large enough that the calls cost little beside the data.
  const DWORD kChunk = 256 * 1024;
  static HeapText buffer(kChunk);
  if (!buffer) return SetLastError(ERROR_OUTOFMEMORY), FALSE;
  ScopedHandle in(CreateFileA(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  FILETIME written;
  if (!in.Valid() || !GetFileTime(in.h, nullptr, nullptr, &written)) return FALSE;
  // With no dest the file stays at partial: replacing a file there only
  // with replace set.
  DWORD creation = (dest || replace) ? CREATE_ALWAYS : CREATE_NEW;
  ScopedHandle out(CreateFileA(partial, GENERIC_WRITE | (dest ? DELETE : 0), 0, nullptr, creation,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!out.Valid()) return FALSE;
  *size = 0;
  BOOL ok = TRUE;
  for (DWORD got = 0; ok && (ok = ReadFile(in.h, buffer.get(), kChunk, &got, nullptr)) && got; *size += got)
    if ((ok = WriteFileAll(out.h, buffer.get(), got)) != 0) ProgressAdvance(got);
  if (ok && SetFileTime(out.h, nullptr, nullptr, &written)) {
    if (!dest || RenameOpenFile(out.h, dest, replace)) return TRUE;
    DWORD error = GetLastError();
    out.Close();
    if (error != ERROR_CALL_NOT_IMPLEMENTED) return SetLastError(error), FALSE;
    return CommitPartial(partial, dest, replace);
  }
  DWORD error = GetLastError();
  out.Close();
  DeleteFileA(partial);
  return SetLastError(error), FALSE;
}

BOOL CopyReplacing(const char* source, const char* dest) {
  // Copied and renamed through one handle; where that fails (a read-only or
  // held dest, a Windows before Vista) the copy by name tells why.
  char partial[kPathSize];
  ULONGLONG size = 0;
  if (BuildPartialName(dest, partial, sizeof(partial)) && CopyToName(source, partial, dest, 1, &size)) return TRUE;
  return WriteInOneStep(dest, [&](const char* partial) { return CopyFileA(source, partial, FALSE); });
}

int WriteWholeFile(const char* path, const void* bytes, DWORD size) {
  // Written, flushed and renamed through one handle; where that cannot be
  // (a read-only partial or script, a Windows before Vista), by name.
  char partial[kPathSize];
  if (BuildPartialName(path, partial, sizeof(partial))) {
    ScopedHandle file(
        CreateFileA(partial, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Valid() && WriteFileAll(file.h, bytes, size) && FlushFileBuffers(file.h) &&
        RenameOpenFile(file.h, path, 1))
      return 1;
  }
  return WriteInOneStep(path, [&](const char* partial) {
    ScopedHandle file(CreateFileA(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.Valid() && WriteFileAll(file.h, bytes, size) && FlushFileBuffers(file.h) ? TRUE : FALSE;
  }) ? 1 : 0;
}
