#include "base/file_queries.h"

#include <cstdint>

#include "base/handles.h"
#include "base/heap_text.h"
#include "base/system_library.h"
#include "base/newer_file.h"

namespace {

const char kVersionLibrary[] = "version.dll";
const char kRootBlock[] = "\\";

typedef DWORD(WINAPI* VersionInfoSizeFn)(LPCSTR, LPDWORD);
typedef BOOL(WINAPI* VersionInfoFn)(LPCSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI* QueryValueFn)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// The version functions, taken from the system folder's version.dll at the
// first query rather than imported: an imported version.dll is looked for
// beside the program first, and it is not a library Windows always takes
// from its own folder. The library stays loaded for the rest of the run.
struct VersionFunctions {
  VersionInfoSizeFn size;
  VersionInfoFn info;
  QueryValueFn query;
};

const VersionFunctions* Version() {
  static VersionFunctions functions = {};
  static int loaded = 0;
  if (!loaded) {
    loaded = 1;
    HMODULE library = LoadSystemLibrary(kVersionLibrary);
    if (library) {
      functions.size = FunctionAs<VersionInfoSizeFn>(GetProcAddress(library, "GetFileVersionInfoSizeA"));
      functions.info = FunctionAs<VersionInfoFn>(GetProcAddress(library, "GetFileVersionInfoA"));
      functions.query = FunctionAs<QueryValueFn>(GetProcAddress(library, "VerQueryValueA"));
    }
  }
  return functions.size && functions.info && functions.query ? &functions : nullptr;
}

// Opened as the existence and time checks open files: for reading, nothing
// shared, so that a file another process holds open counts as absent.
HANDLE OpenForReading(const char* path) {
  return CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int FileExists(const char* path) {
  ScopedHandle file(OpenForReading(path));
  return file.Valid() ? 1 : 0;
}

int NameExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

int GetFileVersionNumbers(const char* path, DWORD* mostSignificant, DWORD* leastSignificant) {
  *mostSignificant = 0;
  *leastSignificant = 0;
  // Without the system's version library no file has version information:
  // the newer-file check then compares times.
  const VersionFunctions* version = Version();
  if (!version) return 0;
  DWORD ignored = 0;
  DWORD size = version->size(path, &ignored);
  if (size == 0) return GetLastError() == ERROR_FILE_NOT_FOUND ? 1 : 0;

  HeapText block(size);
  if (!block) return 0;
  if (!version->info(path, 0, size, block.get())) return 0;
  void* value = nullptr;
  UINT valueSize = 0;
  if (!version->query(block.get(), kRootBlock, &value, &valueSize) || valueSize < sizeof(VS_FIXEDFILEINFO))
    return 0;
  const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(value);
  *mostSignificant = info->dwFileVersionMS;
  *leastSignificant = info->dwFileVersionLS;
  return 1;
}

int GetFileWriteTime(const char* path, DWORD* high, DWORD* low) {
  *high = 0;
  *low = 0;
  ScopedHandle file(OpenForReading(path));
  if (!file.Valid()) return 0;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file.h, &info)) return 0;
  *high = info.ftLastWriteTime.dwHighDateTime;
  *low = info.ftLastWriteTime.dwLowDateTime;
  return 1;
}

void ReadNewFileFacts(const char* path, NewFileFacts* facts) {
  facts->hasVersion = GetFileVersionNumbers(path, &facts->versionMs, &facts->versionLs);
  facts->hasTime = GetFileWriteTime(path, &facts->timeHigh, &facts->timeLow);
}

int IsInstalledFileNewer(const char* installedPath, const NewFileFacts& newFile) {
  // Nothing installed there: neither the version nor the time comparison
  // could find it newer, and the version queries are the install's
  // costliest calls.
  if (!NameExists(installedPath)) return 0;
  DWORD installedHigh = 0, installedLow = 0;
  if (newFile.hasVersion && GetFileVersionNumbers(installedPath, &installedHigh, &installedLow))
    return IsVersionNewer(installedHigh, installedLow, newFile.versionMs, newFile.versionLs);
  // Either file lacks version information: the later write wins.
  if (!GetFileWriteTime(installedPath, &installedHigh, &installedLow) || !newFile.hasTime) return 0;
  return IsWriteTimeNewer(installedHigh, installedLow, newFile.timeHigh, newFile.timeLow);
}

int IsInstalledFileNewer(const char* installedPath, const char* newPath) {
  NewFileFacts facts;
  ReadNewFileFacts(newPath, &facts);
  return IsInstalledFileNewer(installedPath, facts);
}
