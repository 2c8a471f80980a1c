#include "base/system_paths.h"

#include <windows.h>

#include "base/globals.h"
#include "base/text_util.h"

int GetOwnPath(char* out, size_t size) {
  char path[kPathSize];
  DWORD len = GetModuleFileNameA(nullptr, path, sizeof(path));
  if (size) out[0] = '\0';
  if (len == 0 || len >= sizeof(path)) return 0;
  return CopyBounded(path, out, size);
}

int BuildWindowsPath(const char* relative, char* out, size_t size) {
  char windowsDir[kPathSize];
  UINT len = GetWindowsDirectoryA(windowsDir, sizeof(windowsDir));
  if (size) out[0] = '\0';
  if (len == 0 || len >= sizeof(windowsDir)) return 0;
  return FormatBounded(out, size, "%s\\%s", windowsDir, relative);
}

int BuildSystemPath(const char* relative, char* out, size_t size) {
  char systemDir[kPathSize];
  UINT len = GetSystemDirectoryA(systemDir, sizeof(systemDir));
  if (size) out[0] = '\0';
  if (len == 0 || len >= sizeof(systemDir)) return 0;
  return FormatBounded(out, size, "%s\\%s", systemDir, relative);
}
