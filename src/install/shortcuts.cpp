#include "install/shortcuts.h"

// Filled in with the shortcuts.
int CreateShortcuts(int) { return 0; }
int GetSpecialFolderPath(int, char* path) {
  path[0] = '\0';
  return 0;
}
HRESULT CreateLinkWithArgs(const char*, const char*, const char*, const char*) { return E_NOTIMPL; }
HRESULT CreateLink(const char*, const char*, const char*) { return E_NOTIMPL; }
HRESULT ResolveLink(HWND, const char*, char* targetPath) {
  targetPath[0] = '\0';
  return E_NOTIMPL;
}
