#include "standin_log.h"

#include <windows.h>

#include <string>

bool AppendStandinLog() {
  char logPath[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("LF_STANDIN_LOG", logPath, sizeof logPath);
  if (n == 0 || n >= sizeof logPath) return n == 0;

  char exe[MAX_PATH], cwd[MAX_PATH];
  DWORD exeLen = GetModuleFileNameA(nullptr, exe, sizeof exe);
  DWORD cwdLen = GetCurrentDirectoryA(sizeof cwd, cwd);
  if (exeLen == 0 || exeLen >= sizeof exe || cwdLen == 0 || cwdLen >= sizeof cwd) return false;
  std::string name(exe, exeLen);
  name = name.substr(name.find_last_of("\\/") + 1);
  std::string line = name + "\t" + GetCommandLineA() + "\t" + std::string(cwd, cwdLen) + "\n";

  // Append-only access makes each write land at the end even when several
  // stand-ins log at once; sharing lets the test read while they run.
  HANDLE f = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) && written == line.size();
  return CloseHandle(f) && ok;
}
