#include "install/file_copy.h"

// Filled in with the file copy.
int InstallFileList(HWND, const char*, int) { return 0; }
int CreateFolderPath(const char*) { return 0; }
int FileExists(const char*) { return 0; }
int GetFileVersionNumbers(const char*, DWORD* ms, DWORD* ls) {
  *ms = *ls = 0;
  return 0;
}
int GetFileWriteTime(const char*, DWORD* high, DWORD* low) {
  *high = *low = 0;
  return 0;
}
int IsInstalledFileNewer(const char*, const char*) { return 0; }
void MigrateOldLayout() {}
