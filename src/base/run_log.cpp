#include "base/run_log.h"

#include <cstdarg>
#include <cstdio>

#include "base/globals.h"
#include "base/text_util.h"

namespace {
// Open for the whole run; closed by CloseRunLog when the run ends.
HANDLE g_logFile = INVALID_HANDLE_VALUE;
char g_logFilePath[kPathSize] = "";
}  // namespace

int OpenRunLog(const char* path, int append) {
  // Shared for reading and writing so that the relocated uninstaller can
  // open it while the first process still has it.
  g_logFile = CreateFileA(path, append ? FILE_APPEND_DATA : GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_logFile == INVALID_HANDLE_VALUE) return 0;
  CopyBounded(path, g_logFilePath, sizeof(g_logFilePath));
  return 1;
}

void LogLine(const char* format, ...) {
  if (g_logFile == INVALID_HANDLE_VALUE) return;
  char line[1024 + 2];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(line, 1024, format, args);
  va_end(args);
  if (n < 0) return;
  size_t len = static_cast<size_t>(n) < 1024 ? static_cast<size_t>(n) : 1023;
  line[len++] = '\r';
  line[len++] = '\n';
  DWORD written = 0;
  // At the end: the relocated uninstaller may have added to the same file
  // while this process waited for it.
  SetFilePointer(g_logFile, 0, nullptr, FILE_END);
  WriteFile(g_logFile, line, static_cast<DWORD>(len), &written, nullptr);
}

const char* RootName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKLM";
  if (root == HKEY_CURRENT_USER) return "HKCU";
  if (root == HKEY_CLASSES_ROOT) return "HKCR";
  return "HKEY";
}

const char* RunLogPath() { return g_logFilePath; }

void CloseRunLog() {
  if (g_logFile != INVALID_HANDLE_VALUE) CloseHandle(g_logFile);
  g_logFile = INVALID_HANDLE_VALUE;
}
