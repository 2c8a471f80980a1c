// writecost: what one way of writing a file costs, apart from any installer.
// Writes COUNT files of 4 KiB, 100 to a folder, under FOLDER, in one way:
//   plain    created under its real name (as NSIS writes)
//   partial  created under its partial name only (no rename)
//   handle   under its partial name, then renamed through its handle
//   name     under its partial name, closed, then renamed by name
// and prints the seconds it took.
//
//   writecost.exe plain|partial|handle|name COUNT FOLDER
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

BOOL RenameThroughHandle(HANDLE file, const char* dest) {
  struct {
    FILE_RENAME_INFO info;
    WCHAR rest[MAX_PATH];
  } rename = {};
  int length = MultiByteToWideChar(CP_ACP, 0, dest, -1, rename.info.FileName, MAX_PATH);
  if (length <= 1) return FALSE;
  rename.info.FileNameLength = static_cast<DWORD>(length - 1) * sizeof(WCHAR);
  return SetFileInformationByHandle(file, FileRenameInfo, &rename, sizeof(rename));
}

BOOL WriteOne(const char* way, const char* path, const char* dest) {
  static char data[4096];
  const FILETIME time = {0x12345678, 0x01d00000};
  int handle = strcmp(way, "handle") == 0;
  HANDLE file = CreateFileA(path, GENERIC_WRITE | (handle ? DELETE : 0), 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FALSE;
  DWORD written = 0;
  BOOL ok = WriteFile(file, data, sizeof(data), &written, nullptr) && SetFileTime(file, nullptr, nullptr, &time);
  if (ok && handle) ok = RenameThroughHandle(file, dest);
  CloseHandle(file);
  if (ok && strcmp(way, "name") == 0) ok = MoveFileExA(path, dest, MOVEFILE_WRITE_THROUGH);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return fprintf(stderr, "usage: writecost plain|partial|handle|name COUNT FOLDER\n"), 2;
  const char* way = argv[1];
  int count = atoi(argv[2]);
  const char* top = argv[3];
  int plain = strcmp(way, "plain") == 0;
  CreateDirectoryA(top, nullptr);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < count; ++i) {
    char folder[MAX_PATH], dest[MAX_PATH], partial[MAX_PATH];
    snprintf(folder, sizeof(folder), "%s\\d%03d", top, i / 100);
    if (i % 100 == 0) CreateDirectoryA(folder, nullptr);
    snprintf(dest, sizeof(dest), "%s\\f%05d.dat", folder, i);
    snprintf(partial, sizeof(partial), "%s.~lfpart", dest);
    if (!WriteOne(way, plain ? dest : partial, dest))
      return fprintf(stderr, "writecost: %s failed: error %lu\n", dest, GetLastError()), 1;
  }
  QueryPerformanceCounter(&end);
  printf("%-8s %d files: %.3f s\n", way, count, double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
  return 0;
}
