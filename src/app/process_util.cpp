#include "app/process_util.h"

#include "app/handles.h"

namespace {

// No application name (the program comes from the command line), handles
// inherited, no creation flags, the own environment.
int StartChild(char* commandLine, const char* currentDir, ScopedProcessInfo* child) {
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  return CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, currentDir,
                        &si, &child->pi) != 0;
}

}  // namespace

int StartAndWaitForIdle(char* commandLine, DWORD waitMs) {
  ScopedProcessInfo child;
  if (!StartChild(commandLine, nullptr, &child)) return 0;
  WaitForInputIdle(child.pi.hProcess, waitMs);
  return 1;
}

int StartAndWaitForExit(char* commandLine, const char* currentDir, DWORD waitMs) {
  ScopedProcessInfo child;
  if (!StartChild(commandLine, currentDir, &child)) return 0;
  ScopedHandle waitable(OpenProcess(SYNCHRONIZE, FALSE, child.pi.dwProcessId));
  if (waitable.Valid())
    MsgWaitForMultipleObjects(1, &waitable.h, FALSE, waitMs, 0);
  return 1;
}
