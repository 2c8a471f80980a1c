/* Plays a library that someone put beside the download or in the temporary
   folder under a system library's name (version.dll, uxtheme.dll, ...): when
   any process loads it, it appends "<its path>\t<the process's program>" to
   C:\planted.log. The setup program must never load it. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  char line[2 * MAX_PATH + 4];
  DWORD length, written;
  HANDLE log;
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  length = GetModuleFileNameA(self, line, MAX_PATH);
  line[length++] = '\t';
  length += GetModuleFileNameA(NULL, line + length, MAX_PATH);
  line[length++] = '\n';
  log = CreateFileA("C:\\planted.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
  WriteFile(log, line, length, &written, NULL);
  CloseHandle(log);
  return TRUE;
}
