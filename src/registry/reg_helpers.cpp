#include "registry/reg_helpers.h"

// Filled in with the registry operations.
int SetRegDword(HKEY, const char*, const char*, DWORD) { return 0; }
int SetRegString(HKEY, const char*, const char*, const char*, int) { return 0; }
int GetRegString(HKEY, const char*, const char*, char* buffer, DWORD size) {
  if (size) buffer[0] = '\0';
  return 0;
}
int GetRegDword(HKEY, const char*, const char*, DWORD* value, DWORD) {
  *value = 0;
  return 0;
}
int DeleteRegKeyTree(HKEY, const char*) { return 0; }
int DeleteRegKeyIfEmpty(HKEY, const char*) { return 0; }
int DeleteRegValue(HKEY, const char*, const char*) { return 0; }
