#include "app/cabinet_unpack.h"

#include <windows.h>
#include <fdi.h>

#include <cstdlib>
#include <cstring>

#include "base/globals.h"
#include "base/system_library.h"
#include "base/text_util.h"
#include "install/file_copy.h"
#include "install/file_list_logic.h"

namespace {

const char kCabinetLibrary[] = "cabinet.dll";

typedef HFDI(DIAMONDAPI* FdiCreateFn)(PFNALLOC, PFNFREE, PFNOPEN, PFNREAD, PFNWRITE, PFNCLOSE, PFNSEEK, int,
                                      PERF);
typedef BOOL(DIAMONDAPI* FdiCopyFn)(HFDI, char*, char*, int, PFNFDINOTIFY, PFNFDIDECRYPT, void*);
typedef BOOL(DIAMONDAPI* FdiDestroyFn)(HFDI);

// A file FDI works on: the cabinet, read through the archive's own handle
// from `base` on (FDI sees a cabinet that starts at 0) at its own position
// `at`, or a file being unpacked, which it owns.
struct FdiFile {
  HANDLE handle;
  LONGLONG base;
  LONGLONG at;
  bool borrowed;
};

// The unpack in progress: FDI's open callback has no pointer of the caller's.
struct Unpack {
  HANDLE archive;
  uint64_t offset;
  const char* folder;
  UnpackResult result;
};
Unpack* g_unpack = nullptr;

INT_PTR Wrap(HANDLE handle, LONGLONG base, bool borrowed) {
  FdiFile* file = static_cast<FdiFile*>(std::malloc(sizeof(FdiFile)));
  if (!file) {
    if (!borrowed) CloseHandle(handle);
    return -1;
  }
  file->handle = handle;
  file->base = base;
  file->at = 0;
  file->borrowed = borrowed;
  return reinterpret_cast<INT_PTR>(file);
}

FdiFile* Unwrap(INT_PTR hf) { return reinterpret_cast<FdiFile*>(hf); }

void* DIAMONDAPI FdiAlloc(ULONG size) { return std::malloc(size); }
void DIAMONDAPI FdiFree(void* block) { std::free(block); }

// FDI opens only the cabinet itself this way: by name, which is not opened
// again; the archive's handle, which was checked, is read instead.
INT_PTR DIAMONDAPI FdiOpen(char*, int, int) {
  return Wrap(g_unpack->archive, static_cast<LONGLONG>(g_unpack->offset), true);
}

UINT DIAMONDAPI FdiRead(INT_PTR hf, void* buffer, UINT size) {
  FdiFile* file = Unwrap(hf);
  LARGE_INTEGER at;
  at.QuadPart = file->base + file->at;
  DWORD got = 0;
  if (!SetFilePointerEx(file->handle, at, nullptr, FILE_BEGIN) || !ReadFile(file->handle, buffer, size, &got, nullptr))
    return static_cast<UINT>(-1);
  file->at += got;
  return got;
}

UINT DIAMONDAPI FdiWrite(INT_PTR hf, void* buffer, UINT size) {
  DWORD written = 0;
  if (WriteFile(Unwrap(hf)->handle, buffer, size, &written, nullptr) && written == size) return written;
  g_unpack->result = kUnpackWriteFailed;
  return static_cast<UINT>(-1);
}

int DIAMONDAPI FdiClose(INT_PTR hf) {
  FdiFile* file = Unwrap(hf);
  BOOL closed = file->borrowed || CloseHandle(file->handle);
  std::free(file);
  return closed ? 0 : -1;
}

LONG DIAMONDAPI FdiSeek(INT_PTR hf, LONG distance, int origin) {
  FdiFile* file = Unwrap(hf);
  if (file->borrowed) {
    LARGE_INTEGER size;
    if (origin == SEEK_END && !GetFileSizeEx(file->handle, &size)) return -1;
    file->at = distance + (origin == SEEK_SET ? 0 : origin == SEEK_CUR ? file->at : size.QuadPart - file->base);
    return static_cast<LONG>(file->at);
  }
  LARGE_INTEGER move, at;
  move.QuadPart = distance + (origin == SEEK_SET ? file->base : 0);
  DWORD method = origin == SEEK_SET ? FILE_BEGIN : origin == SEEK_CUR ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(file->handle, move, &at, method)) return -1;
  return static_cast<LONG>(at.QuadPart - file->base);
}

// A file of the cabinet: made in the folder (with its subfolders), or the
// unpack ends when that cannot be done.
INT_PTR StartFile(const char* name) {
  char path[kPathSize];
  if (!StaysInFolder(name, strlen(name)) || !FormatBounded(path, sizeof(path), "%s\\%s", g_unpack->folder, name)) {
    g_unpack->result = kUnpackDamaged;
    return -1;
  }
  // Temporary: the cache keeps the unpacked files, which go once the
  // unpacked setup has copied them, without writing them to the disk while
  // memory suffices; the copies lose the mark.
  HANDLE handle = CreateFolderPath(path) ? CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                       FILE_ATTRIBUTE_TEMPORARY, nullptr)
                                         : INVALID_HANDLE_VALUE;
  if (handle == INVALID_HANDLE_VALUE) {
    g_unpack->result = kUnpackWriteFailed;
    return -1;
  }
  return Wrap(handle, 0, false);
}

// The cabinet's date and time are local, as Windows' own tools write them;
// the file keeps them, so that the newer-file check compares what it would
// compare in a package folder.
BOOL FinishFile(const FDINOTIFICATION* notice) {
  FdiFile* file = Unwrap(notice->hf);
  FILETIME local, written;
  if (DosDateTimeToFileTime(notice->date, notice->time, &local) && LocalFileTimeToFileTime(&local, &written))
    SetFileTime(file->handle, nullptr, nullptr, &written);
  return FdiClose(notice->hf) == 0;
}

INT_PTR DIAMONDAPI FdiNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION notice) {
  switch (type) {
    case fdintCOPY_FILE:
      return StartFile(notice->psz1);
    case fdintCLOSE_FILE_INFO:
      return FinishFile(notice);
    default:
      return 0;
  }
}

}  // namespace

UnpackResult UnpackCabinet(HANDLE archive, const char* archivePath, uint64_t offset, const char* folder) {
  HMODULE library = LoadSystemLibrary(kCabinetLibrary);
  if (!library) return kUnpackNoLibrary;
  FdiCreateFn create = FunctionAs<FdiCreateFn>(GetProcAddress(library, "FDICreate"));
  FdiCopyFn copy = FunctionAs<FdiCopyFn>(GetProcAddress(library, "FDICopy"));
  FdiDestroyFn destroy = FunctionAs<FdiDestroyFn>(GetProcAddress(library, "FDIDestroy"));
  Unpack unpack = {archive, offset, folder, kUnpacked};
  ERF error = {};
  HFDI fdi = create && copy && destroy ? create(FdiAlloc, FdiFree, FdiOpen, FdiRead, FdiWrite, FdiClose, FdiSeek,
                                                 cpuUNKNOWN, &error)
                                       : nullptr;
  if (!fdi) {
    FreeLibrary(library);
    return kUnpackNoLibrary;
  }
  // FDI names the cabinet as its folder (with the backslash) and its name.
  char cabinetFolder[kPathSize], cabinetName[kPathSize];
  const char* name = AfterLastBackslash(archivePath);
  int named = name && CopyBounded(name, cabinetName, sizeof(cabinetName)) &&
              CopyBounded(archivePath, cabinetFolder, sizeof(cabinetFolder));
  if (named) cabinetFolder[name - archivePath] = '\0';
  g_unpack = &unpack;
  if (!named || !copy(fdi, cabinetName, cabinetFolder, 0, FdiNotify, nullptr, nullptr))
    if (unpack.result == kUnpacked) unpack.result = kUnpackDamaged;
  g_unpack = nullptr;
  destroy(fdi);
  FreeLibrary(library);
  return unpack.result;
}
