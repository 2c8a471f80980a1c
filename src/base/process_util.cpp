#include "base/process_util.h"

#include "base/handles.h"
#include "base/run_log.h"

namespace {

// No application name (the program comes from the command line), handles
// inherited, no creation flags, the own environment.
int StartChild(char* commandLine, const char* currentDir, ScopedProcessInfo* child) {
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  // Logged before the start: the command line buffer is the child's to change.
  LogLine("program started: %s", commandLine);
  if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, currentDir, &si,
                     &child->pi))
    return 1;
  LogLine("program not started (error %lu)", GetLastError());
  return 0;
}

}  // namespace

int StartAndWaitForIdle(char* commandLine, DWORD waitMs) {
  ScopedProcessInfo child;
  if (!StartChild(commandLine, nullptr, &child)) return 0;
  DWORD waited = WaitForInputIdle(child.pi.hProcess, waitMs);
  LogLine("program waited for until idle%s", waited == WAIT_TIMEOUT ? " (time-out)" : "");
  return 1;
}

int StartAndWaitForExit(char* commandLine, const char* currentDir, DWORD waitMs) {
  ScopedProcessInfo child;
  if (!StartChild(commandLine, currentDir, &child)) return 0;
  ScopedHandle waitable(OpenProcess(SYNCHRONIZE, FALSE, child.pi.dwProcessId));
  if (waitable.Valid()) {
    DWORD waited = MsgWaitForMultipleObjects(1, &waitable.h, FALSE, waitMs, 0);
    LogLine("program waited for until it ended%s", waited == WAIT_TIMEOUT ? " (time-out)" : "");
  }
  return 1;
}
