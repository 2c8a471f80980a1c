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

namespace {

// <folder the query gives>\<relative>; empty and 0 when either does not fit.
int BuildPathIn(UINT(WINAPI* folderQuery)(LPSTR, UINT), const char* relative, char* out, size_t size) {
  char folder[kPathSize];
  UINT len = folderQuery(folder, sizeof(folder));
  if (size) out[0] = '\0';
  if (len == 0 || len >= sizeof(folder)) return 0;
  return FormatBounded(out, size, "%s\\%s", folder, relative);
}

}  // namespace

int BuildWindowsPath(const char* relative, char* out, size_t size) {
  return BuildPathIn(GetWindowsDirectoryA, relative, out, size);
}

int BuildSystemPath(const char* relative, char* out, size_t size) {
  return BuildPathIn(GetSystemDirectoryA, relative, out, size);
}
