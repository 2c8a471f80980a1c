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

namespace {
char g_packageFolder[kPathSize] = "";
}  // namespace

void SetPackageFolder(const char* folder) {
  if (!FormatBounded(g_packageFolder, sizeof(g_packageFolder), "%s\\", folder)) g_packageFolder[0] = '\0';
}

int GetPackageFolder(char* out, size_t size) {
  if (g_packageFolder[0]) return CopyBounded(g_packageFolder, out, size);
  if (!GetOwnPath(out, size)) return 0;
  const char* name = AfterLastBackslash(out);
  if (!name) {
    out[0] = '\0';
    return 0;
  }
  out[name - out] = '\0';
  return 1;
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
